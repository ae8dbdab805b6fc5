// The well: square binding, walls, floor, starter blocks and colours.
#include "Velmor/frmBoard.h"
#include "Velmor/modVelmor.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Settings.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <memory>

using namespace modVelmor;

namespace {

class WellSetup : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::EnsureApplication();
        ASSERT_TRUE(testenv::RegisterHelpBrowserStandIn());
        board = std::make_unique<frmBoard>();
        board->Load();
    }

    testenv::TempConfigHome config;
    testenv::ScriptedRnd rnd{0.5f};
    std::unique_ptr<frmBoard> board;
};

int CountStarterBlocks(frmBoard& b)
{
    int n = 0;
    for (int x = 4; x <= Columns - 4; ++x)
        for (int y = 0; y < Rows; ++y)
            n += b.Board(x, y).Filled;
    return n;
}

TEST_F(WellSetup, SquaresAreBoundColumnByColumnWithSharedSquare)
{
    frmBoard& b = *board;
    EXPECT_EQ(b.Board.UBound(1), Columns + 8);
    EXPECT_EQ(b.Board.UBound(2), Rows + 2);
    EXPECT_EQ(b.Board(0, 26).Square, &b.shpSquare(26));
    EXPECT_EQ(b.Board(1, 0).Square, &b.shpSquare(26));
    EXPECT_FLOAT_EQ(b.shpSquare(26).Left, 300) << "placed last as (1, 0)";
    EXPECT_FLOAT_EQ(b.shpSquare(26).Top, 0);
    EXPECT_EQ(b.Board(Columns, Rows + 1).Square, &b.shpSquare(754));
    EXPECT_EQ(b.Board(Columns + 1, 0).Square, nullptr) << "columns past the well are never bound";
}

TEST_F(WellSetup, WallsAndFloorAreFilledAndOnlyTheFloorShows)
{
    frmBoard& b = *board;
    for (int y = 0; y <= Rows; ++y) {
        for (int x : {0, 1, 2, 3, Columns - 3, Columns - 2, Columns - 1, Columns - 0}) {
            EXPECT_TRUE(b.Board(x, y).Filled) << x << "," << y;
            if (y < Rows)
                EXPECT_FALSE(b.Board(x, y).Square->Visible);
        }
    }
    for (int x = 0; x <= Columns; ++x) {
        const BoardCell& floor = b.Board(x, Rows);
        EXPECT_TRUE(floor.Square->Visible);
        EXPECT_EQ(floor.Square->FillColor, 0xFFFFFF);
        EXPECT_EQ(floor.Square->BorderColor, 0xFFFFFF);
        EXPECT_FALSE(b.Board(x, Rows + 1).Filled);
    }
    EXPECT_FLOAT_EQ(b.Board(0, Rows).Square->Top, 7500);
}

TEST_F(WellSetup, PoolStyleAndUnusedSquares)
{
    frmBoard& b = *board;
    for (int i = 0; i <= 1439; ++i) {
        const plat::ShapeControl& s = b.shpSquare(i);
        EXPECT_EQ(s.Shape, plat::vbShapeRoundedRectangle);
        EXPECT_EQ(s.FillStyle, plat::vbFSSolid);
        if (!(s.Visible && s.Top == 7500))
            EXPECT_EQ(s.BorderColor, 0x2FFFFFF) << i;
        if (i > 754)
            EXPECT_FALSE(s.Visible) << i;
    }
}

TEST_F(WellSetup, StarterBlocksFollowTheirFiveDrawsEach)
{
    frmBoard& b = *board;
    testenv::ScriptedRnd script(0.5f, true);
    script.Push({0.0f, 0.0f, 0.0f, 0.0f, 0.0f,              // block 1: column 4, row 22, colour (100, 0, 100)
                 0.999f, 0.999f, 0.5f, 0.5f, 0.5f});       // block 2: column 23, row 24, (128, 78, 128)
    b.SetupBoard();
    EXPECT_EQ(script.Left(), 0u);
    const BoardCell& first = b.Board(4, 22);
    EXPECT_TRUE(first.Filled);
    EXPECT_TRUE(first.Square->Visible);
    EXPECT_EQ(first.CellColumn, 4);
    EXPECT_EQ(first.CellRow, 22);
    EXPECT_EQ(first.CellSize, 300);
    EXPECT_EQ(first.Square->FillColor, 0x2000000 | (100 + 65536 * 100));
    const BoardCell& second = b.Board(23, 24);
    EXPECT_TRUE(second.Filled);
    EXPECT_EQ(second.Square->FillColor, 0x2000000 | (128 + 256 * 78 + 65536 * 128));
    EXPECT_EQ(CountStarterBlocks(b), 2);
}

TEST_F(WellSetup, StarterBlocksStayInTheirRanges)
{
    frmBoard& b = *board;
    rnd.Push({});
    plat::SetRndSource({});
    plat::Randomize(7.0);
    for (int round = 0; round < 200; ++round) {
        b.SetupBoard();
        for (int x = 0; x <= Columns; ++x) {
            for (int y = 0; y < Rows; ++y) {
                if (x < 4 || x > Columns - 4 || !b.Board(x, y).Filled)
                    continue;
                EXPECT_GE(x, 4);
                EXPECT_LE(x, Columns - 5) << "never the rightmost play column";
                EXPECT_GE(y, Rows - 3);
                const int32_t c = b.Board(x, y).Square->FillColor & 0xFFFFFF;
                EXPECT_GE(c & 0xFF, 100);
                EXPECT_LE(c & 0xFF, 155);
                EXPECT_GE(c >> 16, 100);
                EXPECT_LE(c >> 16, 155);
            }
        }
    }
}

TEST_F(WellSetup, SecondSetupLeavesOnlyWallsFloorAndNewStarters)
{
    frmBoard& b = *board;
    for (int x = 4; x <= Columns - 4; ++x) {
        b.Board(x, 10).Filled = true;
        b.Board(x, 10).Square->Visible = true;
    }
    b.SetupBoard();
    EXPECT_LE(CountStarterBlocks(b), 2);
    for (int x = 4; x <= Columns - 4; ++x)
        EXPECT_FALSE(b.Board(x, 10).Square->Visible);
}

TEST_F(WellSetup, PaletteColorSetsOnlyThePaletteByte)
{
    EXPECT_EQ(frmBoard::PaletteColor(0xFFFFFF), 0x2FFFFFF);
    EXPECT_EQ(frmBoard::PaletteColor(0), 0x2000000);
    EXPECT_EQ(frmBoard::PaletteColor(0x2000000), 0x2000000);
}

TEST_F(WellSetup, RowAboveTheWellIsOutsideTheArray)
{
    frmBoard& b = *board;
    try {
        (void)b.Board(4, -1);
        FAIL() << "row -1 must be out of range";
    } catch (const plat::RuntimeError& e) {
        EXPECT_EQ(e.Number(), plat::ErrSubscript);
    }
    EXPECT_NO_THROW((void)b.Board(Columns + 8, Rows + 2));
}

}  // namespace
