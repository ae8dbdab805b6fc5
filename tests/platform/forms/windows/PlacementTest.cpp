// A form's placement on a real screen, kept across closes and loads the way
// the browser window keeps it: normal, maximised and minimised, each time
// the same, and the state changes the window manager makes heard by the form.
#include "WindowFixture.h"

namespace {

class Placement : public WindowFixture {
protected:
    static std::string Text(const RecordingForm::Placement& p)
    {
        return QStringLiteral("%1 %2 %3 %4 %5").arg(p.top).arg(p.left).arg(p.width).arg(p.height).arg(p.state).toStdString();
    }

    // Opens the form, closes it with the close box without touching it,
    // and says what it stored.
    static RecordingForm::Placement OpenAndClose(RecordingForm& f)
    {
        EXPECT_TRUE(ShowAndWait(f));
        EXPECT_EQ(f.WindowState, f.stored.state);
        if (f.stored.state == plat::vbMaximized)
            EXPECT_GT(ClientOnScreen(f).width(), 1200);
        else if (f.stored.state == plat::vbNormal)
            EXPECT_EQ(ClientOnScreen(f).width(), plat::ToPixelsRounded(f.stored.width - 60));
        CloseBox(f);
        EXPECT_FALSE(f.Loaded());
        return f.stored;
    }

