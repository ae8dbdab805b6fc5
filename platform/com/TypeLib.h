#pragma once
// Type libraries: what a component tells late-bound callers about its
// interfaces and classes. Written by hand as JSON, embedded in the library
// as its "TYPELIB" resource, read back by the dispatch machinery and tools.
//
//   { "name": "Lib", "libid": "{...}", "version": "1.0", "imports": ["stdole2.tlb"],
//     "interfaces": [ { "name": "_Thing", "iid": "{...}",
//                       "flags": ["dual", "hidden", "nonextensible", "oleautomation"],
//                       "methods": [ { "name": "Go", "dispid": "0x60030000",
//                                      "params": [ { "name": "url", "type": "BSTR", "byref": true } ] } ] } ],
//     "coclasses": [ { "name": "Thing", "clsid": "{...}", "flags": ["cancreate"],
//                      "interfaces": ["_Thing"], "default": "_Thing" } ] }

#include "platform/com/Guid.h"
#include "platform/com/Types.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace plat {

enum TypeFlags : std::uint32_t {
    TYPEFLAG_FAPPOBJECT = 0x1,
    TYPEFLAG_FCANCREATE = 0x2,
    TYPEFLAG_FHIDDEN = 0x10,
    TYPEFLAG_FDUAL = 0x40,
    TYPEFLAG_FNONEXTENSIBLE = 0x80,
    TYPEFLAG_FOLEAUTOMATION = 0x100,
    TYPEFLAG_FDISPATCHABLE = 0x1000,
};

enum ParamFlags : std::uint16_t {
    PARAMFLAG_FIN = 0x1,
    PARAMFLAG_FOUT = 0x2,
    PARAMFLAG_FRETVAL = 0x8,
};

enum InvokeKind : std::uint16_t {
    INVOKE_FUNC = 1,
    INVOKE_PROPERTYGET = 2,
    INVOKE_PROPERTYPUT = 4,
    INVOKE_PROPERTYPUTREF = 8,
};

struct ParamDesc {
    QString name;
    VARTYPE vt = 0;  // without VT_BYREF
    bool byRef = false;
    std::uint16_t flags = PARAMFLAG_FIN;
};

struct FuncDesc {
    QString name;
    DISPID memid = 0;
    InvokeKind kind = INVOKE_FUNC;
    std::vector<ParamDesc> params;  // a [retval] parameter comes last
    QString doc;

    bool HasRetval() const { return !params.empty() && (params.back().flags & PARAMFLAG_FRETVAL); }
    std::size_t ArgumentCount() const { return params.size() - (HasRetval() ? 1 : 0); }
};

struct InterfaceDesc {
    QString name;
    IID iid;
    std::uint32_t flags = 0;
    std::vector<FuncDesc> funcs;  // in function-table order after IDispatch's
    QString doc;

    const FuncDesc* Find(DISPID memid, std::uint16_t kindMask = 0xFFFF) const;
    const FuncDesc* Find(const QString& name) const;  // names ignore case
};

struct CoClassDesc {
    QString name;
    CLSID clsid;
    std::uint32_t flags = 0;
    std::vector<IID> interfaces;
    IID defaultInterface;
    QString doc;
};

struct TypeLibDesc {
    QString name;
    GUID libid;
    std::uint16_t major = 1;
    std::uint16_t minor = 0;
    QString doc;
    QStringList imports;
    std::vector<InterfaceDesc> interfaces;
    std::vector<CoClassDesc> coclasses;

    const InterfaceDesc* FindInterface(const IID& iid) const;
    const InterfaceDesc* FindInterface(const QString& name) const;
    const CoClassDesc* FindCoClass(const CLSID& clsid) const;
    QString VersionText() const;  // "27.0"

    QByteArray Serialize() const;  // compact JSON
    // Checks what it reads: identifiers, types, unique names and dispatch
    // identifiers, classes naming interfaces of the library.
    static std::optional<TypeLibDesc> Deserialize(const QByteArray& bytes, QString* error = nullptr);
    // A readable listing for tools.
    QString Describe() const;
};

// "BSTR", "VARIANT_BOOL", "short", "long" ... and back.
QString VarTypeName(VARTYPE vt);
std::optional<VARTYPE> VarTypeFromName(const QString& name);

}  // namespace plat
