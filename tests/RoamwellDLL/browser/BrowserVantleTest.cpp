// The loading indicator: where its box goes at the edges of the rule, and
// the figures a tick draws under scripted random draws.
#include "tests/RoamwellDLL/BrowserFixture.h"

#include "platform/forms/Twips.h"
#include "platform/runtime/Rnd.h"

#include <QImage>
#include <cmath>
#include <tuple>
#include <vector>

using namespace modRoamwel;

namespace {

class BrowserVantle : public BrowserFixture {
protected:
    frmBrowser& Ready()
    {
        frmBrowser& b = Open();
        b.tmrVantle.Enabled = false;  // ticks come from the test only
        b.picVantle.Cls();
        return b;
    }
    // Makes the client area exactly sw wide.
    static void ClientWidth(frmBrowser& b, float sw) { b.Width = sw + plat::Form::FrameWidth; }
};

TEST_F(BrowserVantle, CircleNeedsMoreThanTenTwipsBesideEightButtons)
{
    frmBrowser& b = Ready();
    PacedialCircle = true;
    const float bw = b.tbToolBar.ButtonWidth();
    ASSERT_GT(bw, 150);  // the buttons are wider than the bar-style margin

    ClientWidth(b, 8 * bw + 10);
    b.PlaceVantle(false);
    EXPECT_FALSE(b.picVantle.Visible);

    ClientWidth(b, 8 * bw + 10.5f);
    b.PlaceVantle(false);
    EXPECT_TRUE(b.picVantle.Visible);
    EXPECT_FLOAT_EQ(b.picVantle.Width, 375);
    EXPECT_FLOAT_EQ(b.picVantle.Top, 90);
    EXPECT_FLOAT_EQ(b.picVantle.Left, b.ScaleWidth() - 375 - 50);
}

TEST_F(BrowserVantle, BarFillsWhatSevenButtonsLeaveLessOneHundredFifty)
{
    frmBrowser& b = Ready();
    PacedialCircle = false;
    const float bw = b.tbToolBar.ButtonWidth();

    ClientWidth(b, 7 * bw + 160);
    b.PlaceVantle(false);
    EXPECT_FALSE(b.picVantle.Visible);
    EXPECT_FLOAT_EQ(b.picVantle.Width, 375);  // a hidden box keeps its size

    ClientWidth(b, 7 * bw + 161);
    b.PlaceVantle(false);
    EXPECT_TRUE(b.picVantle.Visible);
    EXPECT_FLOAT_EQ(b.picVantle.Width, 11);
    EXPECT_FLOAT_EQ(b.picVantle.Left, b.ScaleWidth() - 11 - 50);

    ClientWidth(b, 7 * bw + 3150);
    b.PlaceVantle(false);
    EXPECT_FLOAT_EQ(b.picVantle.Width, 3000);
    EXPECT_FLOAT_EQ(b.picVantle.Top, 90);
}

TEST_F(BrowserVantle, OnlyTheSaveSquaresTheBoxAgainInCircleStyle)
{
    frmBrowser& b = Ready();
    const float bw = b.tbToolBar.ButtonWidth();
    PacedialCircle = false;
    ClientWidth(b, 7 * bw + 3150);
    b.PlaceVantle(false);
    ASSERT_FLOAT_EQ(b.picVantle.Width, 3000);

    PacedialCircle = true;
    b.PlaceVantle(false);  // a resize moves the box, keeping the bar's width
    EXPECT_FLOAT_EQ(b.picVantle.Width, 3000);
    EXPECT_FLOAT_EQ(b.picVantle.Left, b.ScaleWidth() - 3000 - 50);
    b.PlaceVantle(true);
    EXPECT_FLOAT_EQ(b.picVantle.Width, 375);
    EXPECT_FLOAT_EQ(b.picVantle.Left, b.ScaleWidth() - 375 - 50);
}

TEST_F(BrowserVantle, TheResizeAppliesTheRule)
{
    frmBrowser& b = Ready();
    PacedialCircle = true;
    ClientWidth(b, 8 * b.tbToolBar.ButtonWidth());
    b.Form_Resize();
    EXPECT_FALSE(b.picVantle.Visible);
    ClientWidth(b, 8 * b.tbToolBar.ButtonWidth() + 1000);
    b.Form_Resize();
    EXPECT_TRUE(b.picVantle.Visible);
    EXPECT_FLOAT_EQ(b.picVantle.Left, b.ScaleWidth() - 375 - 50);
}

// Farthest drawn pixel from the box's centre, in pixels.
double Reach(const QImage& drawing, QColor* colour)
{
    const QPointF centre(drawing.width() / 2.0, drawing.height() / 2.0);
    double reach = 0;
    for (int y = 0; y < drawing.height(); ++y)
        for (int x = 0; x < drawing.width(); ++x) {
            const QColor c = drawing.pixelColor(x, y);
            if (c.alpha() < 128)
                continue;
            reach = std::max(reach, std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y()));
            *colour = c;
        }
    return reach;
}

