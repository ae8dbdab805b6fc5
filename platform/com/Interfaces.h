#pragma once
// The standard interfaces, with their method order and public identifiers.
// Interfaces have no virtual destructor: its slots would break the order;
// objects are destroyed by their own Release.

#include "platform/com/Types.h"
#include "platform/com/Variant.h"

namespace plat {

struct InterfaceDesc;
struct TypeLibDesc;

struct IUnknown {
    static constexpr GUID Iid{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

struct IClassFactory : IUnknown {
    static constexpr GUID Iid{0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

    virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
    virtual HRESULT LockServer(BOOL fLock) = 0;

protected:
    ~IClassFactory() = default;
};

// Describes one interface of a type library to a late-bound caller. This is
// the platform's own small interface, not the desktop's much larger one, so
// it has an identifier of its own.
struct ITypeInfo : IUnknown {
    static constexpr GUID Iid{0x509156EB, 0x2B89, 0x490D, {0x84, 0x24, 0xD7, 0x68, 0x54, 0x8E, 0x03, 0x2F}};

    virtual HRESULT GetInterfaceDesc(const InterfaceDesc** desc) = 0;
    virtual HRESULT GetTypeLibDesc(const TypeLibDesc** lib) = 0;

protected:
    ~ITypeInfo() = default;
};

enum DispatchFlags : WORD {
    DISPATCH_METHOD = 0x1,
    DISPATCH_PROPERTYGET = 0x2,
    DISPATCH_PROPERTYPUT = 0x4,
    DISPATCH_PROPERTYPUTREF = 0x8,
};

inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;

// Arguments of Invoke, the last argument first.
struct DISPPARAMS {
    VARIANTARG* rgvarg = nullptr;
    DISPID* rgdispidNamedArgs = nullptr;
    UINT cArgs = 0;
    UINT cNamedArgs = 0;
};

struct EXCEPINFO {
    WORD wCode = 0;
    WORD wReserved = 0;
    BSTR bstrSource = nullptr;
    BSTR bstrDescription = nullptr;
    BSTR bstrHelpFile = nullptr;
    ULONG dwHelpContext = 0;
    void* pvReserved = nullptr;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*) = nullptr;
    SCODE scode = 0;
};
// Frees the texts of an EXCEPINFO and empties it.
void ClearExcepInfo(EXCEPINFO* info);

struct IDispatch : IUnknown {
    static constexpr GUID Iid{0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

    virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) = 0;
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                           VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) = 0;

protected:
    ~IDispatch() = default;
};

inline constexpr const IID& IID_IUnknown = IUnknown::Iid;
inline constexpr const IID& IID_IClassFactory = IClassFactory::Iid;
inline constexpr const IID& IID_IDispatch = IDispatch::Iid;
inline constexpr const IID& IID_ITypeInfo = ITypeInfo::Iid;

// The interface identifier a C++ interface type declares.
template <class T>
constexpr const IID& IidOf()
{
    return T::Iid;
}

}  // namespace plat
