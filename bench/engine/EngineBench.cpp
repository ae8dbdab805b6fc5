// The engine's steps as the player meets them, each with the repaint of the
// window that follows it: one gravity tick, one hard drop with its landing
// step, and a hard drop that removes four rows. On the default well
// (28 x 25) and on the largest the setup dialog offers (38 x 31).
#include "Velmor/frmBoard.h"
#include "Velmor/modVelmor.h"
#include "platform/forms/Keys.h"
#include "platform/runtime/Rnd.h"
#include "platform/runtime/Settings.h"
#include "platform/runtime/Startup.h"
#include "platform/sound/Sound.h"
#include "tests/support/TestEnv.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

using modVelmor::Columns;
using modVelmor::Rows;

// A board window shown offscreen. Every draw is 0.66: the bar of four, always
// entering at the same column, so each iteration does the same work.
std::unique_ptr<frmBoard> ShownBoard(bool largest)
{
    static QTemporaryDir config;
    setenv("XDG_CONFIG_HOME", qPrintable(config.path()), 1);
    if (!testenv::RegisterBrowserComponent())
        qFatal("the help browser component cannot be registered");
    const QString columns = largest ? QStringLiteral("30") : QStringLiteral("20");
    const QString rows = largest ? QStringLiteral("30") : QStringLiteral("24");
    plat::SaveSetting(QStringLiteral("Velmor"), QStringLiteral("Game"), QStringLiteral("Columns"), columns);
    plat::SaveSetting(QStringLiteral("Velmor"), QStringLiteral("Game"), QStringLiteral("Rows"), rows);
    plat::SetRndSource([] { return 0.66f; });
    auto board = std::make_unique<frmBoard>();
    board->Show();
    QCoreApplication::processEvents();
    return board;
}

// Paints now what the step made dirty, as the next pass of the event loop would.
void Repaint(frmBoard& board)
{
    board.Window()->repaint();
}

// Settles what the untimed set-up queued, so that only the step's own
// repaint is measured.
void Settle(frmBoard& board)
{
    Repaint(board);
    QCoreApplication::processEvents();
}

void NewPieceOnFreshWell(frmBoard& board)
{
    board.SetupBoard();
    board.Landed = false;
    board.SetBlob1(0x8080, 0xFFFFFF, board.pArray);
}

int PieceColumn(const frmBoard& board)
{
    for (plat::ShapeControl* cell : board.BlobCell)
        if (cell->Visible)
            return int(cell->Left / modVelmor::Size);
    return -1;
}

void Tick(benchmark::State& state)
{
    auto board = ShownBoard(state.range(0) != 0);
    modVelmor::GameOn = true;
    for (auto _ : state) {
        // Keep every tick a one-row fall: lift the piece before it rests.
        if (board->BlobCell[15]->Top >= (Rows - 2) * modVelmor::Size) {
            state.PauseTiming();
            for (plat::ShapeControl* cell : board->BlobCell)
                cell->Top = cell->Top - (Rows - 6) * modVelmor::Size;
            Settle(*board);
            state.ResumeTiming();
        }
        board->tmrMove_Timer();
        Repaint(*board);
    }
    modVelmor::GameOn = false;
}

void HardDrop(benchmark::State& state)
{
    auto board = ShownBoard(state.range(0) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        NewPieceOnFreshWell(*board);
        Settle(*board);
        state.ResumeTiming();
        int16_t space = plat::vbKeySpace;
        board->Form_KeyDown(space, 0);
        Repaint(*board);
    }
}

void HardDropRemovingFourRows(benchmark::State& state)
{
    auto board = ShownBoard(state.range(0) != 0);
    int removed = 0;
    plat::SetSoundObserver([&](const QString& name, const QString&) { removed += name == QLatin1String("energypod.wav"); });
    for (auto _ : state) {
        state.PauseTiming();
        NewPieceOnFreshWell(*board);
        const int gap = PieceColumn(*board);
        for (int y = Rows - 4; y <= Rows - 1; ++y) {
            for (int x = 4; x <= Columns - 4; ++x) {
                if (x == gap)
                    continue;
                BoardCell& cell = board->Board(x, y);
                cell.Filled = true;
                cell.Square->BackColor = 0x2406080;
                cell.Square->FillColor = 0x2406080;
                cell.Square->Visible = true;
            }
        }
        Settle(*board);
        state.ResumeTiming();
        int16_t space = plat::vbKeySpace;
        board->Form_KeyDown(space, 0);
        Repaint(*board);
    }
    plat::SetSoundObserver({});
    state.counters["rows"] = benchmark::Counter(removed, benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(Tick)->ArgName("largest")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(HardDrop)->ArgName("largest")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(HardDropRemovingFourRows)->ArgName("largest")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    plat::EnsureApplication();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
