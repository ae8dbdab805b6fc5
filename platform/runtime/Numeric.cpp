#include "platform/runtime/Numeric.h"

#include "platform/runtime/Errors.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <optional>
#include <string>
#include <string_view>

namespace plat {

namespace {

// Banker's rounding done by hand: the result must not depend on the FPU's
// current rounding mode.
double RoundHalfEven(double value)
{
    const double down = std::floor(value);
    const double fraction = value - down;  // exact for every double
    if (fraction > 0.5)
        return down + 1.0;
    if (fraction < 0.5)
        return down;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

double RoundChecked(double value, double low, double high)
{
    const auto rounded = RoundWithin(value, low, high);
    if (!rounded)
        Raise(ErrOverflow);
    return *rounded;
}

locale_t CLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c, int base)
{
    int d = -1;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    return d >= 0 && d < base ? d : -1;
}

// &H and &O numbers are bit patterns of the smallest integer that holds
// them: up to 16 bits an Integer (&HFFFF is -1), up to 32 bits a Long
// (&HFFFFFFFF is -1, &H10000 is 65536); wider ones overflow.
ParsedNumber ParseRadix(std::string_view digits, int base)
{
    if (digits.empty())
        return {0.0, NumberError::TypeMismatch};
    std::uint64_t value = 0;
    for (char c : digits) {
        const int d = DigitValue(c, base);
        if (d < 0)
            return {0.0, NumberError::TypeMismatch};
        value = value * base + d;
        if (value > 0xFFFFFFFFull) {
            // The rest must still be digits: "&H1FFFFFFFFZ" is no number at all.
            for (char rest : digits)
                if (DigitValue(rest, base) < 0)
                    return {0.0, NumberError::TypeMismatch};
            return {0.0, NumberError::Overflow};
        }
    }
    if (value <= 0xFFFF)
        return {double(std::int16_t(std::uint16_t(value))), NumberError::None};
    return {double(std::int32_t(std::uint32_t(value))), NumberError::None};
}

}  // namespace

std::optional<double> RoundWithin(double value, double low, double high)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = RoundHalfEven(value);
    if (rounded < low || rounded > high)
        return std::nullopt;
    return rounded;
}

std::optional<float> SingleWithin(double value)
{
    if (std::isnan(value))
        return std::numeric_limits<float>::quiet_NaN();
    const float single = float(value);
    if (std::isinf(single))
        return std::nullopt;
    return single;
}

