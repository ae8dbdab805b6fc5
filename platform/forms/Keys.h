#pragma once
// Key codes, shift states and mouse buttons as forms see them: the
// desktop's virtual-key numbering (37..40 arrows, 18 Alt, 32 Space, 188
// comma, 190 full stop, 65..90 letters) and its bit masks for the shift keys
// and the mouse buttons.

#include <Qt>
#include <cstdint>

class QKeyEvent;

namespace plat {

enum KeyCodes : int16_t {
    vbKeyBack = 8, vbKeyTab = 9, vbKeyReturn = 13, vbKeyShift = 16, vbKeyControl = 17, vbKeyMenu = 18,
    vbKeyEscape = 27, vbKeySpace = 32, vbKeyLeft = 37, vbKeyUp = 38, vbKeyRight = 39, vbKeyDown = 40,
    vbKeyComma = 188, vbKeyPeriod = 190,
};
enum ShiftMask : int16_t { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };
enum MouseButtonMask : int16_t { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };

int16_t KeyCodeOf(const QKeyEvent& event);   // 0 for keys without a code
int16_t ShiftStateOf(const QKeyEvent& event);
int16_t ShiftStateOf(Qt::KeyboardModifiers modifiers);
int16_t MouseButtonOf(Qt::MouseButton button);  // 0 for buttons the desktop had no mask for
int16_t KeyAsciiOf(const QKeyEvent& event);  // 0 when the key types no character

}  // namespace plat