    // Five opens and closes store what was loaded, within a pixel.
    static void ExpectFiveRoundTrips(RecordingForm& f, const RecordingForm::Placement& loaded)
    {
        f.stored = loaded;
        for (int cycle = 1; cycle <= 5; ++cycle) {
            const RecordingForm::Placement saved = OpenAndClose(f);
            EXPECT_NEAR(saved.top, loaded.top, plat::TwipsPerPixel) << "cycle " << cycle << ": " << Text(saved);
            EXPECT_NEAR(saved.left, loaded.left, plat::TwipsPerPixel) << "cycle " << cycle << ": " << Text(saved);
            EXPECT_NEAR(saved.width, loaded.width, plat::TwipsPerPixel) << "cycle " << cycle << ": " << Text(saved);
            EXPECT_NEAR(saved.height, loaded.height, plat::TwipsPerPixel) << "cycle " << cycle << ": " << Text(saved);
            EXPECT_EQ(saved.state, loaded.state) << "cycle " << cycle;
        }
    }
};

TEST_F(Placement, NormalPlacementRoundTripsWithoutAMenuBar)
{
    RecordingForm f;
    ExpectFiveRoundTrips(f, {400, 100, 9000, 7000, plat::vbNormal});
    ExpectFiveRoundTrips(f, {1207, 2003, 6001, 4999, plat::vbNormal});
}

TEST_F(Placement, NormalPlacementRoundTripsWithAMenuBar)
{
    MenuForm f;
    ExpectFiveRoundTrips(f, {400, 100, 9000, 7000, plat::vbNormal});
    ExpectFiveRoundTrips(f, {1207, 2003, 6001, 4999, plat::vbNormal});
}

TEST_F(Placement, TheWindowStandsWhereTheFormSaysOnTheScreen)
{
    MenuForm f;
    f.stored = {3000, 4500, 9000, 7000};
    ASSERT_TRUE(ShowAndWait(f));
    // The outer Left and Top are the frame's corner; the client area lies
    // inside the frame, below its title.
    const QRect client = ClientOnScreen(f);
    EXPECT_GE(client.left(), 300);
    EXPECT_LE(client.left(), 300 + 10);
    EXPECT_GE(client.top(), 200);
    EXPECT_LE(client.top(), 200 + 40);
    CloseBox(f);
}

TEST_F(Placement, MaximisedIsKeptWithTheLastNormalPlacement)
{
    MenuForm f;
    f.stored = {1200, 1500, 9000, 7000};
    ASSERT_TRUE(ShowAndWait(f));
    f.resizes.clear();
    X().SetMaximized(XId(f), true);
    ASSERT_TRUE(testenv::WaitUntil([&] { return f.WindowState == plat::vbMaximized; }, 5000));
    testenv::Settle(200);
    ASSERT_FALSE(f.ShownResizes().empty());
    const auto maximised = f.ShownResizes().back();
    EXPECT_EQ(maximised.state, plat::vbMaximized);
    EXPECT_NEAR(maximised.scaleWidth, plat::ToTwips(ScaleAreaOnScreen(f).width()), plat::TwipsPerPixel);
    EXPECT_NEAR(maximised.scaleHeight, plat::ToTwips(ScaleAreaOnScreen(f).height()), plat::TwipsPerPixel);
    EXPECT_GT(ClientOnScreen(f).width(), 1200);
    CloseBox(f);
    EXPECT_EQ(Text(f.stored), Text({1200, 1500, 9000, 7000, plat::vbMaximized}));

    // Every load opens it maximised again, and closing keeps the old normal placement.
    ExpectFiveRoundTrips(f, f.stored);

    // Restored by the user, it comes back at that normal placement.
    ASSERT_TRUE(ShowAndWait(f));
    ASSERT_GT(ClientOnScreen(f).width(), 1200);
    X().SetMaximized(XId(f), false);
    ASSERT_TRUE(testenv::WaitUntil([&] { return f.WindowState == plat::vbNormal; }, 5000));
    ASSERT_TRUE(testenv::WaitUntil([&] { return ClientOnScreen(f).width() < 1200; }, 5000));
    testenv::Settle(200);
    EXPECT_EQ(ClientOnScreen(f).size(), QSize(596, 463));
    EXPECT_EQ(f.ShownResizes().back().state, plat::vbNormal);
    CloseBox(f);
    // The window manager puts the frame back within a pixel.
    EXPECT_NEAR(f.stored.top, 1200, plat::TwipsPerPixel);
    EXPECT_NEAR(f.stored.left, 1500, plat::TwipsPerPixel);
    EXPECT_NEAR(f.stored.width, 9000, plat::TwipsPerPixel);
    EXPECT_NEAR(f.stored.height, 7000, plat::TwipsPerPixel);
    EXPECT_EQ(f.stored.state, plat::vbNormal);
}

TEST_F(Placement, MinimisedIsAppliedAtEveryLoadAndNothingActivatesIt)
{
    RecordingForm other(QStringLiteral("frmOther"));
    ASSERT_TRUE(ShowAndWait(other));
    ASSERT_TRUE(testenv::WaitUntil([&] { return X().ActiveWindow() == XId(other); }, 5000));

    MenuForm f;
    f.stored = {1200, 1500, 9000, 7000, plat::vbMinimized};
    for (int cycle = 1; cycle <= 3; ++cycle) {
        ASSERT_TRUE(ShowAndWait(f)) << "cycle " << cycle << ": not minimised";
        EXPECT_EQ(f.WindowState, plat::vbMinimized);
        EXPECT_EQ(X().ActiveWindow(), XId(other)) << "cycle " << cycle;
        f.ZOrder(0);  // code bringing it to the front leaves it minimised
        testenv::Settle(200);
        EXPECT_EQ(X().WmState(XId(f)), 3);
        CloseBox(f);
        EXPECT_EQ(Text(f.stored), Text({1200, 1500, 9000, 7000, plat::vbMinimized})) << "cycle " << cycle;
    }

    // Restored by the user: laid out at its normal placement, at its real size.
    ASSERT_TRUE(ShowAndWait(f));
    f.resizes.clear();
    X().Restore(XId(f));
    ASSERT_TRUE(testenv::WaitUntil([&] { return f.WindowState == plat::vbNormal && X().WmState(XId(f)) == 1; }, 5000));
    testenv::Settle(200);
    ASSERT_FALSE(f.ShownResizes().empty());
    EXPECT_EQ(f.ShownResizes().back().state, plat::vbNormal);
    EXPECT_NEAR(f.ShownResizes().back().scaleHeight, plat::ToTwips(ScaleAreaOnScreen(f).height()), plat::TwipsPerPixel);
    EXPECT_EQ(ClientOnScreen(f).size(), QSize(596, 463));
    CloseBox(f);
    EXPECT_EQ(Text(f.stored), Text({1200, 1500, 9000, 7000, plat::vbNormal}));
    CloseBox(other);
}

TEST_F(Placement, TheUserMovingAndSizingTheWindowIsWhatCloseStores)
{
    MenuForm f;
    f.stored = {1200, 1500, 9000, 7000};
    ASSERT_TRUE(ShowAndWait(f));
    // The window manager moves and sizes the frame as a drag would.
    X().MoveResize(XId(f), QRect(200, 150, 500, 400));
    ASSERT_TRUE(testenv::WaitUntil([&] { return ClientOnScreen(f).size() == QSize(500, 400); }, 5000));
    testenv::Settle(200);
    // The client area holds the menu bar: the outer height is the frame's
    // 60 twips more, the scale height 20 pixels less.
    EXPECT_FLOAT_EQ(f.Width, plat::ToTwips(500) + 60);
    EXPECT_FLOAT_EQ(f.Height, plat::ToTwips(400) + 60);
    EXPECT_FLOAT_EQ(f.ShownResizes().back().scaleHeight, plat::ToTwips(400 - 20));
    CloseBox(f);
    EXPECT_EQ(f.stored.width, plat::ToTwips(500) + 60);
    EXPECT_EQ(f.stored.height, plat::ToTwips(400) + 60);
    // The frame's corner went where the drag put it.
    EXPECT_NEAR(f.stored.left, plat::ToTwips(200), plat::TwipsPerPixel);
    EXPECT_NEAR(f.stored.top, plat::ToTwips(150), plat::TwipsPerPixel);
    ExpectFiveRoundTrips(f, f.stored);
}

}  // namespace
