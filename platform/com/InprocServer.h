#pragma once
// The machinery of an in-process server: a component describes its project
// and classes, and this registers them, hands out class factories, counts
// live objects and answers whether the library may be unloaded. The type
// library comes from the component's own embedded "TYPELIB" resource.
//
//   plat::InprocServer& Server()
//   {
//       static plat::InprocServer server(plat::ServerDescription{"Project", {
//           {"clsThing", CLSID_clsThing, IID__clsThing, &plat::CreateComObject<clsThing>}}},
//           PLAT_THIS_MODULE);
//       return server;
//   }
//   PLAT_INPROC_SERVER_ENTRY_POINTS(Server())

#include "platform/com/Interfaces.h"
#include "platform/com/TypeLib.h"

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace plat {

enum class Instancing { MultiUse, SingleUse };

struct ClassDescription {
    QString name;  // "clsThing"; the ProgID is "<Project>.<name>"
    CLSID clsid;
    IID defaultInterface;
    std::function<HRESULT(REFIID, void**)> create;
    Instancing instancing = Instancing::MultiUse;
    QString threadingModel = QStringLiteral("Apartment");
    QString description;  // registry text of the class; the ProgID when empty
};

struct ServerDescription {
    QString projectName;
    std::vector<ClassDescription> classes;
};

class InprocServer {
public:
    // moduleAddress: any address inside the component (PLAT_THIS_MODULE).
    InprocServer(ServerDescription description, const void* moduleAddress);

    HRESULT RegisterServer();    // DllRegisterServer
    HRESULT UnregisterServer();  // DllUnregisterServer
    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);  // DllGetClassObject
    HRESULT CanUnloadNow() const;  // DllCanUnloadNow

    // Live objects, class factories and server locks keep the library loaded.
    void Lock() { ++locks_; }
    void Unlock() { --locks_; }
    long LockCount() const { return locks_; }

    const ServerDescription& Description() const { return description_; }
    QString ProgId(const ClassDescription& c) const { return description_.projectName + u'.' + c.name; }
    QString LibraryPath() const;
    // Null when the library carries no valid type library (reported on stderr once).
    std::shared_ptr<const TypeLibDesc> TypeLib();

private:
    ServerDescription description_;
    const void* module_;
    std::atomic<long> locks_{0};
    std::once_flag typeLibOnce_;
    std::shared_ptr<const TypeLibDesc> typeLib_;
};

// Makes a T (whose constructor leaves one reference) and asks it for riid.
template <class T>
HRESULT CreateComObject(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    T* object = new (std::nothrow) T();
    if (!object)
        return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

// Registry text of a type library version key: major and minor in hex.
QString TypeLibVersionKey(const TypeLibDesc& lib);

}  // namespace plat

// An address inside the module that expands it.
#define PLAT_THIS_MODULE                                 \
    ([]() -> const void* {                               \
        static const char plat_module_marker = 0;        \
        return &plat_module_marker;                      \
    }())

// The four exported entry points, forwarding to an InprocServer.
#define PLAT_INPROC_SERVER_ENTRY_POINTS(server)                                                              \
    extern "C" __attribute__((visibility("default"))) plat::HRESULT DllRegisterServer()                      \
    {                                                                                                        \
        return (server).RegisterServer();                                                                    \
    }                                                                                                        \
    extern "C" __attribute__((visibility("default"))) plat::HRESULT DllUnregisterServer()                    \
    {                                                                                                        \
        return (server).UnregisterServer();                                                                  \
    }                                                                                                        \
    extern "C" __attribute__((visibility("default"))) plat::HRESULT DllGetClassObject(                       \
        plat::REFCLSID rclsid, plat::REFIID riid, void** ppv)                                                \
    {                                                                                                        \
        return (server).GetClassObject(rclsid, riid, ppv);                                                   \
    }                                                                                                        \
    extern "C" __attribute__((visibility("default"))) plat::HRESULT DllCanUnloadNow()                        \
    {                                                                                                        \
        return (server).CanUnloadNow();                                                                      \
    }
