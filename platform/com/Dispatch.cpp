#include "platform/com/Dispatch.h"

#include "platform/com/ErrorInfo.h"
#include "platform/com/UnknownObject.h"

#include <cstdio>

namespace plat {

namespace {

std::size_t VarSize(VARTYPE vt)
{
    switch (vt) {
    case VT_UI1: return 1;
    case VT_I2:
    case VT_BOOL: return 2;
    case VT_I4:
    case VT_R4:
    case VT_ERROR: return 4;
    case VT_R8: return 8;
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN: return sizeof(void*);
    case VT_VARIANT: return sizeof(VARIANT);
    default: return 0;
    }
}

bool ShapeFits(const FuncDesc& f, const BoundMember& m)
{
    if (m.shape.size() != f.params.size())
        return false;
    for (std::size_t i = 0; i < f.params.size(); ++i) {
        const ParamDesc& p = f.params[i];
        if (m.shape[i].pointer != p.byRef || m.shape[i].size != VarSize(p.vt))
            return false;
    }
    return true;
}

std::uint16_t KindsFor(WORD flags)
{
    std::uint16_t kinds = 0;
    if (flags & DISPATCH_METHOD)
        kinds |= INVOKE_FUNC;
    if (flags & DISPATCH_PROPERTYGET)
        kinds |= INVOKE_PROPERTYGET;
    if (flags & DISPATCH_PROPERTYPUT)
        kinds |= INVOKE_PROPERTYPUT;
    if (flags & DISPATCH_PROPERTYPUTREF)
        kinds |= INVOKE_PROPERTYPUTREF;
    return kinds;
}

}  // namespace

HRESULT DispatchGetIDsOfNames(const InterfaceDesc* iface, REFIID riid, LPOLESTR* names, UINT count, DISPID* ids)
{
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0)
        return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    const FuncDesc* f = iface && names[0] ? iface->Find(QStringFromOLESTR(names[0])) : nullptr;
    if (!f)
        return DISP_E_UNKNOWNNAME;
    ids[0] = f->memid;
    HRESULT hr = S_OK;
    for (UINT i = 1; i < count; ++i) {
        const QString name = QStringFromOLESTR(names[i]);
        for (std::size_t k = 0; k < f->ArgumentCount(); ++k)
            if (f->params[k].name.compare(name, Qt::CaseInsensitive) == 0)
                ids[i] = static_cast<DISPID>(k);
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT DispatchInvoke(const InterfaceDesc* iface, const MemberLookup& lookup, void* self, DISPID member,
                       REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                       UINT* argErr, const QString& source)
{
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    DISPPARAMS none;
    if (!params)
        params = &none;
    if (params->cArgs < params->cNamedArgs || (params->cArgs && !params->rgvarg) ||
        (params->cNamedArgs && !params->rgdispidNamedArgs))
        return E_INVALIDARG;

    const FuncDesc* f = iface ? iface->Find(member, KindsFor(flags)) : nullptr;
    const BoundMember* bound = f ? lookup(member, f->kind) : nullptr;
    if (!bound)
        return DISP_E_MEMBERNOTFOUND;
    if (!ShapeFits(*f, *bound)) {
        std::fprintf(stderr, "dispatch: %s.%s is bound to a method whose parameters differ from its declaration\n",
                     qPrintable(iface->name), qPrintable(f->name));
        return E_UNEXPECTED;
    }

    const std::size_t n = f->ArgumentCount();
    if (params->cArgs != n)
        return DISP_E_BADPARAMCOUNT;

    // Which entry of rgvarg feeds each declared parameter.
    std::vector<int> from(n, -1);
    const UINT positional = params->cArgs - params->cNamedArgs;
    for (UINT i = 0; i < positional; ++i)
        from[i] = static_cast<int>(params->cArgs - 1 - i);
    for (UINT k = 0; k < params->cNamedArgs; ++k) {
        DISPID id = params->rgdispidNamedArgs[k];
        if (id == DISPID_PROPERTYPUT && (f->kind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF)) && n > 0)
            id = static_cast<DISPID>(n - 1);
        if (id < 0 || static_cast<std::size_t>(id) >= n || from[static_cast<std::size_t>(id)] != -1) {
            if (argErr)
                *argErr = k;
            return DISP_E_PARAMNOTFOUND;
        }
        from[static_cast<std::size_t>(id)] = static_cast<int>(k);
    }

    // Arguments of the declared type: the caller's own variable when it is
    // already a reference of that type, otherwise a converted copy.
    std::vector<Variant> temps(f->params.size());
    std::vector<VARIANT> cells(f->params.size());
    std::vector<bool> writeBack(n, false);
    for (std::size_t i = 0; i < f->params.size(); ++i) {
        const ParamDesc& p = f->params[i];
        if (i >= n) {  // the [retval] parameter
            cells[i].vt = VT_BYREF | p.vt;
            cells[i].byref = p.vt == VT_VARIANT ? static_cast<void*>(&temps[i]) : &temps[i].llVal;
            temps[i].vt = p.vt == VT_VARIANT ? VARTYPE(VT_EMPTY) : p.vt;
            continue;
        }
        const VARIANT& arg = params->rgvarg[from[i]];
        const bool callerRef = arg.vt & VT_BYREF;
        if (p.byRef && arg.vt == (VT_BYREF | p.vt)) {
            cells[i] = arg;
            continue;
        }
        HRESULT hr = S_OK;
        if (p.vt == VT_VARIANT)
            hr = VariantCopyInd(&temps[i], &arg);
        else
            hr = VariantChangeType(&temps[i], &arg, VARIANT_ALPHABOOL, p.vt);
        if (FAILED(hr)) {
            if (argErr)
                *argErr = static_cast<UINT>(from[i]);
            return hr == DISP_E_OVERFLOW ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
        }
        if (p.byRef) {
            cells[i].vt = VT_BYREF | p.vt;
            cells[i].byref = p.vt == VT_VARIANT ? static_cast<void*>(&temps[i]) : &temps[i].llVal;
            writeBack[i] = callerRef;
        } else {
            cells[i] = temps[i];  // borrowed for the call
        }
    }

    HRESULT hr = E_UNEXPECTED;
    try {
        hr = bound->call(self, cells.data());
    } catch (...) {
        SetErrorInfo(source, QStringLiteral("Unexpected failure"));
        hr = E_UNEXPECTED;
    }

    // A by-reference argument that needed converting gets its new value back,
    // also after a failure: what the method did before failing stays done.
    HRESULT backHr = S_OK;
    for (std::size_t i = 0; i < n; ++i) {
        if (!writeBack[i])
            continue;
        // temps[i] may hold a value the callee stored through the slot.
        const HRESULT w = VariantStoreByRef(params->rgvarg[from[i]], temps[i]);
        if (FAILED(w) && SUCCEEDED(backHr)) {
            backHr = w;
            if (argErr)
                *argErr = static_cast<UINT>(from[i]);
        }
    }

    if (FAILED(hr)) {
        const auto info = TakeErrorInfo();
        if (excepInfo) {
            ClearExcepInfo(excepInfo);
            excepInfo->scode = hr;
            excepInfo->bstrSource = SysAllocQString(info && !info->source.isEmpty() ? info->source : source);
            excepInfo->bstrDescription = SysAllocQString(info ? info->description : HResultText(hr));
        }
        return DISP_E_EXCEPTION;
    }
    if (FAILED(backHr))
        return backHr == DISP_E_OVERFLOW ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
    if (result) {
        VariantClear(result);
        if (f->HasRetval()) {
            *static_cast<VARIANT*>(result) = temps.back();
            VariantInit(&temps.back());
        }
    }
    return S_OK;
}

void ClearExcepInfo(EXCEPINFO* info)
{
    if (!info)
        return;
    SysFreeString(info->bstrSource);
    SysFreeString(info->bstrDescription);
    SysFreeString(info->bstrHelpFile);
    *info = EXCEPINFO{};
}

// ---- Type info ------------------------------------------------------------

namespace {

class TypeInfo final : public UnknownObject<ITypeInfo> {
public:
    TypeInfo(std::shared_ptr<const TypeLibDesc> lib, const InterfaceDesc* iface) : lib_(std::move(lib)), iface_(iface) {}

