// Identifiers, length-prefixed text and the variant conversions that
// late-bound callers rely on.

#include "platform/com/BStr.h"
#include "platform/com/Guid.h"
#include "platform/com/Interfaces.h"
#include "platform/com/Variant.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Numeric.h"
#include "tests/support/RuntimeStatus.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>

using namespace plat;

TEST(Guid, TextAndBinaryForms)
{
    const auto g = GUID::Parse(u"{1034ccb5-CFE4-4076-b15b-C833C313FB05}");
    ASSERT_TRUE(g);
    EXPECT_EQ(g->ToString(), "{1034CCB5-CFE4-4076-B15B-C833C313FB05}");
    EXPECT_EQ(g->ToBytes().toHex(), "b5cc3410e4cf7640b15bc833c313fb05");
    EXPECT_EQ(GUID::FromBytes(g->ToBytes()), g);
    EXPECT_EQ(IID_IDispatch.ToString(), "{00020400-0000-0000-C000-000000000046}");
    EXPECT_EQ(IID_IClassFactory.ToString(), "{00000001-0000-0000-C000-000000000046}");

    for (const char16_t* bad : {u"", u"{1034CCB5-CFE4-4076-B15B-C833C313FB05", u"{1034CCB5CFE4-4076-B15B-C833C313FB05}",
                                u"{1034CCB5-CFE4-4076-B15B-C833C313FB0G}", u"{1034CCB5-CFE4-4076-B15B-C833C313FB0}"})
        EXPECT_FALSE(GUID::Parse(bad)) << QString::fromUtf16(bad).toStdString();
}

TEST(Guid, OnlyTheExactBracedHexFormParses)
{
    const QString good = QStringLiteral("{1034CCB5-CFE4-4076-B15B-C833C313FB05}");
    ASSERT_TRUE(GUID::Parse(good));
    ASSERT_TRUE(GUID::Parse(good.toLower()));
    const char16_t* bad[] = {
        u"1034CCB5-CFE4-4076-B15B-C833C313FB05",             // no braces
        u"{1034CCB5-CFE4-4076-B15B-C833C313FB05",            // no closing brace
        u"1034CCB5-CFE4-4076-B15B-C833C313FB05}",            // no opening brace
        u"(1034CCB5-CFE4-4076-B15B-C833C313FB05)",           // other brackets
        u" {1034CCB5-CFE4-4076-B15B-C833C313FB05}",          // blanks around
        u"{1034CCB5-CFE4-4076-B15B-C833C313FB05} ",
        u"{1034CCB5-CFE4-4076-B15B-C833C313FB05}}",          // too long
        u"{01034CCB5-CFE4-4076-B15B-C833C313FB05}",
        u"{034CCB5-CFE4-4076-B15B-C833C313FB05}",            // too short
        u"{1034CCB5C-FE4-4076-B15B-C833C313FB05}",           // a dash out of place
        u"{1034CCB5-CFE4-4076-B15BC833C313-FB05}",
        u"{1034CCB5-CFE4-4076-B15B+C833C313FB05}",
        u"{+034CCB5-CFE4-4076-B15B-C833C313FB05}",           // a sign
        u"{-034CCB5-CFE4-4076-B15B-C833C313FB05}",
        u"{0x34CCB5-CFE4-4076-B15B-C833C313FB05}",           // a prefix
        u"{ 034CCB5-CFE4-4076-B15B-C833C313FB05}",           // a blank inside
        u"{\u0661\u0660\u0663\u0664CCB5-CFE4-4076-B15B-C833C313FB05}",  // Arabic-Indic digits
        u"{\uFF11\uFF10\uFF13\uFF14CCB5-CFE4-4076-B15B-C833C313FB05}",  // full-width digits
        u"{\uFF21034CCB-CFE4-4076-B15B-C833C313FB05}",                    // a full-width letter
        u"{1034CCB5-CFE4-4076-B15B-C833C313FB0\u0665}",
        u"{\u00B9034CCB5-CFE4-4076-B15B-C833C313FB05}",                    // superscript one
        u"{1034CCB5-CFE4-4076-B15B-C833C313FB0G}",
        u"",
        u"{}",
        u"{----------------------------------}",
    };
    for (const char16_t* text : bad)
        EXPECT_FALSE(GUID::Parse(text)) << QString::fromUtf16(text).toStdString();
    const char16_t withNul[] = u"{1034CCB5-CFE4-4076-B15B-C833C313FB05}";
    EXPECT_FALSE(GUID::Parse(QStringView(withNul, 39))) << "a NUL after the closing brace";

    // Every digit counts, in its place.
    const auto ones = GUID::Parse(u"{11111111-2222-3333-4455-66778899AABB}");
    ASSERT_TRUE(ones);
    EXPECT_EQ(ones->Data1, 0x11111111u);
    EXPECT_EQ(ones->Data2, 0x2222);
    EXPECT_EQ(ones->Data3, 0x3333);
    EXPECT_EQ(ones->ToBytes().right(8).toHex(), "445566778899aabb");
}

