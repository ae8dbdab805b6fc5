#pragma once
// The game's settings: application "Velmor" in the per-user store. Every
// setting the game reads or writes is listed here once, by section, with its
// key, its default and the type its text is read as; the code names these
// entries and never a section, key or default of its own.

#include "platform/forms/Keys.h"
#include "platform/runtime/SettingsTable.h"

#include <QString>
#include <cstdint>

namespace GameSettings {

template <class T>
using Setting = plat::Setting<T>;

inline constexpr char App[] = "Velmor";

// The game itself: the board window's placement, the well, the keys, the
// high score and the background colour. The board window reads them at load.
namespace Game {
inline constexpr char Section[] = "Game";
inline constexpr Setting<int16_t> Windowstate{App, Section, "Windowstate", "0"};  // a stored 1 opens normal
inline constexpr Setting<float> Top{App, Section, "Top", "325"};                  // twips, normal state only
inline constexpr Setting<float> Left{App, Section, "Left", "325"};
inline constexpr Setting<int16_t> Size{App, Section, "Size", "300"};             // edge of one cell, twips
inline constexpr Setting<int16_t> Columns{App, Section, "Columns", "20", 8};     // + 8: the last column index
inline constexpr Setting<int16_t> Rows{App, Section, "Rows", "24", 1};           // + 1: the floor row's index
inline constexpr Setting<int16_t> AsciiLeft{App, Section, "AsciiLeft", plat::DecimalText<plat::vbKeyLeft>};
inline constexpr Setting<int16_t> AsciiRight{App, Section, "AsciiRight", plat::DecimalText<plat::vbKeyRight>};
inline constexpr Setting<int16_t> AsciiRotate{App, Section, "AsciiRotate", plat::DecimalText<plat::vbKeyUp>};
inline constexpr Setting<int16_t> AsciiDrop{App, Section, "AsciiDrop", plat::DecimalText<plat::vbKeyDown>};
inline constexpr Setting<int32_t> Highscore{App, Section, "Highscore", "1000"};
inline constexpr Setting<QString> Highscorename{App, Section, "Highscorename", "Norvid"};
inline constexpr Setting<int32_t> Backcolor{App, Section, "Backcolor", "0"};
}  // namespace Game

// The setup dialog's own window state and position.
namespace Start {
inline constexpr Setting<int16_t> Windowstate{App, "Start", "Windowstate", "0"};  // a stored 1 opens normal
}  // namespace Start
namespace Options {
inline constexpr Setting<float> Top{App, "Options", "Top", "325"};  // twips, normal state only
inline constexpr Setting<float> Left{App, "Options", "Left", "325"};
}  // namespace Options

// The setting's value; a stored value the game cannot use (not a number, or
// out of range for its type) is read as the default, with one line on
// standard error. The stored text is left as it is, so the game always starts.
template <class T>
T Read(const Setting<T>& s);
// The same, from the setting's stored text as plat::SettingText gave it.
template <class T>
T Read(const Setting<T>& s, const QString& text);

// The value of the setting's default.
template <class T>
T Default(const Setting<T>& s)
{
    return plat::SettingValue(s, plat::DefaultText(s));
}

template <class T>
void Write(const Setting<T>& s, const QString& text)
{
    plat::SaveSetting(s, text);
}

// Reports a stored value the game cannot use and replaces by its default.
template <class T>
void ReportUnusable(const Setting<T>& s, const QString& text);

}  // namespace GameSettings
