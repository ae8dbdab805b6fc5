#include "platform/forms/WindowedControl.h"

#include "platform/forms/Container.h"
#include "platform/forms/Twips.h"

namespace plat {

WindowedControl::WindowedControl(Container& container, QString name, int index)
    : Control(container, ControlKind::Windowed, std::move(name), index)
{
}

QWidget* WindowedControl::ParentWidget() const
{
    return Parent().Surface();
}

void WindowedControl::Attach(QWidget* widget)
{
    widget_ = widget;
    widget_->setObjectName(Name());
    widget_->setProperty("platControl", QVariant::fromValue<void*>(static_cast<Control*>(this)));
    Apply(Aspect::Geometry);
    Apply(Aspect::Visibility);
    Apply(Aspect::State);
}

void WindowedControl::Apply(Aspect aspect)
{
    if (!widget_)
        return;
    switch (aspect) {
    case Aspect::Geometry:
        widget_->setGeometry(WidgetRect(Left, Top, Width, Height));
        break;
    case Aspect::Visibility:
        widget_->setVisible(Visible);
        break;
    case Aspect::State:
        widget_->setEnabled(Enabled);
        if (widget_->focusPolicy() != Qt::NoFocus || TabStop)
            widget_->setFocusPolicy(TabStop ? Qt::StrongFocus : Qt::ClickFocus);
        break;
    case Aspect::Font:
        widget_->setFont(Font());
        break;
    default:
        break;
    }
}

}  // namespace plat