TEST(BStr, LengthPrefixedText)
{
    BStr text(QStringLiteral("h\u00e9llo"));
    EXPECT_EQ(text.Length(), 5u);
    EXPECT_EQ(SysStringByteLen(text.Get()), 10u);
    EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(text.Get())[-1], 10u) << "byte count sits before the text";
    EXPECT_EQ(text.Get()[5], 0) << "and a NUL after it";

    // Embedded NULs belong to the text.
    const char16_t raw[] = {u'a', 0, u'b'};
    BStr withNul = BStr::Attach(SysAllocStringLen(raw, 3));
    EXPECT_EQ(withNul.Length(), 3u);
    EXPECT_EQ(withNul.ToQString(), QString::fromUtf16(raw, 3));

    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(QStringFromBSTR(nullptr), QString());
    BSTR p = SysAllocString(u"one");
    EXPECT_TRUE(SysReAllocString(&p, u"three"));
    EXPECT_EQ(QStringFromBSTR(p), "three");
    SysFreeString(p);
}

// A text that begins with what looks like a byte-order mark keeps every
// character: nothing is dropped or read in the other byte order.
TEST(BStr, ALeadingByteOrderMarkIsACharacterOfTheText)
{
    for (const char16_t mark : {u'\uFEFF', u'\uFFFE'}) {
        const char16_t raw[] = {mark, u'A', u'\u00e9', 0};
        const QString expected = QString(QChar(mark)) + QStringLiteral("A\u00e9");
        BStr text = BStr::Attach(SysAllocStringLen(raw, 3));
        EXPECT_EQ(text.ToQString(), expected);
        EXPECT_EQ(QStringFromOLESTR(raw), expected);
        EXPECT_EQ(Variant(raw).ToQString(), expected);
    }
}

TEST(BStr, LengthsTheByteCountCannotHoldFailCleanly)
{
    const char16_t text[] = u"abc";
    for (UINT length : {0x80000000u, 0x80000001u, 0xC0000000u, 0xFFFFFFFEu, 0xFFFFFFFFu}) {
        EXPECT_EQ(SysAllocStringLen(text, length), nullptr) << length;
        EXPECT_EQ(SysAllocStringLen(nullptr, length), nullptr) << length;
        BSTR kept = SysAllocString(u"kept");
        EXPECT_FALSE(SysReAllocStringLen(&kept, text, length)) << length;
        EXPECT_EQ(QStringFromBSTR(kept), "kept") << "a failed reallocation leaves the text";
        SysFreeString(kept);
    }
    EXPECT_FALSE(SysReAllocStringLen(nullptr, text, 3));

    // The longest text the count can hold is made whole or, for want of
    // memory, not at all; never cut short.
    BSTR longest = SysAllocStringLen(nullptr, 0x7FFFFFFFu);
    if (longest) {
        EXPECT_EQ(SysStringLen(longest), 0x7FFFFFFFu);
        EXPECT_EQ(SysStringByteLen(longest), 0xFFFFFFFEu);
        EXPECT_EQ(longest[0x7FFFFFFEu], 0) << "zero-filled";
        EXPECT_EQ(longest[0x7FFFFFFFu], 0) << "and ended by a NUL";
        SysFreeString(longest);
    }
}

