#include "platform/forms/CommandButton.h"

#include "platform/runtime/Errors.h"

#include <QPushButton>

namespace plat {

CommandButton::CommandButton(Container& container, QString name, int index)
    : WindowedControl(container, std::move(name), index)
{
    button_ = new QPushButton(ParentWidget());
    button_->setAutoDefault(false);
    QObject::connect(button_, &QPushButton::clicked, [this] {
        if (Click)
            Guard(Click);
    });
    Attach(button_);
}

void CommandButton::SetFont(const FontSpec& font)
{
    font_ = font;
    button_->setFont(font_.ToQFont());
}

void CommandButton::PressByUser()
{
    if (Visible && Enabled)
        button_->click();
}

void CommandButton::Apply(Aspect aspect)
{
    WindowedControl::Apply(aspect);
    if (aspect == Aspect::Text)
        button_->setText(Caption.get());
    if (aspect == Aspect::Look)
        button_->setDefault(Default);
}

}  // namespace plat
