#include "platform/com/TypeLib.h"

#include "platform/com/Interfaces.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <map>
#include <set>
#include <unordered_map>

namespace plat {

namespace {

struct NamedType {
    VARTYPE vt;
    const char* names[3];  // the first one is written
};

const NamedType TypeNames[] = {
    {VT_BSTR, {"BSTR", "String", nullptr}},
    {VT_BOOL, {"VARIANT_BOOL", "Boolean", nullptr}},
    {VT_I2, {"short", "Integer", nullptr}},
    {VT_I4, {"long", "Long", nullptr}},
    {VT_UI1, {"unsigned char", "Byte", nullptr}},
    {VT_R4, {"float", "Single", nullptr}},
    {VT_R8, {"double", "Double", nullptr}},
    {VT_VARIANT, {"VARIANT", "Variant", nullptr}},
    {VT_DISPATCH, {"IDispatch*", "Object", nullptr}},
    {VT_UNKNOWN, {"IUnknown*", nullptr, nullptr}},
    {VT_ERROR, {"SCODE", nullptr, nullptr}},
};

struct NamedFlag {
    std::uint32_t flag;
    const char* name;
};

const NamedFlag TypeFlagNames[] = {
    {TYPEFLAG_FAPPOBJECT, "appobject"},       {TYPEFLAG_FCANCREATE, "cancreate"},
    {TYPEFLAG_FHIDDEN, "hidden"},             {TYPEFLAG_FDUAL, "dual"},
    {TYPEFLAG_FNONEXTENSIBLE, "nonextensible"}, {TYPEFLAG_FOLEAUTOMATION, "oleautomation"},
    {TYPEFLAG_FDISPATCHABLE, "dispatchable"},
};

const NamedFlag ParamFlagNames[] = {{PARAMFLAG_FIN, "in"}, {PARAMFLAG_FOUT, "out"}, {PARAMFLAG_FRETVAL, "retval"}};

const NamedFlag KindNames[] = {{INVOKE_FUNC, "method"},
                            {INVOKE_PROPERTYGET, "propget"},
                            {INVOKE_PROPERTYPUT, "propput"},
                            {INVOKE_PROPERTYPUTREF, "propputref"}};

template <size_t N>
QJsonArray FlagsToJson(std::uint32_t flags, const NamedFlag (&table)[N])
{
    QJsonArray out;
    for (const auto& f : table)
        if (flags & f.flag)
            out.append(QString::fromLatin1(f.name));
    return out;
}

struct Bad {
    QString what;
};

template <size_t N>
std::uint32_t FlagsFromJson(const QJsonValue& v, const NamedFlag (&table)[N], const QString& where)
{
    std::uint32_t flags = 0;
    for (const QJsonValue& item : v.toArray()) {
        bool found = false;
        for (const auto& f : table)
            if (item.toString() == QLatin1String(f.name)) {
                flags |= f.flag;
                found = true;
            }
        if (!found)
            throw Bad{QStringLiteral("%1: unknown flag \"%2\"").arg(where, item.toString())};
    }
    return flags;
}

GUID GuidFrom(const QJsonValue& v, const QString& where)
{
    const auto g = GUID::Parse(v.toString());
    if (!g)
        throw Bad{QStringLiteral("%1: bad identifier \"%2\"").arg(where, v.toString())};
    return *g;
}

QString NameFrom(const QJsonObject& o, const QString& where)
{
    const QString name = o.value(QLatin1String("name")).toString();
    if (name.isEmpty())
        throw Bad{where + QStringLiteral(": missing name")};
    return name;
}

DISPID DispIdFrom(const QJsonValue& v, const QString& where)
{
    if (v.isDouble()) {
        const double d = v.toDouble();
        if (!(d >= INT32_MIN && d <= UINT32_MAX) || d != std::trunc(d))
            throw Bad{QStringLiteral("%1: bad dispatch identifier %2").arg(where).arg(d)};
        return static_cast<DISPID>(static_cast<std::uint32_t>(static_cast<std::int64_t>(d)));
    }
    QString t = v.toString();
    bool ok = false;
    const qlonglong n = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? t.mid(2).toLongLong(&ok, 16)
                                                                               : t.toLongLong(&ok, 10);
    if (!ok || n < INT32_MIN || n > UINT32_MAX)
        throw Bad{QStringLiteral("%1: bad dispatch identifier \"%2\"").arg(where, t)};
    return static_cast<DISPID>(static_cast<std::uint32_t>(n));
}

// Interface names by identifier (the first interface of an identifier wins,
// as FindInterface finds it), so that listing many classes stays linear.
std::unordered_map<IID, QString> NamesByIid(const std::vector<InterfaceDesc>& interfaces)
{
    std::unordered_map<IID, QString> names;
    for (const InterfaceDesc& i : interfaces)
        names.emplace(i.iid, i.name);
    return names;
}

QString NameOf(const std::unordered_map<IID, QString>& names, const IID& iid, const QString& otherwise)
{
    const auto it = names.find(iid);
    return it != names.end() ? it->second : otherwise;
}

}  // namespace

QString VarTypeName(VARTYPE vt)
{
    for (const auto& t : TypeNames)
        if (t.vt == vt)
            return QString::fromLatin1(t.names[0]);
    return QStringLiteral("vt%1").arg(vt);
}

std::optional<VARTYPE> VarTypeFromName(const QString& name)
{
    for (const auto& t : TypeNames)
        for (const char* n : t.names)
            if (n && name == QLatin1String(n))
                return t.vt;
    return std::nullopt;
}

const FuncDesc* InterfaceDesc::Find(DISPID memid, std::uint16_t kindMask) const
{
    for (const FuncDesc& f : funcs)
        if (f.memid == memid && (f.kind & kindMask))
            return &f;
    return nullptr;
}

const FuncDesc* InterfaceDesc::Find(const QString& n) const
{
    for (const FuncDesc& f : funcs)
        if (f.name.compare(n, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

const InterfaceDesc* TypeLibDesc::FindInterface(const IID& iid) const
{
    for (const InterfaceDesc& i : interfaces)
        if (i.iid == iid)
            return &i;
    return nullptr;
}

const InterfaceDesc* TypeLibDesc::FindInterface(const QString& n) const
{
    for (const InterfaceDesc& i : interfaces)
        if (i.name.compare(n, Qt::CaseInsensitive) == 0)
            return &i;
    return nullptr;
}

const CoClassDesc* TypeLibDesc::FindCoClass(const CLSID& clsid) const
{
    for (const CoClassDesc& c : coclasses)
        if (c.clsid == clsid)
            return &c;
    return nullptr;
}

QString TypeLibDesc::VersionText() const
{
    return QStringLiteral("%1.%2").arg(major).arg(minor);
}

QByteArray TypeLibDesc::Serialize() const
{
    QJsonObject lib;
    lib[QLatin1String("name")] = name;
    lib[QLatin1String("libid")] = libid.ToString();
    lib[QLatin1String("version")] = VersionText();
    if (!doc.isEmpty())
        lib[QLatin1String("doc")] = doc;
    lib[QLatin1String("imports")] = QJsonArray::fromStringList(imports);
    QJsonArray ifaces;
    for (const InterfaceDesc& i : interfaces) {
        QJsonObject o;
        o[QLatin1String("name")] = i.name;
        o[QLatin1String("iid")] = i.iid.ToString();
        o[QLatin1String("flags")] = FlagsToJson(i.flags, TypeFlagNames);
        if (!i.doc.isEmpty())
            o[QLatin1String("doc")] = i.doc;
        QJsonArray methods;
        for (const FuncDesc& f : i.funcs) {
            QJsonObject m;
            m[QLatin1String("name")] = f.name;
            m[QLatin1String("dispid")] = QStringLiteral("0x%1").arg(static_cast<std::uint32_t>(f.memid), 8, 16,
                                                                     QLatin1Char('0'));
            m[QLatin1String("kind")] = FlagsToJson(f.kind, KindNames).first();
            if (!f.doc.isEmpty())
                m[QLatin1String("doc")] = f.doc;
            QJsonArray params;
            for (const ParamDesc& p : f.params) {
                QJsonObject po;
                po[QLatin1String("name")] = p.name;
                po[QLatin1String("type")] = VarTypeName(p.vt);
                po[QLatin1String("byref")] = p.byRef;
                po[QLatin1String("flags")] = FlagsToJson(p.flags, ParamFlagNames);
                params.append(po);
            }
            m[QLatin1String("params")] = params;
            methods.append(m);
        }
        o[QLatin1String("methods")] = methods;
        ifaces.append(o);
    }
    lib[QLatin1String("interfaces")] = ifaces;
    const auto names = NamesByIid(interfaces);
    QJsonArray classes;
    for (const CoClassDesc& c : coclasses) {
        QJsonObject o;
        o[QLatin1String("name")] = c.name;
        o[QLatin1String("clsid")] = c.clsid.ToString();
        o[QLatin1String("flags")] = FlagsToJson(c.flags, TypeFlagNames);
        if (!c.doc.isEmpty())
            o[QLatin1String("doc")] = c.doc;
        QJsonArray list;
        for (const IID& iid : c.interfaces)
            list.append(NameOf(names, iid, iid.ToString()));
        o[QLatin1String("interfaces")] = list;
        o[QLatin1String("default")] = NameOf(names, c.defaultInterface, c.defaultInterface.ToString());
        classes.append(o);
    }
    lib[QLatin1String("coclasses")] = classes;
    return QJsonDocument(lib).toJson(QJsonDocument::Compact);
}

std::optional<TypeLibDesc> TypeLibDesc::Deserialize(const QByteArray& bytes, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    try {
        if (!document.isObject())
            throw Bad{QStringLiteral("not a type library: %1").arg(parseError.errorString())};
        const QJsonObject o = document.object();
        TypeLibDesc lib;
        lib.name = NameFrom(o, QStringLiteral("library"));
        lib.libid = GuidFrom(o.value(QLatin1String("libid")), lib.name);
        const QStringList version = o.value(QLatin1String("version")).toString().split(u'.');
        bool okMajor = false, okMinor = false;
        if (version.size() != 2)
            throw Bad{lib.name + QStringLiteral(": version must read major.minor")};
        lib.major = version[0].toUShort(&okMajor);
        lib.minor = version[1].toUShort(&okMinor);
        if (!okMajor || !okMinor)
            throw Bad{lib.name + QStringLiteral(": bad version")};
        lib.doc = o.value(QLatin1String("doc")).toString();
        for (const QJsonValue& v : o.value(QLatin1String("imports")).toArray())
            lib.imports << v.toString();

        std::set<QString> typeNames;
        std::map<QString, IID> interfaceByName;  // by lower-case name
        auto claimName = [&](const QString& n) {
            if (!typeNames.insert(n.toLower()).second)
                throw Bad{QStringLiteral("%1: the name %2 is used twice").arg(lib.name, n)};
        };
        for (const QJsonValue& iv : o.value(QLatin1String("interfaces")).toArray()) {
            const QJsonObject io = iv.toObject();
            InterfaceDesc i;
            i.name = NameFrom(io, QStringLiteral("interface"));
            claimName(i.name);
            i.iid = GuidFrom(io.value(QLatin1String("iid")), i.name);
            i.flags = FlagsFromJson(io.value(QLatin1String("flags")), TypeFlagNames, i.name);
            i.doc = io.value(QLatin1String("doc")).toString();
            std::set<std::pair<DISPID, int>> ids;
            std::set<std::pair<QString, int>> declared;  // lower-case name and kind
            for (const QJsonValue& mv : io.value(QLatin1String("methods")).toArray()) {
                const QJsonObject mo = mv.toObject();
                FuncDesc f;
                f.name = NameFrom(mo, i.name);
                const QString where = i.name + u'.' + f.name;
                f.memid = DispIdFrom(mo.value(QLatin1String("dispid")), where);
                const QJsonValue kind = mo.value(QLatin1String("kind"));
                f.kind = kind.isUndefined()
                             ? INVOKE_FUNC
                             : static_cast<InvokeKind>(FlagsFromJson(QJsonArray{kind}, KindNames, where));
                f.doc = mo.value(QLatin1String("doc")).toString();
                if (!ids.insert({f.memid, f.kind}).second)
                    throw Bad{where + QStringLiteral(": dispatch identifier used twice")};
                if (!declared.insert({f.name.toLower(), f.kind}).second)
                    throw Bad{where + QStringLiteral(": declared twice")};
                for (const QJsonValue& pv : mo.value(QLatin1String("params")).toArray()) {
                    const QJsonObject po = pv.toObject();
                    ParamDesc p;
                    p.name = NameFrom(po, where);
                    const auto vt = VarTypeFromName(po.value(QLatin1String("type")).toString());
                    if (!vt)
                        throw Bad{QStringLiteral("%1(%2): unknown type \"%3\"")
                                      .arg(where, p.name, po.value(QLatin1String("type")).toString())};
                    p.vt = *vt;
                    p.byRef = po.value(QLatin1String("byref")).toBool();
                    if (po.contains(QLatin1String("flags")))
                        p.flags = static_cast<std::uint16_t>(
                            FlagsFromJson(po.value(QLatin1String("flags")), ParamFlagNames, where));
                    if ((p.flags & PARAMFLAG_FRETVAL) && !p.byRef)
                        throw Bad{where + QStringLiteral(": a retval parameter is passed by reference")};
                    f.params.push_back(p);
                }
                for (std::size_t k = 0; k + 1 < f.params.size(); ++k)
                    if (f.params[k].flags & PARAMFLAG_FRETVAL)
                        throw Bad{where + QStringLiteral(": only the last parameter can be retval")};
                i.funcs.push_back(f);
            }
            interfaceByName.emplace(i.name.toLower(), i.iid);
            lib.interfaces.push_back(i);
        }
        auto interfaceNamed = [&](const QJsonValue& v, const QString& where) {
            const auto it = interfaceByName.find(v.toString().toLower());
            if (it == interfaceByName.end())
                throw Bad{QStringLiteral("%1: no interface \"%2\" in the library").arg(where, v.toString())};
            return it->second;
        };
        for (const QJsonValue& cv : o.value(QLatin1String("coclasses")).toArray()) {
            const QJsonObject co = cv.toObject();
            CoClassDesc c;
            c.name = NameFrom(co, QStringLiteral("coclass"));
            claimName(c.name);
            c.clsid = GuidFrom(co.value(QLatin1String("clsid")), c.name);
            c.flags = FlagsFromJson(co.value(QLatin1String("flags")), TypeFlagNames, c.name);
            c.doc = co.value(QLatin1String("doc")).toString();
            for (const QJsonValue& v : co.value(QLatin1String("interfaces")).toArray())
                c.interfaces.push_back(interfaceNamed(v, c.name));
            c.defaultInterface = interfaceNamed(co.value(QLatin1String("default")), c.name);
            lib.coclasses.push_back(c);
        }
        return lib;
    } catch (const Bad& bad) {
        if (error)
            *error = bad.what;
        return std::nullopt;
    }
}

QString TypeLibDesc::Describe() const
{
    auto flagText = [](std::uint32_t flags) {
        QStringList names;
        for (const auto& f : TypeFlagNames)
            if (flags & f.flag)
                names << QString::fromLatin1(f.name);
        return names.join(QLatin1String(", "));
    };
    QString out;
    out += QStringLiteral("library %1 %2 version %3\n").arg(name, libid.ToString(), VersionText());
    if (!imports.isEmpty())
        out += QStringLiteral("  imports %1\n").arg(imports.join(QLatin1String(", ")));
    for (const InterfaceDesc& i : interfaces) {
        out += QStringLiteral("  interface %1 %2 [%3]\n").arg(i.name, i.iid.ToString(), flagText(i.flags));
        for (const FuncDesc& f : i.funcs) {
            QStringList params;
            for (const ParamDesc& p : f.params) {
                QString flags;
                for (const auto& pf : ParamFlagNames)
                    if (p.flags & pf.flag)
                        flags += (flags.isEmpty() ? QString() : QStringLiteral(", ")) + QLatin1String(pf.name);
                params << QStringLiteral("[%1] %2%3 %4").arg(flags, VarTypeName(p.vt), QString(p.byRef ? "*" : ""), p.name);
            }
            out += QStringLiteral("    %1 0x%2 %3(%4)\n")
                       .arg(FlagsToJson(f.kind, KindNames).first().toString())
                       .arg(static_cast<std::uint32_t>(f.memid), 8, 16, QLatin1Char('0'))
                       .arg(f.name, params.join(QLatin1String(", ")));
        }
    }
    const auto names = NamesByIid(interfaces);
    for (const CoClassDesc& c : coclasses)
        out += QStringLiteral("  coclass %1 %2 [%3] default %4\n")
                   .arg(c.name, c.clsid.ToString(), flagText(c.flags), NameOf(names, c.defaultInterface, QString()));
    return out;
}

}  // namespace plat
