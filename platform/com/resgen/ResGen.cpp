// Build steps of a component.
//
// Its resources: turns a resource script into a C++ source that places the
// resource directory in the library's "plat_resources" section.
//
//   # comment
//   typelib  RoamwellDLL.tlb.json              TYPELIB 1, checked and made canonical
//   version  file 1.0.0.0 product 1.0.0.0      VERSION 1
//   string   OLESelfRegister ""                a text of the version resource
//   resource _IID_THING 1 u32 16 iid _Thing    a custom resource built from items:
//            u8 / u16 / u32 <number>, guid <{...}>, iid <interface of the typelib above>,
//            hex <AABB..>, text <"...">, file <path>
//
// Its C++ face: from the type library, the interface header for clients and
// the dispatch tables for the component (see InterfaceGen.h).
//
// Usage: plat_resgen <script> <output.cpp> [<depfile>]
//        plat_resgen --interface <typelib.json> <interface.h> <dispatch.h>

#include "platform/com/Guid.h"
#include "platform/com/Resources.h"
#include "platform/com/TypeLib.h"
#include "platform/com/resgen/InterfaceGen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

struct Failure {
    QString what;
};

QStringList Tokens(const QString& line, int number)
{
    QStringList out;
    qsizetype i = 0;
    while (i < line.size()) {
        if (line[i].isSpace()) {
            ++i;
            continue;
        }
        if (line[i] == u'#')
            break;
        QString token;
        if (line[i] == u'"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                QChar c = line[i++];
                if (c == u'"') {
                    closed = true;
                    break;
                }
                if (c == u'\\' && i < line.size())
                    c = line[i++];
                token += c;
            }
            if (!closed)
                throw Failure{QStringLiteral("line %1: unterminated quote").arg(number)};
        } else {
            while (i < line.size() && !line[i].isSpace())
                token += line[i++];
        }
        out << token;
    }
    return out;
}

QByteArray ReadFile(const QString& path, QStringList& deps)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Failure{QStringLiteral("%1: %2").arg(path, f.errorString())};
    deps << QFileInfo(path).absoluteFilePath();
    return f.readAll();
}

plat::TypeLibDesc ReadTypeLib(const QString& path, QStringList& deps)
{
    QString error;
    auto lib = plat::TypeLibDesc::Deserialize(ReadFile(path, deps), &error);
    if (!lib)
        throw Failure{QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), error)};
    return std::move(*lib);
}

quint64 Number(const QString& text, quint64 max, int line)
{
    bool ok = false;
    const quint64 n = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toULongLong(&ok, 16)
                                                                                : text.toULongLong(&ok, 10);
    if (!ok || n > max)
        throw Failure{QStringLiteral("line %1: bad number \"%2\"").arg(line).arg(text)};
    return n;
}

QByteArray Items(const QStringList& t, qsizetype from, const QDir& base, const plat::TypeLibDesc* lib,
                 QStringList& deps, int line)
{
    QByteArray out;
    for (qsizetype i = from; i < t.size(); i += 2) {
        if (i + 1 >= t.size())
            throw Failure{QStringLiteral("line %1: item \"%2\" has no value").arg(line).arg(t[i])};
        const QString& kind = t[i];
        const QString& value = t[i + 1];
        auto little = [&](quint64 n, int bytes) {
            for (int b = 0; b < bytes; ++b)
                out += static_cast<char>((n >> (8 * b)) & 0xff);
        };
        if (kind == QLatin1String("u8"))
            little(Number(value, 0xff, line), 1);
        else if (kind == QLatin1String("u16"))
            little(Number(value, 0xffff, line), 2);
        else if (kind == QLatin1String("u32"))
            little(Number(value, 0xffffffffu, line), 4);
        else if (kind == QLatin1String("guid")) {
            const auto g = plat::GUID::Parse(value);
            if (!g)
                throw Failure{QStringLiteral("line %1: bad identifier \"%2\"").arg(line).arg(value)};
            out += g->ToBytes();
        } else if (kind == QLatin1String("iid")) {
            const plat::InterfaceDesc* iface = lib ? lib->FindInterface(value) : nullptr;
            if (!iface)
                throw Failure{QStringLiteral("line %1: no interface \"%2\" in a typelib above").arg(line).arg(value)};
            out += iface->iid.ToBytes();
        } else if (kind == QLatin1String("hex")) {
            const QByteArray bytes = QByteArray::fromHex(value.toLatin1());
            if (bytes.size() * 2 != value.size())
                throw Failure{QStringLiteral("line %1: bad hex \"%2\"").arg(line).arg(value)};
            out += bytes;
        } else if (kind == QLatin1String("text"))
            out += value.toUtf8();
        else if (kind == QLatin1String("file"))
            out += ReadFile(base.absoluteFilePath(value), deps);
        else
            throw Failure{QStringLiteral("line %1: unknown item \"%2\"").arg(line).arg(kind)};
    }
    return out;
}

