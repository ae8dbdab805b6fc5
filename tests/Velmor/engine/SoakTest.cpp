// Many games of random ticks and keys, checking after every event that the
// well stays whole and the score counts exactly the cells that landed.
#include "EngineFixture.h"

#include "platform/runtime/Numeric.h"

#include <cstdio>
#include <random>

TEST_F(EngineTest, SoakOfRandomTicksAndKeysKeepsTheWellWholeAndTheScoreHonest)
{
    // The narrowest well, so that random play completes rows now and then.
    Store("Columns", "10");
    std::mt19937 rng(20240611u);
    generator = [&] { return float(rng() >> 8) / 16777216.0f; };
    board = std::make_unique<frmBoard>();
    board->Load();
    board->cmdPlay_Click();

    // A random player: for each piece a random number of turns and a random
    // target column, reached by any of the keys for it, then any drop key;
    // ticks and stray keys come in between.
    const int turnKeys[] = {plat::vbKeyX, plat::vbKeyComma, plat::vbKeyUp};
    const int leftKeys[] = {plat::vbKeyLeft, plat::vbKeyZ, plat::vbKeyM};
    const int rightKeys[] = {plat::vbKeyPeriod, plat::vbKeyRight, plat::vbKeyC};
    const int dropKeys[] = {plat::vbKeyMenu, plat::vbKeySpace, plat::vbKeyDown};
    auto any = [&](const auto& codes) { return codes[rng() % std::size(codes)]; };
    const int columns = modVelmor::Columns;
    const int rows = modVelmor::Rows;
    // Half the pieces aim their leftmost cell at the lowest column, so that
    // rows fill up and get removed now and then.
    auto lowestColumn = [&] {
        int best = 4, bestDepth = -1;
        for (int x = 4; x <= columns - 4; ++x) {
            int depth = 0;
            while (!Cell(x, depth).Filled)
                ++depth;
            if (depth > bestDepth)
                best = x, bestDepth = depth;
        }
        return best;
    };
    int turns = 0, shift = 0;
    auto plan = [&] {
        turns = int(rng() % 4);
        if (rng() % 2) {
            shift = int(rng() % 15) - 7;
        } else {
            int leftmost = columns;
            for (auto [x, y] : PieceCells())
                leftmost = std::min(leftmost, x);
            shift = lowestColumn() - leftmost;
        }
    };
    plan();
    long landedCells = 0;
    int games = 1, landings = 0, removedRows = 0;

    for (int event = 0; event < 300000; ++event) {
        const size_t pieceCells = PieceCells().size();
        sounds.clear();
        const unsigned dice = rng() % 20;
        if (board->cmdTryAgain.Visible) {
            board->cmdTryAgain_Click();
            landedCells = 0;
            ++games;
        } else if (dice < 5) {
            if (board->tmrMove.Enabled)
                Tick();
        } else if (dice == 5) {
            Key(int(rng() % 256));
        } else if (turns > 0) {
            Key(any(turnKeys));
            --turns;
        } else if (shift != 0) {
            Key(shift < 0 ? any(leftKeys) : any(rightKeys));
            shift += shift < 0 ? 1 : -1;
        } else {
            Key(any(dropKeys));
        }
        if (Played("waterdrop.wav") == 1) {
            landedCells += long(pieceCells);
            ++landings;
            plan();
        }
        removedRows += Played("energypod.wav");

        for (int y = 0; y <= rows; ++y)
            for (int x : {0, 1, 2, 3, columns - 3, columns - 2, columns - 1, columns})
                ASSERT_TRUE(Cell(x, y).Filled) << "wall " << x << "," << y << " after event " << event;
        for (int x = 0; x <= columns; ++x)
            ASSERT_TRUE(Shown(x, rows)) << "floor " << x << " after event " << event;
        if (!board->cmdTryAgain.Visible) {
            for (auto [x, y] : PieceCells())
                ASSERT_FALSE(Cell(x, y).Filled) << "piece on " << x << "," << y << " after event " << event;
        }
        ASSERT_EQ(plat::CDbl(Score()), 50.0 * landedCells) << "after event " << event;
        ASSERT_TRUE(unhandled.isEmpty()) << "after event " << event;
    }
    std::printf("soak: %d games, %d landings, %d rows removed\n", games, landings, removedRows);
    EXPECT_GT(games, 100);
    EXPECT_GT(landings, 10000);
    EXPECT_GT(removedRows, 50);
}
