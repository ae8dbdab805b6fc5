#pragma once
// Forms measure in twips: 15 to a pixel on this platform.

#include <QRect>
#include <QRectF>
#include <cmath>

namespace plat {

inline constexpr float TwipsPerPixel = 15.0f;

inline double ToPixels(double twips) { return twips / TwipsPerPixel; }
inline int ToPixelsRounded(double twips) { return static_cast<int>(std::lround(twips / TwipsPerPixel)); }
inline float ToTwips(double pixels) { return static_cast<float>(pixels * TwipsPerPixel); }

inline QRectF PixelRect(double left, double top, double width, double height)
{
    return QRectF(ToPixels(left), ToPixels(top), ToPixels(width), ToPixels(height));
}

// Whole-pixel rectangle covering a twips rectangle, for widget geometry.
inline QRect WidgetRect(double left, double top, double width, double height)
{
    const int l = ToPixelsRounded(left);
    const int t = ToPixelsRounded(top);
    return QRect(l, t, std::max(0, ToPixelsRounded(left + width) - l), std::max(0, ToPixelsRounded(top + height) - t));
}

}  // namespace plat
