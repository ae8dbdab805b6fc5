#include "platform/runtime/Errors.h"
#include "platform/runtime/Numeric.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

using namespace plat;

namespace {

template <class F>
int ErrorOf(F&& f)
{
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(CInt(0.5), 0);
    EXPECT_EQ(CInt(1.5), 2);
    EXPECT_EQ(CInt(2.5), 2);
    EXPECT_EQ(CInt(3.5), 4);
    EXPECT_EQ(CInt(-2.5), -2);
    EXPECT_EQ(CInt(-3.5), -4);
    EXPECT_EQ(CInt(2.4999999), 2);
    EXPECT_EQ(CInt(2.5000001), 3);
    EXPECT_EQ(CLng(2147483646.5), 2147483646);
    EXPECT_EQ(CLng(-1234567.5), -1234568);
}

TEST(Rounding, IntegerBoundsAreCheckedAfterRounding)
{
    EXPECT_EQ(CInt(32767.49), 32767);
    EXPECT_EQ(ErrorOf([] { CInt(32767.5); }), ErrOverflow);  // rounds up to 32768
    EXPECT_EQ(CInt(-32768.5), -32768);                        // rounds to the even -32768
    EXPECT_EQ(ErrorOf([] { CInt(-32768.51); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { CInt(std::nan("")); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { CLng(2147483647.5); }), ErrOverflow);
    EXPECT_EQ(CLng(-2147483648.5), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ErrorOf([] { CLng(1e300); }), ErrOverflow);
}

TEST(Rounding, IntRoundsTowardMinusInfinity)
{
    EXPECT_EQ(Int(2.9), 2.0);
    EXPECT_EQ(Int(-2.5), -3.0);
    EXPECT_EQ(Int(-0.1), -1.0);
    EXPECT_EQ(Int(630.0 / 315.0), 2.0);
}

TEST(Rounding, SingleOverflowsBeyondItsRange)
{
    EXPECT_FLOAT_EQ(CSng(3.4e38), 3.4e38f);
    EXPECT_EQ(ErrorOf([] { CSng(1e39); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { CSng(-1e39); }), ErrOverflow);
}

TEST(TextToNumber, AcceptsTheRuntimesNumberForms)
{
    EXPECT_EQ(CDbl("20.5"), 20.5);
    EXPECT_EQ(CDbl(" 12 "), 12.0);
    EXPECT_EQ(CDbl("\t-7\t"), -7.0);
    EXPECT_EQ(CDbl("+7"), 7.0);
    EXPECT_EQ(CDbl(".5"), 0.5);
    EXPECT_EQ(CDbl("5."), 5.0);
    EXPECT_EQ(CDbl("-1.5e3"), -1500.0);
    EXPECT_EQ(CDbl("1D2"), 100.0);
    EXPECT_EQ(CDbl("2.5E-1"), 0.25);
    EXPECT_EQ(CDbl("&HFF"), 255.0);
    EXPECT_EQ(CDbl("&hff"), 255.0);
    EXPECT_EQ(CDbl("&O17"), 15.0);
    EXPECT_EQ(CDbl("&HFFFFFFFF"), -1.0);  // a 32-bit pattern
    EXPECT_EQ(CDbl("1e-400"), 0.0);       // too small is zero, not an error
}

TEST(TextToNumber, HexAndOctalWrapAsTheSmallestIntegerThatHoldsThem)
{
    // Up to 16 bits an Integer's pattern, up to 32 bits a Long's.
    EXPECT_EQ(CDbl("&H7FFF"), 32767.0);
    EXPECT_EQ(CDbl("&H8000"), -32768.0);
    EXPECT_EQ(CDbl("&HFFFF"), -1.0);
    EXPECT_EQ(CDbl("&H0000FFFF"), -1.0);  // the value counts, not the digits
    EXPECT_EQ(CDbl("&H10000"), 65536.0);
    EXPECT_EQ(CDbl("&H7FFFFFFF"), 2147483647.0);
    EXPECT_EQ(CDbl("&H80000000"), -2147483648.0);
    EXPECT_EQ(CDbl("&O177777"), -1.0);
    EXPECT_EQ(CDbl("&O200000"), 65536.0);
    EXPECT_EQ(CDbl("&O37777777777"), -1.0);
    EXPECT_EQ(CInt(QStringLiteral("&HFFFF")), -1);
    EXPECT_EQ(ErrorOf([] { CDbl("&O40000000000"); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { CDbl("&H1FFFFFFFFZ"); }), ErrTypeMismatch) << "no number, however long";
    EXPECT_EQ(ErrorOf([] { CDbl("-&H1"); }), ErrTypeMismatch);
}

TEST(TextToNumber, ReportingWithoutRaisingGivesTheSameAnswers)
{
    EXPECT_EQ(ParseNumber(u" 1D2 ").value, 100.0);
    EXPECT_EQ(ParseNumber(u"1D2").error, NumberError::None);
    EXPECT_EQ(ParseNumber(u"1e400").error, NumberError::Overflow);
    EXPECT_EQ(ParseNumber(u"\u0661").error, NumberError::TypeMismatch);
    EXPECT_EQ(ParseNumber(QString(100000, u'9')).error, NumberError::Overflow) << "a long run of digits";
    EXPECT_EQ(ParseNumber(QStringLiteral("1e") + QString(100000, u'9')).error, NumberError::Overflow);
    EXPECT_EQ(ParseNumber(QStringLiteral("0.") + QString(100000, u'0') + u'1').value, 0.0);

    EXPECT_EQ(RoundWithin(2.5, 0, 10), 2.0);
    EXPECT_EQ(RoundWithin(std::nan(""), -1e300, 1e300), std::nullopt);
    EXPECT_EQ(RoundWithin(HUGE_VAL, -1e300, HUGE_VAL), std::nullopt) << "infinity is no integer";
    EXPECT_EQ(RoundWithin(-HUGE_VAL, -HUGE_VAL, 0), std::nullopt);
    EXPECT_EQ(SingleWithin(1e39), std::nullopt);
    EXPECT_EQ(SingleWithin(3.4028235e38), 3.4028235e38f) << "rounds to the largest single";
}

TEST(TextToNumber, RejectsAnythingElseWithTypeMismatch)
{
    for (const char* text : {"", "   ", "abc", "12abc", "1 2", "--1", ".", "-", "1e", "1e+", "&H", "&HG",
                             "&O8", "&X10", "1,5", "0x10", "$5", "12.5.1", "\xc2\xbd"}) {
        EXPECT_EQ(ErrorOf([&] { CDbl(QString::fromUtf8(text)); }), ErrTypeMismatch) << text;
        EXPECT_FALSE(IsNumeric(QString::fromUtf8(text))) << text;
    }
    EXPECT_TRUE(IsNumeric(" 315 "));
    EXPECT_TRUE(IsNumeric("&H1F"));
}

TEST(TextToNumber, TooLargeIsOverflow)
{
    EXPECT_EQ(ErrorOf([] { CDbl("1e400"); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { CDbl("&H100000000"); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { CInt(QStringLiteral("32767.5")); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { CLng(QStringLiteral("3000000000")); }), ErrOverflow);
    EXPECT_EQ(CInt(QStringLiteral(" 2.5 ")), 2);
    EXPECT_EQ(CLng(QStringLiteral("&H7FFFFFFF")), 2147483647);
    EXPECT_EQ(CSng(QStringLiteral("0.1")), 0.1f);
}

TEST(NumberToText, SinglesUseAtMostSevenDigitsAndNoGrouping)
{
    EXPECT_EQ(CStr(325.0f), "325");
    EXPECT_EQ(CStr(3392.5f), "3392.5");
    EXPECT_EQ(CStr(0.1f), "0.1");
    EXPECT_EQ(CStr(-2.5f), "-2.5");
    EXPECT_EQ(CStr(1.0f / 3.0f), "0.3333333");
    EXPECT_EQ(CStr(2.0f / 3.0f), "0.6666667");
    EXPECT_EQ(CStr(1234567.0f), "1234567");
    EXPECT_EQ(CStr(12345678.0f), "1.234568E+07");
    EXPECT_EQ(CStr(0.0001f), "0.0001");
    EXPECT_EQ(CStr(0.00001f), "1E-05");
    EXPECT_EQ(CStr(0.0f), "0");
    EXPECT_EQ(CStr(-0.0f), "0");
    EXPECT_EQ(CStr(1e30f), "1E+30");
}

TEST(NumberToText, SinglesFromShortDecimalsReadBackAsTheSameSingle)
{
    // Not every single survives seven digits (1/3 does not), but every one
    // that came from a decimal of up to seven digits must.
    for (float f : {0.1f, 0.7f, 3392.5f, 123.456f, 9999999.0f, 0.015625f, 6.02e23f, 1.000001f, 8.589973e9f}) {
        const float back = CSng(CStr(f));
        EXPECT_EQ(back, f) << CStr(f).toStdString();
    }
}

TEST(NumberToText, DoublesUseAtMostFifteenDigits)
{
    EXPECT_EQ(CStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(CStr(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(CStr(123456789012345.0), "123456789012345");
    EXPECT_EQ(CStr(1e15), "1E+15");
    EXPECT_EQ(CStr(-1.5e-7), "-1.5E-07");
    EXPECT_EQ(CStr(1e100), "1E+100");
    EXPECT_EQ(CStr(20.5), "20.5");
    EXPECT_EQ(CStr(100.0), "100");
}

TEST(NumberToText, Integers)
{
    EXPECT_EQ(CStr(-5), "-5");
    EXPECT_EQ(CStr(1234567), "1234567");  // never "1,234,567"
    EXPECT_EQ(CStr(9007199254740993LL), "9007199254740993");
    EXPECT_EQ(CStr(I16(-32768)), "-32768");
}

TEST(Colour, PartsAreClampedAndPacked)
{
    EXPECT_EQ(RGB(255, 0, 0), 0x0000FF);
    EXPECT_EQ(RGB(0, 255, 0), 0x00FF00);
    EXPECT_EQ(RGB(1, 2, 3), 1 + 2 * 256 + 3 * 65536);
    EXPECT_EQ(RGB(300, -5, 256), 0xFF00FF);
}

TEST(SixteenBit, EveryStepIsChecked)
{
    EXPECT_EQ(I16(181) * I16(181), 32761);
    EXPECT_EQ(ErrorOf([] { I16(182) * I16(182); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { I16(32767) + I16(1); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { I16(-32768) - I16(1); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { I16(-32768) * I16(-1); }), ErrOverflow);
    EXPECT_EQ(ErrorOf([] { I16(40000); }), ErrOverflow);
    EXPECT_EQ(I16(-32768).Value(), -32768);

    // Mixed with int: stays checked, and a large int factor cannot wrap.
    I16 size(1258);
    EXPECT_EQ(ErrorOf([&] { (I16(28) - 2) * size + 80; }), ErrOverflow);
    EXPECT_EQ((I16(28) - 2) * I16(1257) + 80, 32762);
    EXPECT_EQ(ErrorOf([] { I16(2) * 0x40000000; }), ErrOverflow);
    EXPECT_EQ(I16(-10000) + 40000, 30000);
}
