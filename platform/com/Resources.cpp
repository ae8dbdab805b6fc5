#include "platform/com/Resources.h"

#include <QFile>

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <cstring>

namespace plat {

namespace {

constexpr char kMagic[8] = {'P', 'L', 'A', 'T', 'R', 'E', 'S', '1'};
constexpr std::uint32_t kVersionSignature = 0xFEEF04BD;

class Writer {
public:
    void u16(std::uint32_t v) { bytes(reinterpret_cast<const char*>(&v), 2); }
    void u32(std::uint32_t v) { bytes(reinterpret_cast<const char*>(&v), 4); }  // little-endian hosts only
    void bytes(const char* p, qsizetype n) { out.append(p, n); }
    void text16(const QString& s)
    {
        const QByteArray b = s.toUtf8();
        u16(static_cast<std::uint32_t>(b.size()));
        out += b;
    }
    QByteArray out;
};

class Reader {
public:
    explicit Reader(const QByteArray& b, qsizetype from = 0, qsizetype to = -1)
        : b_(b), pos_(from), end_(to < 0 ? b.size() : to) {}
    bool ok() const { return ok_; }
    qsizetype pos() const { return pos_; }
    void seek(qsizetype p) { pos_ = p; }
    std::uint32_t u16() { return static_cast<std::uint32_t>(take(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(take(4)); }
    QByteArray bytes(qsizetype n)
    {
        if (!ok_ || n < 0 || pos_ + n > end_) {
            ok_ = false;
            return {};
        }
        QByteArray r = b_.mid(pos_, n);
        pos_ += n;
        return r;
    }
    QString text16() { return QString::fromUtf8(bytes(u16())); }

private:
    std::uint64_t take(int n)
    {
        const QByteArray b = bytes(n);
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

const Resource* ResourceDirectory::find(const QString& type, std::uint32_t id) const
{
    for (const Resource& r : entries)
        if (r.id == id && r.type.compare(type, Qt::CaseInsensitive) == 0)
            return &r;
    return nullptr;
}

QByteArray ResourceDirectory::serialize() const
{
    Writer w;
    w.bytes(kMagic, 8);
    w.u32(0);  // total size, filled in below
    w.u32(static_cast<std::uint32_t>(entries.size()));
    for (const Resource& r : entries) {
        w.text16(r.type);
        w.u32(r.id);
        w.u32(static_cast<std::uint32_t>(r.data.size()));
        w.out += r.data;
        while (w.out.size() % 4)
            w.out += '\0';
    }
    const auto total = static_cast<std::uint32_t>(w.out.size());
    std::memcpy(w.out.data() + 8, &total, 4);
    return w.out;
}

std::optional<ResourceDirectory> ResourceDirectory::parse(const QByteArray& section, QString* error)
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
        if (section.size() - at < 16 || std::memcmp(section.constData() + at, kMagic, 8) != 0)
            return fail(QStringLiteral("resource section has no directory at offset %1").arg(at));
        Reader head(section, at + 8);
        const std::uint32_t total = head.u32();
        const std::uint32_t count = head.u32();
        if (total < 16 || at + total > section.size())
            return fail(QStringLiteral("resource directory is truncated"));
        Reader r(section, head.pos(), at + total);
        for (std::uint32_t i = 0; i < count; ++i) {
            Resource res;
            res.type = r.text16();
            res.id = r.u32();
            res.data = r.bytes(r.u32());
            while (r.ok() && (r.pos() - at) % 4)
                r.bytes(1);
            if (!r.ok())
                return fail(QStringLiteral("resource %1 of the directory is truncated").arg(i + 1));
            dir.entries.push_back(res);
        }
        at += total;
    }
    return dir;
}

// ---- ELF ----------------------------------------------------------------------

namespace {

struct SectionPlace {
    std::uint64_t offset = 0;  // in the file
    std::uint64_t address = 0;  // in the image, before relocation
    std::uint64_t size = 0;
};

// Says in *error why the file gave no resources.
std::nullopt_t Fail(const QFile& file, QString* error, const QString& why)
{
    if (error)
        *error = file.fileName() + QStringLiteral(": ") + why;
    return std::nullopt;
}

template <class Ehdr, class Shdr>
std::optional<SectionPlace> FindSection(QFile& file, const Ehdr& eh, QString* error)
{
    auto fail = [&](const QString& why) { return Fail(file, error, why); };
    if (eh.e_shoff == 0 || eh.e_shentsize != sizeof(Shdr))
        return fail(QStringLiteral("no section headers"));
    std::uint64_t count = eh.e_shnum;
    std::uint32_t names = eh.e_shstrndx;
    Shdr first{};
    if (!file.seek(static_cast<qint64>(eh.e_shoff)) ||
        file.read(reinterpret_cast<char*>(&first), sizeof first) != sizeof first)
        return fail(QStringLiteral("truncated section headers"));
    if (count == 0)
        count = first.sh_size;  // extended numbering
    if (names == SHN_XINDEX)
        names = first.sh_link;
    if (count > 65536 || names >= count)
        return fail(QStringLiteral("bad section headers"));
    std::vector<Shdr> headers(count);
    const qint64 bytes = static_cast<qint64>(count * sizeof(Shdr));
    if (!file.seek(static_cast<qint64>(eh.e_shoff)) || file.read(reinterpret_cast<char*>(headers.data()), bytes) != bytes)
        return fail(QStringLiteral("truncated section headers"));
    const Shdr& strtab = headers[names];
    if (!file.seek(static_cast<qint64>(strtab.sh_offset)))
        return fail(QStringLiteral("bad section name table"));
    const QByteArray strings = file.read(static_cast<qint64>(strtab.sh_size));
    for (const Shdr& s : headers) {
        if (s.sh_name >= static_cast<std::uint64_t>(strings.size()))
            continue;
        if (std::strcmp(strings.constData() + s.sh_name, kResourceSection) == 0 && s.sh_type == SHT_PROGBITS)
            return SectionPlace{s.sh_offset, s.sh_addr, s.sh_size};
    }
    return fail(QStringLiteral("no embedded resources"));
}

// Opens the file and finds where its resource section lies.
std::optional<SectionPlace> LocateResources(QFile& file, QString* error)
{
    if (!file.open(QIODevice::ReadOnly))
        return Fail(file, error, file.errorString());
    unsigned char ident[EI_NIDENT] = {};
    if (file.read(reinterpret_cast<char*>(ident), EI_NIDENT) != EI_NIDENT || std::memcmp(ident, ELFMAG, SELFMAG) != 0)
        return Fail(file, error, QStringLiteral("not an ELF file"));
    if (ident[EI_DATA] != ELFDATA2LSB)
        return Fail(file, error, QStringLiteral("not a little-endian ELF file"));
    file.seek(0);
    if (ident[EI_CLASS] == ELFCLASS64) {
        Elf64_Ehdr eh{};
        if (file.read(reinterpret_cast<char*>(&eh), sizeof eh) != sizeof eh)
            return Fail(file, error, QStringLiteral("truncated ELF header"));
        return FindSection<Elf64_Ehdr, Elf64_Shdr>(file, eh, error);
    }
    Elf32_Ehdr eh{};
    if (file.read(reinterpret_cast<char*>(&eh), sizeof eh) != sizeof eh)
        return Fail(file, error, QStringLiteral("truncated ELF header"));
    return FindSection<Elf32_Ehdr, Elf32_Shdr>(file, eh, error);
}

}  // namespace

std::optional<ResourceDirectory> ReadResourcesFromFile(const QString& path, QString* error)
{
    QFile file(path);
    const auto place = LocateResources(file, error);
    if (!place)
        return std::nullopt;
    if (!file.seek(static_cast<qint64>(place->offset)))
        return Fail(file, error, QStringLiteral("resource section is truncated"));
    const QByteArray section = file.read(static_cast<qint64>(place->size));
    if (section.size() != static_cast<qsizetype>(place->size))
        return Fail(file, error, QStringLiteral("resource section is truncated"));
    return ResourceDirectory::parse(section, error);
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
    // The section headers are not mapped; the file says where the section lies.
    const QString path = map->l_name && *map->l_name ? QFile::decodeName(map->l_name)
                                                     : QStringLiteral("/proc/self/exe");
    QFile file(path);
    const auto place = LocateResources(file, error);
    if (!place)
        return std::nullopt;
    const char* image = reinterpret_cast<const char*>(map->l_addr + place->address);
    return ResourceDirectory::parse(QByteArray(image, static_cast<qsizetype>(place->size)), error);
}

// ---- Version information -----------------------------------------------------

std::optional<QString> VersionInfo::value(const QString& key) const
{
    for (const auto& [k, v] : strings)
        if (k == key)
            return v;
    return std::nullopt;
}

QString VersionInfo::versionText(const std::uint16_t (&v)[4])
{
    return QStringLiteral("%1.%2.%3.%4").arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]);
}

bool VersionInfo::parseVersion(const QString& text, std::uint16_t (&v)[4])
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

QByteArray VersionInfo::serialize() const
{
    Writer w;
    w.u32(kVersionSignature);
    for (std::uint16_t v : fileVersion)
        w.u16(v);
    for (std::uint16_t v : productVersion)
        w.u16(v);
    w.u32(static_cast<std::uint32_t>(strings.size()));
    for (const auto& [k, v] : strings) {
        w.text16(k);
        w.text16(v);
    }
    return w.out;
}

std::optional<VersionInfo> VersionInfo::parse(const QByteArray& bytes)
{
    Reader r(bytes);
    if (r.u32() != kVersionSignature)
        return std::nullopt;
    VersionInfo info;
    for (auto& v : info.fileVersion)
        v = static_cast<std::uint16_t>(r.u16());
    for (auto& v : info.productVersion)
        v = static_cast<std::uint16_t>(r.u16());
    const std::uint32_t count = r.u32();
    for (std::uint32_t i = 0; r.ok() && i < count; ++i) {
        QString k = r.text16();
        QString v = r.text16();
        info.strings.emplace_back(k, v);
    }
    if (!r.ok() || r.pos() != bytes.size())
        return std::nullopt;
    return info;
}

}  // namespace plat
