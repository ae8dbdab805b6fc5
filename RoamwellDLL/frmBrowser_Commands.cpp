// The user's commands: the toolbar, the Edit and Help menus and a click on
// the loading indicator.
#include "RoamwellDLL/frmBrowser.h"

#include "RoamwellDLL/RoamwellSettings.h"
#include "RoamwellDLL/frmAbout.h"
#include "RoamwellDLL/frmPreferences.h"
#include "RoamwellDLL/modRoamwel.h"
#include "platform/forms/DefaultInstance.h"
#include "platform/runtime/Dialogs.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/TextEditor.h"

namespace RoamwellDLL {

using namespace modRoamwel;
using plat::Skip;

// Each statement that fails is skipped silently. Every click starts the
// busy poll before its key is looked at; keys compare case-sensitively.
void frmBrowser::tbToolBar_ButtonClick(const QString& Key)
{
    Skip([&] { tmrTimer.Enabled = true; });
    QString key;
    Skip([&] { key = Key; });

    if (key == u"Back") {
        Skip([&] { brwWebBrowser.GoBack(); });
    } else if (key == u"Forward") {
        Skip([&] { brwWebBrowser.GoForward(); });
    } else if (key == u"Refresh") {
        Skip([&] { brwWebBrowser.Refresh(); });
    } else if (key == u"Home") {
        if (!StartAddress.isEmpty()) {
            Skip([&] { cboAddress.Text = StartAddress; });
            Skip([&] { SurfTo(StartAddress); });
        }
    } else if (key == u"Search") {
        bool empty = false;  // a failing test goes on into its body
        Skip([&] { empty = Preferences().txtSearch.Text.Get().isEmpty(); });
        if (!empty) {
            Skip([&] { cboAddress.Text = Preferences().txtSearch.Text; });
            // Appended without looking for an equal entry: repeats gather at the end.
            Skip([&] { cboAddress.AddItem(cboAddress.Text); });
            Skip([&] { SurfTo(Preferences().txtSearch.Text); });
        }
    } else if (key == u"Sitepins") {
        Skip([&] { cboAddress.Text = Preferences().txtSitepinFile.Text; });
        Skip([&] { SurfTo(Preferences().txtSitepinFile.Text); });
    } else if (key == u"Stop") {
        Skip([&] { tmrTimer.Enabled = false; });
        Skip([&] { brwWebBrowser.Stop(); });
        Skip([&] { Caption = brwWebBrowser.LocationName(); });
        Skip([&] { Surfing = false; });
    }
}

// The saved-sites page opens in the user's text editor, handed over as one
// absolute path whatever the stored text holds, so that no editor reads it
// as an option or a command. When no editor starts, a message says so and
// the window (and the program around it) goes on.
void frmBrowser::mnuEditSitepins_Click()
{
    const QString path = Preferences().txtSitepinFile.Text;
    try {
        plat::EditTextFile(path);
    } catch (const plat::RuntimeError&) {
        plat::MsgBox(QStringLiteral("No text editor could be started to edit the Sitepin file:\n") + path,
                     plat::vbOKOnly + plat::vbExclamation);
    }
}

void frmBrowser::mnuEditPrefs_Click()
{
    Preferences().Show(1);
}

void frmBrowser::mnuHelpfile_Click()
{
    cboAddress.Text = ComponentFolder() + QStringLiteral("/helpfile.htm");
    SurfTo(ComponentFolder() + QStringLiteral("/helpfile.htm"));
}

void frmBrowser::mnuAbout_Click()
{
    plat::Default<frmAbout>().Show(1);
}

void frmBrowser::picVantle_Click()
{
    SurfTo(RoamwellSettings::MakerSite);
}

}  // namespace RoamwellDLL
