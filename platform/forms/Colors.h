#pragma once
// Colours are 32-bit values &H00BBGGRR. A high byte of 2 marks the
// palette-relative form (drawn as the plain colour); a high bit marks a
// system colour, looked up in the desktop palette.

#include <QColor>
#include <cstdint>

namespace plat {

QColor ToQColor(int32_t color);
int32_t FromQColor(const QColor& color);

// A few system colours forms use by default.
inline constexpr int32_t vbButtonFace = static_cast<int32_t>(0x8000000F);
inline constexpr int32_t vbButtonText = static_cast<int32_t>(0x80000012);
inline constexpr int32_t vbWindowBackground = static_cast<int32_t>(0x80000005);
inline constexpr int32_t vbWindowText = static_cast<int32_t>(0x80000008);

}  // namespace plat
