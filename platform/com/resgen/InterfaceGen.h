#pragma once
// The C++ face of a type library, written at build time so that the type
// library file stays the only place where a component's identifiers,
// methods and dispatch identifiers are written down.
//
// The interface header declares, for clients and the component alike:
//   LIBID_<library>, CLSID_<class> for each class, and for each interface
//   `struct <interface> : plat::IDispatch` with its identifier `Iid` and its
//   methods in function-table order (get_/put_/putref_ before properties).
// The dispatch header, for the component only, binds each dispatch
// identifier to its method, DispatchTableOf<<interface>>(), and describes
// the project and its creatable classes for the component's InprocServer,
// ServerDescriptionOf<<C++ class of each class>...>().

#include "platform/com/TypeLib.h"

#include <QByteArray>
#include <QString>

namespace resgen {

// Both throw InterfaceGenError when the library cannot be written as C++
// (a name that is no identifier, an interface that is not dual).
struct InterfaceGenError {
    QString what;
};

QByteArray InterfaceHeader(const plat::TypeLibDesc& lib, const QString& sourceName);
QByteArray DispatchHeader(const plat::TypeLibDesc& lib, const QString& sourceName, const QString& interfaceHeader);

}  // namespace resgen
