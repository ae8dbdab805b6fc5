#include "platform/com/Resources.h"

#include "platform/com/ElfFile.h"

#include <QFile>

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <cstring>

namespace plat {

namespace {

constexpr char Magic[8] = {'P', 'L', 'A', 'T', 'R', 'E', 'S', '1'};
constexpr std::uint32_t VersionSignature = 0xFEEF04BD;

class Writer {
public:
    void U16(std::uint32_t v) { Bytes(reinterpret_cast<const char*>(&v), 2); }
    void U32(std::uint32_t v) { Bytes(reinterpret_cast<const char*>(&v), 4); }  // little-endian hosts only
    void Bytes(const char* p, qsizetype n) { out.append(p, n); }
    void Text16(const QString& s)
    {
        const QByteArray b = s.toUtf8();
        U16(static_cast<std::uint32_t>(b.size()));
        out += b;
    }
    QByteArray out;
};

class Reader {
public:
    explicit Reader(const QByteArray& b, qsizetype from = 0, qsizetype to = -1)
        : b_(b), pos_(from), end_(to < 0 ? b.size() : to) {}
    bool Ok() const { return ok_; }
    qsizetype Pos() const { return pos_; }
    void Seek(qsizetype p) { pos_ = p; }
    std::uint32_t U16() { return static_cast<std::uint32_t>(Take(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Take(4)); }
    QByteArray Bytes(qsizetype n)
    {
        if (!ok_ || n < 0 || pos_ + n > end_) {
            ok_ = false;
            return {};
        }
        QByteArray r = b_.mid(pos_, n);
        pos_ += n;
        return r;
    }
    QString Text16() { return QString::fromUtf8(Bytes(U16())); }

private:
    std::uint64_t Take(int n)
    {
        const QByteArray b = Bytes(n);
        std::uint64_t v = 0;
        for (int i = n - 1; ok_ && i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(b[i]);
        return v;
    }
    const QByteArray& b_;
    qsizetype pos_;
    qsizetype end_;
    bool ok_ = true;
};

}  // namespace

const Resource* ResourceDirectory::Find(const QString& type, std::uint32_t id) const
{
    for (const Resource& r : entries)
        if (r.id == id && r.type.compare(type, Qt::CaseInsensitive) == 0)
            return &r;
    return nullptr;
}

QByteArray ResourceDirectory::Serialize() const
{
    Writer w;
    w.Bytes(Magic, 8);
    w.U32(0);  // total size, filled in below
    w.U32(static_cast<std::uint32_t>(entries.size()));
    for (const Resource& r : entries) {
        w.Text16(r.type);
        w.U32(r.id);
        w.U32(static_cast<std::uint32_t>(r.data.size()));
        w.out += r.data;
        while (w.out.size() % 4)
            w.out += '\0';
    }
    const auto total = static_cast<std::uint32_t>(w.out.size());
    std::memcpy(w.out.data() + 8, &total, 4);
    return w.out;
}

std::optional<ResourceDirectory> ResourceDirectory::Parse(const QByteArray& section, QString* error)
{
    ResourceDirectory dir;
    qsizetype at = 0;
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    while (at < section.size()) {
        if (section[at] == '\0') {  // padding between joined directories
            ++at;
            continue;
        }
        if (section.size() - at < 16 || std::memcmp(section.constData() + at, Magic, 8) != 0)
            return fail(QStringLiteral("resource section has no directory at offset %1").arg(at));
        Reader head(section, at + 8);
        const std::uint32_t total = head.U32();
        const std::uint32_t count = head.U32();
        if (total < 16 || at + total > section.size())
            return fail(QStringLiteral("resource directory is truncated"));
        Reader r(section, head.Pos(), at + total);
        for (std::uint32_t i = 0; i < count; ++i) {
            Resource res;
            res.type = r.Text16();
            res.id = r.U32();
            res.data = r.Bytes(r.U32());
            while (r.Ok() && (r.Pos() - at) % 4)
                r.Bytes(1);
            if (!r.Ok())
                return fail(QStringLiteral("resource %1 of the directory is truncated").arg(i + 1));
            dir.entries.push_back(res);
        }
        at += total;
    }
    return dir;
}

// ---- ELF ----------------------------------------------------------------------

namespace {

// Says in *error why the file gave no resources.
std::nullopt_t Fail(const QString& path, QString* error, const QString& why)
{
    if (error)
        *error = path + QStringLiteral(": ") + why;
    return std::nullopt;
}

// Where the file keeps its resource section; with `contents`, its bytes too.
std::optional<ElfSection> LocateResources(const QString& path, QString* error, QByteArray* contents = nullptr)
{
    std::optional<ElfSection> place;
    QString why;
    if (!FindElfSection(path, ResourceSection, &place, &why, contents))
        return Fail(path, error, why);
    if (!place)
        return Fail(path, error, QStringLiteral("no embedded resources"));
    return place;
}

// Whether the bytes [address, address + size) of the module's image lie in
// one of its readable loaded segments, as the loader mapped them.
bool InsideLoadedSegment(const link_map* map, std::uint64_t address, std::uint64_t size)
{
    struct Query {
        const link_map* map;
        std::uint64_t address;
        std::uint64_t size;
        bool inside;
    } query{map, address, size, false};
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) -> int {
            auto& q = *static_cast<Query*>(data);
            const char* name = info->dlpi_name ? info->dlpi_name : "";
            if (info->dlpi_addr != q.map->l_addr || std::strcmp(name, q.map->l_name ? q.map->l_name : "") != 0)
                return 0;
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const auto& p = info->dlpi_phdr[i];
                if (p.p_type == PT_LOAD && (p.p_flags & PF_R) && SpanInside(p.p_vaddr, p.p_memsz, q.address, q.size))
                    q.inside = true;
            }
            return 1;
        },
        &query);
    return query.inside;
}

std::optional<ResourceDirectory> ParseSection(const QString& path, const QByteArray& section, QString* error)
{
    QString why;
    auto resources = ResourceDirectory::Parse(section, &why);
    if (!resources)
        return Fail(path, error, why);
    return resources;
}

}  // namespace

