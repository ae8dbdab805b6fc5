// The toolbar, the menu commands and the indicator's click. Placeholders:
// the commands arrive in their own change.
#include "RoamwellDLL/frmBrowser.h"

void frmBrowser::tbToolBar_ButtonClick(const QString& Key)
{
    (void)Key;
}

void frmBrowser::mnuEditSitepins_Click()
{
}

void frmBrowser::mnuEditPrefs_Click()
{
}

void frmBrowser::mnuHelpfile_Click()
{
}

void frmBrowser::mnuAbout_Click()
{
}

void frmBrowser::picVantle_Click()
{
}
