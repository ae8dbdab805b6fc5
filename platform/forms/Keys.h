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
    vbKeyPause = 19, vbKeyCapital = 20, vbKeyEscape = 27, vbKeySpace = 32,
    vbKeyPageUp = 33, vbKeyPageDown = 34, vbKeyEnd = 35, vbKeyHome = 36,
    vbKeyLeft = 37, vbKeyUp = 38, vbKeyRight = 39, vbKeyDown = 40, vbKeyInsert = 45, vbKeyDelete = 46,
    vbKey0 = 48, vbKey1, vbKey2, vbKey3, vbKey4, vbKey5, vbKey6, vbKey7, vbKey8, vbKey9,
    vbKeyA = 65, vbKeyB, vbKeyC, vbKeyD, vbKeyE, vbKeyF, vbKeyG, vbKeyH, vbKeyI, vbKeyJ, vbKeyK, vbKeyL, vbKeyM,
    vbKeyN, vbKeyO, vbKeyP, vbKeyQ, vbKeyR, vbKeyS, vbKeyT, vbKeyU, vbKeyV, vbKeyW, vbKeyX, vbKeyY, vbKeyZ,
    vbKeyF1 = 112, vbKeyF2, vbKeyF3, vbKeyF4, vbKeyF5, vbKeyF6, vbKeyF7, vbKeyF8, vbKeyF9, vbKeyF10, vbKeyF11, vbKeyF12,
    vbKeyF13, vbKeyF14, vbKeyF15, vbKeyF16, vbKeyF17, vbKeyF18, vbKeyF19, vbKeyF20, vbKeyF21, vbKeyF22, vbKeyF23, vbKeyF24,
    vbKeySemicolon = 186, vbKeyEquals = 187, vbKeyComma = 188, vbKeyMinus = 189, vbKeyPeriod = 190, vbKeySlash = 191,
};
enum ShiftMask : int16_t { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };
enum MouseButtonMask : int16_t { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };

int16_t KeyCodeOf(const QKeyEvent& event);   // 0 for keys without a code
int16_t ShiftStateOf(const QKeyEvent& event);
int16_t ShiftStateOf(Qt::KeyboardModifiers modifiers);
int16_t MouseButtonOf(Qt::MouseButton button);  // 0 for buttons the desktop had no mask for
int16_t KeyAsciiOf(const QKeyEvent& event);  // 0 when the key types no character

}  // namespace plat
