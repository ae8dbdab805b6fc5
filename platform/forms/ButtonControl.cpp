#include "platform/forms/ButtonControl.h"

#include <QAbstractButton>

namespace plat {

ButtonControl::ButtonControl(Container& container, QString name, int index)
    : WindowedControl(container, std::move(name), index)
{
}

void ButtonControl::AttachButton(QAbstractButton* button)
{
    button_ = button;
    Attach(button);
}

void ButtonControl::PressByUser()
{
    if (Visible && Enabled)
        button_->click();
}

void ButtonControl::Apply(Aspect aspect)
{
    WindowedControl::Apply(aspect);
    if (aspect == Aspect::Text && button_)
        button_->setText(Caption.Get());
}

}  // namespace plat
