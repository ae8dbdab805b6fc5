// The loading indicator: where its box goes, and the figure each tick
// draws into it while a page loads.
#include "RoamwellDLL/frmBrowser.h"

#include "RoamwellDLL/modRoamwel.h"
#include "platform/runtime/Numeric.h"
#include "platform/runtime/Rnd.h"

#include <cmath>

namespace RoamwellDLL {

using namespace modRoamwel;
using plat::Int;
using plat::Rnd;

// Circle style needs room for eight button widths beside the box; bar style
// fills what seven buttons leave, less 150. The box's right edge stays 50
// inside the window and its top 90 below the client area's top.
void frmBrowser::PlaceVantle(bool squareAgain)
{
    if (PacedialCircle) {
        const float m = static_cast<float>(ScaleWidth() - 8.0 * tbToolBar.ButtonWidth());
        if (m > 10) {
            picVantle.Visible = true;
            if (squareAgain)
                picVantle.Width = picVantle.Height;
            picVantle.Top = ScaleTop() + 90;
            picVantle.Left = ScaleWidth() - picVantle.Width - 50;
        } else {
            picVantle.Visible = false;
        }
    } else {
        const float w = static_cast<float>(ScaleWidth() - 7.0 * tbToolBar.ButtonWidth() - 150);
        if (w > 10) {
            picVantle.Visible = true;
            picVantle.Width = static_cast<float>(ScaleWidth() - 7.0 * tbToolBar.ButtonWidth() - 150);
            picVantle.Top = ScaleTop() + 90;
            picVantle.Left = ScaleWidth() - picVantle.Width - 50;
        } else {
            picVantle.Visible = false;
        }
    }
}

// One more figure per tick while a page loads; nothing is ever erased here.
// The box's size is read at its own place among the random draws, not once
// up front: that order fixes which size each part of the figure uses (the
// circle's centre the size before the first draw, its radius the width after
// it), and a random source that resizes the box as it draws sees the difference.
void frmBrowser::tmrVantle_Timer()
{
    if (!Surfing)
        return;
    if (PacedialCircle) {
        const float a = picVantle.ScaleWidth();
        const float b = picVantle.ScaleHeight();
        const float r1 = Rnd();
        const float c = picVantle.ScaleWidth();
        const float r2 = Rnd();
        const float r3 = Rnd();
        const float r4 = Rnd();
        const auto radius = static_cast<float>(Int(r1 * c) / std::pow(2.0, 0.5));
        picVantle.Circle(a / 2, b / 2, radius,
                         plat::RGB(static_cast<int>(Int(r2 * 255)), static_cast<int>(Int(r3 * 255)),
                                   static_cast<int>(Int(r4 * 255))));
    } else {
        const float r1 = Rnd();
        const float h1 = picVantle.ScaleHeight();
        const float w = picVantle.ScaleWidth();
        const float r2 = Rnd();
        const float h2 = picVantle.ScaleHeight();
        const float r3 = Rnd();
        const float r4 = Rnd();
        const float r5 = Rnd();
        picVantle.Line(0, static_cast<float>(Int(r1 * h1)), w, static_cast<float>(Int(r2 * h2)),
                       plat::RGB(static_cast<int>(Int(r3 * 105)), static_cast<int>(Int(r4 * 105)),
                                 static_cast<int>(Int(r5 * 105))));
    }
}

}  // namespace RoamwellDLL