ParsedNumber ParseNumber(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    std::string s;
    s.reserve(std::size_t(trimmed.size()));
    for (QChar ch : trimmed) {
        if (ch.unicode() > 0x7f)  // digits of other scripts are no number either
            return {0.0, NumberError::TypeMismatch};
        s.push_back(char(ch.unicode()));
    }
    if (s.size() >= 2 && s[0] == '&') {
        const char kind = char(std::toupper(static_cast<unsigned char>(s[1])));
        if (kind == 'H')
            return ParseRadix(std::string_view(s).substr(2), 16);
        if (kind == 'O')
            return ParseRadix(std::string_view(s).substr(2), 8);
        return {0.0, NumberError::TypeMismatch};
    }

    // [sign] digits [. digits] [exponent], or [sign] . digits [exponent];
    // the exponent letter is E or D.
    std::size_t i = 0;
    std::string normal;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            normal.push_back('-');
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        normal.push_back(s[i++]);
        ++mantissaDigits;
    }
    if (i < s.size() && s[i] == '.') {
        normal.push_back(s[i++]);
        while (i < s.size() && IsDigit(s[i])) {
            normal.push_back(s[i++]);
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return {0.0, NumberError::TypeMismatch};
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        normal.push_back('e');
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            normal.push_back(s[i++]);
        std::size_t exponentDigits = 0;
        while (i < s.size() && IsDigit(s[i])) {
            normal.push_back(s[i++]);
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return {0.0, NumberError::TypeMismatch};
    }
    if (i != s.size())
        return {0.0, NumberError::TypeMismatch};

    errno = 0;
    char* end = nullptr;
    const double value = strtod_l(normal.c_str(), &end, CLocale());
    if (errno == ERANGE && std::isinf(value))
        return {0.0, NumberError::Overflow};
    return {value, NumberError::None};  // an underflow reads as zero or a denormal
}

namespace {

// Shortest text of at most maxDigits significant digits that reads back as
// the same value; failing that, maxDigits digits. Then laid out as the
// runtime writes numbers: plain up to maxDigits integer digits, otherwise
// "1.5E+07" / "1E-05".
template <class T>
QString FormatNumber(T value, int maxDigits)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");
    if (value == 0)
        return QStringLiteral("0");

    char buf[64];
    std::to_chars_result written{};
    for (int digits = 1; digits <= maxDigits; ++digits) {
        written = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
        T back{};
        std::from_chars(buf, written.ptr, back, std::chars_format::scientific);
        if (back == value)
            break;
    }
    const std::string sci(buf, written.ptr);  // "-d.ddde+XX"

    const bool negative = sci[0] == '-';
    const std::size_t ePos = sci.find('e');
    std::string mantissa;
    for (std::size_t k = negative ? 1 : 0; k < ePos; ++k)
        if (sci[k] != '.')
            mantissa.push_back(sci[k]);
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();
    const int exponent = std::atoi(sci.c_str() + ePos + 1);

    std::string out = negative ? "-" : "";
    if (exponent < -4 || exponent >= maxDigits) {
        out += mantissa[0];
        if (mantissa.size() > 1) {
            out += '.';
            out.append(mantissa, 1);
        }
        out += exponent < 0 ? "E-" : "E+";
        std::string e = std::to_string(std::abs(exponent));
        if (e.size() < 2)
            e.insert(0, 1, '0');
        out += e;
    } else if (exponent < 0) {
        out += "0.";
        out.append(std::size_t(-exponent - 1), '0');
        out += mantissa;
    } else {
        const std::size_t intDigits = std::size_t(exponent) + 1;
        if (mantissa.size() <= intDigits) {
            out += mantissa;
            out.append(intDigits - mantissa.size(), '0');
        } else {
            out.append(mantissa, 0, intDigits);
            out += '.';
            out.append(mantissa, intDigits);
        }
    }
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

}  // namespace

int16_t CInt(double value)
{
    return int16_t(RoundChecked(value, -32768.0, 32767.0));
}

int32_t CLng(double value)
{
    return int32_t(RoundChecked(value, -2147483648.0, 2147483647.0));
}

float CSng(double value)
{
    const auto single = SingleWithin(value);
    if (!single)
        Raise(ErrOverflow);
    return *single;
}

double Int(double value)
{
    return std::floor(value);
}

double CDbl(const QString& text)
{
    const ParsedNumber parsed = ParseNumber(text);
    switch (parsed.error) {
    case NumberError::TypeMismatch: Raise(ErrTypeMismatch);
    case NumberError::Overflow: Raise(ErrOverflow);
    case NumberError::None: break;
    }
    return parsed.value;
}

int16_t CInt(const QString& text) { return CInt(CDbl(text)); }
int32_t CLng(const QString& text) { return CLng(CDbl(text)); }
float CSng(const QString& text) { return CSng(CDbl(text)); }

bool IsNumeric(const QString& text)
{
    return ParseNumber(text).error == NumberError::None;
}

QString CStr(long long value) { return QString::number(value); }
QString CStr(int value) { return QString::number(value); }
QString CStr(long value) { return QString::number(value); }
QString CStr(float value) { return FormatNumber(value, 7); }
QString CStr(double value) { return FormatNumber(value, 15); }

int32_t RGB(int red, int green, int blue)
{
    auto clamp = [](int part) { return part < 0 ? 0 : part > 255 ? 255 : part; };
    return clamp(red) + 256 * clamp(green) + 65536 * clamp(blue);
}

I16::I16(int value)
{
    if (value < -32768 || value > 32767)
        Raise(ErrOverflow);
    v_ = int16_t(value);
}

I16 I16::Checked(long long value)
{
    if (value < -32768 || value > 32767)
        Raise(ErrOverflow);
    return I16(int(value));
}

I16 operator+(I16 a, I16 b) { return I16(int(a.v_) + int(b.v_)); }
I16 operator-(I16 a, I16 b) { return I16(int(a.v_) - int(b.v_)); }
I16 operator*(I16 a, I16 b) { return I16(int(a.v_) * int(b.v_)); }

}  // namespace plat
