// Landing, full rows and the speed.
#include "EngineFixture.h"

namespace {
constexpr int32_t ColourA = 0x2111111;
constexpr int32_t ColourB = 0x2222222;
constexpr int32_t ColourC = 0x2333333;
}  // namespace

TEST_F(EngineTest, LandingThatFillsTwoAdjacentRowsRemovesBothAndMovesTheRestDownTwo)
{
    LoadBoard(Bar, 9, Bar);  // a bar of four in column 10
    FillRow(24, {10});
    FillRow(23, {10});
    Fill(7, 22, ColourB);
    Fill(6, 20, ColourA);

    ScriptEntry(9, Bar);
    Key(plat::vbKeySpace);

    EXPECT_EQ(Played("energypod.wav"), 2);
    EXPECT_EQ(Played("waterdrop.wav"), 1);
    EXPECT_EQ(Score(), "200");  // rows score nothing
    EXPECT_TRUE(Shown(10, 24));
    EXPECT_TRUE(Shown(10, 23));
    EXPECT_TRUE(Shown(7, 24));
    EXPECT_EQ(Cell(7, 24).Square->FillColor, ColourB);
    EXPECT_TRUE(Shown(6, 22));
    EXPECT_EQ(Cell(6, 22).Square->BackColor, ColourA);
    for (int x = 4; x <= 24; ++x) {
        if (x != 7 && x != 10) {
            EXPECT_TRUE(Empty(x, 24)) << x;
        }
        EXPECT_TRUE(Empty(x, 21)) << x;
    }
    EXPECT_TRUE(Empty(7, 22));
    EXPECT_TRUE(Empty(6, 20));
}

TEST_F(EngineTest, LandingThatFillsTwoRowsApartRemovesBothInOnePass)
{
    LoadBoard(Bar, 9, Bar);
    FillRow(24, {10});
    FillRow(22, {10});
    Fill(6, 23, ColourC);
    Fill(5, 20, ColourA);

    ScriptEntry(9, Bar);
    Key(plat::vbKeyDown);

    // Above the upper row: down two; between the rows: down one.
    EXPECT_EQ(Played("energypod.wav"), 2);
    EXPECT_TRUE(Shown(6, 24));
    EXPECT_EQ(Cell(6, 24).Square->FillColor, ColourC);
    EXPECT_TRUE(Shown(10, 24));
    EXPECT_TRUE(Shown(10, 23));
    EXPECT_TRUE(Shown(5, 22));
    EXPECT_EQ(Cell(5, 22).Square->FillColor, ColourA);
    EXPECT_TRUE(Empty(6, 23));
    EXPECT_TRUE(Empty(10, 22));
    EXPECT_TRUE(Empty(10, 21));
    EXPECT_TRUE(Empty(5, 20));
    for (int x : {4, 5, 7, 8, 9, 11, 24})
        EXPECT_TRUE(Empty(x, 24)) << x;
    // The walls and the floor are untouched by the removals.
    for (int y = 0; y <= 25; ++y)
        for (int x : {0, 1, 2, 3, 25, 26, 27, 28})
            EXPECT_TRUE(Cell(x, y).Filled) << x << "," << y;
    for (int x = 0; x <= 28; ++x)
        EXPECT_TRUE(Shown(x, 25)) << x;
}

TEST_F(EngineTest, FullTopRowStaysFullAndTheNextEntryEndsTheGame)
{
    LoadBoard(Bar, 9, Bar);
    FillRow(0, {10});
    for (int y = 4; y <= 24; ++y)
        Fill(10, y);
    board->cmdPlay_Click();

    Script({ColumnDraw(12)});  // the entry that finds row 0 full
    Tick();

    EXPECT_EQ(Played("energypod.wav"), 1);
    for (int x = 4; x <= 24; ++x)
        EXPECT_TRUE(Shown(x, 0)) << x;
    EXPECT_EQ(Played("sidestopper.wav"), 1);
    EXPECT_FALSE(modVelmor::GameOn);
    EXPECT_EQ(board->BlobCell[1]->FillColor, 255);  // (13, 0)
    EXPECT_NE(board->BlobCell[5]->FillColor, 255);  // (13, 1)
}

TEST_F(EngineTest, PieceRestsOneTickBeforeItMergesAndMayStillSlideOff)
{
    LoadBoard(Bar, 9, Bar);
    Fill(10, 5);
    board->cmdPlay_Click();

    Tick();  // onto the block
    EXPECT_EQ(PieceCells().back(), std::make_pair(10, 4));
    Key(plat::vbKeyRight);  // off it again, before the next tick merges it
    Tick();
    EXPECT_EQ(PieceCells().back(), std::make_pair(11, 5));
    EXPECT_EQ(Played("waterdrop.wav"), 0);
    EXPECT_FALSE(board->Landed);
}

TEST_F(EngineTest, SpeedFollowsTheScoreInBandsOfTwoThousand)
{
    LoadBoard(Bar, 9, Bar);
    const std::pair<const char*, int> bands[] = {
        {"1999", frmBoard::StartingInterval}, {"2000", frmBoard::StartingInterval - 1}, {"339999", 151}, {"340000", 200}, {"999999", 200}};
    for (auto [score, interval] : bands) {
        board->tmrMove.Interval = 200;
        board->lblScore.Caption = QString::fromLatin1(score);
        board->SetSpeed();
        EXPECT_EQ(board->tmrMove.Interval, interval) << score;
    }
}

TEST_F(EngineTest, DropOnAPieceAlreadyRestingMergesItWhereItIs)
{
    LoadBoard(Bar, 9, Bar);
    Fill(10, 4);
    ScriptEntry(12, Bar);
    Key(plat::vbKeyMenu);
    EXPECT_TRUE(Shown(10, 0));
    EXPECT_TRUE(Shown(10, 3));
    EXPECT_EQ(Score(), "200");
    EXPECT_TRUE(board->tmrMove.Enabled);  // a drop before "Play" leaves the clock running idle
    EXPECT_FALSE(modVelmor::GameOn);
}
