// The setup dialog: its design, its load, the checks and the writes of its
// close, and the restart.
#include "Velmor/frmOptions.h"

#include "Velmor/GameSettings.h"
#include "Velmor/frmBoard.h"
#include "Velmor/modVelmor.h"
#include "platform/forms/DefaultInstance.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Numeric.h"

using namespace modVelmor;
using namespace GameSettings;
using plat::CDbl;
using plat::CStr;
using plat::Skip;

frmOptions::frmOptions()
    : plat::Form(QStringLiteral("frmOptions")),
      Label3(*this, QStringLiteral("Label3")),
      lblMin(*this, QStringLiteral("lblMin")),
      lblmax(*this, QStringLiteral("lblmax")),
      Label1(*this, QStringLiteral("Label1")),
      Label2(*this, QStringLiteral("Label2")),
      cboRows(*this, QStringLiteral("cboRows"), plat::vbComboDropdownList),
      cboColumns(*this, QStringLiteral("cboColumns"), plat::vbComboDropdownList),
      HScrollSize(*this, QStringLiteral("HScrollSize")),
      cmdSaveExit(*this, QStringLiteral("cmdSaveExit")),
      cmdRestartGame(*this, QStringLiteral("cmdRestartGame")),
      cmdCancel(*this, QStringLiteral("cmdCancel")),
      Shape1(*this, QStringLiteral("Shape1")),
      Shape2(*this, QStringLiteral("Shape2")),
      Shape3(*this, QStringLiteral("Shape3")),
      Shape4(*this, QStringLiteral("Shape4")),
      Shape5(*this, QStringLiteral("Shape5")),
      Shape6(*this, QStringLiteral("Shape6")),
      Shape7(*this, QStringLiteral("Shape7")),
      Shape8(*this, QStringLiteral("Shape8")),
      Shape9(*this, QStringLiteral("Shape9")),
      Shape10(*this, QStringLiteral("Shape10"))
{
}

frmOptions::~frmOptions() = default;

void frmOptions::Design()
{
    Caption = QStringLiteral("Velmor Setup");
    BorderStyle = plat::vbFixedSingle;
    MinButton = false;
    MaxButton = false;
    BackColor = 0;
    WindowState = plat::vbNormal;
    SetClientSize(4650, 1860);

    // The labels are a little wider than their captions need in a compact
    // face, so that the captions show whole in this platform's sans face;
    // they are transparent, so only their text shows.
    struct LabelDesign { plat::Label& label; const char* caption; float left, top, width, height; };
    const LabelDesign labels[] = {
        {Label3, "Size", 1260, 165, 360, 195},
        {lblMin, "Min", 180, 675, 315, 195},
        {lblmax, "Max", 2490, 675, 360, 195},
        {Label1, "Rows", 1155, 1020, 450, 195},
        {Label2, "Columns", 1995, 1020, 750, 195},
    };
    for (const LabelDesign& d : labels) {
        d.label.Caption = QString::fromLatin1(d.caption);
        d.label.Move(d.left, d.top, d.width, d.height);
        d.label.ForeColor = 0xFFFFFF;
        d.label.BackStyle = plat::vbTransparent;  // the dialog's picture shows through
    }

    // The lists are filled by every load.
    cboRows.Clear();
    cboRows.Move(1155, 1260, 735, 315);
    cboRows.TabIndex = 1;
    cboColumns.Clear();
    cboColumns.Move(1995, 1260, 735, 315);
    cboColumns.TabIndex = 2;

    // 100 to 500 twips keeps a cell above nothing and the largest well
    // (30 by 30) inside the 16-bit arithmetic of the board's layout.
    HScrollSize.Move(180, 405, 2535, 255);
    HScrollSize.Min = 100;
    HScrollSize.Max = 500;
    HScrollSize.SmallChange = 10;
    HScrollSize.LargeChange = 50;
    HScrollSize.Value = 300;
    HScrollSize.TabIndex = 3;

    struct ButtonDesign { plat::CommandButton& button; const char* caption; float top; int tabIndex; };
    const ButtonDesign buttons[] = {
        {cmdSaveExit, "Save and Exit", 225, 9},
        {cmdRestartGame, "Restart Game", 675, 10},
        {cmdCancel, "Cancel", 1125, 11},
    };
    for (const ButtonDesign& d : buttons) {
        d.button.Caption = QString::fromLatin1(d.caption);
        d.button.Move(3105, d.top, 1335, 375);
        d.button.TabIndex = d.tabIndex;
    }
    cmdSaveExit.Click = [this] { cmdSaveExit_Click(); };
    cmdRestartGame.Click = [this] { cmdRestartGame_Click(); };
    cmdCancel.Click = [this] { cmdCancel_Click(); };

    // Three little pieces in the lower left corner.
    constexpr int32_t green = 0x00C000;
    constexpr int32_t red = 0x0000C0;
    constexpr int32_t yellow = 0x00C0C0;
    struct SquareDesign { plat::ShapeControl& square; float left, top; int32_t color; };
    const SquareDesign squares[] = {
        {Shape1, 225, 1080, green}, {Shape2, 225, 1215, green}, {Shape3, 225, 1350, green},
        {Shape4, 225, 1485, green}, {Shape5, 360, 1485, green},
        {Shape6, 495, 1215, red}, {Shape7, 630, 1215, red}, {Shape8, 360, 1350, red},
        {Shape9, 495, 1350, red},
        {Shape10, 360, 1215, yellow},
    };
    for (const SquareDesign& d : squares) {
        d.square.Move(d.left, d.top, 135, 150);
        d.square.BorderColor = 0xFFFFFF;
        d.square.FillStyle = plat::vbFSSolid;
        d.square.FillColor = d.color;
    }
}

