// The board window's design, its load (start-up) and its close.
#include "Velmor/frmBoard.h"

#include "Velmor/GameSettings.h"
#include "Velmor/frmOptions.h"
#include "Velmor/modVelmor.h"
#include "platform/forms/DefaultInstance.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Numeric.h"
#include "platform/runtime/Rnd.h"

#include <QPixmap>

using namespace modVelmor;
using namespace GameSettings;
using plat::CInt;
using plat::I16;

namespace {
constexpr int SquarePool = 1440;

QPixmap GamePicture(const char* file)
{
    return QPixmap(plat::App::Path() + QLatin1Char('/') + QLatin1String(file));
}
}  // namespace

frmBoard::frmBoard()
    : plat::Form(QStringLiteral("frmBoard")),
      shpSquare(QStringLiteral("shpSquare"),
                [this](int i) { return std::make_unique<plat::ShapeControl>(*this, QStringLiteral("shpSquare"), i); }),
      shpBlobSquare(QStringLiteral("shpBlobSquare"),
                    [this](int i) { return std::make_unique<plat::ShapeControl>(*this, QStringLiteral("shpBlobSquare"), i); }),
      picPreview(*this, QStringLiteral("picPreview")),
      shpPreview(QStringLiteral("shpPreview"),
                 [this](int i) { return std::make_unique<plat::ShapeControl>(picPreview, QStringLiteral("shpPreview"), i); }),
      lblScore(*this, QStringLiteral("lblScore")),
      cmdPlay(*this, QStringLiteral("cmdPlay")),
      cmdTryAgain(*this, QStringLiteral("cmdTryAgain")),
      lblMenu(*this, QStringLiteral("lblMenu")),
      imgLeft(*this, QStringLiteral("imgLeft")),
      imgRight(*this, QStringLiteral("imgRight")),
      tmrMove(*this, QStringLiteral("tmrMove"))
{
    // Back to front: the well's squares, the falling piece, the score, the
    // menu label and the wall pictures (which the load brings forward again).
    for (int i = 0; i < SquarePool; ++i)
        shpSquare.Load(i);
    for (int i = 0; i < 16; ++i)
        shpBlobSquare.Load(i);
    for (int i = 0; i < 16; ++i)
        shpPreview.Load(i);
    lblScore.ZOrder(0);
    lblMenu.ZOrder(0);
    imgLeft.ZOrder(0);
    imgRight.ZOrder(0);
}

frmBoard::~frmBoard() = default;

void frmBoard::Design()
{
    Caption = QString();
    BackColor = 0;
    BorderStyle = plat::vbFixedSingle;
    MaxButton = false;
    KeyPreview = true;
    SetIcon(QIcon(GamePicture("velmor.png")));

    shpSquare.ForEach([](plat::ShapeControl& s) {
        s.Visible = false;
        s.BorderStyle = plat::vbBSInsideSolid;
    });
    shpBlobSquare.ForEach([](plat::ShapeControl& s) {
        s.Visible = false;
        s.Shape = plat::vbShapeRoundedSquare;
        s.BorderStyle = plat::vbBSInsideSolid;
        s.BackStyle = plat::vbOpaque;
    });
    shpPreview.ForEach([](plat::ShapeControl& s) {
        s.Visible = false;
        s.Shape = s.Index() == 15 ? plat::vbShapeRectangle : plat::vbShapeRoundedSquare;
        s.BackStyle = plat::vbOpaque;
    });
    picPreview.BorderStyle = 0;
    picPreview.TabStop = false;

    for (plat::CommandButton* button : {&cmdPlay, &cmdTryAgain}) {
        button->Width = 1695;
        button->Height = 735;
        button->FontSize = 13.5f;
    }
    cmdPlay.Caption = QStringLiteral("Play");
    cmdPlay.TabIndex = 0;
    cmdTryAgain.Caption = QStringLiteral("Try Again");
    cmdTryAgain.Visible = false;
    cmdPlay.Click = [this] { cmdPlay_Click(); };
    cmdTryAgain.Click = [this] { cmdTryAgain_Click(); };

    lblScore.BackStyle = 0;
    lblScore.ForeColor = 0xFFFF;
    lblScore.FontBold = true;
    lblScore.FontSize = 12;
    lblScore.Width = 3000;
    lblScore.Height = 600;

    lblMenu.Caption = QStringLiteral("Menu");
    lblMenu.Height = 255;
    lblMenu.Alignment = plat::vbCenter;

    imgLeft.Stretch = true;
    imgRight.Stretch = true;
    imgLeft.SetPicture(GamePicture("wall_left.png"));
    imgRight.SetPicture(GamePicture("wall_right.png"));

    tmrMove.Enabled = false;
    tmrMove.Interval = 0;
    tmrMove.Tick = [this] { tmrMove_Timer(); };

    mnuPopup.Visible = false;  // a popup only: the window has no menu bar
    lblMenu.MouseDown = [this](int button, int shift, float x, float y) { lblMenu_MouseDown(button, shift, x, y); };
    mnuSetup.Click = [this] { mnuSetup_Click(); };
    mnuBackgroundColor.Click = [this] { mnuBackgroundColor_Click(); };
    mnuAbout.Click = [this] { mnuAbout_Click(); };
    mnuHelp.Click = [this] { mnuHelp_Click(); };
}

