// Fuzz target: conversions between variant types (VariantChangeType and the
// calls around it), and their agreement with the runtime's own text to
// number rules.
//
// Input: byte 0 is the type to convert to, a VARTYPE in its low seven bits
// (unknown types included); its high bit asks for VARIANT_ALPHABOOL. Byte 1
// is the source's type, likewise; its high bit makes the source a reference
// (VT_BYREF) to a variable holding the value. The rest is the value: UTF-8
// text for VT_BSTR (and for the variant a VT_VARIANT reference points at), the
// little-endian bytes of the value for every other type (missing bytes are
// zero); VT_UNKNOWN and VT_DISPATCH are null.
//
// Checks: a number converted to an integer type gives that number rounded
// half to even, or DISP_E_OVERFLOW when it does not fit, NaN included (or
// DISP_E_BADVARTYPE for a type not converted to at all); text converted to
// double, short or long agrees with CDbl, CInt and CLng, in value and in
// the error (type mismatch, overflow); a converted text is a sound BSTR; the
// copies and the store through a reference neither crash nor leak.

#include "platform/com/Variant.h"
#include "platform/runtime/Numeric.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/support/RuntimeStatus.h"

#include <cmath>
#include <cstring>

using namespace plat;

namespace {

// The integer types of the variant world, those the conversion refuses
// (the 64-bit ones) included.
struct IntegerType {
    VARTYPE vt;
    const char* name;
    int bytes;
    bool isSigned;
    double lowest;
    double highest;
};
const IntegerType IntegerTypes[] = {
    {VT_I2, "I2", 2, true, -32768.0, 32767.0},
    {VT_I4, "I4", 4, true, -2147483648.0, 2147483647.0},
    {VT_I1, "I1", 1, true, -128.0, 127.0},
    {VT_UI1, "UI1", 1, false, 0.0, 255.0},
    {VT_UI2, "UI2", 2, false, 0.0, 65535.0},
    {VT_UI4, "UI4", 4, false, 0.0, 4294967295.0},
    {VT_I8, "I8", 8, true, -9223372036854775808.0, 9223372036854774784.0},  // largest double below 2^63
    {VT_UI8, "UI8", 8, false, 0.0, 18446744073709549568.0},                  // largest double below 2^64
    {VT_INT, "INT", 4, true, -2147483648.0, 2147483647.0},
    {VT_UINT, "UINT", 4, false, 0.0, 4294967295.0},
};

const IntegerType* IntegerTypeOf(VARTYPE vt)
{
    for (const IntegerType& t : IntegerTypes)
        if (t.vt == vt)
            return &t;
    return nullptr;
}

// The integer an integer variant holds, read from the start of its value.
long double IntegerIn(const VARIANT& v, const IntegerType& t)
{
    unsigned char raw[8] = {};
    std::memcpy(raw, &v.llVal, static_cast<std::size_t>(t.bytes));
    std::uint64_t bits = 0;
    for (int i = t.bytes - 1; i >= 0; --i)
        bits = (bits << 8) | raw[i];
    if (t.isSigned && t.bytes < 8 && (bits >> (8 * t.bytes - 1)) & 1)
        bits |= ~std::uint64_t(0) << (8 * t.bytes);
    return t.isSigned ? static_cast<long double>(static_cast<std::int64_t>(bits)) : static_cast<long double>(bits);
}

// The number a plain numeric variant stands for.
std::optional<double> NumberIn(const VARIANT& v)
{
    switch (v.vt) {
    case VT_EMPTY: return 0.0;
    case VT_I2: return v.iVal;
    case VT_I4: return v.lVal;
    case VT_UI1: return v.bVal;
    case VT_R4: return v.fltVal;
    case VT_R8: return v.dblVal;
    case VT_BOOL: return v.boolVal ? -1.0 : 0.0;
    default: return std::nullopt;
    }
}

QString Hr(HRESULT hr)
{
    return QStringLiteral("0x%1").arg(static_cast<std::uint32_t>(hr), 8, 16, QLatin1Char('0'));
}

void CheckInteger(double number, const IntegerType& t, HRESULT hr, const VARIANT& out)
{
    const QString what = QStringLiteral("%1 to %2").arg(number, 0, 'g', 17).arg(QLatin1String(t.name));
    if (hr == DISP_E_BADVARTYPE)
        return;  // a type the conversion does not offer
    if (std::isnan(number)) {
        fuzz::Expect(hr == DISP_E_OVERFLOW, "NaN overflows every integer type",
                     what + QStringLiteral(" gives ") + Hr(hr));
        return;
    }
    const double rounded = std::nearbyint(number);  // half to even
    const bool fits = rounded >= t.lowest && rounded <= t.highest;
    fuzz::Expect(hr == (fits ? S_OK : DISP_E_OVERFLOW), "a number converts to an integer when it fits, else overflows",
                 what + QStringLiteral(" gives ") + Hr(hr));
    if (fits)
        fuzz::Expect(IntegerIn(out, t) == static_cast<long double>(rounded),
                     "a number converts to itself rounded half to even",
                     what + QStringLiteral(" is not %1").arg(rounded, 0, 'g', 17));
}

void CheckTextToNumber(const QString& text, VARTYPE vt, HRESULT hr, const VARIANT& out)
{
    double expected = 0;
    double got = 0;
    HRESULT runtime = S_OK;
    const char* rule = nullptr;
    switch (vt) {
    case VT_R8:
        rule = "CDbl";
        runtime = testenv::RuntimeStatus([&] { return CDbl(text); }, &expected);
        got = out.dblVal;
        break;
    case VT_I2:
        rule = "CInt";
        runtime = testenv::RuntimeStatus([&] { return double(CInt(text)); }, &expected);
        got = out.iVal;
        break;
    case VT_I4:
        rule = "CLng";
        runtime = testenv::RuntimeStatus([&] { return double(CLng(text)); }, &expected);
        got = out.lVal;
        break;
    default: return;
    }
    const QString what = QStringLiteral("\"%1\" to %2").arg(fuzz::Shown(text), QLatin1String(rule));
    fuzz::Expect(hr == runtime, "a text converts with the runtime's status",
                 what + QStringLiteral(": the variant says %1, the runtime %2").arg(Hr(hr), Hr(runtime)));
    if (hr == S_OK)
        fuzz::Expect(got == expected, "a text converts to the runtime's number",
                     what + QStringLiteral(": the variant gives %1, the runtime %2")
                                .arg(got, 0, 'g', 17)
                                .arg(expected, 0, 'g', 17));
}

// The variable a by-reference variant points at.
struct Referenced {
    alignas(8) unsigned char raw[16] = {};
    BSTR text = nullptr;
    IUnknown* unknown = nullptr;
    VARIANT inner{};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const VARTYPE targetType = data[0] & 0x7f;
    const std::uint16_t flags = (data[0] & 0x80) ? VARIANT_ALPHABOOL : 0;
    const VARTYPE sourceType = data[1] & 0x7f;
    const bool byRef = data[1] & 0x80;
    const QByteArray value = fuzz::Bytes(data + 2, size - 2);
    const QString text = fuzz::Text(value);

