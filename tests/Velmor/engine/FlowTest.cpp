// Whole games: play, game over, the record and "Try Again".
#include "EngineFixture.h"

#include "platform/runtime/Numeric.h"

using Cells = std::vector<std::pair<int, int>>;

TEST_F(EngineTest, WholeScriptedGameFromTheFirstPieceToGameOver)
{
    int32_t highscoreAtDialog = 0;
    onDialog = [&] { highscoreAtDialog = modVelmor::Highscore; };
    typedName = QStringLiteral("Ada");
    LoadBoard(Bar, 9, Bar);
    EXPECT_EQ(board->Caption.Get(), "High Score:  1000     Norvid");

    // Five lying bars beside the starter block at (4, 24) fill the bottom row.
    for (int shift : {-4, 0, 4, 8, 12}) {
        ScriptEntry(9, Bar);
        Key(plat::vbKeyX);
        Key(shift < 0 ? plat::vbKeyLeft : plat::vbKeyRight, std::abs(shift));
        Key(plat::vbKeySpace);
    }
    EXPECT_EQ(Played("energypod.wav"), 1);
    EXPECT_EQ(Score(), "1000");
    for (int x = 4; x <= 24; ++x)
        EXPECT_TRUE(Empty(x, 24)) << x;

    // The sixth falls on the clock and merges on the tick after it comes to rest.
    board->cmdPlay_Click();
    Tick(21);
    EXPECT_EQ(PieceCells(), (Cells{{10, 21}, {10, 22}, {10, 23}, {10, 24}}));
    EXPECT_EQ(Score(), "1000");
    ScriptEntry(9, Bar);
    Tick();
    EXPECT_EQ(Score(), "1200");

    // Five more stack up column 10; the last entry chosen is shown in the preview.
    for (int key : {plat::vbKeySpace, plat::vbKeyDown, plat::vbKeyMenu}) {
        ScriptEntry(9, Bar);
        Key(key);
    }
    ScriptEntry(9, Bar, 0.125f, 0.375f, 0.25f);
    Key(plat::vbKeySpace);
    EXPECT_EQ(board->tmrMove.Interval, frmBoard::StartingInterval - 1);  // 2,000 points
    const auto preview = Preview();
    const auto next = board->pArray;

    Script({ColumnDraw(9)});  // the blocked entry draws its column only
    Key(plat::vbKeyDown);

    EXPECT_EQ(Score(), "2200");
    EXPECT_EQ(Played("waterdrop.wav"), 11);
    EXPECT_EQ(Played("energypod.wav"), 1);
    EXPECT_EQ(Played("sidestopper.wav"), 1);
    EXPECT_TRUE(draws.empty());

    // Every overlapping cell is red; the one on row 0 keeps its colour.
    const int32_t colour = frmBoard::PaletteColor(plat::RGB(68, 92, 39));
    EXPECT_EQ(PieceCells(), (Cells{{10, 0}, {10, 1}, {10, 2}, {10, 3}}));
    EXPECT_EQ(board->BlobCell[1]->FillColor, colour);
    for (int i : {5, 9, 13}) {
        EXPECT_EQ(board->BlobCell[i]->BackColor, 255) << i;
        EXPECT_EQ(board->BlobCell[i]->FillColor, 255) << i;
        EXPECT_EQ(board->BlobCell[i]->BorderColor, 0x2FFFFFF) << i;
    }
    EXPECT_EQ(Preview(), preview);
    EXPECT_EQ(board->pArray, next);

    // A record: the name is asked for once, after Highscore has changed.
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].title, "Congratulations!");
    EXPECT_EQ(dialogs[0].prompt, "You set the new high score of: 2200\r\nEnter your name...");
    EXPECT_EQ(dialogs[0].defaultText, "");
    EXPECT_EQ(highscoreAtDialog, 2200);
    EXPECT_EQ(Stored("Highscore"), "2200");
    EXPECT_EQ(Stored("Highscorename"), "Ada");
    EXPECT_EQ(board->Caption.Get(), "High Score:  2200     Ada");

    // Over: the clock runs idle, the keys are free again, "Try Again" shows.
    EXPECT_FALSE(modVelmor::GameOn);
    EXPECT_FALSE(board->Landed);
    EXPECT_TRUE(board->tmrMove.Enabled);
    EXPECT_TRUE(board->cmdTryAgain.Visible);
    const auto blocked = Piece();
    Tick(3);
    EXPECT_EQ(Piece(), blocked);

    // "Try Again": a fresh well, score and speed; the record stays.
    for (int k = 1; k <= 2; ++k)
        Script({0.0f, 0.9f, 0.5f, 0.5f, 0.5f});
    Script({EntryDraw(Tee), 0.5f, 0.5f, 0.5f});
    ScriptEntry(9, Bar);
    board->cmdTryAgain_Click();
    EXPECT_EQ(Score(), "0");
    EXPECT_EQ(board->tmrMove.Interval, frmBoard::StartingInterval);
    EXPECT_TRUE(modVelmor::GameOn);
    EXPECT_FALSE(board->cmdTryAgain.Visible);
    EXPECT_TRUE(Empty(10, 10));
    EXPECT_TRUE(Shown(4, 24));
    EXPECT_EQ(PieceCells().size(), 5u);
    EXPECT_EQ(board->BlobCell[0]->FillColor, frmBoard::PaletteColor(plat::RGB(78, 78, 128)));
    EXPECT_EQ(board->Caption.Get(), "High Score:  2200     Ada");
}

