#include "platform/forms/TextBox.h"

#include "platform/runtime/Errors.h"

#include <QLineEdit>

namespace plat {

TextBox::TextBox(Container& container, QString name, int index)
    : WindowedControl(container, std::move(name), index),
      Text([this] { return edit_->text(); }, [this](const QString& t) { SetText(t); })
{
    edit_ = new QLineEdit(ParentWidget());
    // A box that holds a path or an address takes whatever it is given.
    edit_->setMaxLength(32767);
    QObject::connect(edit_, &QLineEdit::textChanged, [this] {
        if (!settingByCode_ && Change)
            Guard(Change);
    });
    Attach(edit_);
}

void TextBox::SetText(const QString& text)
{
    if (edit_->text() == text)
        return;
    settingByCode_ = true;
    edit_->setText(text);
    settingByCode_ = false;
    if (Change)
        Change();
}

void TextBox::TypeByUser(const QString& text)
{
    if (!Visible || !Enabled || Locked)
        return;
    edit_->selectAll();
    edit_->insert(text);  // raises textChanged as typing does
}

void TextBox::Apply(Aspect aspect)
{
    WindowedControl::Apply(aspect);
    if (aspect == Aspect::State)
        edit_->setReadOnly(Locked);
}

}  // namespace plat