TEST(Variant, ConversionsForLateBoundCalls)
{
    auto to = [](const Variant& v, VARTYPE vt, HRESULT* hr = nullptr) {
        Variant out;
        const HRESULT r = VariantChangeType(&out, &v, VARIANT_ALPHABOOL, vt);
        if (hr)
            *hr = r;
        return out;
    };
    HRESULT hr = S_OK;

    EXPECT_EQ(to(Variant(true), VT_I2).iVal, -1);
    EXPECT_EQ(to(Variant(std::int32_t(7)), VT_BOOL).boolVal, VARIANT_TRUE);
    EXPECT_EQ(to(Variant(std::int32_t(0)), VT_BOOL).boolVal, VARIANT_FALSE);
    EXPECT_EQ(to(Variant("false"), VT_BOOL).boolVal, VARIANT_FALSE);
    EXPECT_EQ(*Variant(true).ToQString(), "True");

    // Integers round half to even.
    EXPECT_EQ(to(Variant(2.5), VT_I2).iVal, 2);
    EXPECT_EQ(to(Variant(3.5), VT_I2).iVal, 4);
    EXPECT_EQ(to(Variant(-2.5), VT_I4).lVal, -2);
    EXPECT_EQ(to(Variant(" 42 "), VT_I2).iVal, 42);
    EXPECT_EQ(to(Variant("&H10"), VT_I4).lVal, 16);
    EXPECT_EQ(*Variant(std::int16_t(-5)).ToQString(), "-5");
    EXPECT_EQ(*Variant(3392.5f).ToQString(), "3392.5");

    to(Variant(std::int32_t(40000)), VT_I2, &hr);
    EXPECT_EQ(hr, DISP_E_OVERFLOW);
    to(Variant("twelve"), VT_I2, &hr);
    EXPECT_EQ(hr, DISP_E_TYPEMISMATCH) << "text that is not a number never reads as 0";
    to(Variant(""), VT_I4, &hr);
    EXPECT_EQ(hr, DISP_E_TYPEMISMATCH);
    Variant null;
    null.vt = VT_NULL;
    to(null, VT_BSTR, &hr);
    EXPECT_EQ(hr, DISP_E_TYPEMISMATCH);

    // A by-reference source is read through its pointer.
    std::int16_t h = 300;
    EXPECT_EQ(*Variant::RefI2(&h).ToQString(), "300");
}

TEST(Variant, StoringThroughReferencesConverts)
{
    std::int32_t n = 0;
    EXPECT_EQ(VariantStoreByRef(Variant::RefI4(&n), Variant("123")), S_OK);
    EXPECT_EQ(n, 123);

    BSTR text = SysAllocString(u"old");
    EXPECT_EQ(VariantStoreByRef(Variant::RefBstr(&text), Variant(std::int16_t(9))), S_OK);
    EXPECT_EQ(QStringFromBSTR(text), "9");
    SysFreeString(text);

    std::int16_t small = 1;
    EXPECT_EQ(VariantStoreByRef(Variant::RefI2(&small), Variant(std::int32_t(70000))), DISP_E_OVERFLOW);
    EXPECT_EQ(small, 1);

    Variant holder(std::int16_t(1));
    EXPECT_EQ(VariantStoreByRef(Variant::RefVariant(&holder), Variant("text")), S_OK);
    EXPECT_EQ(holder.vt, VT_BSTR);
}

