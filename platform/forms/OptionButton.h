#pragma once
// The option button: one choice among the option buttons of the same
// container (form, frame or picture box); selecting one clears the others.
// Click is raised whenever a button becomes selected: directly inside an
// assignment of True to Value, and inside the error guard when the user
// picks it. In a control array the handler learns which one from Index().

#include "platform/forms/ButtonControl.h"

class QRadioButton;

namespace plat {

class OptionButton : public ButtonControl {
public:
    OptionButton(Container& container, QString name, int index = -1);

    BoundProp<bool> Value;

private:
    void SetValue(bool value);

    QRadioButton* button_;
    bool settingByCode_ = false;
};

}  // namespace plat
