#include "platform/com/Variant.h"

#include "platform/com/Interfaces.h"
#include "platform/runtime/Numeric.h"

#include <utility>

namespace plat {

void VariantInit(VARIANT* v)
{
    if (v) {
        v->vt = VT_EMPTY;
        v->llVal = 0;
    }
}

HRESULT VariantClear(VARIANT* v)
{
    if (!v)
        return E_INVALIDARG;
    switch (v->vt) {
    case VT_BSTR: SysFreeString(v->bstrVal); break;
    case VT_UNKNOWN:
        if (v->punkVal)
            v->punkVal->Release();
        break;
    case VT_DISPATCH:
        if (v->pdispVal)
            v->pdispVal->Release();
        break;
    default: break;  // by-reference variants own nothing
    }
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src)
{
    if (!dest || !src)
        return E_INVALIDARG;
    VARIANT copy = *src;
    if (src->vt == VT_BSTR && src->bstrVal) {
        copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
        if (!copy.bstrVal)
            return E_OUTOFMEMORY;
    } else if ((src->vt == VT_UNKNOWN || src->vt == VT_DISPATCH) && src->punkVal) {
        src->punkVal->AddRef();
    }
    if (dest != src)
        VariantClear(dest);
    else if (src->vt == VT_BSTR || src->vt == VT_UNKNOWN || src->vt == VT_DISPATCH)
        VariantClear(dest);
    *dest = copy;
    return S_OK;
}

namespace {

// The value a variant stands for, with one level of reference followed. The
// result borrows texts and interfaces; it must not be cleared.
const VARIANT* Deref(const VARIANT* v, VARIANT& scratch)
{
    if (!(v->vt & VT_BYREF))
        return v;
    if (!v->byref)
        return nullptr;
    scratch = VARIANT{};
    scratch.vt = v->vt & ~VT_BYREF;
    switch (scratch.vt) {
    case VT_I2: scratch.iVal = *v->piVal; break;
    case VT_BOOL: scratch.boolVal = *v->pboolVal; break;
    case VT_I4: scratch.lVal = *v->plVal; break;
    case VT_UI1: scratch.bVal = *v->pbVal; break;
    case VT_I1: scratch.cVal = *v->pcVal; break;
    case VT_UI2: scratch.uiVal = *v->puiVal; break;
    case VT_UI4: scratch.ulVal = *v->pulVal; break;
    case VT_INT: scratch.intVal = *v->pintVal; break;
    case VT_UINT: scratch.uintVal = *v->puintVal; break;
    case VT_R4: scratch.fltVal = *v->pfltVal; break;
    case VT_R8: scratch.dblVal = *v->pdblVal; break;
    case VT_ERROR: scratch.scode = *v->pscode; break;
    case VT_BSTR: scratch.bstrVal = *v->pbstrVal; break;
    case VT_UNKNOWN: scratch.punkVal = *v->ppunkVal; break;
    case VT_DISPATCH: scratch.pdispVal = *v->ppdispVal; break;
    case VT_VARIANT: return v->pvarVal->vt & VT_BYREF ? nullptr : v->pvarVal;
    default: return nullptr;
    }
    return &scratch;
}

HRESULT ToNumber(const VARIANT& v, double* out)
{
    switch (v.vt) {
    case VT_EMPTY: *out = 0; return S_OK;
    case VT_I2: *out = v.iVal; return S_OK;
    case VT_I4: *out = v.lVal; return S_OK;
    case VT_UI1: *out = v.bVal; return S_OK;
    case VT_I1: *out = v.cVal; return S_OK;
    case VT_UI2: *out = v.uiVal; return S_OK;
    case VT_UI4: *out = v.ulVal; return S_OK;
    case VT_INT: *out = v.intVal; return S_OK;
    case VT_UINT: *out = v.uintVal; return S_OK;
    case VT_R4: *out = v.fltVal; return S_OK;
    case VT_R8: *out = v.dblVal; return S_OK;
    case VT_BOOL: *out = v.boolVal ? -1 : 0; return S_OK;
    case VT_BSTR: {
        // The runtime's own reading, so that a text converts here as CDbl converts it.
        const ParsedNumber n = ParseNumber(QStringView(v.bstrVal, SysStringLen(v.bstrVal)));
        switch (n.error) {
        case NumberError::TypeMismatch: return DISP_E_TYPEMISMATCH;
        case NumberError::Overflow: return DISP_E_OVERFLOW;
        case NumberError::None: break;
        }
        *out = n.value;
        return S_OK;
    }
    default: return DISP_E_TYPEMISMATCH;
    }
}

HRESULT ToText(const VARIANT& v, std::uint16_t flags, QString* out)
{
    switch (v.vt) {
    case VT_EMPTY: *out = QString(); return S_OK;
    case VT_BSTR: *out = QStringFromBSTR(v.bstrVal); return S_OK;
    case VT_BOOL:
        *out = (flags & VARIANT_ALPHABOOL) ? (v.boolVal ? QStringLiteral("True") : QStringLiteral("False"))
                                           : (v.boolVal ? QStringLiteral("-1") : QStringLiteral("0"));
        return S_OK;
    case VT_R4: *out = CStr(v.fltVal); return S_OK;
    case VT_R8: *out = CStr(v.dblVal); return S_OK;
    default: {
        double d = 0;
        if (HRESULT hr = ToNumber(v, &d); FAILED(hr))
            return hr;
        *out = CStr(d);
        return S_OK;
    }
    }
}

struct IntegerType {
    VARTYPE vt;
    double lowest;
    double highest;
    void (*store)(VARIANT* out, double value);  // value is whole and within range
};

const IntegerType IntegerTypes[] = {
    {VT_I1, -128, 127, [](VARIANT* o, double d) { o->cVal = static_cast<std::int8_t>(d); }},
    {VT_UI1, 0, 255, [](VARIANT* o, double d) { o->bVal = static_cast<std::uint8_t>(d); }},
    {VT_I2, -32768, 32767, [](VARIANT* o, double d) { o->iVal = static_cast<std::int16_t>(d); }},
    {VT_UI2, 0, 65535, [](VARIANT* o, double d) { o->uiVal = static_cast<std::uint16_t>(d); }},
    {VT_I4, -2147483648.0, 2147483647.0, [](VARIANT* o, double d) { o->lVal = static_cast<std::int32_t>(d); }},
    {VT_UI4, 0, 4294967295.0, [](VARIANT* o, double d) { o->ulVal = static_cast<std::uint32_t>(d); }},
    {VT_INT, -2147483648.0, 2147483647.0, [](VARIANT* o, double d) { o->intVal = static_cast<std::int32_t>(d); }},
    {VT_UINT, 0, 4294967295.0, [](VARIANT* o, double d) { o->uintVal = static_cast<std::uint32_t>(d); }},
};

// Half to even, as the runtime's CInt and CLng round; a value that fits no
// integer of the type (NaN and the infinities included) is an overflow.
HRESULT ToInteger(const VARIANT& v, const IntegerType& type, VARIANT* out)
{
    double d = 0;
    if (HRESULT hr = ToNumber(v, &d); FAILED(hr))
        return hr;
    const auto rounded = RoundWithin(d, type.lowest, type.highest);
    if (!rounded)
        return DISP_E_OVERFLOW;
    type.store(out, *rounded);
    return S_OK;
}

HRESULT Convert(const VARIANT& s, std::uint16_t flags, VARTYPE vt, VARIANT* out)
{
    out->vt = vt;
    for (const IntegerType& type : IntegerTypes)
        if (type.vt == vt)
            return ToInteger(s, type, out);
    double d = 0;
    HRESULT hr = S_OK;
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
        return s.vt == vt ? S_OK : DISP_E_TYPEMISMATCH;
    case VT_R4: {
        if (hr = ToNumber(s, &d); FAILED(hr))
            return hr;
        const auto single = SingleWithin(d);  // as CSng: beyond the single range overflows
        if (!single)
            return DISP_E_OVERFLOW;
        out->fltVal = *single;
        return S_OK;
    }
    case VT_R8:
        hr = ToNumber(s, &out->dblVal);
        return hr;
    case VT_BOOL:
        if (s.vt == VT_BSTR) {
            const QString t = QStringFromBSTR(s.bstrVal).trimmed();
            if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
                out->boolVal = VARIANT_TRUE;
                return S_OK;
            }
            if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
                out->boolVal = VARIANT_FALSE;
                return S_OK;
            }
        }
        hr = ToNumber(s, &d);
        out->boolVal = d != 0 ? VARIANT_TRUE : VARIANT_FALSE;
        return hr;
    case VT_BSTR: {
        QString text;
        hr = ToText(s, flags, &text);
        if (FAILED(hr))
            return hr;
        out->bstrVal = SysAllocQString(text);
        return out->bstrVal || text.isEmpty() ? S_OK : E_OUTOFMEMORY;
    }
    case VT_ERROR:
        if (s.vt != VT_ERROR)
            return DISP_E_TYPEMISMATCH;
        out->scode = s.scode;
        return S_OK;
    case VT_UNKNOWN:
        if (s.vt != VT_UNKNOWN && s.vt != VT_DISPATCH)
            return DISP_E_TYPEMISMATCH;
        out->punkVal = s.punkVal;
        if (out->punkVal)
            out->punkVal->AddRef();
        return S_OK;
    case VT_DISPATCH:
        if (s.vt == VT_DISPATCH) {
            out->pdispVal = s.pdispVal;
            if (out->pdispVal)
                out->pdispVal->AddRef();
            return S_OK;
        }
        if (s.vt == VT_UNKNOWN && s.punkVal) {
            out->pdispVal = nullptr;
            void* p = nullptr;
            if (FAILED(s.punkVal->QueryInterface(IID_IDispatch, &p)))
                return DISP_E_TYPEMISMATCH;
            out->pdispVal = static_cast<IDispatch*>(p);
            return S_OK;
        }
        return DISP_E_TYPEMISMATCH;
    default:
        return DISP_E_BADVARTYPE;
    }
}

}  // namespace

HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src)
{
    if (!dest || !src)
        return E_INVALIDARG;
    VARIANT scratch;
    const VARIANT* s = Deref(src, scratch);
    if (!s)
        return DISP_E_BADVARTYPE;
    Variant copy;
    if (HRESULT hr = VariantCopy(&copy, s); FAILED(hr))
        return hr;
    VariantClear(dest);
    *dest = copy;
    copy.vt = VT_EMPTY;  // ownership moved to dest
    return S_OK;
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, std::uint16_t flags, VARTYPE vt)
{
    if (!dest || !src)
        return E_INVALIDARG;
    if (vt & VT_BYREF)
        return DISP_E_BADVARTYPE;
    VARIANT scratch;
    const VARIANT* s = Deref(src, scratch);
    if (!s)
        return DISP_E_BADVARTYPE;
    Variant out;
    const HRESULT hr = Convert(*s, flags, vt, &out);
    if (FAILED(hr)) {
        out.vt = VT_EMPTY;  // Convert may have left a type with no value
        return hr;
    }
    VariantClear(dest);
    *dest = out;
    out.vt = VT_EMPTY;
    return S_OK;
}

HRESULT VariantStoreByRef(const VARIANT& target, const VARIANT& value)
{
    if (!(target.vt & VT_BYREF) || !target.byref)
        return E_INVALIDARG;
    const VARTYPE base = target.vt & ~VT_BYREF;
    if (base == VT_VARIANT)
        return VariantCopyInd(target.pvarVal, &value);
    Variant v;
    if (HRESULT hr = VariantChangeType(&v, &value, VARIANT_ALPHABOOL, base); FAILED(hr))
        return hr;
    switch (base) {
    case VT_I2: *target.piVal = v.iVal; break;
    case VT_BOOL: *target.pboolVal = v.boolVal; break;
    case VT_I4: *target.plVal = v.lVal; break;
    case VT_UI1: *target.pbVal = v.bVal; break;
    case VT_I1: *target.pcVal = v.cVal; break;
    case VT_UI2: *target.puiVal = v.uiVal; break;
    case VT_UI4: *target.pulVal = v.ulVal; break;
    case VT_INT: *target.pintVal = v.intVal; break;
    case VT_UINT: *target.puintVal = v.uintVal; break;
    case VT_R4: *target.pfltVal = v.fltVal; break;
    case VT_R8: *target.pdblVal = v.dblVal; break;
    case VT_ERROR: *target.pscode = v.scode; break;
    case VT_BSTR:
        SysFreeString(*target.pbstrVal);
        *target.pbstrVal = v.bstrVal;
        v.vt = VT_EMPTY;
        break;
    case VT_UNKNOWN:
    case VT_DISPATCH:
        if (*target.ppunkVal)
            (*target.ppunkVal)->Release();
        *target.ppunkVal = v.punkVal;
        v.vt = VT_EMPTY;
        break;
    default: return DISP_E_BADVARTYPE;
    }
    return S_OK;
}

