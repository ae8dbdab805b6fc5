#include "platform/forms/OptionButton.h"

#include "platform/runtime/Errors.h"

#include <QRadioButton>

namespace plat {

OptionButton::OptionButton(Container& container, QString name, int index)
    : ButtonControl(container, std::move(name), index),
      Value([this] { return button_->isChecked(); }, [this](const bool& v) { SetValue(v); })
{
    // Buttons sharing a parent widget exclude each other, and windowed
    // controls sit on their container's surface: one group per container.
    button_ = new QRadioButton(ParentWidget());
    button_->setAutoExclusive(true);
    QObject::connect(button_, &QRadioButton::toggled, [this](bool on) {
        if (on && !settingByCode_ && Click)
            Guard(Click);
    });
    AttachButton(button_);
}

void OptionButton::SetValue(bool value)
{
    if (button_->isChecked() == value)
        return;
    settingByCode_ = true;
    if (value) {
        button_->setChecked(true);
    } else {
        // An exclusive button cannot be cleared on its own; code may leave
        // a group without a selection.
        button_->setAutoExclusive(false);
        button_->setChecked(false);
        button_->setAutoExclusive(true);
    }
    settingByCode_ = false;
    if (value && Click)
        Click();
}

}  // namespace plat
