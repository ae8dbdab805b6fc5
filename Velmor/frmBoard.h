#pragma once
// The board window: the well, the falling piece and its preview, the clock,
// the keys, the score and the game's flow. Its procedures are split over
// files by concern: frmBoard.cpp (design, load, close), frmBoard_Well.cpp,
// frmBoard_Pieces.cpp, frmBoard_Gravity.cpp, frmBoard_Keys.cpp,
// frmBoard_Flow.cpp, frmBoard_Menu.cpp and frmBoard_HelpBrowser.cpp.

#include "platform/forms/CommandButton.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Form.h"
#include "platform/forms/Image.h"
#include "platform/forms/Label.h"
#include "platform/forms/Menu.h"
#include "platform/forms/PictureBox.h"
#include "platform/forms/Shape.h"
#include "platform/forms/Timer.h"
#include "RoamwellDLL/RoamwellDLL_i.h"
#include "platform/com/ComPtr.h"
#include "platform/runtime/Array2D.h"
#include "platform/runtime/Dialogs.h"

#include <array>
#include <optional>

struct BoardCell {
    bool Filled = false;
    int16_t CellRow = 0;
    int16_t CellColumn = 0;
    int16_t CellSize = 0;
    plat::ShapeControl* Square = nullptr;
};

// A place of the falling piece's 4 x 4 frame, as the quarter turn sees it.
struct TurnCell {
    bool Filled = false;
    int32_t X = 0;
    int32_t Y = 0;
};

class frmBoard : public plat::Form {
public:
    frmBoard();
    ~frmBoard() override;

    // The game's one help browser, created through COM at start-up
    // (frmBoard_HelpBrowser.cpp).
    plat::ComPtr<_clsRoamwell> HelpBrowser;
    static plat::ComPtr<_clsRoamwell> CreateHelpBrowser();

    // Controls.
    plat::ControlArray<plat::ShapeControl> shpSquare;
    plat::ControlArray<plat::ShapeControl> shpBlobSquare;
    plat::PictureBox picPreview;
    plat::ControlArray<plat::ShapeControl> shpPreview;
    plat::Label lblScore;
    plat::CommandButton cmdPlay;
    plat::CommandButton cmdTryAgain;
    plat::Label lblMenu;
    plat::Image imgLeft;
    plat::Image imgRight;
    plat::Timer tmrMove;

    // The well (frmBoard_Well.cpp).
    plat::Array2D<BoardCell> Board;
    void SetupBoard();
    static int32_t PaletteColor(int32_t c);

    // Pieces (frmBoard_Pieces.cpp). A piece description is the piece's 4 x 4
    // mask, index row * 4 + col, followed by two flags.
    static constexpr int Rotate3Flag = 16;    // turns within the top-left 3 x 3 of its frame
    static constexpr int StartHighFlag = 17;  // enters one row higher
    std::array<bool, 18> pArray{};
    std::array<plat::ShapeControl*, 16> BlobCell{};
    bool Rotate3 = false;
    int16_t NextRed = 0;
    int16_t NextGreen = 0;
    int16_t NextBlue = 0;
    void DetermineBlob();
    void SetpArray(const std::array<bool, 18>& a);
    void SetBlob1(int32_t backC, int32_t borderC, std::array<bool, 18>& p);
    void SetPreview(int32_t backC, int32_t borderC, const std::array<bool, 18>& p);

    // Gravity, landing and rows (frmBoard_Gravity.cpp).
    static constexpr int16_t StartingInterval = 320;  // milliseconds between falls as a game starts
    bool Landed = false;
    void tmrMove_Timer();
    void CheckBlob();
    void BlobStop();
    void RemoveRow(int16_t Row);
    void SetSpeed();
    void DropBlob();

    // Player control (frmBoard_Keys.cpp).
    std::array<TurnCell, 16> OldCell{};
    std::array<TurnCell, 16> NewCell{};
    void Form_KeyDown(int16_t& KeyCode, int16_t Shift) override;
    void MoveBlobLeft();
    void MoveBlobRight();
    void RotateBlob();

    // Game flow (frmBoard_Flow.cpp).
    void cmdPlay_Click();
    void cmdTryAgain_Click();
    void GameOver();
    void PostHighScore();

    // Popup menu, background colour, about box and help (frmBoard_Menu.cpp).
    plat::Menu mnuPopup{*this, QStringLiteral("mnuPopup"), QStringLiteral("Popup")};
    plat::Menu mnuSetup{*this, QStringLiteral("mnuSetup"), QStringLiteral("Setup"), &mnuPopup};
    plat::Menu mnuBackgroundColor{*this, QStringLiteral("mnuBackgroundColor"), QStringLiteral("Background Color"), &mnuPopup};
    plat::Menu mnuAbout{*this, QStringLiteral("mnuAbout"), QStringLiteral("About"), &mnuPopup};
    plat::Menu mnuHelp{*this, QStringLiteral("mnuHelp"), QStringLiteral("Help"), &mnuPopup};
    // Its colour dialog opens with no colour preselected: the game sets none of its properties.
    plat::CommonDialog cdlgOptions;
    void lblMenu_MouseDown(int Button, int Shift, float X, float Y);
    void mnuSetup_Click();
    void mnuBackgroundColor_Click();
    void mnuAbout_Click();
    void mnuHelp_Click();
    // Opens the help page at `address` in the help browser.
    virtual void OpenHelp(const QString& address);

protected:
    void Design() override;
    void Form_Load() override;
    void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) override;
    void Form_Unload(int16_t& Cancel) override;

private:
    // The window's outer size and the places the load gives its controls, in
    // twips, from the cell size and the well's dimensions; every step is
    // 16-bit and raises Overflow out of range.
    struct Layout {
        int16_t width = 0;
        int16_t height = 0;
        int16_t fourCells = 0;      // the preview's and the menu's width, the left wall
        int16_t sixCells = 0;       // the preview's height
        int16_t wallHeight = 0;     // from the top to the bottom of the floor row
        int16_t rightWallLeft = 0;  // 10 twips right of the first right wall column
    };
    static Layout LayoutFor(int16_t size, int16_t columns, int16_t rows);
    // The well's square for column x and row y, and a cell's place along
    // either axis, in the well's 16-bit arithmetic (frmBoard_Well.cpp).
    static int16_t SquareIndex(int16_t rows, int x, int y);
    static int16_t CellPlace(int16_t size, int n);
    // The layout of a well of these dimensions, or nothing when the load
    // cannot build and lay it out.
    static std::optional<Layout> FittingLayout(int16_t size, int16_t columns, int16_t rows);
    Layout ReadBoardSettings();
    void LayOut(const Layout& layout);
    // Column and row of a grid shape by the board index rule.
    int Column(const plat::ShapeControl& shape) const;
    int Row(const plat::ShapeControl& shape) const;
    // The landing test and the one-row fall, shared by the tick and the drop.
    void LandingTest();
    void FallOneRow();
};
