#include "platform/com/Activation.h"

#include "platform/com/Apartment.h"
#include "platform/com/ElfFile.h"
#include "platform/com/ErrorInfo.h"
#include "platform/registry/Registry.h"

#include <QDir>

#include <dlfcn.h>

#include <cstdio>
#include <map>
#include <mutex>

namespace plat {

namespace {

struct Library {
    void* handle = nullptr;
    DllGetClassObjectFn getClassObject = nullptr;
    DllCanUnloadNowFn canUnloadNow = nullptr;
};

std::mutex libraryMutex;
std::map<QString, Library> libraries;  // by absolute path

// Says on standard error and in the thread's error information why a
// library was not loaded.
HRESULT Refuse(HRESULT hr, const QString& path, const QString& why)
{
    const QString text = QStringLiteral("%1: %2").arg(path, why);
    std::fprintf(stderr, "COM: cannot load %s\n", qPrintable(text));
    SetErrorInfo(path, text);
    return hr;
}

HRESULT LoadLibrary(const QString& path, Library* out)
{
    std::lock_guard lock(libraryMutex);
    if (auto it = libraries.find(path); it != libraries.end()) {
        *out = it->second;
        return S_OK;
    }
    if (!QFile::exists(path))
        return Refuse(CO_E_DLLNOTFOUND, path, QStringLiteral("no such file"));
    // A damaged file would bring the loader down with the process.
    if (QString why; !CheckElfLibrary(path, &why))
        return Refuse(CO_E_ERRORINDLL, path, why);
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return Refuse(CO_E_DLLNOTFOUND, path, QString::fromLocal8Bit(dlerror()));
    Library lib;
    lib.handle = handle;
    lib.getClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
    lib.canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
    if (!lib.getClassObject) {
        dlclose(handle);
        return Refuse(CO_E_ERRORINDLL, path, QStringLiteral("it has no entry point DllGetClassObject"));
    }
    libraries[path] = lib;
    *out = lib;
    return S_OK;
}

}  // namespace

HRESULT CoGetClassObject(REFCLSID clsid, DWORD clsContext, void*, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    ClearErrorInfo();
    if (!IsComInitialized())
        return CO_E_NOTINITIALIZED;
    if (!(clsContext & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    const auto registered =
        RegGetStringValue(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\%1\\InprocServer32").arg(clsid.ToString()), {});
    if (!registered || registered->isEmpty()) {
        // A damaged hive reads as empty: name it rather than only "not registered".
        if (const QString problem = RegHiveProblem(HKEY_CLASSES_ROOT); !problem.isEmpty())
            SetErrorInfo(QStringLiteral("registry"), problem);
        return REGDB_E_CLASSNOTREG;
    }
    // A relative name would load whatever library of that name the current
    // folder or the loader's search path holds, and run its constructors.
    if (QDir::isRelativePath(*registered))
        return Refuse(CO_E_BAD_PATH, *registered,
                      QStringLiteral("the library of class %1 is registered by a relative path; only an absolute "
                                     "path is loaded")
                          .arg(clsid.ToString()));
    Library lib;
    if (const HRESULT hr = LoadLibrary(QDir::cleanPath(*registered), &lib); FAILED(hr))
        return hr;
    return lib.getClassObject(clsid, riid, ppv);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD clsContext, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    ComPtr<IClassFactory> factory;
    if (const HRESULT hr = CoGetClassObject(clsid, clsContext, nullptr, IID_IClassFactory,
                                            factory.ReleaseAndGetVoidAddress());
        FAILED(hr))
        return hr;
    return factory->CreateInstance(outer, riid, ppv);
}

HRESULT CLSIDFromProgID(const QString& progId, CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = GUID_NULL;
    if (progId.isEmpty() || progId.contains(u'\\'))
        return CO_E_CLASSSTRING;
    const auto text = RegGetStringValue(HKEY_CLASSES_ROOT, progId + QStringLiteral("\\CLSID"), {});
    const auto parsed = text ? GUID::Parse(*text) : std::nullopt;
    if (!parsed)
        return CO_E_CLASSSTRING;
    *clsid = *parsed;
    return S_OK;
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, QString* progId)
{
    if (!progId)
        return E_POINTER;
    const auto text = RegGetStringValue(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\%1\\ProgID").arg(clsid.ToString()), {});
    if (!text)
        return REGDB_E_CLASSNOTREG;
    *progId = *text;
    return S_OK;
}

HRESULT CLSIDFromString(const QString& text, CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    if (const QString trimmed = text.trimmed(); trimmed.startsWith(u'{')) {
        const auto parsed = GUID::Parse(trimmed);
        if (!parsed)
            return CO_E_CLASSSTRING;
        *clsid = *parsed;
        return S_OK;
    }
    return CLSIDFromProgID(text, clsid);
}

void CoFreeUnusedLibraries()
{
    std::lock_guard lock(libraryMutex);
    for (auto it = libraries.begin(); it != libraries.end();) {
        const Library& lib = it->second;
        if (lib.canUnloadNow && lib.canUnloadNow() == S_OK) {
            dlclose(lib.handle);
            it = libraries.erase(it);
        } else {
            ++it;
        }
    }
}

QStringList CoLoadedLibraries()
{
    std::lock_guard lock(libraryMutex);
    QStringList out;
    for (const auto& entry : libraries)
        out << entry.first;
    return out;
}

}  // namespace plat
