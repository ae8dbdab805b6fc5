// The browser window's layout on every resize, its minimum size, and the
// memory of its normal-state placement.
#include "RoamwellDLL/frmBrowser.h"

#include <cmath>
#include <optional>

namespace RoamwellDLL {

namespace {
// The normal-state fields are 16-bit: a value that does not fit (a window
// placed far beyond the first screens) is not recorded, and the last one
// that did stays.
std::optional<int16_t> Fits16(float value)
{
    const double rounded = std::nearbyint(static_cast<double>(value));  // half to even
    if (rounded < -32768 || rounded > 32767)
        return std::nullopt;
    return static_cast<int16_t>(rounded);
}

void Record(int16_t& field, float value)
{
    if (const auto v = Fits16(value))
        field = *v;
}
}  // namespace

void frmBrowser::Form_Resize()
{
    if (WindowState == plat::vbMinimized)
        return;

    if (Width < 2000)
        Width = 2000;
    if (Height < 3000)
        Height = 3000;

    progbar.Left = ScaleLeft();
    progbar.Top = ScaleHeight() - statbar.Height;  // the status bar's top edge
    progbar.Width = 1800;
    progbar.Height = statbar.Height;
    progbar.ZOrder(0);  // in front of the status bar
    progbar.Max = 100;
    progbar.Min = 0;
    progbar.Value = 90;

    PlaceVantle(false);

    cboAddress.Left = ScaleLeft() + 20;
    cboAddress.Width = ScaleWidth() - 40;
    cboAddress.Top = ScaleTop() + tbToolBar.Height;

    brwWebBrowser.Top = cboAddress.Top + cboAddress.Height;
    brwWebBrowser.Left = ScaleLeft() + 20;
    brwWebBrowser.Width = ScaleWidth() - 40;
    brwWebBrowser.Height = ScaleHeight() - (statbar.Height + cboAddress.Height + cboAddress.Top);

    if (WindowState == plat::vbNormal) {
        Record(NormalTop, Top);
        Record(NormalLeft, Left);
        Record(NormalHeight, Height);
        Record(NormalWidth, Width);
    }
}

}  // namespace RoamwellDLL
