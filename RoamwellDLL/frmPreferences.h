#pragma once
// The preferences form: the home address, the search address, the path of
// the saved-sites page and the style of the loading indicator. The browser
// window's load fills it and keeps it hidden; from then on its three text
// boxes are the live values the toolbar and the Edit menu read. The Edit
// menu shows it modal; Save stores and hides, Cancel only hides.

#include "platform/forms/CommandButton.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Form.h"
#include "platform/forms/Frame.h"
#include "platform/forms/OptionButton.h"
#include "platform/forms/TextBox.h"

#include <cstdint>

namespace RoamwellDLL {

class frmPreferences : public plat::Form {
public:
    frmPreferences();
    ~frmPreferences() override;

    // Controls, in tab order.
    plat::Frame frameHome;
    plat::TextBox txtHome;
    plat::CommandButton cmdSave;
    plat::CommandButton cmdCancel;
    plat::Frame frameSearch;
    plat::TextBox txtSearch;
    plat::Frame Frame1;
    plat::ControlArray<plat::OptionButton> optionPacedial;  // 0 circle, 1 bar
    plat::Frame frameSitepinFile;
    plat::TextBox txtSitepinFile;
    plat::CommandButton cmdBrowseSitepin;

    void optionPacedial_Click(int16_t Index);
    void cmdBrowseSitepin_Click();
    void cmdSave_Click();
    void cmdCancel_Click();

protected:
    void Design() override;
    void Form_Load() override;
    void Form_Paint() override;
    void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) override;
};

}  // namespace RoamwellDLL
