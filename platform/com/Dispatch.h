#pragma once
// Late binding through a type library: names to dispatch identifiers, and
// Invoke, which checks and converts the arguments to the declared types,
// calls the member through the interface's function table (so the late-bound
// call runs exactly the early-bound method), writes by-reference arguments
// back and turns a failed method into DISP_E_EXCEPTION with an EXCEPINFO.

#include "platform/com/ComPtr.h"
#include "platform/com/Interfaces.h"
#include "platform/com/TypeLib.h"
#include "platform/com/Variant.h"

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <type_traits>
#include <vector>

namespace plat {

// How a C++ parameter takes its argument: a pointer to a variable of `size`
// bytes (by reference), or a value of `size` bytes.
struct ArgShape {
    bool pointer = false;
    std::size_t size = 0;
};

// One member of an interface bound to its C++ method. `cells` holds one
// variant per declared parameter, already of the declared type, by-reference
// parameters as VT_BYREF variants.
struct BoundMember {
    std::vector<ArgShape> shape;
    std::function<HRESULT(void* self, VARIANT* cells)> call;
};

namespace detail {

template <class A>
ArgShape ShapeOf()
{
    if constexpr (std::is_pointer_v<A>)
        return ArgShape{true, sizeof(std::remove_pointer_t<A>)};
    else
        return ArgShape{false, sizeof(A)};
}

template <class A>
A ArgFrom(VARIANT& slot)
{
    if constexpr (std::is_pointer_v<A>) {
        return static_cast<A>(slot.byref);
    } else {
        static_assert(std::is_trivially_copyable_v<A> && sizeof(A) <= sizeof(slot.llVal));
        A a;
        std::memcpy(&a, &slot.llVal, sizeof(A));  // every union member starts at the same address
        return a;
    }
}

template <class I, class... A, std::size_t... N>
HRESULT CallWith(I* self, HRESULT (I::*method)(A...), VARIANT* cells, std::index_sequence<N...>)
{
    return (self->*method)(ArgFrom<A>(cells[N])...);
}

}  // namespace detail

// The members of interface I that Invoke may call, by dispatch identifier
// and kind.
template <class I>
class DispatchTable {
public:
    template <class... A>
    DispatchTable& Method(DISPID id, HRESULT (I::*method)(A...))
    {
        return Bind(id, INVOKE_FUNC, method);
    }
    template <class... A>
    DispatchTable& PropertyGet(DISPID id, HRESULT (I::*method)(A...))
    {
        return Bind(id, INVOKE_PROPERTYGET, method);
    }
    template <class... A>
    DispatchTable& PropertyPut(DISPID id, HRESULT (I::*method)(A...))
    {
        return Bind(id, INVOKE_PROPERTYPUT, method);
    }

    const BoundMember* Find(DISPID id, InvokeKind kind) const
    {
        auto it = members_.find({id, kind});
        return it == members_.end() ? nullptr : &it->second;
    }

private:
    template <class... A>
    DispatchTable& Bind(DISPID id, InvokeKind kind, HRESULT (I::*method)(A...))
    {
        BoundMember m;
        m.shape = {detail::ShapeOf<A>()...};
        m.call = [method](void* self, VARIANT* cells) {
            return detail::CallWith(static_cast<I*>(self), method, cells, std::index_sequence_for<A...>{});
        };
        members_[{id, kind}] = std::move(m);
        return *this;
    }

    std::map<std::pair<DISPID, int>, BoundMember> members_;
};

using MemberLookup = std::function<const BoundMember*(DISPID, InvokeKind)>;

// The engine behind IDispatch::GetIDsOfNames: member names and then its
// parameter names, without regard to case.
HRESULT DispatchGetIDsOfNames(const InterfaceDesc* iface, REFIID riid, LPOLESTR* names, UINT count, DISPID* ids);

// The engine behind IDispatch::Invoke. `source` names the object in
// EXCEPINFO when the method left no description of its own.
HRESULT DispatchInvoke(const InterfaceDesc* iface, const MemberLookup& lookup, void* self, DISPID member, REFIID riid,
                       WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr,
                       const QString& source);

// A type info object for one interface of a type library.
HRESULT CreateTypeInfo(std::shared_ptr<const TypeLibDesc> lib, REFIID iid, ITypeInfo** out);

// Late-bound call from a client: looks the name up and invokes it with the
// arguments in declaration order. By-reference arguments (Variant::RefI2 ...)
// are written back to the caller's variables.
HRESULT CallByName(IDispatch* object, const QString& name, std::vector<Variant> args, Variant* result = nullptr,
                   EXCEPINFO* excepInfo = nullptr, WORD flags = DISPATCH_METHOD);

}  // namespace plat