TEST_F(BrowserVantle, CircleTickDrawsRadiusThenRedGreenBlue)
{
    frmBrowser& b = Ready();
    PacedialCircle = true;
    Surfing = true;
    testenv::ScriptedRnd draws(0, true);
    // radius Int(0.5 * 375) / sqrt 2 = 132.2 twips, 8.8 pixels; colour (254, 0, 127)
    draws.Push({0.5f, 0.999f, 0.0f, 0.5f});
    b.tmrVantle.Fire();
    EXPECT_EQ(plat::RndDrawCount(), 4);
    EXPECT_EQ(b.picVantle.FiguresDrawn(), 1);
    QColor colour;
    const double reach = Reach(b.picVantle.Drawing(), &colour);
    EXPECT_NEAR(reach, plat::ToPixels(132.2), 1.2);
    EXPECT_NEAR(colour.red(), 254, 3);
    EXPECT_NEAR(colour.green(), 0, 3);
    EXPECT_NEAR(colour.blue(), 127, 3);
    EXPECT_TRUE(errors.empty());
}

TEST_F(BrowserVantle, BarTickDrawsFromTheLeftEdgeToTheRightInItsOwnOrder)
{
    frmBrowser& b = Ready();
    PacedialCircle = false;
    b.picVantle.Width = 1500;  // 100 x 25 pixels
    Surfing = true;
    testenv::ScriptedRnd draws(0, true);
    // from (0, 75) to (1500, 300) twips, colour (52, 10, 104)
    draws.Push({0.2f, 0.8f, 0.5f, 0.1f, 0.999f});
    b.tmrVantle.Fire();
    EXPECT_EQ(plat::RndDrawCount(), 5);
    const QImage& drawing = b.picVantle.Drawing();
    ASSERT_EQ(drawing.width(), 100);
    EXPECT_EQ(drawing.pixelColor(0, 5), QColor(52, 10, 104));
    int rightEnd = -1;
    for (int y = 0; y < drawing.height(); ++y)
        if (drawing.pixelColor(99, y).alpha() == 255)
            rightEnd = y;
    EXPECT_NEAR(rightEnd, 20, 1);
    EXPECT_TRUE(errors.empty());
}

