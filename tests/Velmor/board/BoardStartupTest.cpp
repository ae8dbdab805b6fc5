// Start-up of the board window: the settings it reads, the layout it
// computes, the placement it saves when it closes.
#include "Velmor/frmBoard.h"
#include "Velmor/modVelmor.h"
#include "platform/forms/Keys.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Settings.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using namespace modVelmor;

namespace {

class BoardStartup : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::EnsureApplication();
        ASSERT_TRUE(testenv::RegisterHelpBrowserStandIn());
    }
    void TearDown() override { board.reset(); }

    void Store(const char* key, const char* value) { plat::SaveSetting("Velmor", "Game", key, value); }
    QString Stored(const char* key) { return plat::GetSetting("Velmor", "Game", key, "<missing>"); }

    frmBoard& Load()
    {
        board = std::make_unique<frmBoard>();
        board->Load();
        return *board;
    }

    testenv::TempConfigHome config;
    testenv::ScriptedRnd rnd{0.5f};
    testenv::CatchEnd end;
    std::unique_ptr<frmBoard> board;
};

TEST_F(BoardStartup, NoSettingsGiveTheDefaultWindowAndLayout)
{
    frmBoard& b = Load();
    EXPECT_EQ(Size, 300);
    EXPECT_EQ(Columns, 28);
    EXPECT_EQ(Rows, 25);
    EXPECT_EQ(AsciiLeft, plat::vbKeyLeft);
    EXPECT_EQ(AsciiRight, plat::vbKeyRight);
    EXPECT_EQ(AsciiRotate, plat::vbKeyUp);
    EXPECT_EQ(AsciiDrop, plat::vbKeyDown);
    EXPECT_EQ(Highscore, 1000);
    EXPECT_EQ(Highscorename, "Norvid");
    EXPECT_EQ(NoEnd, 0);

    EXPECT_EQ(b.WindowState, 0);
    EXPECT_FLOAT_EQ(b.Top, 325);
    EXPECT_FLOAT_EQ(b.Left, 325);
    EXPECT_FLOAT_EQ(b.Width, 7880);
    EXPECT_FLOAT_EQ(b.Height, 7950);
    EXPECT_EQ(b.BackColor, 0);
    EXPECT_EQ(b.Caption.Get(), "High Score:  1000     Norvid");

    EXPECT_FLOAT_EQ(b.picPreview.Left, 0);
    EXPECT_FLOAT_EQ(b.picPreview.Top, b.ScaleHeight() - 1800);
    EXPECT_FLOAT_EQ(b.picPreview.Width, 1200);
    EXPECT_FLOAT_EQ(b.picPreview.Height, 1800);
    EXPECT_FLOAT_EQ(b.lblScore.Left, 1250);
    EXPECT_FLOAT_EQ(b.lblScore.Top, 20);
    EXPECT_FLOAT_EQ(b.lblScore.FontSize, 10);
    EXPECT_EQ(b.lblScore.Caption.Get(), "0");
    EXPECT_FLOAT_EQ(b.cmdPlay.Left, 3392.5f);
    EXPECT_FLOAT_EQ(b.cmdPlay.Top, 3307.5f);
    EXPECT_FLOAT_EQ(b.cmdTryAgain.Left, 3392.5f);
    EXPECT_FLOAT_EQ(b.cmdTryAgain.Top, 3307.5f);
    EXPECT_TRUE(b.cmdPlay.Visible);
    EXPECT_FALSE(b.cmdTryAgain.Visible);
    EXPECT_FLOAT_EQ(b.lblMenu.Width, 1200);
    EXPECT_EQ(b.lblMenu.ForeColor, 0xFF00);

    EXPECT_EQ(b.imgLeft.TwipsRect(), QRectF(0, 0, 1200, 7800));
    EXPECT_EQ(b.imgRight.TwipsRect(), QRectF(7510, 0, 300, 7800));
    for (int i = 0; i < 16; ++i) {
        ASSERT_EQ(b.BlobCell[i], &b.shpBlobSquare(i));
        EXPECT_FLOAT_EQ(b.BlobCell[i]->Width, 300);
    }

    EXPECT_FALSE(b.tmrMove.Enabled);
    EXPECT_EQ(b.tmrMove.Interval, frmBoard::StartingInterval);
    EXPECT_FALSE(b.Landed);
    EXPECT_FALSE(GameOn);
}