    Referenced variable;
    VARIANT source{};
    if (!byRef) {
        source.vt = sourceType;
        if (sourceType == VT_BSTR)
            source.bstrVal = SysAllocQString(text);
        else if (sourceType == VT_UNKNOWN || sourceType == VT_DISPATCH)
            source.punkVal = nullptr;
        else
            std::memcpy(&source.llVal, value.constData(), std::min<std::size_t>(8, value.size()));
    } else {
        source.vt = VT_BYREF | sourceType;
        std::memcpy(variable.raw, value.constData(), std::min<std::size_t>(sizeof variable.raw, value.size()));
        switch (sourceType) {
        case VT_BSTR:
            variable.text = SysAllocQString(text);
            source.pbstrVal = &variable.text;
            break;
        case VT_UNKNOWN:
        case VT_DISPATCH: source.ppunkVal = &variable.unknown; break;
        case VT_VARIANT:
            variable.inner.vt = VT_BSTR;
            variable.inner.bstrVal = SysAllocQString(text);
            source.pvarVal = &variable.inner;
            break;
        default: source.byref = variable.raw;
        }
    }

    VARIANT out{};
    const HRESULT hr = VariantChangeType(&out, &source, flags, targetType);

    // What the source stands for, through its reference.
    Variant plain;
    const bool readable = SUCCEEDED(VariantCopyInd(&plain, &source));
    if (readable) {
        if (const IntegerType* t = IntegerTypeOf(targetType))
            if (const std::optional<double> number = NumberIn(plain))
                CheckInteger(*number, *t, hr, out);
        if (plain.vt == VT_BSTR)
            CheckTextToNumber(QStringFromBSTR(plain.bstrVal), targetType, hr, out);  // a leading U+FEFF kept
    }
    if (hr == S_OK && targetType == VT_BSTR) {
        const UINT length = SysStringLen(out.bstrVal);
        fuzz::Expect(!out.bstrVal || out.bstrVal[length] == 0, "a converted text ends in NUL");
    }
    VariantClear(&out);

    // The other ways a value travels: copies, the owning wrapper, a store
    // through a reference to a variable of the target type, a conversion in place.
    Variant copy;
    VariantCopy(&copy, &source);
    Variant wrapped(source);
    (void)wrapped.ToQString();
    (void)wrapped.ToInt();
    (void)wrapped.ToBool();

    Referenced target;
    VARIANT reference{};
    reference.vt = VT_BYREF | targetType;
    switch (targetType) {
    case VT_BSTR: reference.pbstrVal = &target.text; break;
    case VT_UNKNOWN:
    case VT_DISPATCH: reference.ppunkVal = &target.unknown; break;
    case VT_VARIANT: reference.pvarVal = &target.inner; break;
    default: reference.byref = target.raw;
    }
    if (readable)
        VariantStoreByRef(reference, plain);
    SysFreeString(target.text);
    VariantClear(&target.inner);

    VariantChangeType(&copy, &copy, flags, targetType);

    if (byRef) {
        SysFreeString(variable.text);
        VariantClear(&variable.inner);
    } else {
        VariantClear(&source);
    }
    return 0;
}
