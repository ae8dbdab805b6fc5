#include "platform/forms/ComboBox.h"

#include "platform/runtime/Errors.h"

#include <QComboBox>
#include <QLineEdit>

namespace plat {

ComboBox::ComboBox(Container& container, QString name, int style, int index)
    : WindowedControl(container, std::move(name), index),
      Text([this] { return GetText(); }, [this](const QString& t) { SetText(t); }),
      ListIndex([this] { return box_->currentIndex(); }, [this](int i) { SetListIndex(i); }),
      style_(style)
{
    box_ = new QComboBox(ParentWidget());
    box_->setEditable(style_ == vbComboDropdown);
    box_->setInsertPolicy(QComboBox::NoInsert);
    if (QLineEdit* edit = box_->lineEdit()) {
        // The typed text is the box's text, exactly: no completion from the
        // list, and no trading it for an entry that matches it (perhaps in
        // another case) when editing ends, which would also raise Click.
        box_->setCompleter(nullptr);
        QObject::disconnect(edit, &QLineEdit::editingFinished, box_, nullptr);
    }
    box_->setMaxVisibleItems(20);
    box_->setCurrentIndex(-1);
    QObject::connect(box_, QOverload<int>::of(&QComboBox::activated), [this](int) {
        if (!settingByCode_ && Click)
            Guard(Click);
    });
    Attach(box_);
}

QString ComboBox::GetText() const
{
    return box_->isEditable() ? box_->lineEdit()->text() : box_->currentText();
}

void ComboBox::SetText(const QString& text)
{
    if (box_->isEditable()) {
        box_->lineEdit()->setText(text);
        return;
    }
    const int found = box_->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (found < 0)
        Raise(ErrPropertyReadOnly, QStringLiteral("'Text' property is read-only"));
    SetListIndex(found);
}

void ComboBox::SetListIndex(int index)
{
    if (index < -1 || index >= box_->count())
        Raise(ErrInvalidPropertyValue);
    settingByCode_ = true;
    box_->setCurrentIndex(index);
    if (box_->isEditable())
        box_->lineEdit()->setText(index >= 0 ? box_->itemText(index) : QString());
    settingByCode_ = false;
    if (Click)
        Click();
}

void ComboBox::AddItem(const QString& item, int index)
{
    const QString keep = box_->isEditable() ? box_->lineEdit()->text() : QString();
    settingByCode_ = true;
    if (index < 0 || index >= box_->count())
        box_->addItem(item);
    else
        box_->insertItem(index, item);
    // Adding entries never changes what the box shows.
    if (box_->isEditable())
        box_->lineEdit()->setText(keep);
    else if (box_->count() == 1)
        box_->setCurrentIndex(-1);
    settingByCode_ = false;
}

void ComboBox::RemoveItem(int index)
{
    if (index < 0 || index >= box_->count())
        Raise(ErrInvalidCall);
    const QString keep = box_->isEditable() ? box_->lineEdit()->text() : QString();
    settingByCode_ = true;
    box_->removeItem(index);
    if (box_->isEditable())
        box_->lineEdit()->setText(keep);
    settingByCode_ = false;
}

void ComboBox::Clear()
{
    settingByCode_ = true;
    box_->clear();
    settingByCode_ = false;
}

int ComboBox::ListCount() const
{
    return box_->count();
}

QString ComboBox::List(int index) const
{
    return index >= 0 && index < box_->count() ? box_->itemText(index) : QString();
}

void ComboBox::PickByUser(int index)
{
    box_->setCurrentIndex(index);
    if (box_->isEditable())
        box_->lineEdit()->setText(box_->itemText(index));
    emit box_->activated(index);
}

}  // namespace plat
