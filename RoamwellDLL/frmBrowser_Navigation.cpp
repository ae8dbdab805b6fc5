// Navigation: SurfTo, the address box and its history, the web page's
// events that write the status bar and the caption, and the busy poll.
#include "RoamwellDLL/frmBrowser.h"

#include "RoamwellDLL/modRoamwel.h"
#include "platform/forms/Keys.h"
#include "platform/runtime/Errors.h"

namespace RoamwellDLL {

using namespace modRoamwel;

// Every navigation of the component starts here.
void frmBrowser::SurfTo(const QString& url)
{
    if (!url.isEmpty())
        cboAddress.Text = url;
    tmrTimer.Enabled = true;
    brwWebBrowser.Navigate(cboAddress.Text);
}

void frmBrowser::cboAddress_Click()
{
    if (!UpdatingAddress)
        SurfTo(cboAddress.Text);
}

// Each statement that fails is skipped.
void frmBrowser::cboAddress_KeyPress(int16_t& KeyAscii)
{
    if (KeyAscii == plat::vbKeyReturn)
        plat::Skip([&] { cboAddress_Click(); });
}

void frmBrowser::brwWebBrowser_BeforeNavigate2(const QString& URL, bool& Cancel)
{
    (void)Cancel;
    statbar.Panels(1).Text = QStringLiteral("Surfing to: ") + URL;
}

void frmBrowser::brwWebBrowser_NavigateComplete2(const QString& URL)
{
    Caption = brwWebBrowser.LocationName();
    Surfing = false;

    const QString location = brwWebBrowser.LocationURL();
    int found = -1;
    const int count = cboAddress.ListCount();
    for (int i = 0; i < count; ++i) {
        if (cboAddress.List(i) == location) {
            found = i;
            break;
        }
    }
    UpdatingAddress = true;
    if (found >= 0)
        cboAddress.RemoveItem(found);
    cboAddress.AddItem(brwWebBrowser.LocationURL(), 0);
    cboAddress.ListIndex = 0;  // its Click finds UpdatingAddress set and navigates nowhere
    UpdatingAddress = false;

    statbar.Panels(1).Text = QStringLiteral("Site Found: ") + URL;
}

// Each statement that fails is skipped.
void frmBrowser::brwWebBrowser_DownloadComplete()
{
    plat::Skip([&] { Caption = brwWebBrowser.LocationName(); });
    plat::Skip([&] { statbar.Panels(1).Text = QStringLiteral("Done"); });
}

// The busy poll: runs from a navigation's start to the first tick that
// finds the page idle.
void frmBrowser::tmrTimer_Timer()
{
    if (brwWebBrowser.Busy()) {
        Caption = QStringLiteral("-Surfing-");
        Surfing = true;
    } else {
        tmrTimer.Enabled = false;
        Caption = brwWebBrowser.LocationName();
        Surfing = false;
    }
}

}  // namespace RoamwellDLL
