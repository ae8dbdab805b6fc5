// The browser window's design, its load, and its close with the saving of
// its placement.
#include "RoamwellDLL/frmBrowser.h"

#include "RoamwellDLL/RoamwellSettings.h"
#include "RoamwellDLL/frmAbout.h"
#include "RoamwellDLL/frmPreferences.h"
#include "RoamwellDLL/modRoamwel.h"
#include "platform/forms/DefaultInstance.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Numeric.h"
#include "platform/runtime/Settings.h"

#include <QIcon>

namespace RoamwellDLL {

using namespace modRoamwel;
using namespace RoamwellSettings;
using plat::ReadSetting;
using plat::SaveSetting;
using plat::Skip;

namespace {
QString ComponentFile(const char* name)
{
    return ComponentFolder() + QLatin1Char('/') + QLatin1String(name);
}
}  // namespace

frmBrowser::frmBrowser()
    : plat::Form(QStringLiteral("frmBrowser")),
      lblAddress(*this, QStringLiteral("lblAddress")),
      cboAddress(*this, QStringLiteral("cboAddress")),
      brwWebBrowser(*this, QStringLiteral("brwWebBrowser")),
      tbToolBar(*this, QStringLiteral("tbToolBar")),
      statbar(*this, QStringLiteral("statbar")),
      progbar(*this, QStringLiteral("progbar")),
      picVantle(*this, QStringLiteral("picVantle")),
      tmrTimer(*this, QStringLiteral("tmrTimer")),
      tmrVantle(*this, QStringLiteral("tmrVantle")),
      mnuFile(*this, QStringLiteral("mnuFile"), QStringLiteral("&File")),
      mnuOpen(*this, QStringLiteral("mnuOpen"), QStringLiteral("&Open"), &mnuFile),
      mnuSave(*this, QStringLiteral("mnuSave"), QStringLiteral("&Save"), &mnuFile),
      mnuPrint(*this, QStringLiteral("mnuPrint"), QStringLiteral("&Print"), &mnuFile),
      mnuSitepins(*this, QStringLiteral("mnuSitepins"), QStringLiteral("&Edit")),
      mnuEditSitepins(*this, QStringLiteral("mnuEditSitepins"), QStringLiteral("&Sitepins"), &mnuSitepins),
      mnuEditPrefs(*this, QStringLiteral("mnuEditPrefs"), QStringLiteral("&Prefrences"), &mnuSitepins),
      mnuAdd(*this, QStringLiteral("mnuAdd"), QStringLiteral("&Add Sitepin"), &mnuSitepins),
      mnuHelp(*this, QStringLiteral("mnuHelp"), QStringLiteral("&Help")),
      mnuHelpfile(*this, QStringLiteral("mnuHelpfile"), QStringLiteral("&Helpfile"), &mnuHelp),
      mnuAbout(*this, QStringLiteral("mnuAbout"), QStringLiteral("&About"), &mnuHelp)
{
    // The seven buttons; each key is also its caption.
    const struct {
        const char* key;
        const char* picture;
    } buttons[] = {
        {"Back", "tb_back.png"},       {"Forward", "tb_forward.png"}, {"Stop", "tb_stop.png"},
        {"Refresh", "tb_refresh.png"}, {"Home", "tb_home.png"},       {"Search", "tb_search.png"},
        {"Sitepins", "tb_sitepins.png"},
    };
    tbToolBar.SetImageSize(QSize(24, 24));
    for (const auto& b : buttons)
        tbToolBar.AddButton(QLatin1String(b.key), QLatin1String(b.key), QIcon(ComponentFile(b.picture)));

    mnuOpen.Enabled = false;
    mnuSave.Enabled = false;
    mnuPrint.Enabled = false;
    mnuAdd.Enabled = false;
    mnuAdd.Visible = false;

    cboAddress.Click = [this] { cboAddress_Click(); };
    cboAddress.KeyPress = [this](int16_t& KeyAscii) { cboAddress_KeyPress(KeyAscii); };
    brwWebBrowser.BeforeNavigate2 = [this](const QString& URL, bool& Cancel) { brwWebBrowser_BeforeNavigate2(URL, Cancel); };
    brwWebBrowser.NavigateComplete2 = [this](const QString& URL) { brwWebBrowser_NavigateComplete2(URL); };
    brwWebBrowser.DownloadComplete = [this] { brwWebBrowser_DownloadComplete(); };
    tbToolBar.ButtonClick = [this](const QString& Key) { tbToolBar_ButtonClick(Key); };
    picVantle.Click = [this] { picVantle_Click(); };
    tmrTimer.Tick = [this] { tmrTimer_Timer(); };
    tmrVantle.Tick = [this] { tmrVantle_Timer(); };
    mnuEditSitepins.Click = [this] { mnuEditSitepins_Click(); };
    mnuEditPrefs.Click = [this] { mnuEditPrefs_Click(); };
    mnuHelpfile.Click = [this] { mnuHelpfile_Click(); };
    mnuAbout.Click = [this] { mnuAbout_Click(); };
}

frmBrowser::~frmBrowser() = default;

frmPreferences& frmBrowser::Preferences()
{
    frmPreferences& form = plat::Default<frmPreferences>();
    form.Load();
    return form;
}

void frmBrowser::Design()
{
    Caption = QString();
    QIcon icon;
    icon.addFile(ComponentFile("roamwell.png"), QSize(32, 32));
    icon.addFile(ComponentFile("roamwell16.png"), QSize(16, 16));
    SetIcon(icon);
    // Each load starts from the design placement; the settings move it.
    WindowState = plat::vbNormal;
    Move(0, 0);
    SetClientSize(7920, 5490);

    lblAddress.Caption = QStringLiteral("&Address:");
    lblAddress.Move(0, 0, 3075, 255);
    // Every load starts with an empty address history.
    cboAddress.Clear();
    cboAddress.Text = QString();
    cboAddress.Move(240, 600, 2715, 315);
    brwWebBrowser.Move(240, 1200, 1800, 1335);
    statbar.Height = 285;
    statbar.Panels(1).Text = QString();
    // The progress bar lies over the bar's left end: the text is centred
    // so that it shows beside it.
    statbar.Panels(1).Alignment = plat::sbrCenter;
    picVantle.BorderStyle = 0;
    picVantle.Move(7440, 90, 375, 375);
    picVantle.Cls();

    tmrTimer.Interval = 20;
    tmrTimer.Enabled = false;
    tmrVantle.Interval = 250;
    tmrVantle.Enabled = true;
}

// Each statement that fails is skipped and the load goes on.
void frmBrowser::Form_Load()
{
    Skip([&] {
        if (StartAddress.isEmpty())
            StartAddress = ReadSetting(Preferences::HomeAddress);
    });
    Skip([&] { frmBrowser::Preferences().txtHome.Text = StartAddress; });
    Skip([&] { SettingText = ReadSetting(Preferences::SearchAddress); });
    Skip([&] { frmBrowser::Preferences().txtSearch.Text = SettingText; });
    Skip([&] { SettingText = ReadSetting(Preferences::SitepinFile); });
    Skip([&] { frmBrowser::Preferences().txtSitepinFile.Text = SettingText; });

    bool circle = true;  // a failing test goes on into its first branch
    Skip([&] { circle = ReadSetting(Preferences::Pacedial) == QLatin1String("0"); });
    if (circle) {
        Skip([&] { frmBrowser::Preferences().optionPacedial(0).Value = true; });
        Skip([&] { PacedialCircle = true; });
    } else {
        Skip([&] { frmBrowser::Preferences().optionPacedial(1).Value = true; });
        Skip([&] { PacedialCircle = false; });
    }

    Skip([&] { Top = ReadSetting(Browser::Top); });
    Skip([&] { Left = ReadSetting(Browser::Left); });
    Skip([&] { Height = ReadSetting(Browser::Height); });
    Skip([&] { Width = ReadSetting(Browser::Width); });
    Skip([&] {
        const int16_t state = ReadSetting(Browser::Windowstate);
        if (state < plat::vbNormal || state > plat::vbMaximized)
            plat::Raise(plat::ErrInvalidPropertyValue);  // the window knows only three states
        WindowState = state;
    });

    Skip([&] { tbToolBar.Refresh(); });
    Skip([&] { StartAddress = frmBrowser::Preferences().txtHome.Text; });
    Skip([&] { cboAddress.Move(50, lblAddress.Top + lblAddress.Height + 15); });
    Skip([&] { cboAddress.Text = ComponentFolder() + QStringLiteral("/welcome.htm"); });
    Skip([&] {
        if (!StartAddress.isEmpty())
            cboAddress.Text = StartAddress;
    });
    Skip([&] { Form_Resize(); });
    Skip([&] { cboAddress_Click(); });
}

void frmBrowser::Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode)
{
    (void)Cancel;
    (void)UnloadMode;
    SaveRoamwellSettings();
}

// Minimized or maximized, the window saves the placement it last had in the
// normal state, as whole twips.
void frmBrowser::SaveRoamwellSettings()
{
    const bool normal = WindowState == plat::vbNormal;
    SaveSetting(Browser::Top, normal ? plat::CStr(Top.Get()) : plat::CStr(NormalTop));
    SaveSetting(Browser::Left, normal ? plat::CStr(Left.Get()) : plat::CStr(NormalLeft));
    SaveSetting(Browser::Height, normal ? plat::CStr(Height.Get()) : plat::CStr(NormalHeight));
    SaveSetting(Browser::Width, normal ? plat::CStr(Width.Get()) : plat::CStr(NormalWidth));
    SaveSetting(Browser::Windowstate, plat::CStr(WindowState.Get()));
}

void frmBrowser::Form_Unload(int16_t& Cancel)
{
    (void)Cancel;
    plat::DefaultInstance<frmAbout>::Release();
    plat::DefaultInstance<frmPreferences>::Release();
    // The page goes with the window: nothing loads or runs behind a closed one.
    brwWebBrowser.Clear();
}

}  // namespace RoamwellDLL
