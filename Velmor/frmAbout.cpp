#include "Velmor/frmAbout.h"

#include "Velmor/frmBoard.h"
#include "platform/forms/DefaultInstance.h"
#include "platform/runtime/App.h"

frmAbout::frmAbout()
    : plat::Form(QStringLiteral("frmAbout")),
      Image1(*this, QStringLiteral("Image1")),
      Shape1(*this, QStringLiteral("Shape1")),
      Label1(*this, QStringLiteral("Label1")),
      Label4(*this, QStringLiteral("Label4")),
      Label2(*this, QStringLiteral("Label2")),
      Label3(*this, QStringLiteral("Label3"))
{
}

frmAbout::~frmAbout() = default;

void frmAbout::Design()
{
    Caption = QStringLiteral("About");
    BorderStyle = plat::vbFixedDialog;
    MinButton = false;
    MaxButton = false;
    ShowInTaskbar = false;
    StartUpPosition = plat::vbStartUpScreen;  // centred at every load and show
    SetClientSize(3825, 2235);
    BackColor = 0;  // white text stays readable beside the narrow wall picture

    Image1.Stretch = true;
    Image1.Move(225, 135, 3360, 765);
    Image1.SetPicture(QPixmap(plat::App::Path() + QStringLiteral("/velmor_logo.bmp")));

    Shape1.Move(225, 135, 3390, 780);
    Shape1.BorderColor = 0xFFFFFF;
    Shape1.BorderWidth = 2;

    // The name and the release are centred under the logo, in boxes wide
    // enough for this platform's sans face at their sizes.
    struct LabelDesign { plat::Label& label; QString caption; float left, top, width, height; };
    const LabelDesign labels[] = {
        {Label1, QStringLiteral("Velmor v1.2"), 225, 990, 3375, 555},
        {Label4, QStringLiteral("Release 1"), 1260, 1485, 1200, 195},
        {Label2, QStringLiteral("(c) The Velmor developers. Free to share."), 120, 1695, 3495, 195},
        {Label3, QStringLiteral("Write to us through the project's page."), 120, 1935, 3510, 195},
    };
    for (const LabelDesign& d : labels) {
        d.label.Caption = d.caption;
        d.label.Move(d.left, d.top, d.width, d.height);
        d.label.ForeColor = 0xFFFFFF;
        d.label.BackStyle = plat::vbTransparent;  // over the about box's picture
    }
    // Where this face is not installed the system's sans face stands in.
    Label1.FontName = QStringLiteral("MS Sans Serif");
    Label1.FontBold = true;
    Label1.FontSize = 24;
    Label1.Alignment = plat::vbCenter;
    Label4.FontName = QStringLiteral("MS Sans Serif");
    Label4.FontBold = true;
    Label4.FontSize = 8.25f;
    Label4.Alignment = plat::vbCenter;
}

void frmAbout::Form_Load()
{
    frmBoard& board = plat::Default<frmBoard>();
    SetIcon(board.Icon());
    SetPicture(board.imgLeft.Picture());
}
