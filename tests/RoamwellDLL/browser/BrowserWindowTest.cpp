// The browser window on a private X server with a window manager, shown as
// the component shows it: its first show, its placement over repeated
// opens and closes with the close box, a stored minimised state, and the
// status bar's text where the user can read it.
#include "tests/RoamwellDLL/BrowserFixture.h"

#include "platform/forms/Twips.h"
#include "tests/support/X11Application.h"

#include <QFontMetrics>
#include <QLabel>

namespace {

auto* const desktop = ::testing::AddGlobalTestEnvironment(new testenv::X11Application);
namespace placement = RoamwellSettings::Browser;

class BrowserWindow : public BrowserFixture {
protected:
    static testenv::X11Session& X() { return testenv::X11Application::Session(); }
    static unsigned long XId(frmBrowser& b) { return b.Window()->winId(); }

    // Shows the window as the component's Start does, and waits until the
    // window manager has placed it and its first page is in.
    void ShowAndWait(frmBrowser& b)
    {
        const int before = downloads;
        b.Show();
        const long placed = b.WindowState == plat::vbMinimized ? 3 : 1;
        ASSERT_TRUE(testenv::WaitUntil([&] { return X().WmState(XId(b)) == placed; }, 10000));
        if (before == 0 || !b.brwWebBrowser.LocationURL().isEmpty())
            WaitIdle(b, before);
        testenv::Settle(200);
    }
    // The close box, and the close that follows.
    static void CloseBox(frmBrowser& b)
    {
        X().RequestClose({XId(b)});
        ASSERT_TRUE(testenv::WaitUntil([&] { return !b.Loaded(); }, 10000));
    }
    static std::string StoredPlacement()
    {
        const QStringList stored{Stored(placement::Top), Stored(placement::Left), Stored(placement::Height),
                                 Stored(placement::Width), Stored(placement::Windowstate)};
        return stored.join(u' ').toStdString();
    }
    // A control's rectangle in the window's client area (menu bar included).
    static QRect InWindow(frmBrowser& b, QWidget* w) { return QRect(w->mapTo(b.Window(), QPoint(0, 0)), w->size()); }
};

TEST_F(BrowserWindow, AtFirstShowTheLayoutFillsTheRealClientAreaAndTheStatusShows)
{
    Store(RoamwellSettings::Preferences::HomeAddress, server.Url("/home.htm"));
    frmBrowser& b = Browser();
    ShowAndWait(b);
    EXPECT_FLOAT_EQ(b.Height, 7000);
    EXPECT_FLOAT_EQ(b.Width, 9000);

    const QRect client = X().ClientRect(XId(b));
    const QRect bar = InWindow(b, b.statbar.Widget());
    EXPECT_EQ(bar.bottom() + 1, client.height()) << "the status bar ends with the window";
    EXPECT_EQ(bar.width(), client.width());
    EXPECT_EQ(InWindow(b, b.brwWebBrowser.Widget()).bottom() + 1, bar.top()) << "the page reaches the status bar";
    EXPECT_NEAR(b.ScaleHeight(), plat::ToTwips(client.height() - b.Surface()->y()), plat::TwipsPerPixel);

    // "Done" stands clear of the progress bar over the status bar's left end.
    EXPECT_EQ(b.statbar.Panels(1).Text.Get(), QStringLiteral("Done"));
    auto* label = b.statbar.Widget()->findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    const int textWidth = QFontMetrics(label->font()).horizontalAdvance(label->text());
    const int textLeft = InWindow(b, label).left() + label->contentsRect().left() + (label->contentsRect().width() - textWidth) / 2;
    EXPECT_GE(textLeft, InWindow(b, b.progbar.Widget()).right());
    EXPECT_TRUE(errors.empty());
}

TEST_F(BrowserWindow, FiveOpensAndClosesOfTheUntouchedWindowStoreWhatWasLoaded)
{
    Store(RoamwellSettings::Preferences::HomeAddress, server.Url("/home.htm"));
    frmBrowser& b = Browser();
    for (int cycle = 1; cycle <= 5; ++cycle) {
        ShowAndWait(b);
        EXPECT_EQ(X().ClientRect(XId(b)).size(), QSize(596, 463)) << "cycle " << cycle;
        CloseBox(b);
        EXPECT_NEAR(Stored(placement::Top).toFloat(), 400, plat::TwipsPerPixel) << StoredPlacement();
        EXPECT_NEAR(Stored(placement::Left).toFloat(), 100, plat::TwipsPerPixel) << StoredPlacement();
        EXPECT_NEAR(Stored(placement::Height).toFloat(), 7000, plat::TwipsPerPixel) << StoredPlacement();
        EXPECT_NEAR(Stored(placement::Width).toFloat(), 9000, plat::TwipsPerPixel) << StoredPlacement();
        EXPECT_EQ(Stored(placement::Windowstate), "0");
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(BrowserWindow, ClosingInTheNormalStateSavesThePlacementTheUserGaveIt)
{
    Store(RoamwellSettings::Preferences::HomeAddress, server.Url("/home.htm"));
    frmBrowser& b = Browser();
    ShowAndWait(b);
    // Dragged to another corner and sized by the user, through the window manager.
    X().MoveResize(XId(b), QRect(100, 80, 640, 480));
    ASSERT_TRUE(testenv::WaitUntil([&] { return X().ClientRect(XId(b)).size() == QSize(640, 480); }, 5000));
    testenv::Settle(200);
    CloseBox(b);
    EXPECT_EQ(StoredPlacement(), "1200 1500 7260 9660 0");
}

TEST_F(BrowserWindow, ClosingMaximisedSavesTheLastNormalPlacementAndTheNextLoadIsMaximised)
{
    Store(RoamwellSettings::Preferences::HomeAddress, server.Url("/home.htm"));
    frmBrowser& b = Browser();
    ShowAndWait(b);
    X().SetMaximized(XId(b), true);
    ASSERT_TRUE(testenv::WaitUntil([&] { return b.WindowState == plat::vbMaximized; }, 5000));
    ASSERT_TRUE(testenv::WaitUntil([&] { return X().ClientRect(XId(b)).width() > 1200; }, 5000));
    testenv::Settle(200);
    // Laid out across the maximised window.
    EXPECT_EQ(InWindow(b, b.statbar.Widget()).bottom() + 1, X().ClientRect(XId(b)).height());
    CloseBox(b);
    EXPECT_EQ(StoredPlacement(), "400 100 7000 9000 2");

    ShowAndWait(b);
    EXPECT_EQ(b.WindowState, plat::vbMaximized);
    EXPECT_GT(X().ClientRect(XId(b)).width(), 1200);
    CloseBox(b);
    EXPECT_EQ(StoredPlacement(), "400 100 7000 9000 2");
}

TEST_F(BrowserWindow, AStoredMinimisedStateAppliesAtEveryLoadAndStaysInTheTaskbar)
{
    Store(RoamwellSettings::Preferences::HomeAddress, server.Url("/home.htm"));
    Store(placement::Windowstate, "1");
    frmBrowser& b = Browser();
    for (int cycle = 1; cycle <= 3; ++cycle) {
        ShowAndWait(b);
        EXPECT_EQ(b.WindowState, plat::vbMinimized) << "cycle " << cycle;
        // What the component's Surf does after showing it keeps it there too.
        b.ZOrder(0);
        testenv::Settle(200);
        EXPECT_EQ(X().WmState(XId(b)), 3) << "cycle " << cycle;
        EXPECT_NE(X().ActiveWindow(), XId(b)) << "cycle " << cycle;
        CloseBox(b);
        EXPECT_EQ(Stored(placement::Windowstate), "1") << "cycle " << cycle;
    }

    // Restored by the user, it is laid out at its real size.
    ShowAndWait(b);
    X().Restore(XId(b));
    ASSERT_TRUE(testenv::WaitUntil([&] { return b.WindowState == plat::vbNormal && X().WmState(XId(b)) == 1; }, 5000));
    testenv::Settle(300);
    const QRect client = X().ClientRect(XId(b));
    EXPECT_EQ(InWindow(b, b.statbar.Widget()).bottom() + 1, client.height());
    EXPECT_FLOAT_EQ(b.cboAddress.Width, b.ScaleWidth() - 40);
    EXPECT_TRUE(errors.empty());
}

}  // namespace
