// The board window's design, its load (start-up) and its close.
#include "Velmor/frmBoard.h"

#include "Velmor/GameSettings.h"
#include "Velmor/frmOptions.h"
#include "Velmor/modVelmor.h"
#include "platform/forms/DefaultInstance.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Numeric.h"
#include "platform/runtime/Rnd.h"

#include <QPixmap>

using namespace modVelmor;
using plat::CInt;
using plat::I16;

namespace {
constexpr int SquarePool = 1440;

// Whether a well of these dimensions can be built and laid out: every
// 16-bit step of the layout and of the well's set-up stays in range, the
// pool has a square for every position and the starter-block ranges exist.
bool BoardFits(int size, int columns, int rows)
{
    auto fits16 = [](long v) { return v >= -32768 && v <= 32767; };
    return size >= 1 && columns >= 9 && rows >= 3
        && (long(columns) + 1) * (long(rows) + 1) <= SquarePool - 1
        && fits16((long(columns) - 2) * size + 80) && fits16(long(rows) * size + 450)
        && fits16(6L * size) && fits16((long(rows) + 1) * size) && fits16((long(columns) - 3) * size + 10)
        && fits16(long(size) * columns) && fits16(long(columns) * (rows + 1) + rows + 1);
}

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

// Reads "Size", "Columns" and "Rows". A combination that cannot be laid out
// falls back, setting by setting, to the defaults.
void frmBoard::ReadBoardSettings()
{
    Size = GameSettings::ReadInt16("Game", "Size", "300");
    Columns = GameSettings::ReadInt16Plus("Game", "Columns", "20", 8);
    Rows = GameSettings::ReadInt16Plus("Game", "Rows", "24", 1);
    struct Fallback { const char* key; int16_t* variable; int16_t value; };
    const Fallback fallbacks[] = {{"Size", &Size, 300}, {"Columns", &Columns, 28}, {"Rows", &Rows, 25}};
    for (const Fallback& f : fallbacks) {
        if (BoardFits(Size, Columns, Rows))
            break;
        if (*f.variable != f.value) {
            GameSettings::ReportUnusable("Game", f.key, GameSettings::ReadText("Game", f.key, QString()));
            *f.variable = f.value;
        }
    }
}

void frmBoard::Form_Load()
{
    // 1: the help browser; the game does not start without it.
    HelpBrowser = CreateHelpBrowser();

    // 2-3: window state and position.
    const int16_t state = GameSettings::ReadInt16("Game", "Windowstate", "0");
    if (state == plat::vbMinimized)
        WindowState = plat::vbNormal;
    else if (state == plat::vbNormal || state == plat::vbMaximized)
        WindowState = state;
    else
        GameSettings::ReportUnusable("Game", "Windowstate", plat::CStr(static_cast<int>(state)));
    if (WindowState == plat::vbNormal) {
        Top = GameSettings::ReadSingle("Game", "Top", "325");
        Left = GameSettings::ReadSingle("Game", "Left", "325");
    }

    // 4: the game settings.
    ReadBoardSettings();
    AsciiLeft = GameSettings::ReadInt16("Game", "AsciiLeft", "37");
    AsciiRight = GameSettings::ReadInt16("Game", "AsciiRight", "39");
    AsciiRotate = GameSettings::ReadInt16("Game", "AsciiRotate", "38");
    AsciiDrop = GameSettings::ReadInt16("Game", "AsciiDrop", "40");
    Highscore = GameSettings::ReadInt32("Game", "Highscore", "1000");
    Highscorename = GameSettings::ReadText("Game", "Highscorename", "Norvid");

    // 5-9.
    NoEnd = 0;
    Board.ReDim(0, Columns + 8, 0, Rows + 2);
    plat::Randomize();
    SetupBoard();
    tmrMove.Interval = 320;
    Landed = false;

    // 10: outer size, in 16-bit steps.
    Width = (I16(Columns) - I16(2)) * I16(Size) + I16(80);
    Height = I16(Rows) * I16(Size) + I16(450);

    // 11-15.
    BackColor = GameSettings::ReadInt32("Game", "Backcolor", "0");
    LayOut();
    lblScore.Caption = QStringLiteral("0");
    PostHighScore();

    // 16-18: the first piece, its colour, and its entry with the next one previewed.
    DetermineBlob();
    const int16_t red = CInt(double(plat::Rnd()) * 155);
    const int16_t green = CInt(double(plat::Rnd()) * 55 + 100);
    const int16_t blue = CInt(double(plat::Rnd()) * 155);
    SetBlob1(plat::RGB(red, green, blue), 0xFFFFFF, pArray);
}

// Places the controls from the cell size (steps 12 to 14 of the load).
void frmBoard::LayOut()
{
    const float scaleLeft = ScaleLeft();
    const float scaleTop = ScaleTop();
    const float scaleHeight = ScaleHeight();

    picPreview.ScaleMode = plat::vbTwips;
    picPreview.Left = scaleLeft;
    picPreview.Top = scaleHeight - float(I16(6) * I16(Size));
    picPreview.Width = I16(4) * I16(Size);
    picPreview.Height = I16(6) * I16(Size);
    picPreview.BackColor = 0;

    lblScore.Left = float(I16(4) * I16(Size)) + scaleLeft + 50;
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
    lblMenu.Width = I16(4) * I16(Size);
    lblMenu.BackColor = 0;
    lblMenu.ForeColor = 0xFF00;

    for (int i = 0; i <= 15; ++i) {
        BlobCell[i] = &shpBlobSquare(i);
        BlobCell[i]->Height = Size;
        BlobCell[i]->Width = Size;
    }

    imgLeft.Move(0, 0, I16(4) * I16(Size), (I16(Rows) + I16(1)) * I16(Size));
    imgLeft.ZOrder(0);
    imgRight.Move((I16(Columns) - I16(3)) * I16(Size) + I16(10), 0, Size, (I16(Rows) + I16(1)) * I16(Size));
    imgRight.ZOrder(0);
    lblMenu.ZOrder(0);
}

void frmBoard::Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode)
{
    (void)Cancel;
    (void)UnloadMode;
    GameSettings::Write("Game", "Windowstate", plat::CStr(int(WindowState)));
    if (WindowState == plat::vbNormal) {
        GameSettings::Write("Game", "Top", plat::CStr(float(Top)));
        GameSettings::Write("Game", "Left", plat::CStr(float(Left)));
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