frmBoard::Layout frmBoard::LayoutFor(int16_t size, int16_t columns, int16_t rows)
{
    Layout layout;
    layout.width = (I16(columns) - I16(2)) * I16(size) + I16(80);
    layout.height = I16(rows) * I16(size) + I16(450);
    layout.fourCells = I16(4) * I16(size);
    layout.sixCells = I16(6) * I16(size);
    layout.wallHeight = (I16(rows) + I16(1)) * I16(size);
    layout.rightWallLeft = (I16(columns) - I16(3)) * I16(size) + I16(10);
    return layout;
}

// The layout of a well of these dimensions when it can be built and laid
// out: a cell above nothing (positions are divided by the size), room for
// the starter blocks, every 16-bit step of the layout and of the well's
// set-up in range, and a square in the pool for every cell.
std::optional<frmBoard::Layout> frmBoard::FittingLayout(int16_t size, int16_t columns, int16_t rows)
{
    if (size < 1 || columns < 9 || rows < 3)
        return std::nullopt;
    try {
        const Layout layout = LayoutFor(size, columns, rows);
        // The well's last cell, in the hidden row below the floor.
        CellPlace(size, columns);
        CellPlace(size, rows + 1);
        if (SquareIndex(rows, columns, rows + 1) < SquarePool)
            return layout;
    } catch (const plat::RuntimeError&) {
    }
    return std::nullopt;
}

// Reads "Size", "Columns" and "Rows", each once, and gives the layout of the
// well they make. A combination that cannot be laid out falls back, setting
// by setting, to the defaults; a setting that falls back is reported with
// the text it was read from.
frmBoard::Layout frmBoard::ReadBoardSettings()
{
    struct Dimension { const Setting<int16_t>& setting; int16_t& variable; QString text; };
    Dimension dimensions[] = {{Game::Size, Size, plat::SettingText(Game::Size)},
                              {Game::Columns, Columns, plat::SettingText(Game::Columns)},
                              {Game::Rows, Rows, plat::SettingText(Game::Rows)}};
    for (Dimension& d : dimensions)
        d.variable = Read(d.setting, d.text);
    for (const Dimension& d : dimensions) {
        if (const std::optional<Layout> layout = FittingLayout(Size, Columns, Rows))
            return *layout;
        const int16_t value = Default(d.setting);
        if (d.variable != value) {
            ReportUnusable(d.setting, d.text);
            d.variable = value;
        }
    }
    return LayoutFor(Size, Columns, Rows);  // the defaults, which always fit
}

