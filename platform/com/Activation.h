#pragma once
// Creating objects by class identifier or ProgID. The class's registration
// (HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32) names its library, which is
// loaded once and asked for the class factory through DllGetClassObject.
// CoFreeUnusedLibraries unloads every library whose DllCanUnloadNow agrees.

#include "platform/com/ComPtr.h"

#include <QString>
#include <QStringList>

namespace plat {

enum CLSCTX : DWORD { CLSCTX_INPROC_SERVER = 0x1, CLSCTX_ALL = 0x17 };

HRESULT CoGetClassObject(REFCLSID clsid, DWORD clsContext, void* reserved, REFIID riid, void** ppv);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD clsContext, REFIID riid, void** ppv);

template <class T>
HRESULT CoCreateInstance(REFCLSID clsid, ComPtr<T>* out)
{
    if (!out)
        return E_POINTER;
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IidOf<T>(), out->ReleaseAndGetVoidAddress());
}

// HKEY_CLASSES_ROOT\<ProgID>\CLSID; CO_E_CLASSSTRING when there is none.
HRESULT CLSIDFromProgID(const QString& progId, CLSID* clsid);
HRESULT ProgIDFromCLSID(REFCLSID clsid, QString* progId);
// "{...}" or a ProgID.
HRESULT CLSIDFromString(const QString& text, CLSID* clsid);

void CoFreeUnusedLibraries();
// Paths of the component libraries loaded now.
QStringList CoLoadedLibraries();

// The entry points of an in-process server.
using DllGetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();

}  // namespace plat
