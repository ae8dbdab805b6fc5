#pragma once
// The variant type of late-bound calls: a type tag and a value, or a pointer
// to the caller's variable for by-reference arguments (VT_BYREF | type).

#include "platform/com/BStr.h"
#include "platform/com/Types.h"

#include <QString>
#include <optional>

namespace plat {

struct IUnknown;
struct IDispatch;

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,   // named, not converted: DISP_E_BADVARTYPE
    VT_UI8 = 21,  // likewise
    VT_INT = 22,
    VT_UINT = 23,
    VT_VOID = 24,
    VT_HRESULT = 25,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0x0FFF,
};

// Flags of VariantChangeType.
enum : std::uint16_t { VARIANT_NOVALUEPROP = 0x1, VARIANT_ALPHABOOL = 0x2 };

struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    std::uint16_t wReserved1 = 0, wReserved2 = 0, wReserved3 = 0;
    union {
        std::int16_t iVal;
        std::int32_t lVal;
        std::uint8_t bVal;
        std::int8_t cVal;
        std::uint16_t uiVal;
        std::uint32_t ulVal;
        std::int32_t intVal;
        std::uint32_t uintVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        std::int16_t* piVal;
        std::int32_t* plVal;
        std::uint8_t* pbVal;
        std::int8_t* pcVal;
        std::uint16_t* puiVal;
        std::uint32_t* pulVal;
        std::int32_t* pintVal;
        std::uint32_t* puintVal;
        float* pfltVal;
        double* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        VARIANT* pvarVal;
        void* byref;
        long long llVal = 0;
    };
};
using VARIANTARG = VARIANT;

void VariantInit(VARIANT* v);
// Frees what the variant owns (text, interface reference) and empties it.
HRESULT VariantClear(VARIANT* v);
// Copies; a by-reference variant copies the reference.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
// Copies; a by-reference variant copies the value it refers to.
HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src);
// Converts src (dereferenced) to type vt into dest; dest may be src.
// DISP_E_TYPEMISMATCH when no conversion exists (a text that is not a
// number), DISP_E_OVERFLOW when the value does not fit (NaN and infinities
// fit no integer). Numbers to integers round half to even; texts read as
// the runtime's CDbl reads them.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, std::uint16_t flags, VARTYPE vt);

// Writes a plain value into the variable a by-reference variant points at,
// converting it to that variable's type.
HRESULT VariantStoreByRef(const VARIANT& target, const VARIANT& value);

// Owning variant with pleasant construction and reading.
class Variant : public VARIANT {
public:
    Variant() = default;
    Variant(bool value);
    Variant(std::int16_t value);
    Variant(std::int32_t value);
    Variant(float value);
    Variant(double value);
    Variant(const QString& value);
    Variant(const char* utf8) : Variant(QString::fromUtf8(utf8)) {}
    Variant(const char16_t* value) : Variant(QStringFromOLESTR(value)) {}
    Variant(IDispatch* value);  // takes a reference of its own
    Variant(const VARIANT& other) { VariantCopy(this, &other); }
    Variant(const Variant& other) : VARIANT() { VariantCopy(this, &other); }
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant() { VariantClear(this); }

    // By-reference variants: the callee reads and writes the caller's variable.
    static Variant RefI2(std::int16_t* p);
    static Variant RefI4(std::int32_t* p);
    static Variant RefBool(VARIANT_BOOL* p);
    static Variant RefBstr(BSTR* p);
    static Variant RefVariant(VARIANT* p);

    // Converted values; nothing when the value does not convert.
    std::optional<QString> ToQString() const;
    std::optional<std::int32_t> ToInt() const;
    std::optional<bool> ToBool() const;

    VARTYPE Type() const { return vt; }
};

}  // namespace plat
