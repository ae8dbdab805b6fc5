// The popup menu of the label "Menu": the setup dialog, the background
// colour, the about box and the help page.
#include "Velmor/GameSettings.h"
#include "Velmor/frmAbout.h"
#include "Velmor/frmBoard.h"
#include "Velmor/frmOptions.h"
#include "platform/forms/DefaultInstance.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Dialogs.h"
#include "platform/runtime/Numeric.h"

void frmBoard::lblMenu_MouseDown(int Button, int Shift, float X, float Y)
{
    // Any button, anywhere on the label.
    (void)Button;
    (void)Shift;
    (void)X;
    (void)Y;
    PopupMenu(mnuPopup);
}

void frmBoard::mnuSetup_Click()
{
    plat::Default<frmOptions>().Show();
}

void frmBoard::mnuBackgroundColor_Click()
{
    // Only a confirmed choice counts: Cancel leaves the background and the
    // stored colour as they are.
    if (!cdlgOptions.ShowColor())
        return;
    BackColor = cdlgOptions.Color;
    GameSettings::Write("Game", "Backcolor", plat::CStr(int(cdlgOptions.Color)));
}

void frmBoard::mnuAbout_Click()
{
    plat::Default<frmAbout>().Show();
}

void frmBoard::mnuHelp_Click()
{
    const QString address = plat::App::Path() + QStringLiteral("/VelmorHelp.htm");
    OpenHelp(address);
}