// Runs with every failing step skipped: a stored value that cannot be used
// leaves what it would have set as it was.
void frmOptions::Form_Load()
{
    frmBoard& board = plat::Default<frmBoard>();
    // What the running game uses, for any stored dimension the re-read cannot take.
    ShownSize = Size;
    ShownColumns = Columns;
    ShownRows = Rows;

    Skip([&] { Cancelled = false; });
    Skip([&] { SetIcon(board.Icon()); });
    Skip([&] { SetPicture(board.imgLeft.Picture()); });

    for (int i = 10; i <= 30; ++i)
        Skip([&] { cboColumns.AddItem(CStr(i)); });
    for (int i = 15; i <= 30; ++i)
        Skip([&] { cboRows.AddItem(CStr(i)); });

    Skip([&] {
        const int16_t state = plat::ReadSetting(Start::Windowstate);
        if (state == plat::vbMinimized) {
            WindowState = plat::vbNormal;
        } else {
            if (state < plat::vbNormal || state > plat::vbMaximized)
                plat::Raise(plat::ErrInvalidPropertyValue);
            WindowState = state;
        }
    });

    if (WindowState == plat::vbNormal) {
        Skip([&] { Top = plat::ReadSetting(Options::Top); });
        Skip([&] { Left = plat::ReadSetting(Options::Left); });
        Skip([&] { ShownSize = plat::ReadSetting(Game::Size); });
        Skip([&] { ShownColumns = plat::ReadSetting(Game::Columns); });
        Skip([&] { ShownRows = plat::ReadSetting(Game::Rows); });
        Skip([&] { AsciiLeft = plat::ReadSetting(Game::AsciiLeft); });
        Skip([&] { AsciiRight = plat::ReadSetting(Game::AsciiRight); });
        Skip([&] { AsciiRotate = plat::ReadSetting(Game::AsciiRotate); });
        Skip([&] { AsciiDrop = plat::ReadSetting(Game::AsciiDrop); });
    }

    // The lists show the stored numbers, without what the read added to them.
    // A text that is not among the entries leaves the list without a selection.
    Skip([&] { cboColumns.Text = CStr(int(plat::I16(ShownColumns) - plat::I16(Game::Columns.plus))); });
    Skip([&] { cboRows.Text = CStr(int(plat::I16(ShownRows) - plat::I16(Game::Rows.plus))); });
    Skip([&] { HScrollSize.Value = ShownSize; });
}

// A list left without a selected entry by the load (a stored value outside
// its range) has no text to check; SaveOptions keeps its stored value.
void frmOptions::CheckLimits()
{
    if (cboColumns.ListIndex >= 0) {
        if (CDbl(cboColumns.Text) > 30)
            cboColumns.Text = QStringLiteral("30");
        if (CDbl(cboColumns.Text) < 10)
            cboColumns.Text = QStringLiteral("10");
    }
    if (cboRows.ListIndex >= 0) {
        if (CDbl(cboRows.Text) > 30)
            cboRows.Text = QStringLiteral("30");
        if (CDbl(cboRows.Text) < 15)
            cboRows.Text = QStringLiteral("15");
    }
}

void frmOptions::SaveOptions()
{
    CheckLimits();
    Write(Start::Windowstate, CStr(int(WindowState)));
    if (WindowState != plat::vbNormal)
        return;
    Write(Options::Top, CStr(float(Top)));
    Write(Options::Left, CStr(float(Left)));
    if (Cancelled)
        return;
    if (cboColumns.ListIndex >= 0)
        Write(Game::Columns, cboColumns.Text);
    if (cboRows.ListIndex >= 0)
        Write(Game::Rows, cboRows.Text);
    Write(Game::Size, CStr(int(HScrollSize.Value)));
    // The dialog offers no choice of keys: every save puts the arrow keys back.
    for (const Setting<int16_t>* key : {&Game::AsciiLeft, &Game::AsciiRight, &Game::AsciiRotate, &Game::AsciiDrop})
        Write(*key, plat::DefaultText(*key));
}

void frmOptions::Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode)
{
    (void)Cancel;
    (void)UnloadMode;
    SaveOptions();  // every close, whatever its cause
}

void frmOptions::Form_Unload(int16_t& Cancel)
{
    (void)Cancel;
}

void frmOptions::cmdSaveExit_Click()
{
    Unload();
}

void frmOptions::cmdCancel_Click()
{
    Cancelled = true;
    Unload();
}

void frmOptions::cmdRestartGame_Click()
{
    SaveOptions();
    // This very program, by its full path and without a shell: a bare name
    // would be looked up on the search path and might start something else.
    plat::Shell(plat::App::ExePath(), {}, 1);
    plat::End();
}
