#pragma once
// The browser window: an address box with its history, the web page, a
// toolbar, a status bar and a small loading indicator. One per thread,
// created on first use (plat::Default<frmBrowser>()) and never released.
// Its procedures are split over files by concern: frmBrowser.cpp (design,
// load, close, placement saving), frmBrowser_Layout.cpp (resize),
// frmBrowser_Navigation.cpp (navigation, history, status, busy poll),
// frmBrowser_Vantle.cpp (loading indicator) and frmBrowser_Commands.cpp
// (toolbar, menus and the indicator's click).

#include "platform/forms/ComboBox.h"
#include "platform/forms/Form.h"
#include "platform/forms/Label.h"
#include "platform/forms/Menu.h"
#include "platform/forms/PictureBox.h"
#include "platform/forms/ProgressBar.h"
#include "platform/forms/StatusBar.h"
#include "platform/forms/Timer.h"
#include "platform/forms/Toolbar.h"
#include "platform/web/WebBrowser.h"

#include <QString>
#include <cstdint>

namespace RoamwellDLL {

class frmPreferences;

class frmBrowser : public plat::Form {
public:
    frmBrowser();
    ~frmBrowser() override;

    // Controls, back to front.
    plat::Label lblAddress;
    plat::ComboBox cboAddress;
    plat::WebBrowser brwWebBrowser;
    plat::Toolbar tbToolBar;
    plat::StatusBar statbar;
    plat::ProgressBar progbar;
    plat::PictureBox picVantle;
    plat::Timer tmrTimer;
    plat::Timer tmrVantle;

    // The menu bar.
    plat::Menu mnuFile;
    plat::Menu mnuOpen;
    plat::Menu mnuSave;
    plat::Menu mnuPrint;
    plat::Menu mnuSitepins;
    plat::Menu mnuEditSitepins;
    plat::Menu mnuEditPrefs;
    plat::Menu mnuAdd;
    plat::Menu mnuHelp;
    plat::Menu mnuHelpfile;
    plat::Menu mnuAbout;

    // Form-level fields; they outlive an unload of the window.
    QString SettingText;
    bool UpdatingAddress = false;
    int16_t NormalTop = 0;
    int16_t NormalLeft = 0;
    int16_t NormalHeight = 0;
    int16_t NormalWidth = 0;

    // The thread's preferences form, loaded (hidden) by its first use.
    static frmPreferences& Preferences();

    // Load and close (frmBrowser.cpp).
    void Form_Load() override;
    void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) override;
    void Form_Unload(int16_t& Cancel) override;
    void SaveRoamwellSettings();

    // Layout (frmBrowser_Layout.cpp).
    void Form_Resize() override;

    // Navigation, history and status (frmBrowser_Navigation.cpp).
    void SurfTo(const QString& url);
    void cboAddress_Click();
    void cboAddress_KeyPress(int16_t& KeyAscii);
    void brwWebBrowser_BeforeNavigate2(const QString& URL, bool& Cancel);
    void brwWebBrowser_NavigateComplete2(const QString& URL);
    void brwWebBrowser_DownloadComplete();
    void tmrTimer_Timer();

    // Loading indicator (frmBrowser_Vantle.cpp). The placement rule is
    // shared with the preferences form's Save, which squares the box again
    // in circle style (squareAgain).
    void PlaceVantle(bool squareAgain);
    void tmrVantle_Timer();

    // Commands (frmBrowser_Commands.cpp).
    void tbToolBar_ButtonClick(const QString& Key);
    void mnuEditSitepins_Click();
    void mnuEditPrefs_Click();
    void mnuHelpfile_Click();
    void mnuAbout_Click();
    void picVantle_Click();

protected:
    void Design() override;
};

}  // namespace RoamwellDLL
