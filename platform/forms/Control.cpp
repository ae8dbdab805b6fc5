#include "platform/forms/Control.h"

#include "platform/forms/Container.h"
#include "platform/forms/Form.h"
#include "platform/forms/Move.h"
#include "platform/forms/Twips.h"

#include <QWidget>

namespace plat {

Control::Control(Container& container, ControlKind kind, QString name, int index)
    : container_(container), kind_(kind), name_(std::move(name)), index_(index)
{
    container_.Add(this);
}

Control::~Control()
{
    container_.Remove(this);
}

Form& Control::OwnerForm() const
{
    return container_.ContainerForm();
}

void Control::Move(float left, float top, float width, float height)
{
    MoveObject(*this, left, top, width, height);
}

void Control::ZOrder(int position)
{
    if (Windowless()) {
        if (position == 0)
            container_.BringToFront(this);
        else
            container_.SendToBack(this);
        Invalidate();
    } else if (QWidget* w = Widget()) {
        if (position == 0)
            w->raise();
        else
            w->lower();
    }
}

void Control::SetFocus()
{
    if (QWidget* w = Widget())
        w->setFocus(Qt::OtherFocusReason);
}

void Control::PropertyChanged(Aspect aspect)
{
    if (Windowless())
        Invalidate();
    else
        Apply(aspect);
}

void Control::Invalidate()
{
    // A hidden control that is already erased changes nothing on screen.
    if (!Visible && paintedRect_.isNull())
        return;
    const QRectF now = Visible ? PixelRect(Left, Top, Width, Height).adjusted(-1, -1, 1, 1) : QRectF();
    if (!paintedRect_.isNull())
        container_.InvalidatePixels(paintedRect_);
    if (!now.isNull())
        container_.InvalidatePixels(now);
    paintedRect_ = now;
}

QFont Control::Font() const
{
    QFont font(FontName.Get());
    font.setPointSizeF(FontSize > 0 ? FontSize : 1);
    font.setBold(FontBold);
    return font;
}

}  // namespace plat
