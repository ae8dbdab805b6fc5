#pragma once
// Numeric semantics of the desktop runtime: conversions that round half to
// even and raise Overflow, Int toward minus infinity, checked 16-bit
// arithmetic, and text to number that fails on a non-number.

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace plat {

// Half to even, Overflow (6) outside -32768..32767.
int16_t CInt(double value);
// Half to even, Overflow (6) outside the 32-bit range.
int32_t CLng(double value);
// To single precision; Overflow (6) beyond its range.
float CSng(double value);
// Rounds down toward minus infinity (Int(-2.5) = -3).
double Int(double value);

// Half to even; nothing for NaN and the infinities, or when the result lies
// outside low..high.
std::optional<double> RoundWithin(double value, double low, double high);
// To single precision; nothing when that is infinite (NaN stays NaN).
std::optional<float> SingleWithin(double value);

// Text to number by the runtime's conversion: blanks around the number are
// allowed, as are a sign, decimals, an exponent (E or D) and the &H / &O
// prefixes, whose numbers wrap as 16-bit or, past 16 bits, 32-bit patterns.
// Anything else, the empty text included, is a Type mismatch (13); a
// magnitude beyond the double range an Overflow (6).
enum class NumberError { None, TypeMismatch, Overflow };
struct ParsedNumber {
    double value = 0.0;
    NumberError error = NumberError::None;
};
// Reports instead of raising, for callers that answer with a status.
ParsedNumber ParseNumber(QStringView text);
// These raise the error.
double CDbl(const QString& text);
int16_t CInt(const QString& text);
int32_t CLng(const QString& text);
float CSng(const QString& text);
bool IsNumeric(const QString& text);

// Number to text as the runtime writes it: no grouping, a leading minus for
// negative values, singles with up to 7 significant digits ("3392.5").
QString CStr(long long value);
QString CStr(int value);
QString CStr(long value);
QString CStr(float value);
QString CStr(double value);

// A colour from its three parts; each part is clamped to 0..255.
int32_t RGB(int red, int green, int blue);

// 16-bit signed integer whose arithmetic raises Overflow (6) the moment a
// result leaves -32768..32767.
class I16 {
public:
    constexpr I16() = default;
    I16(int value);  // Overflow when out of range
    constexpr int16_t Value() const { return v_; }
    constexpr operator int16_t() const { return v_; }

    friend I16 operator+(I16 a, I16 b);
    friend I16 operator-(I16 a, I16 b);
    friend I16 operator*(I16 a, I16 b);
    // With a plain int on one side, so that `x * 2` stays 16-bit and checked.
    friend I16 operator+(I16 a, int b) { return Checked(a.v_ + (long long)b); }
    friend I16 operator+(int a, I16 b) { return Checked((long long)a + b.v_); }
    friend I16 operator-(I16 a, int b) { return Checked(a.v_ - (long long)b); }
    friend I16 operator-(int a, I16 b) { return Checked((long long)a - b.v_); }
    friend I16 operator*(I16 a, int b) { return Checked(a.v_ * (long long)b); }
    friend I16 operator*(int a, I16 b) { return Checked((long long)a * b.v_); }

private:
    static I16 Checked(long long value);  // Overflow when out of range
    int16_t v_ = 0;
};

}  // namespace plat
