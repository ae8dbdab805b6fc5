// Moves, turns and the routing of keys to the board window.
#include "EngineFixture.h"

#include <QApplication>
#include <QTest>

using Cells = std::vector<std::pair<int, int>>;

TEST_F(EngineTest, PieceAgainstTheWallNeitherMovesNorTurnsIntoIt)
{
    LoadBoard(Bar, 9, Bar);
    Key(plat::vbKeyLeft, 6);
    EXPECT_EQ(PieceCells(), (Cells{{4, 0}, {4, 1}, {4, 2}, {4, 3}}));

    const auto before = Piece();
    Key(plat::vbKeyLeft);
    Key(plat::vbKeyZ);
    Key(plat::vbKeyM);
    Key(plat::vbKeyX);  // the lying bar would start in wall column 3; no kick
    EXPECT_EQ(Piece(), before);

    Key(plat::vbKeyPeriod);
    EXPECT_EQ(PieceCells(), (Cells{{5, 0}, {5, 1}, {5, 2}, {5, 3}}));
}

TEST_F(EngineTest, TurnOntoALandedCellIsRefusedAsAWhole)
{
    LoadBoard(Bar, 9, Bar);
    Fill(12, 2);
    const auto before = Piece();
    Key(plat::vbKeyUp);
    EXPECT_EQ(Piece(), before);

    Cell(12, 2).Filled = false;
    Key(plat::vbKeyUp);
    EXPECT_EQ(PieceCells(), (Cells{{9, 2}, {10, 2}, {11, 2}, {12, 2}}));
    Key(plat::vbKeyComma);  // anticlockwise: the upright bar comes back in the frame's column 2
    EXPECT_EQ(PieceCells(), (Cells{{11, 0}, {11, 1}, {11, 2}, {11, 3}}));
    Key(plat::vbKeyX, 2);
    EXPECT_EQ(Piece(), before);
}

TEST_F(EngineTest, ThreeByThreePieceTurnsAnticlockwiseInsideItsCorner)
{
    LoadBoard(Tee, 9, Bar);  // a bar on top with a stem of two below its middle
    Key(plat::vbKeyX);
    EXPECT_EQ(PieceCells(), (Cells{{9, 0}, {9, 1}, {10, 1}, {11, 1}, {9, 2}}));
}

TEST_F(EngineTest, OneCellAndTheSquareTurnOntoThemselves)
{
    for (int piece : {OneCell, Square}) {
        LoadBoard(piece, 9, Bar);
        const auto before = Piece();
        Key(plat::vbKeyX);
        EXPECT_EQ(Piece(), before) << "piece " << piece;
        EXPECT_EQ(PieceCells().size(), piece == OneCell ? 1u : 4u);
    }
}

TEST_F(EngineTest, ConfigurableKeyMeetsAFixedKeyInTableOrder)
{
    // An earlier fixed key wins: X still turns, nothing moves left on it.
    Store("AsciiLeft", plat::DecimalText<plat::vbKeyX>);
    LoadBoard(Bar, 9, Bar);
    Key(plat::vbKeyX);
    EXPECT_EQ(PieceCells(), (Cells{{9, 2}, {10, 2}, {11, 2}, {12, 2}}));

    // A configurable key wins over a later fixed one: Z turns.
    Store("AsciiLeft", plat::DecimalText<plat::vbKeyLeft>);
    Store("AsciiRotate", plat::DecimalText<plat::vbKeyZ>);
    LoadBoard(Bar, 9, Bar);
    Key(plat::vbKeyZ);
    EXPECT_EQ(PieceCells(), (Cells{{9, 2}, {10, 2}, {11, 2}, {12, 2}}));
}

TEST_F(EngineTest, NoKeyActsWhileThePieceIsLanding)
{
    LoadBoard(Bar, 9, Bar);
    board->Landed = true;
    const auto before = Piece();
    for (int code : {plat::vbKeyX, plat::vbKeyComma, plat::vbKeyUp, plat::vbKeyLeft, plat::vbKeyZ, plat::vbKeyM,
                     plat::vbKeyPeriod, plat::vbKeyRight, plat::vbKeyC, plat::vbKeyMenu, plat::vbKeySpace, plat::vbKeyDown})
        Key(code);
    EXPECT_EQ(Piece(), before);
    EXPECT_EQ(Score(), "0");
}

TEST_F(EngineTest, KeysReachTheGameWhileAButtonHasTheFocus)
{
    LoadBoard(Bar, 9, Bar);
    board->Show();
    QWidget* play = board->cmdPlay.Widget();
    board->cmdPlay.SetFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(board->Window()));
    ASSERT_EQ(QApplication::focusWidget(), play);

    QTest::keyClick(play, Qt::Key_Left);
    EXPECT_EQ(PieceCells(), (Cells{{9, 0}, {9, 1}, {9, 2}, {9, 3}}));
    QTest::keyClick(play, Qt::Key_X);
    EXPECT_EQ(PieceCells(), (Cells{{8, 2}, {9, 2}, {10, 2}, {11, 2}}));

    // "Play" hides its button; the keys still reach the game.
    board->cmdPlay.PressByUser();
    board->tmrMove.Enabled = false;  // no ticks in between the keys here
    ASSERT_TRUE(modVelmor::GameOn);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : board->Window();
    QTest::keyClick(target, Qt::Key_Right);
    EXPECT_EQ(PieceCells(), (Cells{{9, 2}, {10, 2}, {11, 2}, {12, 2}}));
    board->Hide();
}