// A bar that lands at once on column 10, filled up to row 4; the next bar
// cannot enter: game over at 200 points.
class GameOverAt200 : public EngineTest {
protected:
    void PlayToGameOver()
    {
        LoadBoard(Bar, 9, Bar);
        for (int y = 4; y <= 24; ++y)
            Fill(10, y);
        board->cmdPlay_Click();
        Script({ColumnDraw(9)});
        Tick();
        ASSERT_EQ(Played("sidestopper.wav"), 1);
        ASSERT_EQ(Score(), "200");
    }
};

TEST_F(GameOverAt200, DropAfterGameOverAddsToTheFinalScoreAndEntersTheSamePieceAgain)
{
    Store("Highscore", "5000");
    PlayToGameOver();
    const auto next = board->pArray;

    ScriptEntry(12, OneCell);
    Key(plat::vbKeySpace);

    EXPECT_EQ(Score(), "400");
    EXPECT_EQ(PieceCells(), (Cells{{13, 0}, {13, 1}, {13, 2}, {13, 3}}));
    EXPECT_NE(next, board->pArray);  // the one after it is chosen now
    EXPECT_EQ(Played("sidestopper.wav"), 1);
    EXPECT_FALSE(modVelmor::GameOn);
    EXPECT_TRUE(board->tmrMove.Enabled);
    Tick(2);  // still over: nothing falls
    EXPECT_EQ(PieceCells().front(), std::make_pair(13, 0));
}

TEST_F(GameOverAt200, EqualScoreIsNoRecord)
{
    Store("Highscore", "200");
    PlayToGameOver();
    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(Stored("Highscore"), "200");
    EXPECT_EQ(Stored("Highscorename"), "<none>");
    EXPECT_EQ(board->Caption.Get(), "High Score:  200     Norvid");
}

TEST_F(GameOverAt200, CancelledNameDialogStoresTheEmptyName)
{
    Store("Highscore", "150");
    Store("Highscorename", "Bo");
    typedName = QString();
    PlayToGameOver();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].prompt, "You set the new high score of: 200\r\nEnter your name...");
    EXPECT_EQ(Stored("Highscore"), "200");
    EXPECT_EQ(Stored("Highscorename"), "");
    EXPECT_EQ(board->Caption.Get(), "High Score:  200     ");
}

TEST_F(EngineTest, ScoreThatIsNotANumberFailsTheTickInsteadOfReadingAsZero)
{
    LoadBoard(Bar, 9, Bar);
    Fill(10, 4);
    board->cmdPlay_Click();
    board->lblScore.Caption = QStringLiteral("lots");
    Tick();
    ASSERT_EQ(unhandled.size(), 1);
    EXPECT_TRUE(unhandled[0].startsWith(QStringLiteral("%1 ").arg(plat::ErrTypeMismatch)));
    unhandled.clear();
}
