// A form's window when it is first shown, with and without a menu bar: the
// size it was given, the client area Form_Resize sees, and the controls
// along its bottom edge inside it.
#include "WindowFixture.h"

namespace {

class FirstShow : public WindowFixture {
protected:
    // The form's outer size is what code gave it; Form_Resize ran when the
    // window was shown, and the client area it saw is the one on the screen.
    static void ExpectShownAtItsSize(RecordingForm& f, float width, float height)
    {
        EXPECT_FLOAT_EQ(f.Width, width);
        EXPECT_FLOAT_EQ(f.Height, height);
        const auto shown = f.ShownResizes();
        ASSERT_FALSE(shown.empty()) << "no Resize when the window was shown";
        const QRect area = ScaleAreaOnScreen(f);
        EXPECT_NEAR(shown.back().scaleWidth, plat::ToTwips(area.width()), plat::TwipsPerPixel);
        EXPECT_NEAR(shown.back().scaleHeight, plat::ToTwips(area.height()), plat::TwipsPerPixel);
        EXPECT_NEAR(f.ScaleHeight(), plat::ToTwips(area.height()), plat::TwipsPerPixel);
    }
};

TEST_F(FirstShow, WithoutAMenuBarResizeSeesTheClientAreaOnTheScreen)
{
    RecordingForm f;
    f.stored = {1200, 1500, 9000, 7000};
    ASSERT_TRUE(ShowAndWait(f));
    ExpectShownAtItsSize(f, 9000, 7000);
    EXPECT_EQ(ClientOnScreen(f).size(), QSize(596, 463));  // less the 60-twip frame
    EXPECT_EQ(f.ShownResizes().size(), 1u);
}

TEST_F(FirstShow, WithAMenuBarTheHeightStaysAndTheBarsAreInsideTheWindow)
{
    MenuForm f;
    f.stored = {1200, 1500, 9000, 7000};
    ASSERT_TRUE(ShowAndWait(f));
    ExpectShownAtItsSize(f, 9000, 7000);
    // The menu bar's 300 twips come out of the client area, not on top of it.
    EXPECT_EQ(ClientOnScreen(f).size(), QSize(596, 463));
    EXPECT_NEAR(ScaleAreaOnScreen(f).height(), plat::ToPixels(7000 - 60 - 300), 1);

    // The status bar along the bottom edge ends where the window ends.
    const QRect bar(f.statbar.Widget()->mapTo(f.Window(), QPoint(0, 0)), f.statbar.Widget()->size());
    EXPECT_TRUE(f.statbar.Widget()->isVisible());
    EXPECT_EQ(bar.bottom() + 1, ClientOnScreen(f).height());
    EXPECT_FLOAT_EQ(f.statbar.Top + f.statbar.Height, f.ScaleHeight());
}

TEST_F(FirstShow, ResizeRunsAtEveryFirstShowAfterALoadAndNotWhenShownAgain)
{
    MenuForm f;
    for (int load = 1; load <= 3; ++load) {
        ASSERT_TRUE(ShowAndWait(f));
        EXPECT_EQ(f.ShownResizes().size(), 1u) << "load " << load;
        f.Hide();
        ASSERT_TRUE(testenv::WaitUntil([&] { return X().WmState(XId(f)) != 1; }, 5000));
        ASSERT_TRUE(ShowAndWait(f));
        EXPECT_EQ(f.ShownResizes().size(), 1u) << "shown again, not loaded again";
        EXPECT_FLOAT_EQ(f.Height, 5000);
        f.resizes.clear();
        ASSERT_TRUE(f.Unload());
    }
    EXPECT_EQ(f.loads, 3);
}

}  // namespace