TEST(Variant, CopiesOwnTheirText)
{
    Variant a(QStringLiteral("shared?"));
    Variant b = a;
    EXPECT_NE(a.bstrVal, b.bstrVal);
    Variant c = std::move(a);
    EXPECT_EQ(a.vt, VT_EMPTY);
    EXPECT_EQ(*c.ToQString(), "shared?");
    b = c;
    EXPECT_EQ(*b.ToQString(), "shared?");
}

namespace {

// The value of a variant of any integer type, read back as a double.
double Number(const VARIANT& v)
{
    Variant out;
    EXPECT_EQ(VariantChangeType(&out, &v, 0, VT_R8), S_OK);
    return out.dblVal;
}

struct IntegerRange {
    VARTYPE vt;
    double lowest;
    double highest;
};

const IntegerRange Integers[] = {
    {VT_I1, -128, 127},
    {VT_UI1, 0, 255},
    {VT_I2, -32768, 32767},
    {VT_UI2, 0, 65535},
    {VT_I4, -2147483648.0, 2147483647.0},
    {VT_UI4, 0, 4294967295.0},
    {VT_INT, -2147483648.0, 2147483647.0},
    {VT_UINT, 0, 4294967295.0},
};

}  // namespace

TEST(Variant, NaNAndInfinitiesFitNoIntegerType)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    double byRef = nan;
    Variant refNaN;
    refNaN.vt = VT_BYREF | VT_R8;
    refNaN.pdblVal = &byRef;
    const Variant sources[] = {Variant(nan),         Variant(-nan), Variant(std::numeric_limits<double>::signaling_NaN()),
                               Variant(float(nan)),  Variant(inf),  Variant(-inf),
                               Variant(float(inf)),  Variant(float(-inf)), refNaN};
    for (const IntegerRange& type : Integers) {
        for (const Variant& source : sources) {
            Variant out(std::int16_t(7));
            EXPECT_EQ(VariantChangeType(&out, &source, 0, type.vt), DISP_E_OVERFLOW)
                << "type " << type.vt << " from " << source.vt << " " << (source.vt == VT_R4 ? source.fltVal : source.dblVal);
            EXPECT_EQ(out.vt, VT_I2) << "a failed conversion leaves the target";
            EXPECT_EQ(out.iVal, 7);
        }
        // The edges of the range: each bound converts, a step beyond it overflows,
        // halves go to the even neighbour.
        auto to = [&](double d, HRESULT* hr) {
            Variant out;
            const Variant in(d);
            *hr = VariantChangeType(&out, &in, 0, type.vt);
            return SUCCEEDED(*hr) ? Number(out) : -0.125;
        };
        HRESULT hr = S_OK;
        EXPECT_EQ(to(type.lowest, &hr), type.lowest) << type.vt;
        EXPECT_EQ(to(type.highest, &hr), type.highest) << type.vt;
        EXPECT_EQ(to(type.highest - 0.5, &hr), std::fmod(type.highest, 2) == 0 ? type.highest : type.highest - 1)
            << type.vt;
        to(type.highest + 1, &hr);
        EXPECT_EQ(hr, DISP_E_OVERFLOW) << type.vt;
        to(type.lowest - 1, &hr);
        EXPECT_EQ(hr, DISP_E_OVERFLOW) << type.vt;
        to(1e300, &hr);
        EXPECT_EQ(hr, DISP_E_OVERFLOW) << type.vt;
        EXPECT_EQ(to(-0.5, &hr), 0) << type.vt;
    }

    // The 64-bit integers are not converted at all.
    for (VARTYPE vt : {VT_I8, VT_UI8}) {
        Variant out;
        const Variant in(nan);
        EXPECT_EQ(VariantChangeType(&out, &in, 0, vt), DISP_E_BADVARTYPE);
    }
    // Non-integer targets keep NaN; a single overflows as CSng does.
    Variant single;
    const Variant big(1e39);
    EXPECT_EQ(VariantChangeType(&single, &big, 0, VT_R4), DISP_E_OVERFLOW);
    const Variant notANumber(nan);
    EXPECT_EQ(VariantChangeType(&single, &notANumber, 0, VT_R4), S_OK);
    EXPECT_TRUE(std::isnan(single.fltVal));
}

