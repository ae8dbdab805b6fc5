#include "platform/forms/Menu.h"

#include "platform/forms/Form.h"
#include "platform/runtime/Errors.h"

#include <QMenu>

namespace plat {

Menu::Menu(Form& form, QString name, QString caption, Menu* parent)
    : Caption(this, Aspect::Text, std::move(caption)), form_(form), name_(std::move(name)), parent_(parent)
{
    if (parent_)
        parent_->items_.push_back(this);
    else
        form_.RegisterMenu(this);
}

void Menu::Populate(QMenu& menu)
{
    for (Menu* item : items_) {
        if (!item->Visible)
            continue;
        if (item->Caption.Get() == QLatin1String("-")) {
            menu.addSeparator();
        } else if (!item->items_.empty()) {
            QMenu* sub = menu.addMenu(item->Caption.Get());
            sub->setEnabled(item->Enabled);
            item->Populate(*sub);
        } else {
            QAction* action = menu.addAction(item->Caption.Get());
            action->setEnabled(item->Enabled);
            action->setCheckable(item->Checked);
            action->setChecked(item->Checked);
            action->setObjectName(item->name_);
            QObject::connect(action, &QAction::triggered, [item] { item->RaiseClick(); });
        }
    }
}

void Menu::RaiseClick()
{
    if (Click && Enabled)
        Guard(Click);
}

void Menu::PropertyChanged(Aspect)
{
    form_.MenusChanged();
}

}  // namespace plat
