// The piece table, a piece's entry and the preview.
#include "EngineFixture.h"

#include "platform/runtime/Numeric.h"

#include <set>

namespace {
using Description = std::array<bool, 18>;
const Description OneCellPiece{0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, true, true};

int Cells(const Description& d)
{
    int n = 0;
    for (int k = 0; k < 16; ++k)
        n += d[k];
    return n;
}
}  // namespace

TEST_F(EngineTest, TableHoldsTwentyEightPiecesWithTheRepeatsAndInvariantsEntryReliesOn)
{
    LoadBoard(Bar, 9, Bar);
    std::vector<Description> table;
    for (int n = 0; n < 40; ++n) {
        Script({EntryDraw(n)});
        board->DetermineBlob();
        table.push_back(board->pArray);
    }

    const std::pair<int, int> repeats[] = {{28, 1}, {29, 4}, {30, 5}, {31, 8}, {32, 9}, {33, 12},
                                           {34, 13}, {35, 18}, {36, 21}, {37, 26}, {38, 27}, {39, 0}};
    for (auto [n, same] : repeats)
        EXPECT_EQ(table[n], table[same]) << "entry " << n;
    EXPECT_EQ(std::set<Description>(table.begin(), table.end()).size(), 28u);

    int fiveCellEntries = 0;
    for (int n = 0; n < 40; ++n) {
        const Description& d = table[n];
        fiveCellEntries += Cells(d) == 5;
        for (int row = 0; row < 4; ++row)
            EXPECT_FALSE(d[row * 4 + 3]) << "entry " << n << " is wider than three cells";
        if (d[frmBoard::StartHighFlag]) {
            for (int col = 0; col < 4; ++col)
                EXPECT_FALSE(d[col]) << "StartHigh entry " << n << " has a cell in row 0";
        }
        if (d[frmBoard::Rotate3Flag]) {
            for (int k = 12; k < 16; ++k)
                EXPECT_FALSE(d[k]) << "Rotate3 entry " << n << " leaves its 3 x 3";
        }
    }
    EXPECT_EQ(fiveCellEntries, 22);

    // The square and the one-cell piece stand high; the bar of four does not.
    EXPECT_EQ(table[Square], (Description{0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, false, true}));
    EXPECT_EQ(table[OneCell], OneCellPiece);
    EXPECT_EQ(table[Bar], (Description{0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, false, false}));

    // 39.999999, not 40: a draw of one half picks entry 19, not 20.
    Script({0.5f, 0.99999994f});
    board->DetermineBlob();
    EXPECT_EQ(board->pArray, table[19]);
    board->DetermineBlob();
    EXPECT_EQ(board->pArray, table[39]);
}

TEST_F(EngineTest, SuccessfulEntryDrawsColumnNextPieceAndItsColourInThatOrder)
{
    LoadBoard(Bar, 9, Bar);
    const int before = plat::RndDrawCount();

    // 67.5 and 92.5 round to the even 68 and 92; 38.75 to 39.
    Script({ColumnDraw(11), EntryDraw(OneCell), 0.125f, 0.375f, 0.25f});
    board->SetBlob1(plat::RGB(1, 2, 3), 0xFFFFFF, board->pArray);

    EXPECT_EQ(plat::RndDrawCount() - before, 5);
    EXPECT_EQ(PieceCells(), (std::vector<std::pair<int, int>>{{12, 0}, {12, 1}, {12, 2}, {12, 3}}));
    for (plat::ShapeControl* cell : board->BlobCell) {
        EXPECT_EQ(cell->FillColor, 0x2030201);
        EXPECT_EQ(cell->BackColor, 0x2030201);
        EXPECT_EQ(cell->BorderColor, 0x2FFFFFF);
    }
    EXPECT_FALSE(board->Rotate3);
    EXPECT_EQ(board->pArray, OneCellPiece);
    EXPECT_EQ(board->NextRed, 68);
    EXPECT_EQ(board->NextGreen, 92);
    EXPECT_EQ(board->NextBlue, 39);

    // The one cell stands in the middle of the four-by-six box.
    const std::vector<Snapshot> preview = Preview();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(preview[i].visible, i == 5) << i;
        EXPECT_EQ(preview[i].fill, frmBoard::PaletteColor(plat::RGB(68, 92, 39)));
        EXPECT_EQ(preview[i].border, 0x2FFFFFF);
    }
    EXPECT_EQ(preview[5].left, 450);
    EXPECT_EQ(preview[5].top, 750);
}

TEST_F(EngineTest, EntryColumnSpansTheMiddleThirdAndHighPiecesStandOneRowUp)
{
    // The last column of the range: Int(9 * r) = 8.
    LoadBoard(Square, 17, Bar);
    EXPECT_EQ(PieceCells(), (std::vector<std::pair<int, int>>{{18, 0}, {19, 0}, {18, 1}, {19, 1}}));
    EXPECT_EQ(board->BlobCell[0]->Top, -300);
    EXPECT_EQ(board->BlobCell[0]->Left, 17 * 300);

    // A piece without Rotate3 previews one cell down against the left edge.
    const std::vector<Snapshot> preview = Preview();
    for (int row = 0; row < 4; ++row) {
        EXPECT_TRUE(preview[row * 4 + 1].visible);
        EXPECT_EQ(preview[row * 4 + 1].left, 300);
        EXPECT_EQ(preview[row * 4 + 1].top, 300 * (row + 1));
    }

    // The narrowest board: Columns 18, m = 6, L from 6 to 11.
    Store("Columns", "10");
    for (int k = 1; k <= 2; ++k)
        Script({0.0f, 0.9f, 0.5f, 0.5f, 0.5f});
    Script({EntryDraw(Bar), 0.5f, 0.5f, 0.5f, 0.0f, EntryDraw(Bar), 0.5f, 0.5f, 0.5f});
    board = std::make_unique<frmBoard>();
    board->Load();
    EXPECT_EQ(PieceCells().front(), std::make_pair(7, 0));
}