void frmBoard::Form_Load()
{
    // The help browser first: the game does not start without it.
    HelpBrowser = CreateHelpBrowser();

    // Window state, and the position of a normal window.
    const int16_t state = Read(Game::Windowstate);
    if (state == plat::vbMinimized)
        WindowState = plat::vbNormal;
    else if (state == plat::vbNormal || state == plat::vbMaximized)
        WindowState = state;
    else
        ReportUnusable(Game::Windowstate, plat::CStr(static_cast<int>(state)));
    if (WindowState == plat::vbNormal) {
        Top = Read(Game::Top);
        Left = Read(Game::Left);
    }

    // The well's size (and the layout it makes), the keys and the high score.
    const Layout layout = ReadBoardSettings();
    AsciiLeft = Read(Game::AsciiLeft);
    AsciiRight = Read(Game::AsciiRight);
    AsciiRotate = Read(Game::AsciiRotate);
    AsciiDrop = Read(Game::AsciiDrop);
    Highscore = Read(Game::Highscore);
    Highscorename = Read(Game::Highscorename);

    // Closing ends the program; an empty well, the generator seeded from the
    // clock, the starting speed and no piece landed.
    NoEnd = 0;
    Board.ReDim(0, Columns + 8, 0, Rows + 2);
    plat::Randomize();
    SetupBoard();
    tmrMove.Interval = StartingInterval;
    Landed = false;

    // The outer size, in 16-bit arithmetic.
    Width = layout.width;
    Height = layout.height;

    // The stored background, the controls in their places, a zero score and
    // the high score in the caption.
    BackColor = Read(Game::Backcolor);
    LayOut(layout);
    lblScore.Caption = QStringLiteral("0");
    PostHighScore();

    // The first piece, its colour, and its entry with the next one previewed.
    DetermineBlob();
    const int16_t red = CInt(double(plat::Rnd()) * 155);
    const int16_t green = CInt(double(plat::Rnd()) * 55 + 100);
    const int16_t blue = CInt(double(plat::Rnd()) * 155);
    SetBlob1(plat::RGB(red, green, blue), 0xFFFFFF, pArray);
}

// Places the preview, the score, the two buttons, the menu label, the falling
// piece's shapes and the wall pictures from the cell size and the well's size.
void frmBoard::LayOut(const Layout& layout)
{
    const float scaleLeft = ScaleLeft();
    const float scaleTop = ScaleTop();
    const float scaleHeight = ScaleHeight();

    picPreview.ScaleMode = plat::vbTwips;
    picPreview.Left = scaleLeft;
    picPreview.Top = scaleHeight - float(layout.sixCells);
    picPreview.Width = layout.fourCells;
    picPreview.Height = layout.sixCells;
    picPreview.BackColor = 0;

    lblScore.Left = float(layout.fourCells) + scaleLeft + 50;
    lblScore.Top = scaleTop + 20;
    lblScore.FontSize = float(plat::Int(double(Size) / 30));

    cmdTryAgain.Visible = false;
    cmdTryAgain.Left = Width / 2 - cmdTryAgain.Width / 2 + Size;
    cmdTryAgain.Top = Height / 2 - cmdTryAgain.Height / 2 - Size;
    cmdPlay.Visible = true;
    cmdPlay.Left = Width / 2 - cmdPlay.Width / 2 + Size;
    cmdPlay.Top = Height / 2 - cmdPlay.Height / 2 - Size;

    lblMenu.Visible = true;
    lblMenu.Left = 0;
    lblMenu.Top = 0;
    lblMenu.Width = layout.fourCells;
    lblMenu.BackColor = 0;
    lblMenu.ForeColor = 0xFF00;

    for (int i = 0; i <= 15; ++i) {
        BlobCell[i] = &shpBlobSquare(i);
        BlobCell[i]->Height = Size;
        BlobCell[i]->Width = Size;
    }

    imgLeft.Move(0, 0, layout.fourCells, layout.wallHeight);
    imgLeft.ZOrder(0);
    imgRight.Move(layout.rightWallLeft, 0, Size, layout.wallHeight);
    imgRight.ZOrder(0);
    lblMenu.ZOrder(0);
}

void frmBoard::Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode)
{
    (void)Cancel;
    (void)UnloadMode;
    Write(Game::Windowstate, plat::CStr(int(WindowState)));
    if (WindowState == plat::vbNormal) {
        Write(Game::Top, plat::CStr(float(Top)));
        Write(Game::Left, plat::CStr(float(Left)));
    }
}

void frmBoard::Form_Unload(int16_t& Cancel)
{
    (void)Cancel;
    // Ending the process releases every form and the help browser with it;
    // an open setup dialog goes without its closing events and saves nothing.
    if (NoEnd == 0) {
        plat::DefaultInstance<frmOptions>::Release();
        plat::End();
    }
}
