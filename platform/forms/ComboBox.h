#pragma once
// The combo box: an editable box with a drop-down list (style 0), or a
// drop-down list to pick from only (style 2). Click is raised when the user
// picks an entry from the list or code sets the selected index; never by
// typing, and the typed text stays as typed.

#include "platform/forms/WindowedControl.h"

#include <QStringList>

class QComboBox;

namespace plat {

enum ComboStyle : int { vbComboDropdown = 0, vbComboDropdownList = 2 };

class ComboBox : public WindowedControl {
public:
    ComboBox(Container& container, QString name, int style = vbComboDropdown, int index = -1);

    // Style 2 only accepts a text that is one of the entries (ErrPropertyReadOnly otherwise).
    BoundProp<QString> Text;
    BoundProp<int> ListIndex;  // -1 when nothing is selected; setting it raises Click

    void AddItem(const QString& item, int index = -1);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const;
    QString List(int index) const;
    int Style() const { return style_; }

    // Picks an entry as the user would (raises Click).
    void PickByUser(int index);

private:
    QString GetText() const;
    void SetText(const QString& text);
    void SetListIndex(int index);
    QComboBox* box_;
    int style_;
    bool settingByCode_ = false;
};

}  // namespace plat