TEST_F(BoardStartup, MenuLabelEndsInFrontOfBothWallPictures)
{
    frmBoard& b = Load();
    const auto& order = b.Windowless();
    auto pos = [&](const plat::Control& c) { return std::find(order.begin(), order.end(), &c) - order.begin(); };
    EXPECT_GT(pos(b.lblMenu), pos(b.imgLeft));
    EXPECT_GT(pos(b.lblMenu), pos(b.imgRight));
    EXPECT_GT(pos(b.imgRight), pos(b.imgLeft));
    EXPECT_GT(pos(b.imgLeft), pos(b.shpSquare(0)));
}

TEST_F(BoardStartup, StoredTextsConvertHalfToEven)
{
    Store("Columns", "20.5");  // 28.5 -> 28
    Store("Rows", "24.5");     // 25.5 -> 26
    Store("Highscore", "2500.5");
    Load();
    EXPECT_EQ(Columns, 28);
    EXPECT_EQ(Rows, 26);
    EXPECT_EQ(Highscore, 2500);
}

TEST_F(BoardStartup, StoredMinimisedStateOpensNormalAtStoredPosition)
{
    Store("Windowstate", "1");
    Store("Top", "1000");
    Store("Left", "2000.5");
    frmBoard& b = Load();
    EXPECT_EQ(b.WindowState, 0);
    EXPECT_FLOAT_EQ(b.Top, 1000);
    EXPECT_FLOAT_EQ(b.Left, 2000.5f);
}

TEST_F(BoardStartup, MaximisedStateLeavesPositionUnread)
{
    Store("Windowstate", "2");
    Store("Top", "not a number");
    frmBoard& b = Load();
    EXPECT_EQ(b.WindowState, 2);
}

TEST_F(BoardStartup, ScoreFontFollowsCellSize)
{
    for (auto [size, points] : {std::pair{"100", 3}, {"299", 9}, {"500", 16}}) {
        Store("Size", size);
        frmBoard& b = Load();
        EXPECT_FLOAT_EQ(b.lblScore.FontSize, points) << size;
        EXPECT_FLOAT_EQ(b.imgRight.Width, Size) << "one cell wide whatever the size";
    }
}

TEST_F(BoardStartup, UnusableSettingsAreReadAsDefaultsAndLeftStored)
{
    Store("Size", "big");
    Store("AsciiLeft", "99999");  // out of 16-bit range
    Store("Highscore", "lots");
    Store("Windowstate", "7");
    testing::internal::CaptureStderr();
    frmBoard& b = Load();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Size, 300);
    EXPECT_EQ(AsciiLeft, plat::vbKeyLeft);
    EXPECT_EQ(Highscore, 1000);
    EXPECT_EQ(b.WindowState, 0);
    EXPECT_NE(err.find("Velmor"), std::string::npos);
    EXPECT_NE(err.find("[Game] Size = \"big\""), std::string::npos);
    EXPECT_NE(err.find("[Game] Highscore = \"lots\""), std::string::npos);
    EXPECT_EQ(Stored("Size"), "big") << "the stored text is left as it is";
}

TEST_F(BoardStartup, LayoutThatWouldOverflowFallsBackToDefaults)
{
    Store("Size", "2000");      // (28 - 2) * 2000 + 80 overflows 16 bits
    Store("Columns", "100");    // a well larger than the square pool
    testing::internal::CaptureStderr();
    frmBoard& b = Load();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(Size, 300);
    EXPECT_EQ(Columns, 28);
    EXPECT_FLOAT_EQ(b.Width, 7880);
}

TEST_F(BoardStartup, DimensionThatFallsBackIsReportedWithItsStoredText)
{
    Store("Size", "2000");
    Store("Columns", "100");
    testing::internal::CaptureStderr();
    Load();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("[Game] Size = \"2000\" cannot be used"), std::string::npos) << err;
    EXPECT_NE(err.find("[Game] Columns = \"100\" cannot be used"), std::string::npos) << err;
    EXPECT_EQ(err.find("[Game] Rows"), std::string::npos) << "a dimension that keeps its value is not reported";
}

