#pragma once
// The command button.

#include "platform/forms/ButtonControl.h"

class QPushButton;

namespace plat {

class CommandButton : public ButtonControl {
public:
    CommandButton(Container& container, QString name, int index = -1);

    // Enter presses the default button of a form, Esc its cancel button.
    Prop<bool> Default{this, Aspect::Look, false};
    Prop<bool> Cancel{this, Aspect::Look, false};

protected:
    void Apply(Aspect aspect) override;

private:
    QPushButton* button_;
};

}  // namespace plat
