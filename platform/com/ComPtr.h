#pragma once
// Holds one reference to an interface and releases it when it goes.

#include "platform/com/Interfaces.h"

#include <utility>

namespace plat {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    ComPtr(T* p) : p_(p)  // takes a reference of its own
    {
        if (p_)
            p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Takes over a reference the caller already owns.
    static ComPtr Attach(T* owned)
    {
        ComPtr c;
        c.p_ = owned;
        return c;
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // For out parameters: releases what is held first.
    T** ReleaseAndGetAddressOf()
    {
        Reset();
        return &p_;
    }
    void** ReleaseAndGetVoidAddress() { return reinterpret_cast<void**>(ReleaseAndGetAddressOf()); }

    T* Detach() { return std::exchange(p_, nullptr); }
    ULONG Reset()
    {
        T* p = std::exchange(p_, nullptr);
        return p ? p->Release() : 0;
    }

    // Asks the object for another of its interfaces.
    template <class U>
    HRESULT As(ComPtr<U>* other) const
    {
        if (!other)
            return E_POINTER;
        if (!p_)
            return E_POINTER;
        return p_->QueryInterface(IidOf<U>(), other->ReleaseAndGetVoidAddress());
    }

    // Copies the reference into an out parameter (with AddRef).
    HRESULT CopyTo(T** out) const
    {
        if (!out)
            return E_POINTER;
        *out = p_;
        if (p_)
            p_->AddRef();
        return S_OK;
    }

private:
    T* p_ = nullptr;
};

}  // namespace plat
