#pragma once
// The command button.

#include "platform/forms/WindowedControl.h"

class QPushButton;

namespace plat {

class CommandButton : public WindowedControl {
public:
    CommandButton(Container& container, QString name, int index = -1);

    Prop<QString> Caption{this, Aspect::Text};
    // Enter presses the default button of a form, Esc its cancel button.
    Prop<bool> Default{this, Aspect::Look, false};
    Prop<bool> Cancel{this, Aspect::Look, false};
    void SetFont(const FontSpec& font);
    const FontSpec& Font() const { return font_; }

    void PressByUser();  // clicks as the user would (tests, key handling)

protected:
    void Apply(Aspect aspect) override;

private:
    QPushButton* button_;
    FontSpec font_;
};

}  // namespace plat
