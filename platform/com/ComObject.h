#pragma once
// Base of a component's class that implements one dual interface I:
// reference counting and QueryInterface (IUnknown, IDispatch, I) from
// UnknownObject, and IDispatch served from the server's type library through
// a DispatchTable. The object counts towards its server's DllCanUnloadNow
// while it lives and belongs to the thread that created it.
//
//   class clsThing final : public plat::DispatchObject<_clsThing> {
//   public:
//       clsThing() : DispatchObject(Server(), Table()) {}
//       HRESULT Go(BSTR* url) override { return Method([&] { ... }); }
//   };

#include "platform/com/ComMethod.h"
#include "platform/com/Dispatch.h"
#include "platform/com/InprocServer.h"
#include "platform/com/UnknownObject.h"

namespace plat {

template <class I>
class DispatchObject : public UnknownObject<I, IDispatch> {
public:
    HRESULT GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = iface_ ? 1 : 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT index, LCID, ITypeInfo** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (index != 0 || !iface_)
            return DISP_E_BADINDEX;
        return CreateTypeInfo(typeLib_, IidOf<I>(), out);
    }
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        return DispatchGetIDsOfNames(iface_, riid, names, count, ids);
    }
    HRESULT Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excepInfo, UINT* argErr) override
    {
        if (const HRESULT hr = apartment_.Check(); FAILED(hr))
            return hr;
        const auto lookup = [this](DISPID id, InvokeKind kind) { return table_.Find(id, kind); };
        return DispatchInvoke(iface_, lookup, static_cast<I*>(this), member, riid, flags, params, result, excepInfo,
                              argErr, source_);
    }

protected:
    DispatchObject(InprocServer& server, const DispatchTable<I>& table)
        : server_(server), table_(table), typeLib_(server.TypeLib())
    {
        server_.Lock();
        iface_ = typeLib_ ? typeLib_->FindInterface(IidOf<I>()) : nullptr;
        source_ = server.Description().projectName;
        for (const ClassDescription& c : server.Description().classes)
            if (c.defaultInterface == IidOf<I>())
                source_ = server.ProgId(c);
    }
    ~DispatchObject() override { server_.Unlock(); }

    // Runs a method body: refused from a foreign thread, failures become the
    // method's status (see ComMethod.h).
    template <class F>
    HRESULT Method(F&& body) noexcept
    {
        return ComMethod(apartment_, source_, std::forward<F>(body));
    }

private:
    InprocServer& server_;
    const DispatchTable<I>& table_;
    std::shared_ptr<const TypeLibDesc> typeLib_;
    const InterfaceDesc* iface_ = nullptr;
    QString source_;
    ApartmentAffinity apartment_;
};

}  // namespace plat