// The fit check runs the load's own arithmetic, so it stops exactly where
// the load would: at the well's last square and at its pool.
TEST_F(BoardStartup, StoredDimensionsFitUpToTheLastTheWellCanBuild)
{
    testing::internal::CaptureStderr();
    Store("Size", "1170");  // 1170 * 28, the last column's place, still fits 16 bits
    Load();
    EXPECT_EQ(Size, 1170);
    Store("Size", "1171");
    Load();
    EXPECT_EQ(Size, 300);

    Store("Size", "300");
    Store("Columns", "27");  // the well's last square is number 36 x 39 of the pool
    Store("Rows", "37");
    Load();
    EXPECT_EQ(Columns, 35);
    EXPECT_EQ(Rows, 38);
    Store("Rows", "38");  // 36 x 40 = 1440, one past the pool; the columns fall back first
    Load();
    EXPECT_EQ(Columns, 28);
    EXPECT_EQ(Rows, 39);
    testing::internal::GetCapturedStderr();
}

TEST_F(BoardStartup, LargestDialogChoicesStillFit)
{
    Store("Columns", "30");
    Store("Rows", "30");
    Store("Size", "500");
    frmBoard& b = Load();
    EXPECT_EQ(Columns, 38);
    EXPECT_EQ(Rows, 31);
    EXPECT_EQ(Size, 500);
    EXPECT_FLOAT_EQ(b.Width, 36 * 500 + 80);
    EXPECT_FLOAT_EQ(b.Height, 31 * 500 + 450);
}

TEST_F(BoardStartup, ClosingNormalWindowSavesStateAndPosition)
{
    frmBoard& b = Load();
    b.Top = 900;
    b.Left = 1234.5f;
    EXPECT_THROW(b.Unload(), testenv::EndCalled) << "unloading the board ends the program";
    EXPECT_EQ(Stored("Windowstate"), "0");
    EXPECT_EQ(Stored("Top"), "900");
    EXPECT_EQ(Stored("Left"), "1234.5");
}

TEST_F(BoardStartup, ClosingMinimisedWindowKeepsOldPosition)
{
    Store("Top", "700");
    Store("Left", "800");
    frmBoard& b = Load();
    b.Top = 50;
    b.WindowState = 1;
    EXPECT_THROW(b.Unload(), testenv::EndCalled);
    EXPECT_EQ(Stored("Windowstate"), "1");
    EXPECT_EQ(Stored("Top"), "700");
    EXPECT_EQ(Stored("Left"), "800");
}

// Loads a board that cannot start, and gives the error that stopped it.
plat::RuntimeError LoadThatStops()
{
    plat::EnsureApplication();
    testenv::ScriptedRnd rnd{0.5f};
    frmBoard board;
    try {
        board.Load();
    } catch (const plat::RuntimeError& e) {
        return e;
    }
    ADD_FAILURE() << "the load must stop";
    return plat::RuntimeError(0);
}

TEST(BoardWithoutComponent, UnregisteredHelpBrowserStopsTheStartNamingTheClass)
{
    testenv::TempConfigHome emptyRegistry;
    const plat::RuntimeError e = LoadThatStops();
    EXPECT_EQ(e.Number(), plat::ErrCantCreateObject);
    EXPECT_TRUE(e.Description().contains("RoamwellDLL.clsRoamwell"));
    EXPECT_TRUE(e.Description().contains("regsvr"));
    EXPECT_EQ(plat::RndDrawCount(), 0) << "nothing after the first step ran";
}

TEST(BoardWithoutComponent, CorruptUserHiveStopsTheStartNamingTheHiveAndItsLine)
{
    testenv::TempConfigHome config;
    const QString hive = config.Path() + "/registry/user.reg";
    ASSERT_TRUE(QDir().mkpath(config.Path() + "/registry"));
    const QByteArray damaged = "Registry Hive Text Version 1.00\n\n[HKEY_CURRENT_USER\\Software\\Classes]\n\"x\"=dword:12\n";
    QFile file(hive);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();

    const plat::RuntimeError e = LoadThatStops();
    EXPECT_EQ(e.Number(), plat::ErrCantCreateObject);
    EXPECT_TRUE(e.Description().contains(hive + " is corrupt (line 4: bad dword)")) << e.Description().toStdString();
    EXPECT_TRUE(e.Description().contains("left unchanged")) << e.Description().toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), damaged);
}

}  // namespace
