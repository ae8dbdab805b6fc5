#pragma once
// The option button: one choice among the option buttons of the same
// container (form, frame or picture box); selecting one clears the others.
// Click is raised whenever a button becomes selected: directly inside an
// assignment of True to Value, and inside the error guard when the user
// picks it. In a control array the handler learns which one from Index().

#include "platform/forms/WindowedControl.h"

class QRadioButton;

namespace plat {

class OptionButton : public WindowedControl {
public:
    OptionButton(Container& container, QString name, int index = -1);

    Prop<QString> Caption{this, Aspect::Text};
    BoundProp<bool> Value;
    void SetFont(const FontSpec& font);
    const FontSpec& Font() const { return font_; }

    // Picks the button as the user would with the mouse (tests).
    void PressByUser();

protected:
    void Apply(Aspect aspect) override;

private:
    void SetValue(bool value);

    QRadioButton* button_;
    FontSpec font_;
    bool settingByCode_ = false;
};

}  // namespace plat
