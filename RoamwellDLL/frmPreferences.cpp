#include "RoamwellDLL/frmPreferences.h"

#include "RoamwellDLL/RoamwellSettings.h"
#include "RoamwellDLL/frmBrowser.h"
#include "RoamwellDLL/modRoamwel.h"
#include "platform/forms/DefaultInstance.h"
#include "platform/runtime/Dialogs.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Settings.h"

#include <memory>

namespace RoamwellDLL {

using namespace modRoamwel;
using namespace RoamwellSettings;

frmPreferences::frmPreferences()
    : plat::Form(QStringLiteral("frmPreferences")),
      frameHome(*this, QStringLiteral("frameHome")),
      txtHome(frameHome, QStringLiteral("txtHome")),
      cmdSave(*this, QStringLiteral("cmdSave")),
      cmdCancel(*this, QStringLiteral("cmdCancel")),
      frameSearch(*this, QStringLiteral("frameSearch")),
      txtSearch(frameSearch, QStringLiteral("txtSearch")),
      Frame1(*this, QStringLiteral("Frame1")),
      optionPacedial(QStringLiteral("optionPacedial"),
                     [this](int index) {
                         return std::make_unique<plat::OptionButton>(Frame1, QStringLiteral("optionPacedial"), index);
                     }),
      frameSitepinFile(*this, QStringLiteral("frameSitepinFile")),
      txtSitepinFile(frameSitepinFile, QStringLiteral("txtSitepinFile")),
      cmdBrowseSitepin(frameSitepinFile, QStringLiteral("cmdBrowseSitepin"))
{
    for (int index : {0, 1}) {
        plat::OptionButton& option = optionPacedial.Load(index);
        option.Click = [this, index] { optionPacedial_Click(static_cast<int16_t>(index)); };
    }
    cmdBrowseSitepin.Click = [this] { cmdBrowseSitepin_Click(); };
    cmdSave.Click = [this] { cmdSave_Click(); };
    cmdCancel.Click = [this] { cmdCancel_Click(); };
}

frmPreferences::~frmPreferences() = default;

void frmPreferences::Design()
{
    Caption = QStringLiteral("Preferences");
    BorderStyle = plat::vbFixedDialog;
    MinButton = false;
    MaxButton = false;
    ShowInTaskbar = false;
    StartUpPosition = plat::vbStartUpScreen;
    SetClientSize(7065, 3630);

    // The three texts, each in a frame of its own.
    struct TextDesign { plat::Frame& frame; const char* caption; float top; plat::TextBox& box; float width; const char* text; };
    const TextDesign texts[] = {
        {frameHome, "Starting Address (Home)", 120, txtHome, 6615, MakerSite},
        {frameSearch, "Search Address", 960, txtSearch, 6615, SearchSite},
        {frameSitepinFile, "Sitepin File", 1800, txtSitepinFile, 5175, ""},
    };
    for (const TextDesign& d : texts) {
        d.frame.Caption = QString::fromLatin1(d.caption);
        d.frame.Move(120, d.top, 6855, 735);
        d.box.Move(120, 240, d.width, 285);
        d.box.Text = QString::fromLatin1(d.text);
    }
    cmdBrowseSitepin.Caption = QStringLiteral("Browse...");
    cmdBrowseSitepin.Move(5400, 240, 1335, 375);
    cmdSave.Caption = QStringLiteral("Save");
    cmdSave.Move(3840, 3120, 1455, 375);
    cmdCancel.Caption = QStringLiteral("Cancel");
    cmdCancel.Move(5400, 3120, 1455, 375);
    Frame1.Caption = QStringLiteral("Pacedial");
    Frame1.Move(120, 2640, 1215, 855);
    // Wide enough for the button and its caption in this platform's font.
    optionPacedial(0).Caption = QStringLiteral("Circle");
    optionPacedial(0).Move(240, 240, 915, 255);
    optionPacedial(1).Caption = QStringLiteral("Bar");
    optionPacedial(1).Move(240, 480, 915, 255);

    int tab = 0;
    for (plat::Control* c : std::initializer_list<plat::Control*>{
             &frameHome, &txtHome, &cmdSave, &cmdCancel, &frameSearch, &txtSearch, &Frame1, &optionPacedial(0),
             &optionPacedial(1), &frameSitepinFile, &txtSitepinFile, &cmdBrowseSitepin})
        c->TabIndex = tab++;
}

void frmPreferences::Form_Load()
{
    frmBrowser& browser = plat::Default<frmBrowser>();
    browser.Load();
    SetIcon(browser.Icon());
}

// Every paint shows the stored style again: a choice counts only at Save.
void frmPreferences::Form_Paint()
{
    if (PacedialCircle)
        optionPacedial(0).Value = true;
    else
        optionPacedial(1).Value = true;
}

void frmPreferences::optionPacedial_Click(int16_t Index)
{
    optionPacedial(Index).Value = true;
}

// Any failure here, a cancelled dialog first of all, ends the handler
// silently and leaves the path as it was.
void frmPreferences::cmdBrowseSitepin_Click()
{
    plat::Skip([&] {
        const auto chosen = plat::ChooseOpenFile(plat::OpenFileRequest{
            QStringLiteral("Choose Sitepin File"), QStringLiteral("HTML Files|*.htm;*.html|All Files|*.*"),
            QStringLiteral(".html"), {}});
        if (!chosen)
            plat::Raise(plat::ErrDialogCancel, QStringLiteral("Cancel was selected."));
        txtSitepinFile.Text = *chosen;
    });
}

void frmPreferences::cmdSave_Click()
{
    StartAddress = txtHome.Text;
    frmBrowser& browser = plat::Default<frmBrowser>();
    browser.Load();
    browser.picVantle.Cls();
    PacedialCircle = optionPacedial(0).Value;
    plat::SaveSetting(Preferences::Pacedial, PacedialCircle ? QStringLiteral("0") : QStringLiteral("1"));
    browser.PlaceVantle(true);
    plat::SaveSetting(Preferences::HomeAddress, txtHome.Text);
    plat::SaveSetting(Preferences::SearchAddress, txtSearch.Text);
    plat::SaveSetting(Preferences::SitepinFile, txtSitepinFile.Text);
    Hide();
}

void frmPreferences::cmdCancel_Click()
{
    Hide();
}

// The close box acts as Cancel: the form stays loaded, so its texts go on
// being the live search address and saved-sites path of the browser window.
void frmPreferences::Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode)
{
    if (UnloadMode == plat::vbFormControlMenu) {
        Cancel = 1;
        Hide();
    }
}

}  // namespace RoamwellDLL
