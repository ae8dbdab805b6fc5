#pragma once
// Menus of a form: top-level menus form the menu bar (an invisible one is
// left out of it and can serve as a popup menu); items raise Click.

#include "platform/forms/Property.h"

#include <QString>
#include <functional>
#include <vector>

class QMenu;

namespace plat {

class Form;

class Menu : public PropertyOwner {
public:
    Menu(Form& form, QString name, QString caption, Menu* parent = nullptr);

    Prop<QString> Caption{this, Aspect::Text};
    Prop<bool> Visible{this, Aspect::Visibility, true};
    Prop<bool> Enabled{this, Aspect::State, true};
    Prop<bool> Checked{this, Aspect::State, false};
    std::function<void()> Click;

    const QString& Name() const { return name_; }
    Menu* ParentMenu() const { return parent_; }
    const std::vector<Menu*>& Items() const { return items_; }

    // Builds the Qt menu of this menu's items into `menu`.
    void Populate(QMenu& menu);
    void RaiseClick();

private:
    void PropertyChanged(Aspect) override;
    Form& form_;
    QString name_;
    Menu* parent_;
    std::vector<Menu*> items_;
};

}  // namespace plat
