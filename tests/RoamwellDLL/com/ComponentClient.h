#pragma once
// What the component's class tests do as a client: pages to open, and the
// calls that take their arguments by reference as an early-bound client
// passes them.

#include "RoamwellDLL/RoamwellDLL_i.h"
#include "platform/com/BStr.h"

#include <QFile>
#include <QString>

namespace componentclient {

// A page titled `title`, written as `name` into `folder`; its path.
inline QString Page(const QString& folder, const char* name, const char* title)
{
    const QString path = folder + QLatin1Char('/') + QLatin1String(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(QStringLiteral("<html><head><title>%1</title></head><body>%1</body></html>").arg(QLatin1String(title)).toUtf8());
    return path;
}

inline plat::HRESULT Start(_clsRoamwell* object, const QString& address, bool modal = false)
{
    plat::BSTR url = plat::SysAllocQString(address);
    plat::VARIANT_BOOL flag = modal ? plat::VARIANT_TRUE : plat::VARIANT_FALSE;
    const plat::HRESULT hr = object->Start(&url, &flag);
    plat::SysFreeString(url);
    return hr;
}

inline plat::HRESULT Surf(_clsRoamwell* object, const QString& address)
{
    plat::BSTR url = plat::SysAllocQString(address);
    const plat::HRESULT hr = object->Surf(&url);
    plat::SysFreeString(url);
    return hr;
}

}  // namespace componentclient
