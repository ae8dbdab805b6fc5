// Key events as forms see them: the key code of each key, the character it
// types, and the shift and button masks.
#include "platform/forms/Keys.h"

#include <QKeyEvent>
#include <QString>
#include <gtest/gtest.h>

using namespace plat;

namespace {

int16_t CodeOf(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return KeyCodeOf(QKeyEvent(QEvent::KeyPress, key, modifiers));
}

int16_t AsciiOf(int key, const QString& text)
{
    return KeyAsciiOf(QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
}

}  // namespace

TEST(Keys, LettersDigitsAndFunctionKeysRunInOrderUnderTheirNames)
{
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(CodeOf(Qt::Key_A + i), vbKeyA + i) << i;
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(CodeOf(Qt::Key_0 + i), vbKey0 + i) << i;
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(CodeOf(Qt::Key_F1 + i), vbKeyF1 + i) << i;
    EXPECT_EQ(CodeOf(Qt::Key_Z), vbKeyZ);
    EXPECT_EQ(CodeOf(Qt::Key_9), vbKey9);
    EXPECT_EQ(CodeOf(Qt::Key_F24), vbKeyF24);
}

TEST(Keys, PunctuationKeepsItsCodeWhenShiftedAndUnknownKeysHaveNone)
{
    EXPECT_EQ(CodeOf(Qt::Key_Less, Qt::ShiftModifier), vbKeyComma);
    EXPECT_EQ(CodeOf(Qt::Key_Greater, Qt::ShiftModifier), vbKeyPeriod);
    EXPECT_EQ(CodeOf(Qt::Key_Underscore, Qt::ShiftModifier), vbKeyMinus);
    EXPECT_EQ(CodeOf(Qt::Key_Plus, Qt::ShiftModifier), vbKeyEquals);
    EXPECT_EQ(CodeOf(Qt::Key_Colon, Qt::ShiftModifier), vbKeySemicolon);
    EXPECT_EQ(CodeOf(Qt::Key_Question, Qt::ShiftModifier), vbKeySlash);
    EXPECT_EQ(CodeOf(Qt::Key_AltGr), vbKeyMenu);
    EXPECT_EQ(CodeOf(Qt::Key_Backtab, Qt::ShiftModifier), vbKeyTab);
    EXPECT_EQ(CodeOf(Qt::Key_Enter), vbKeyReturn) << "the keypad's Enter is Return";
    EXPECT_EQ(CodeOf(Qt::Key_VolumeUp), 0);
}

TEST(Keys, EnterEscBackspaceAndTabTypeTheirControlCharactersAndOtherControlsNone)
{
    EXPECT_EQ(AsciiOf(Qt::Key_Enter, QStringLiteral("\r")), vbKeyReturn);
    EXPECT_EQ(AsciiOf(Qt::Key_Escape, QString()), vbKeyEscape);
    EXPECT_EQ(AsciiOf(Qt::Key_Backspace, QString()), vbKeyBack);
    EXPECT_EQ(AsciiOf(Qt::Key_Tab, QString()), vbKeyTab);
    EXPECT_EQ(AsciiOf(Qt::Key_Space, QStringLiteral(" ")), vbKeySpace);
    EXPECT_EQ(AsciiOf(Qt::Key_A, QStringLiteral("a")), 'a');
    EXPECT_EQ(AsciiOf(Qt::Key_C, QStringLiteral("\x03")), 0) << "Ctrl+C types no character";
    EXPECT_EQ(AsciiOf(Qt::Key_Shift, QString()), 0);
}

TEST(Keys, ShiftKeysAndMouseButtonsAreMasks)
{
    EXPECT_EQ(ShiftStateOf(Qt::NoModifier), 0);
    EXPECT_EQ(ShiftStateOf(Qt::ShiftModifier | Qt::AltModifier), vbShiftMask | vbAltMask);
    EXPECT_EQ(ShiftStateOf(Qt::ControlModifier | Qt::KeypadModifier), vbCtrlMask);
    EXPECT_EQ(MouseButtonOf(Qt::LeftButton), vbLeftButton);
    EXPECT_EQ(MouseButtonOf(Qt::RightButton), vbRightButton);
    EXPECT_EQ(MouseButtonOf(Qt::MiddleButton), vbMiddleButton);
    EXPECT_EQ(MouseButtonOf(Qt::BackButton), 0);
}
