#include "platform/forms/CommandButton.h"

#include "platform/runtime/Errors.h"

#include <QPushButton>

namespace plat {

CommandButton::CommandButton(Container& container, QString name, int index)
    : ButtonControl(container, std::move(name), index)
{
    button_ = new QPushButton(ParentWidget());
    button_->setAutoDefault(false);
    QObject::connect(button_, &QPushButton::clicked, [this] {
        if (Click)
            Guard(Click);
    });
    AttachButton(button_);
}

void CommandButton::Apply(Aspect aspect)
{
    ButtonControl::Apply(aspect);
    if (aspect == Aspect::Look)
        button_->setDefault(Default);
}

}  // namespace plat
