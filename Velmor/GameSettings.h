#pragma once
// Reading the game's settings (application "Velmor"). A stored text that is
// not a number, or is out of range for its type, is read as the default,
// with one line on standard error; the stored text is left as it is, so the
// game always starts.

#include <QString>
#include <cstdint>

namespace GameSettings {

// What a stored text converts to: 16-bit or 32-bit half to even, single or double.
int16_t ReadInt16(const QString& section, const QString& key, const QString& defaultText);
int32_t ReadInt32(const QString& section, const QString& key, const QString& defaultText);
float ReadSingle(const QString& section, const QString& key, const QString& defaultText);
// The stored number plus `offset`, then 16-bit half to even ("Columns" + 8).
int16_t ReadInt16Plus(const QString& section, const QString& key, const QString& defaultText, double offset);
QString ReadText(const QString& section, const QString& key, const QString& defaultText);
void Write(const QString& section, const QString& key, const QString& value);

// Reports a stored value the game cannot use and will replace by its default.
void ReportUnusable(const QString& section, const QString& key, const QString& text);

}  // namespace GameSettings