    HRESULT GetInterfaceDesc(const InterfaceDesc** desc) override
    {
        if (!desc)
            return E_POINTER;
        *desc = iface_;
        return S_OK;
    }
    HRESULT GetTypeLibDesc(const TypeLibDesc** lib) override
    {
        if (!lib)
            return E_POINTER;
        *lib = lib_.get();
        return S_OK;
    }

private:
    ~TypeInfo() override = default;
    std::shared_ptr<const TypeLibDesc> lib_;
    const InterfaceDesc* iface_;
};

}  // namespace

HRESULT CreateTypeInfo(std::shared_ptr<const TypeLibDesc> lib, REFIID iid, ITypeInfo** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    const InterfaceDesc* iface = lib ? lib->FindInterface(iid) : nullptr;
    if (!iface)
        return TYPE_E_ELEMENTNOTFOUND;
    *out = new TypeInfo(std::move(lib), iface);
    return S_OK;
}

// ---- Client side ----------------------------------------------------------

HRESULT CallByName(IDispatch* object, const QString& name, std::vector<Variant> args, Variant* result,
                   EXCEPINFO* excepInfo, WORD flags)
{
    if (!object)
        return E_POINTER;
    BStr text(name);
    LPOLESTR names[] = {text.Get()};
    DISPID id = DISPID_UNKNOWN;
    if (HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, 0, &id); FAILED(hr))
        return hr;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());  // shallow: args keeps ownership
    DISPPARAMS params;
    params.rgvarg = reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    // A method updates the by-reference variables; plain arguments it may
    // not change, so copies of their storage are fine.
    Variant local;
    UINT argErr = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, 0, flags, &params, result ? result : &local, excepInfo, &argErr);
    return hr;
}

}  // namespace plat
