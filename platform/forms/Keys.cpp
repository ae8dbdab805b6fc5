#include "platform/forms/Keys.h"

#include <QKeyEvent>

namespace plat {

int16_t KeyCodeOf(const QKeyEvent& event)
{
    const int key = event.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<int16_t>(vbKeyA + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<int16_t>(vbKey0 + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<int16_t>(vbKeyF1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return vbKeyBack;
    case Qt::Key_Tab: case Qt::Key_Backtab: return vbKeyTab;
    case Qt::Key_Return: case Qt::Key_Enter: return vbKeyReturn;
    case Qt::Key_Shift: return vbKeyShift;
    case Qt::Key_Control: return vbKeyControl;
    case Qt::Key_Alt: case Qt::Key_AltGr: return vbKeyMenu;
    case Qt::Key_Pause: return vbKeyPause;
    case Qt::Key_CapsLock: return vbKeyCapital;
    case Qt::Key_Escape: return vbKeyEscape;
    case Qt::Key_Space: return vbKeySpace;
    case Qt::Key_PageUp: return vbKeyPageUp;
    case Qt::Key_PageDown: return vbKeyPageDown;
    case Qt::Key_End: return vbKeyEnd;
    case Qt::Key_Home: return vbKeyHome;
    case Qt::Key_Left: return vbKeyLeft;
    case Qt::Key_Up: return vbKeyUp;
    case Qt::Key_Right: return vbKeyRight;
    case Qt::Key_Down: return vbKeyDown;
    case Qt::Key_Insert: return vbKeyInsert;
    case Qt::Key_Delete: return vbKeyDelete;
    // The comma and full-stop keys keep their codes when shifted.
    case Qt::Key_Comma: case Qt::Key_Less: return vbKeyComma;
    case Qt::Key_Period: case Qt::Key_Greater: return vbKeyPeriod;
    case Qt::Key_Minus: case Qt::Key_Underscore: return vbKeyMinus;
    case Qt::Key_Equal: case Qt::Key_Plus: return vbKeyEquals;
    case Qt::Key_Semicolon: case Qt::Key_Colon: return vbKeySemicolon;
    case Qt::Key_Slash: case Qt::Key_Question: return vbKeySlash;
    default: return 0;
    }
}

int16_t ShiftStateOf(const QKeyEvent& event)
{
    return ShiftStateOf(event.modifiers());
}

int16_t ShiftStateOf(Qt::KeyboardModifiers modifiers)
{
    int16_t shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= vbShiftMask;
    if (modifiers & Qt::ControlModifier)
        shift |= vbCtrlMask;
    if (modifiers & Qt::AltModifier)
        shift |= vbAltMask;
    return shift;
}

int16_t MouseButtonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return vbLeftButton;
    case Qt::RightButton: return vbRightButton;
    case Qt::MiddleButton: return vbMiddleButton;
    default: return 0;
    }
}

int16_t KeyAsciiOf(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Return: case Qt::Key_Enter: return vbKeyReturn;  // the control characters have the keys' numbers
    case Qt::Key_Escape: return vbKeyEscape;
    case Qt::Key_Backspace: return vbKeyBack;
    case Qt::Key_Tab: return vbKeyTab;
    default: break;
    }
    const QString text = event.text();
    if (text.isEmpty())
        return 0;
    const char16_t c = text.at(0).unicode();
    return c < u' ' || c > 0x7FFF ? 0 : static_cast<int16_t>(c);
}

}  // namespace plat
