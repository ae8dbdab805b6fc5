#pragma once
// A program's settings table: each stored setting written down once, with
// where it lives in the per-user store, the text that stands in for it while
// it is missing, and the type its text is read as. A program lists its
// settings as constants of this type and reads and writes them only through
// those constants.
//
//   inline constexpr plat::Setting<int16_t> Columns{"App", "Grid", "Columns", "20", 8};
//   int16_t columns = plat::ReadSetting(Columns);  // the stored number + 8, half to even

#include "platform/runtime/Numeric.h"
#include "platform/runtime/Settings.h"

#include <QString>
#include <array>
#include <cstdint>
#include <type_traits>

namespace plat {

template <class T>
struct Setting {
    const char* app;
    const char* section;
    const char* key;
    const char* defaultText = nullptr;
    int plus = 0;                       // added to the stored number before it becomes T
    QString (*defaultOf)() = nullptr;   // a default known only at run time, such as a path
};

// The decimal text of a named number, for a default that stores it:
//   inline constexpr plat::Setting<int16_t> Left{"App", "Keys", "Left", plat::DecimalText<plat::vbKeyLeft>};
template <long long N>
inline constexpr auto DecimalDigits = [] {
    std::array<char, 21> text{};  // sign, up to 19 digits, the terminating zero
    unsigned long long n = N < 0 ? 0ull - static_cast<unsigned long long>(N) : static_cast<unsigned long long>(N);
    char reversed[19] = {};
    std::size_t count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    std::size_t at = 0;
    if (N < 0)
        text[at++] = '-';
    while (count > 0)
        text[at++] = reversed[--count];
    return text;
}();
template <long long N>
inline constexpr const char* DecimalText = DecimalDigits<N>.data();

template <class T>
QString DefaultText(const Setting<T>& s)
{
    return s.defaultOf ? s.defaultOf() : QString::fromUtf8(s.defaultText);
}

// The stored text, or the default while the key is missing.
template <class T>
QString SettingText(const Setting<T>& s)
{
    return GetSetting(QLatin1String(s.app), QLatin1String(s.section), QLatin1String(s.key), DefaultText(s));
}

// A text as the setting reads it: integers half to even after adding
// `plus`, singles, texts as they are. A text that is not a number, or a
// number that does not fit the type, raises Type mismatch or Overflow.
template <class T>
T SettingValue(const Setting<T>& s, const QString& text)
{
    if constexpr (std::is_same_v<T, QString>)
        return text;
    else if constexpr (std::is_same_v<T, std::int16_t>)
        return CInt(CDbl(text) + s.plus);
    else if constexpr (std::is_same_v<T, std::int32_t>)
        return CLng(CDbl(text) + s.plus);
    else if constexpr (std::is_same_v<T, float>)
        return CSng(CDbl(text) + s.plus);
    else
        static_assert(!sizeof(T), "a setting reads as int16_t, int32_t, float or QString");
}

// The setting's value: the stored text, or the default, as its type.
template <class T>
T ReadSetting(const Setting<T>& s)
{
    return SettingValue(s, SettingText(s));
}

template <class T>
void SaveSetting(const Setting<T>& s, const QString& text)
{
    SaveSetting(QLatin1String(s.app), QLatin1String(s.section), QLatin1String(s.key), text);
}

}  // namespace plat