plat::ResourceDirectory Compile(const QString& scriptPath, QStringList& deps)
{
    const QByteArray script = ReadFile(scriptPath, deps);
    const QDir base = QFileInfo(scriptPath).absoluteDir();
    plat::ResourceDirectory dir;
    plat::VersionInfo version;
    bool hasVersion = false;
    std::optional<plat::TypeLibDesc> typeLib;
    int number = 0;
    for (const QByteArray& raw : script.split('\n')) {
        ++number;
        const QStringList t = Tokens(QString::fromUtf8(raw), number);
        if (t.isEmpty())
            continue;
        const QString& what = t[0];
        if (what == QLatin1String("typelib") && t.size() == 2) {
            if (typeLib)
                throw Failure{QStringLiteral("line %1: a second typelib").arg(number)};
            typeLib = ReadTypeLib(base.absoluteFilePath(t[1]), deps);
            dir.entries.push_back({QString::fromLatin1(plat::RT_TYPELIB), 1, typeLib->Serialize()});
        } else if (what == QLatin1String("version") && t.size() == 5 && t[1] == QLatin1String("file") &&
                   t[3] == QLatin1String("product")) {
            if (!plat::VersionInfo::ParseVersion(t[2], version.fileVersion) ||
                !plat::VersionInfo::ParseVersion(t[4], version.productVersion))
                throw Failure{QStringLiteral("line %1: bad version").arg(number)};
            hasVersion = true;
        } else if (what == QLatin1String("string") && t.size() == 3) {
            version.strings.emplace_back(t[1], t[2]);
            hasVersion = true;
        } else if (what == QLatin1String("resource") && t.size() >= 3) {
            const auto id = static_cast<std::uint32_t>(Number(t[2], 0xffffffffu, number));
            if (dir.Find(t[1], id))
                throw Failure{QStringLiteral("line %1: %2 %3 is declared twice").arg(number).arg(t[1]).arg(id)};
            dir.entries.push_back({t[1], id, Items(t, 3, base, typeLib ? &*typeLib : nullptr, deps, number)});
        } else {
            throw Failure{QStringLiteral("line %1: cannot read \"%2\"").arg(number).arg(QString::fromUtf8(raw).trimmed())};
        }
    }
    if (hasVersion)
        dir.entries.push_back({QString::fromLatin1(plat::RT_VERSION), 1, version.Serialize()});
    return dir;
}

void WriteIfChanged(const QString& path, const QByteArray& text)
{
    QFile old(path);
    if (old.open(QIODevice::ReadOnly) && old.readAll() == text)
        return;
    old.close();
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(text) != text.size())
        throw Failure{QStringLiteral("%1: %2").arg(path, out.errorString())};
}

// The resource directory as a C++ source for the library's section.
QByteArray ResourceSource(const QString& script, const plat::ResourceDirectory& dir)
{
    const QByteArray blob = dir.Serialize();
    QByteArray cpp = "// Generated by plat_resgen from " + QFileInfo(script).fileName().toUtf8() +
                     "; do not edit.\n"
                     "__attribute__((section(\"" + QByteArray(plat::ResourceSection) + "\"), used, aligned(4)))\n"
                     "static const unsigned char plat_resource_directory[] = {";
    for (qsizetype i = 0; i < blob.size(); ++i) {
        cpp += (i % 16 == 0) ? "\n   " : "";
        cpp += " 0x" + QByteArray::number(static_cast<unsigned char>(blob[i]), 16).rightJustified(2, '0') + ',';
    }
    cpp += "\n};\n";
    return cpp;
}

void WriteInterface(const QString& typeLibPath, const QString& interfaceHeader, const QString& dispatchHeader)
{
    QStringList deps;
    const plat::TypeLibDesc lib = ReadTypeLib(typeLibPath, deps);
    const QString source = QFileInfo(typeLibPath).fileName();
    QByteArray interfaceText, dispatchText;
    try {
        interfaceText = resgen::InterfaceHeader(lib, source);
        dispatchText = resgen::DispatchHeader(lib, source, QFileInfo(interfaceHeader).fileName());
    } catch (const resgen::InterfaceGenError& e) {
        throw Failure{e.what};
    }
    WriteIfChanged(interfaceHeader, interfaceText);
    WriteIfChanged(dispatchHeader, dispatchText);
}

}  // namespace

int main(int argc, char** argv)
{
    const bool interface = argc > 1 && std::strcmp(argv[1], "--interface") == 0;
    if (interface ? argc != 5 : (argc < 3 || argc > 4)) {
        std::fprintf(stderr, "usage: plat_resgen <script> <output.cpp> [<depfile>]\n"
                             "       plat_resgen --interface <typelib.json> <interface.h> <dispatch.h>\n");
        return 2;
    }
    const char* input = argv[interface ? 2 : 1];
    try {
        if (interface) {
            WriteInterface(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                           QString::fromLocal8Bit(argv[4]));
            return 0;
        }
        const QString script = QString::fromLocal8Bit(argv[1]);
        const QString output = QString::fromLocal8Bit(argv[2]);
        QStringList deps;
        WriteIfChanged(output, ResourceSource(script, Compile(script, deps)));
        if (argc == 4) {
            QByteArray dep = QFile::encodeName(QFileInfo(output).absoluteFilePath()) + ":";
            for (const QString& d : deps)
                dep += " " + QFile::encodeName(d).replace(" ", "\\ ");
            WriteIfChanged(QString::fromLocal8Bit(argv[3]), dep + "\n");
        }
    } catch (const Failure& f) {
        std::fprintf(stderr, "%s: %s\n", input, qPrintable(f.what));
        return 1;
    }
    return 0;
}
