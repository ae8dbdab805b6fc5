// The real game program on a real X server: the window it opens and what
// it saves when the user closes it.
#include "platform/runtime/Settings.h"
#include "tests/support/TestEnv.h"
#include "tests/support/X11Session.h"

#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// A private settings folder with the browser component registered in it,
// and a private X server for the game to open its windows on.
class GameWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testenv::RegisterBrowserComponent());
        ASSERT_TRUE(x.Started()) << "Xvfb did not start";
    }

    // Starts the game program with the private settings on the private X server.
    bool StartGame()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", x.DisplayName());
        env.insert("XDG_CONFIG_HOME", config.Path());
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
        game.setProcessEnvironment(env);
        game.start(QStringLiteral(VELMOR_EXE), {});
        return game.waitForStarted(5000);
    }

    testenv::TempConfigHome config;
    testenv::X11Session x{testenv::X11Session::Manager::Openbox};
    QProcess game;
};

TEST_F(GameWindow, OpensWithDefaultTitleAndSizeAndSavesPlacementOnClose)
{
    ASSERT_TRUE(StartGame());

    const auto window = x.WaitForWindow(QStringLiteral("High Score:"), 30000);
    ASSERT_TRUE(window.has_value()) << game.readAllStandardError().toStdString();
    EXPECT_EQ(window->title, QStringLiteral("High Score:  1000     Norvid"));
    // Outer 7880 x 7950 twips less the 60-twip frame, at 15 twips a pixel.
    EXPECT_EQ(window->width, 521);
    EXPECT_EQ(window->height, 526);

    x.RequestClose(*window);
    ASSERT_TRUE(game.waitForFinished(10000));
    EXPECT_EQ(game.exitCode(), 0);
    EXPECT_EQ(plat::GetSetting("Velmor", "Game", "Windowstate"), "0");
    EXPECT_EQ(plat::GetSetting("Velmor", "Game", "Top"), "325");
    EXPECT_EQ(plat::GetSetting("Velmor", "Game", "Left"), "325");
}

TEST_F(GameWindow, HelpFromThePopupOpensTheHelpPageInTheBrowser)
{
    ASSERT_TRUE(StartGame());
    const auto board = x.WaitForWindow(QStringLiteral("High Score:"), 30000);
    ASSERT_TRUE(board.has_value()) << game.readAllStandardError().toStdString();

    // "Menu" sits in the top-left corner; Help is the popup's last item.
    x.Click(*board, 20, 6, 3);
    QThread::msleep(400);
    x.PressKey("Up");
    x.PressKey("Return");
    const auto help = x.WaitForWindow(QStringLiteral("Velmor Help"), 60000);
    EXPECT_TRUE(help.has_value()) << game.readAllStandardError().toStdString();

    game.kill();
    game.waitForFinished(5000);
}

}  // namespace