namespace {

using testenv::RuntimeStatus;

HRESULT VariantStatus(const QString& text, VARTYPE vt, double* value)
{
    const Variant in(text);
    Variant out;
    const HRESULT hr = VariantChangeType(&out, &in, 0, vt);
    if (SUCCEEDED(hr))
        *value = vt == VT_R8 ? out.dblVal : vt == VT_R4 ? double(out.fltVal) : Number(out);
    return hr;
}

}  // namespace

TEST(Variant, TextReadsAsTheRuntimeReadsIt)
{
    const char* texts[] = {
        "&HFFFFFFFF", "&HFFFF", "&H8000", "&H7FFF", "&H10000", "&H80000000", "&H7FFFFFFF", "&H100000000",
        "&H0000FFFF", "&H1FFFFFFFFZ", "&hff", "&O177777", "&O37777777777", "&O40000000000", "&o17", "&H", "&O8",
        "&HG", "&X10", "-&H1", "&H-1", "&H 1",
        "1D2", "1d-2", "1.5D+3", "1E2", "1e", "1e+", "1D", "D2", "1E2.5", "1 E2",
        "1e400", "-1e400", "1D400", "1e-400", "1.7976931348623157E+308", "1.8E+308", "4.9E-324",
        "3.4028234E+38", "3.4028236E+38",
        "2.5", "3.5", "-2.5", "0.5", "32767.5", "-32768.5", "32767.49", "2147483647.5", "-2147483648.5",
        "4294967295", " 42 ", "\t-7\t", "+7", ".5", "5.", "-.5", "00012", "1e0005",
        "", "   ", ".", "-", "+", "--1", "+-1", "abc", "12abc", "1 2", "1,5", "0x10", "$5", "12.5.1",
        "NaN", "nan", "Inf", "-Infinity", "1e5x",
        "\u0661\u0662", "\uFF11\uFF12", "\u00BD", "1\u00A0", "\u2212" "1", "\u00B2",
    };
    for (const char* raw : texts) {
        const QString text = QString::fromUtf8(raw);
        SCOPED_TRACE(text.toStdString());
        double runtime = 0, variant = 0;
        const struct {
            VARTYPE vt;
            std::function<double()> convert;
        } pairs[] = {
            {VT_R8, [&] { return CDbl(text); }},
            {VT_I2, [&] { return double(CInt(text)); }},
            {VT_I4, [&] { return double(CLng(text)); }},
            {VT_R4, [&] { return double(CSng(text)); }},
        };
        for (const auto& pair : pairs) {
            const HRESULT expected = RuntimeStatus(pair.convert, &runtime);
            ASSERT_NE(expected, E_FAIL);
            EXPECT_EQ(VariantStatus(text, pair.vt, &variant), expected) << "type " << pair.vt;
            if (expected == S_OK)
                EXPECT_EQ(variant, runtime) << "type " << pair.vt;
        }
    }

    // The three that disagreed, now read one way by both.
    double value = 0;
    EXPECT_EQ(VariantStatus("&HFFFFFFFF", VT_R8, &value), S_OK);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(VariantStatus("1D2", VT_R8, &value), S_OK);
    EXPECT_EQ(value, 100);
    EXPECT_EQ(VariantStatus("1e400", VT_R8, &value), DISP_E_OVERFLOW);
    EXPECT_EQ(VariantStatus("\u0661\u0662", VT_I4, &value), DISP_E_TYPEMISMATCH) << "digits of another script";
}
