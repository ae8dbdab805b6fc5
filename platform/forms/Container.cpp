#include "platform/forms/Container.h"

#include "platform/forms/Control.h"
#include "platform/forms/Form.h"
#include "platform/forms/Keys.h"
#include "platform/forms/Twips.h"
#include "platform/runtime/Errors.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>

namespace plat {

void Container::Add(Control* control)
{
    ContainerForm().RegisterControl(control);
    if (control->Windowless())
        windowless_.push_back(control);
}

void Container::Remove(Control* control)
{
    std::erase(windowless_, control);
    if (pressed_ == control)
        pressed_ = nullptr;
    ContainerForm().UnregisterControl(control);
}

void Container::BringToFront(Control* control)
{
    std::erase(windowless_, control);
    windowless_.push_back(control);
}

void Container::SendToBack(Control* control)
{
    std::erase(windowless_, control);
    windowless_.insert(windowless_.begin(), control);
}

void Container::InvalidatePixels(const QRectF& rect)
{
    if (QWidget* surface = Surface(); surface && surface->isVisible())
        surface->update(rect.toAlignedRect());
}

void Container::PaintWindowless(QPainter& painter, const QRect& area) const
{
    for (const Control* control : windowless_) {
        if (!control->Visible)
            continue;
        const QRectF r = PixelRect(control->Left, control->Top, control->Width, control->Height);
        if (!r.adjusted(-2, -2, 2, 2).intersects(area))
            continue;
        control->Paint(painter);
    }
}

Control* Container::WindowlessAt(double x, double y) const
{
    for (auto it = windowless_.rbegin(); it != windowless_.rend(); ++it) {
        Control* c = *it;
        if (c->Visible && c->TakesMouse() && PixelRect(c->Left, c->Top, c->Width, c->Height).contains(x, y))
            return c;
    }
    return nullptr;
}

void Container::MousePress(const QMouseEvent& event, QPointF origin)
{
    const QPointF at = event.position() - origin;
    Control* c = WindowlessAt(at.x(), at.y());
    pressed_ = c;
    if (c && c->MouseDown) {
        const int button = MouseButtonOf(event.button());
        const int shift = ShiftStateOf(event.modifiers());
        const float x = ToTwips(at.x()) - c->Left;
        const float y = ToTwips(at.y()) - c->Top;
        Guard([&] { c->MouseDown(button, shift, x, y); });
    }
}

bool Container::MouseRelease(const QMouseEvent& event, QPointF origin)
{
    const QPointF at = event.position() - origin;
    Control* c = pressed_;
    pressed_ = nullptr;
    if (!c || WindowlessAt(at.x(), at.y()) != c)
        return false;
    if (c->Click)
        Guard(c->Click);
    return true;
}

}  // namespace plat
