#pragma once
// What the command and option buttons share: a caption (an ampersand marks
// the access key), the control's font on the button, and a press by the
// user. Each kind raises its own Click.

#include "platform/forms/WindowedControl.h"

class QAbstractButton;

namespace plat {

class ButtonControl : public WindowedControl {
public:
    Prop<QString> Caption{this, Aspect::Text};

    // Clicks the button as the user would; a hidden or disabled one ignores it.
    void PressByUser();

protected:
    ButtonControl(Container& container, QString name, int index);
    // Derived constructors create their button (parented to ParentWidget())
    // and hand it over here.
    void AttachButton(QAbstractButton* button);
    void Apply(Aspect aspect) override;

private:
    QAbstractButton* button_ = nullptr;
};

}  // namespace plat