// Bounding box of everything drawn, in pixels.
QRect Drawn(const QImage& drawing)
{
    QRect box;
    for (int y = 0; y < drawing.height(); ++y)
        for (int x = 0; x < drawing.width(); ++x)
            if (drawing.pixelColor(x, y).alpha() >= 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

// The box changes size at each draw, so the figure shows which size each
// read of the box saw: the reads and the draws must interleave just so.
TEST_F(BrowserVantle, CircleReadsTheBoxAroundItsDrawsInItsOwnOrder)
{
    frmBrowser& b = Ready();
    PacedialCircle = true;
    Surfing = true;
    b.picVantle.Move(b.picVantle.Left, b.picVantle.Top, 750, 750);  // 50 x 50 pixels
    const std::vector<std::pair<float, float>> drawThenResize{{0.2f, 1500}, {0.5f, 3000}, {0.5f, 3000}, {0.5f, 3000}};
    size_t draw = 0;
    plat::SetRndSource([&] {
        const auto [value, size] = drawThenResize.at(draw++);
        b.picVantle.Width = size;
        b.picVantle.Height = size;
        return value;
    });
    b.tmrVantle.Fire();
    plat::SetRndSource({});
    EXPECT_EQ(draw, 4u);
    // Centre from the width and height before the first draw: (375, 375)
    // twips; radius from the width after it: Int(0.2 * 1500) / sqrt 2 =
    // 212.1 twips, 14.1 pixels.
    const QRect box = Drawn(b.picVantle.Drawing());
    ASSERT_FALSE(box.isEmpty());
    EXPECT_NEAR((box.left() + box.right() + 1) / 2.0, 25, 1.5);
    EXPECT_NEAR((box.top() + box.bottom() + 1) / 2.0, 25, 1.5);
    EXPECT_NEAR(box.width() / 2.0, 14.1, 1.5);
    EXPECT_TRUE(errors.empty());
}

TEST_F(BrowserVantle, BarReadsTheBoxAroundItsDrawsInItsOwnOrder)
{
    frmBrowser& b = Ready();
    PacedialCircle = false;
    Surfing = true;
    b.picVantle.Move(b.picVantle.Left, b.picVantle.Top, 1500, 375);  // 100 x 25 pixels
    // r1, then h1 = 750 and w = 1500; r2, then h2 = 1500 (the width of 3000
    // set with it comes too late for w); r3 to r5 change nothing.
    const std::vector<std::tuple<float, float, float>> drawThenResize{
        {0.5f, 1500, 750}, {0.5f, 3000, 1500}, {0.0f, 3000, 1500}, {0.0f, 3000, 1500}, {0.0f, 3000, 1500}};
    size_t draw = 0;
    plat::SetRndSource([&] {
        const auto [value, width, height] = drawThenResize.at(draw++);
        b.picVantle.Width = width;
        b.picVantle.Height = height;
        return value;
    });
    b.tmrVantle.Fire();
    plat::SetRndSource({});
    EXPECT_EQ(draw, 5u);
    // From (0, 375) to (1500, 750) twips: (0, 25) to (100, 50) pixels.
    const QRect box = Drawn(b.picVantle.Drawing());
    ASSERT_FALSE(box.isEmpty());
    EXPECT_EQ(box.left(), 0);
    EXPECT_NEAR(box.right(), 100, 1.5);
    EXPECT_NEAR(box.top(), 25, 1.5);
    EXPECT_NEAR(box.bottom(), 50, 1.5);
    EXPECT_TRUE(errors.empty());
}

TEST_F(BrowserVantle, NothingIsDrawnWhileNoPageLoads)
{
    frmBrowser& b = Ready();
    testenv::ScriptedRnd draws(0, true);  // any draw would fail the tick
    for (bool circle : {true, false}) {
        PacedialCircle = circle;
        Surfing = false;
        b.tmrVantle.Fire();
    }
    EXPECT_EQ(plat::RndDrawCount(), 0);
    EXPECT_EQ(b.picVantle.FiguresDrawn(), 0);
    EXPECT_TRUE(errors.empty());

    // A hidden box is drawn into all the same.
    b.picVantle.Visible = false;
    Surfing = true;
    draws.Push({0.5f, 0.5f, 0.5f, 0.5f, 0.5f});
    b.tmrVantle.Fire();
    EXPECT_EQ(b.picVantle.FiguresDrawn(), 1);
}

}  // namespace
