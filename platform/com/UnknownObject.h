#pragma once
// IUnknown for an object that implements the interface I (and, through I,
// the bases named in Also): QueryInterface answers IUnknown, Also... and I
// with I's own pointer, and the last Release deletes the object. The
// destructor is virtual so that Release deletes the most derived object;
// its slots follow I's and leave I's method order alone.
//
//   class Factory final : public plat::UnknownObject<IClassFactory> { ... };

#include "platform/com/Interfaces.h"

#include <atomic>

namespace plat {

template <class I, class... Also>
class UnknownObject : public I {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || ((riid == IidOf<Also>()) || ...) || riid == IidOf<I>()) {
            *ppv = static_cast<I*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override
    {
        const ULONG n = --refs_;
        if (n == 0)
            delete this;
        return n;
    }

protected:
    UnknownObject() = default;
    virtual ~UnknownObject() = default;

private:
    std::atomic<ULONG> refs_{1};
};

}  // namespace plat
