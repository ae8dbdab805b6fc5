#pragma once
// The component's about box: its picture, title and version, a line on what
// it is and a rights line; "OK" closes it and "System Info..." starts the
// machine's system-information tool, found through the machine-wide
// registry, or says that it is unavailable. The Help menu shows it modal.

#include "platform/forms/CommandButton.h"
#include "platform/forms/Form.h"
#include "platform/forms/Label.h"
#include "platform/forms/PictureBox.h"
#include "platform/registry/Registry.h"

#include <QString>

namespace RoamwellDLL {

class frmAbout : public plat::Form {
public:
    frmAbout();
    ~frmAbout() override;

    plat::PictureBox picIcon;
    plat::Label lblTitle;
    plat::Label lblVersion;
    plat::Label lblDescription;
    plat::CommandButton cmdOK;
    plat::CommandButton cmdSysInfo;
    plat::Label lblDisclaimer;

    void cmdOK_Click();
    void cmdSysInfo_Click();

    // Starts the system-information tool, or shows that it is unavailable.
    void StartSysInfo();
    // Reads one value of a key as text into KeyVal; True when it was read.
    // Only KeyVal changes; a failed open or query empties it.
    bool GetKeyValue(plat::HKEY KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal);

protected:
    void Design() override;
    void Form_Load() override;
};

}  // namespace RoamwellDLL