// ---- Variant ----------------------------------------------------------------

Variant::Variant(bool value)
{
    vt = VT_BOOL;
    boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

Variant::Variant(std::int16_t value)
{
    vt = VT_I2;
    iVal = value;
}

Variant::Variant(std::int32_t value)
{
    vt = VT_I4;
    lVal = value;
}

Variant::Variant(float value)
{
    vt = VT_R4;
    fltVal = value;
}

Variant::Variant(double value)
{
    vt = VT_R8;
    dblVal = value;
}

Variant::Variant(const QString& value)
{
    vt = VT_BSTR;
    bstrVal = SysAllocQString(value);
}

Variant::Variant(IDispatch* value)
{
    vt = VT_DISPATCH;
    pdispVal = value;
    if (value)
        value->AddRef();
}

Variant::Variant(Variant&& other) noexcept : VARIANT(other)
{
    VariantInit(&other);
}

Variant& Variant::operator=(const Variant& other)
{
    if (this != &other)
        VariantCopy(this, &other);
    return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept
{
    if (this != &other) {
        VariantClear(this);
        static_cast<VARIANT&>(*this) = other;
        VariantInit(&other);
    }
    return *this;
}

namespace {

Variant ByRef(VARTYPE vt, void* p)
{
    Variant v;
    v.vt = VT_BYREF | vt;
    v.byref = p;
    return v;
}

}  // namespace

Variant Variant::RefI2(std::int16_t* p) { return ByRef(VT_I2, p); }
Variant Variant::RefI4(std::int32_t* p) { return ByRef(VT_I4, p); }
Variant Variant::RefBool(VARIANT_BOOL* p) { return ByRef(VT_BOOL, p); }
Variant Variant::RefBstr(BSTR* p) { return ByRef(VT_BSTR, p); }
Variant Variant::RefVariant(VARIANT* p) { return ByRef(VT_VARIANT, p); }

std::optional<QString> Variant::ToQString() const
{
    Variant v;
    if (FAILED(VariantChangeType(&v, this, VARIANT_ALPHABOOL, VT_BSTR)))
        return std::nullopt;
    return QStringFromBSTR(v.bstrVal);
}

std::optional<std::int32_t> Variant::ToInt() const
{
    Variant v;
    if (FAILED(VariantChangeType(&v, this, 0, VT_I4)))
        return std::nullopt;
    return v.lVal;
}

std::optional<bool> Variant::ToBool() const
{
    Variant v;
    if (FAILED(VariantChangeType(&v, this, 0, VT_BOOL)))
        return std::nullopt;
    return v.boolVal != 0;
}

}  // namespace plat