std::optional<ResourceDirectory> ReadResourcesFromFile(const QString& path, QString* error)
{
    QByteArray section;
    if (!LocateResources(path, error, &section))
        return std::nullopt;
    return ParseSection(path, section, error);
}

std::optional<ResourceDirectory> ReadResourcesFromModule(const void* address, QString* error)
{
    Dl_info info{};
    link_map* map = nullptr;
    if (!dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) || !map) {
        if (error)
            *error = QStringLiteral("address is in no loaded module");
        return std::nullopt;
    }
    // The section headers are not mapped; the file says where the section lies,
    // and the loaded segments say whether that place can be read.
    const QString path = map->l_name && *map->l_name ? QFile::decodeName(map->l_name)
                                                     : QStringLiteral("/proc/self/exe");
    const auto place = LocateResources(path, error);
    if (!place)
        return std::nullopt;
    if (!InsideLoadedSegment(map, place->address, place->size))
        return Fail(path, error, QStringLiteral("the resource section lies outside the loaded image"));
    const char* image = reinterpret_cast<const char*>(map->l_addr + place->address);
    return ParseSection(path, QByteArray(image, static_cast<qsizetype>(place->size)), error);
}

// ---- Version information -----------------------------------------------------

std::optional<QString> VersionInfo::Value(const QString& key) const
{
    for (const auto& [k, v] : strings)
        if (k == key)
            return v;
    return std::nullopt;
}

QString VersionInfo::VersionText(const std::uint16_t (&v)[4])
{
    return QStringLiteral("%1.%2.%3.%4").arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]);
}

bool VersionInfo::ParseVersion(const QString& text, std::uint16_t (&v)[4])
{
    const QStringList parts = text.split(u'.');
    if (parts.isEmpty() || parts.size() > 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        bool ok = true;
        v[i] = i < parts.size() ? parts[i].toUShort(&ok) : 0;
        if (!ok)
            return false;
    }
    return true;
}

QByteArray VersionInfo::Serialize() const
{
    Writer w;
    w.U32(VersionSignature);
    for (std::uint16_t v : fileVersion)
        w.U16(v);
    for (std::uint16_t v : productVersion)
        w.U16(v);
    w.U32(static_cast<std::uint32_t>(strings.size()));
    for (const auto& [k, v] : strings) {
        w.Text16(k);
        w.Text16(v);
    }
    return w.out;
}

std::optional<VersionInfo> VersionInfo::Parse(const QByteArray& bytes)
{
    Reader r(bytes);
    if (r.U32() != VersionSignature)
        return std::nullopt;
    VersionInfo info;
    for (auto& v : info.fileVersion)
        v = static_cast<std::uint16_t>(r.U16());
    for (auto& v : info.productVersion)
        v = static_cast<std::uint16_t>(r.U16());
    const std::uint32_t count = r.U32();
    for (std::uint32_t i = 0; r.Ok() && i < count; ++i) {
        QString k = r.Text16();
        QString v = r.Text16();
        info.strings.emplace_back(k, v);
    }
    if (!r.Ok() || r.Pos() != bytes.size())
        return std::nullopt;
    return info;
}

}  // namespace plat
