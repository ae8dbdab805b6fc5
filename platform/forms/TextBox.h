#pragma once
// The single-line text box. Change is raised on every change of the text:
// directly inside an assignment to Text (so an error in it reaches the code
// that assigned), and inside the error guard when the user types.

#include "platform/forms/WindowedControl.h"

#include <functional>

class QLineEdit;

namespace plat {

class TextBox : public WindowedControl {
public:
    TextBox(Container& container, QString name, int index = -1);

    BoundProp<QString> Text;
    Prop<bool> Locked{this, Aspect::State, false};  // shown and selectable, not editable

    std::function<void()> Change;

    // Replaces the text as the user would by typing it (tests).
    void TypeByUser(const QString& text);

protected:
    void Apply(Aspect aspect) override;

private:
    void SetText(const QString& text);

    QLineEdit* edit_;
    bool settingByCode_ = false;
};

}  // namespace plat
