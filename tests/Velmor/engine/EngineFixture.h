#pragma once
// A board window loaded headless, with scripted random draws (drawing past
// the script fails the test, so the order of draws is checked), recorded
// sounds, a scripted name dialog and settings in a temporary folder.

#include "Velmor/frmBoard.h"
#include "Velmor/modVelmor.h"
#include "platform/forms/Keys.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Dialogs.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Rnd.h"
#include "platform/runtime/Settings.h"
#include "platform/runtime/SettingsTable.h"
#include "platform/runtime/Startup.h"
#include "platform/sound/Sound.h"
#include "tests/support/TestEnv.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

// Table entries used by the scenes.
enum Piece : int { Bend = 0, Square = 1, OneCell = 5, Tee = 8, Bar = 26 };

struct Snapshot {
    bool visible;
    float left, top;
    int32_t back, fill, border;
    bool operator==(const Snapshot&) const = default;
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::EnsureApplication();
        ASSERT_TRUE(configDir.isValid());
        setenv("XDG_CONFIG_HOME", qPrintable(configDir.path()), 1);
        ASSERT_TRUE(testenv::RegisterHelpBrowserStandIn());  // the load creates the help browser
        modVelmor::GameOn = false;
        plat::SetRndSource([this] {
            if (!generator && draws.empty()) {
                ADD_FAILURE() << "a random number was drawn past the end of the script";
                return 0.0f;
            }
            if (generator)
                return generator();
            const float r = draws.front();
            draws.pop_front();
            return r;
        });
        plat::SetSoundObserver([this](const QString& requested, const QString&) { sounds << requested; });
        plat::SetInputBoxHandler([this](const QString& prompt, const QString& title, const QString& defaultText) {
            dialogs.push_back({prompt, title, defaultText});
            if (onDialog)
                onDialog();
            return typedName;
        });
        plat::SetEndHandler([](int) { throw std::runtime_error("the program would end here"); });
        plat::SetUnhandledErrorHandler([this](const plat::RuntimeError& e) {
            unhandled << QStringLiteral("%1 %2").arg(e.Number()).arg(e.Description());
        });
    }

    void TearDown() override
    {
        EXPECT_TRUE(unhandled.isEmpty()) << qPrintable(unhandled.join(QLatin1Char('\n')));
        board.reset();
        plat::SetRndSource({});
        plat::SetSoundObserver({});
        plat::SetInputBoxHandler({});
        plat::SetEndHandler({});
        plat::SetUnhandledErrorHandler({});
    }

    // ---- random draws ----------------------------------------------------

    void Script(std::initializer_list<float> more) { draws.insert(draws.end(), more); }
    // The draw that picks table entry n.
    static float EntryDraw(int n) { return (n + 0.5f) / 40; }
    // The draw that enters a piece with its frame's left column at L (m = Int(Columns / 3)).
    static float ColumnDraw(int L, int m = 9) { return (L - m + 0.5f) / m; }
    // A whole successful entry: column, next piece, its red, green and blue.
    void ScriptEntry(int L, int next, float red = 0.5f, float green = 0.5f, float blue = 0.5f)
    {
        Script({ColumnDraw(L), EntryDraw(next), red, green, blue});
    }

    // Loads a fresh board window: both starter blocks at (4, Rows - 1), the
    // first piece `first` entering at column L, `next` in the preview.
    void LoadBoard(int first, int L, int next)
    {
        for (int k = 1; k <= 2; ++k)
            Script({0.0f, 0.9f, 0.5f, 0.5f, 0.5f});
        Script({EntryDraw(first), 0.5f, 0.5f, 0.5f});
        ScriptEntry(L, next);
        board = std::make_unique<frmBoard>();
        board->Load();
        ASSERT_TRUE(draws.empty()) << "the load drew fewer numbers than scripted";
    }

    static void Store(const char* key, const char* value)
    {
        plat::SaveSetting(QStringLiteral("Velmor"), QStringLiteral("Game"), QString::fromLatin1(key), QString::fromLatin1(value));
    }
    static QString Stored(const char* key)
    {
        return plat::GetSetting(QStringLiteral("Velmor"), QStringLiteral("Game"), QString::fromLatin1(key), QStringLiteral("<none>"));
    }

    // ---- acting ------------------------------------------------------------

    void Key(int code, int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            int16_t k = static_cast<int16_t>(code);
            board->Form_KeyDown(k, 0);
        }
    }
    void Tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            board->tmrMove.Fire();
    }

    // ---- the scene -----------------------------------------------------------

    BoardCell& Cell(int x, int y) { return board->Board(x, y); }
    void Fill(int x, int y, int32_t colour = 0x2345678)
    {
        BoardCell& c = Cell(x, y);
        c.Filled = true;
        c.Square->Visible = true;
        c.Square->BackColor = colour;
        c.Square->FillColor = colour;
    }
    // Fills play row y except the columns given.
    void FillRow(int y, std::initializer_list<int> gaps)
    {
        for (int x = 4; x <= modVelmor::Columns - 4; ++x)
            if (std::find(gaps.begin(), gaps.end(), x) == gaps.end())
                Fill(x, y);
    }
    bool Shown(int x, int y) { return Cell(x, y).Filled && Cell(x, y).Square->Visible; }
    bool Empty(int x, int y) { return !Cell(x, y).Filled && !Cell(x, y).Square->Visible; }

    // (column, row) of every visible cell of the falling piece.
    std::vector<std::pair<int, int>> PieceCells() const
    {
        std::vector<std::pair<int, int>> cells;
        for (plat::ShapeControl* c : board->BlobCell)
            if (c->Visible)
                cells.emplace_back(int(c->Left / modVelmor::Size), int(std::floor(c->Top / modVelmor::Size)));
        return cells;
    }
    static std::vector<Snapshot> Shapes(const std::array<plat::ShapeControl*, 16>& shapes)
    {
        std::vector<Snapshot> s;
        for (plat::ShapeControl* c : shapes)
            s.push_back({c->Visible, c->Left, c->Top, c->BackColor, c->FillColor, c->BorderColor});
        return s;
    }
    std::vector<Snapshot> Piece() const { return Shapes(board->BlobCell); }
    std::vector<Snapshot> Preview() const
    {
        std::array<plat::ShapeControl*, 16> shapes{};
        for (int i = 0; i < 16; ++i)
            shapes[i] = &board->shpPreview(i);
        return Shapes(shapes);
    }
    QString Score() const { return board->lblScore.Caption; }
    int Played(const char* sound) const { return int(sounds.count(QString::fromLatin1(sound))); }

    struct Dialog { QString prompt, title, defaultText; };

    QTemporaryDir configDir;
    std::unique_ptr<frmBoard> board;
    std::deque<float> draws;
    std::function<float()> generator;  // instead of the script (soak)
    QStringList sounds;
    std::vector<Dialog> dialogs;
    QString typedName;
    std::function<void()> onDialog;
    QStringList unhandled;
};
