#pragma once
// The preferences form, reduced to the values the browser window's load
// fills in: the home, search and saved-sites texts and the indicator style.
// The full form (frames, Save, Cancel, Browse...) replaces this one and keeps
// these names.

#include "platform/forms/ControlArray.h"
#include "platform/forms/Form.h"
#include "platform/forms/Property.h"

#include <QString>

// A control that holds a text.
class TextHolder : public plat::PropertyOwner {
public:
    plat::Prop<QString> Text{this, plat::Aspect::Text};

private:
    void PropertyChanged(plat::Aspect) override {}
};

// A control that holds an on/off value.
class ValueHolder : public plat::PropertyOwner {
public:
    plat::Prop<bool> Value{this, plat::Aspect::Value};

private:
    void PropertyChanged(plat::Aspect) override {}
};

class frmPreferences : public plat::Form {
public:
    frmPreferences();

    TextHolder txtHome;
    TextHolder txtSearch;
    TextHolder txtSitepinFile;
    plat::ControlArray<ValueHolder> optionPacedial;  // 0 circle, 1 bar

protected:
    void Design() override;
};
