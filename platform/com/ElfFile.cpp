#include "platform/com/ElfFile.h"

#include <QByteArray>
#include <QFile>

#include <elf.h>

#include <cstring>
#include <vector>

namespace plat {

namespace {

struct Elf32 {
    using Ehdr = Elf32_Ehdr;
    using Phdr = Elf32_Phdr;
    using Shdr = Elf32_Shdr;
    using Dyn = Elf32_Dyn;
};

struct Elf64 {
    using Ehdr = Elf64_Ehdr;
    using Phdr = Elf64_Phdr;
    using Shdr = Elf64_Shdr;
    using Dyn = Elf64_Dyn;
};

bool Fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

// Reads only what lies inside the file; asking for more fails before any
// room is allocated for it.
class Reader {
public:
    bool Open(const QString& path, QString* error)
    {
        file_.setFileName(path);
        if (!file_.open(QIODevice::ReadOnly))
            return Fail(error, file_.errorString());
        size_ = static_cast<std::uint64_t>(file_.size());
        return true;
    }
    std::uint64_t Size() const { return size_; }
    bool Contains(std::uint64_t offset, std::uint64_t length) const { return SpanInside(0, size_, offset, length); }
    template <class T>
    bool Read(std::uint64_t offset, T* out)
    {
        return Contains(offset, sizeof(T)) && Raw(offset, out, sizeof(T));
    }
    template <class T>
    bool Read(std::uint64_t offset, std::uint64_t count, std::vector<T>* out)
    {
        if (count > size_ / sizeof(T) || !Contains(offset, count * sizeof(T)))
            return false;
        out->resize(count);
        return Raw(offset, out->data(), count * sizeof(T));
    }
    bool Read(std::uint64_t offset, std::uint64_t length, QByteArray* out)
    {
        if (!Contains(offset, length))
            return false;
        out->resize(static_cast<qsizetype>(length));
        return Raw(offset, out->data(), length);
    }

private:
    bool Raw(std::uint64_t offset, void* to, std::uint64_t length)
    {
        const auto n = static_cast<qint64>(length);
        return file_.seek(static_cast<qint64>(offset)) && file_.read(static_cast<char*>(to), n) == n;
    }
    QFile file_;
    std::uint64_t size_ = 0;
};

// Opens the file and reads its class (ELFCLASS32 or ELFCLASS64).
int Identify(Reader& r, const QString& path, QString* error)
{
    if (!r.Open(path, error))
        return ELFCLASSNONE;
    unsigned char ident[EI_NIDENT] = {};
    if (!r.Read(0, &ident) || std::memcmp(ident, ELFMAG, SELFMAG) != 0)
        Fail(error, QStringLiteral("not an ELF file"));
    else if (ident[EI_DATA] != ELFDATA2LSB)
        Fail(error, QStringLiteral("not a little-endian ELF file"));
    else if (ident[EI_CLASS] != ELFCLASS32 && ident[EI_CLASS] != ELFCLASS64)
        Fail(error, QStringLiteral("an ELF file of unknown class"));
    else
        return ident[EI_CLASS];
    return ELFCLASSNONE;
}

QString PastTheEnd(const QString& what, const Reader& r)
{
    return QStringLiteral("%1 past the end of the file (%2 bytes): the file is truncated or damaged").arg(what).arg(r.Size());
}

// Whether [address, address + length) lies inside one loaded segment's memory.
template <class Phdr>
bool Mapped(const std::vector<Phdr>& loads, std::uint64_t address, std::uint64_t length)
{
    for (const Phdr& p : loads)
        if (SpanInside(p.p_vaddr, p.p_memsz, address, length))
            return true;
    return false;
}

// The loader follows these addresses of the dynamic table (with the size
// that goes with them, where there is one) before any code of the library runs.
struct DynamicSpan {
    std::int64_t addressTag;
    std::int64_t sizeTag;  // DT_NULL: no size entry
    const char* what;
};

const DynamicSpan DynamicSpans[] = {
    {DT_STRTAB, DT_STRSZ, "string table"},
    {DT_SYMTAB, DT_NULL, "symbol table"},
    {DT_HASH, DT_NULL, "hash table"},
    {DT_GNU_HASH, DT_NULL, "GNU hash table"},
    {DT_RELA, DT_RELASZ, "relocations"},
    {DT_REL, DT_RELSZ, "relocations"},
    {DT_JMPREL, DT_PLTRELSZ, "call relocations"},
    {DT_INIT_ARRAY, DT_INIT_ARRAYSZ, "constructor table"},
    {DT_FINI_ARRAY, DT_FINI_ARRAYSZ, "destructor table"},
    {DT_PREINIT_ARRAY, DT_PREINIT_ARRAYSZ, "pre-constructor table"},
    {DT_VERSYM, DT_NULL, "symbol versions"},
    {DT_VERNEED, DT_NULL, "needed versions"},
    {DT_VERDEF, DT_NULL, "version definitions"},
};

// Entries whose value is an offset into the dynamic string table.
const struct {
    std::int64_t tag;
    const char* what;
} DynamicNames[] = {{DT_NEEDED, "needed library"}, {DT_SONAME, "own name"}, {DT_RPATH, "search path"},
                     {DT_RUNPATH, "search path"}};

template <class E>
bool CheckDynamic(Reader& r, const typename E::Phdr& dynamic, const std::vector<typename E::Phdr>& loads,
                  QString* error)
{
    using Dyn = typename E::Dyn;
    if (!Mapped(loads, dynamic.p_vaddr, dynamic.p_filesz))
        return Fail(error, QStringLiteral("its dynamic table lies outside its loaded segments"));
    std::vector<Dyn> table;
    if (!r.Read(dynamic.p_offset, dynamic.p_filesz / sizeof(Dyn), &table))
        return Fail(error, PastTheEnd(QStringLiteral("its dynamic table lies"), r));
    auto value = [&](std::int64_t tag) -> std::optional<std::uint64_t> {
        for (const Dyn& d : table) {
            if (d.d_tag == DT_NULL)
                break;
            if (d.d_tag == tag)
                return d.d_un.d_val;
        }
        return std::nullopt;
    };
    for (const DynamicSpan& span : DynamicSpans) {
        const auto address = value(span.addressTag);
        if (!address)
            continue;
        const auto size = span.sizeTag == DT_NULL ? std::optional<std::uint64_t>(1) : value(span.sizeTag);
        if (!Mapped(loads, *address, size.value_or(1)))
            return Fail(error, QStringLiteral("its dynamic table places its %1 outside its loaded segments")
                                   .arg(QLatin1String(span.what)));
    }
    const std::uint64_t strings = value(DT_STRSZ).value_or(0);
    for (const Dyn& d : table) {
        if (d.d_tag == DT_NULL)
            break;
        for (const auto& name : DynamicNames)
            if (d.d_tag == name.tag && d.d_un.d_val >= strings)
                return Fail(error, QStringLiteral("its dynamic table places a %1 outside its string table")
                                       .arg(QLatin1String(name.what)));
    }
    return true;
}

template <class E>
bool CheckLibrary(Reader& r, QString* error)
{
    using Phdr = typename E::Phdr;
    typename E::Ehdr eh{};
    if (!r.Read(0, &eh))
        return Fail(error, PastTheEnd(QStringLiteral("its ELF header runs"), r));
    if (eh.e_phentsize != sizeof(Phdr) || eh.e_phnum == 0 || eh.e_phnum == PN_XNUM)
        return Fail(error, QStringLiteral("its program headers are damaged"));
    std::vector<Phdr> segments;
    if (!r.Read(eh.e_phoff, eh.e_phnum, &segments))
        return Fail(error, PastTheEnd(QStringLiteral("its program headers lie"), r));
    std::vector<Phdr> loads;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const Phdr& p = segments[i];
        if (!r.Contains(p.p_offset, p.p_filesz))
            return Fail(error, PastTheEnd(QStringLiteral("segment %1 (%2 bytes from offset %3) lies")
                                              .arg(i)
                                              .arg(static_cast<std::uint64_t>(p.p_filesz))
                                              .arg(static_cast<std::uint64_t>(p.p_offset)),
                                          r));
        if (p.p_type == PT_LOAD) {
            if (p.p_filesz > p.p_memsz)
                return Fail(error, QStringLiteral("segment %1 is larger in the file than in memory").arg(i));
            loads.push_back(p);
        }
    }
    if (loads.empty())
        return Fail(error, QStringLiteral("it has no loadable segment"));
    for (const Phdr& p : segments)
        if (p.p_type == PT_DYNAMIC && !CheckDynamic<E>(r, p, loads, error))
            return false;
    return true;
}

// Whether the name table holds exactly `name` at `at`.
bool NameAt(const QByteArray& table, std::uint64_t at, const char* name)
{
    const std::size_t length = std::strlen(name);
    return at < static_cast<std::uint64_t>(table.size()) && length < table.size() - at &&
           std::memcmp(table.constData() + at, name, length) == 0 && table[at + length] == '\0';
}

template <class E>
bool FindSection(Reader& r, const char* name, std::optional<ElfSection>* found, QString* error, QByteArray* contents)
{
    using Shdr = typename E::Shdr;
    typename E::Ehdr eh{};
    if (!r.Read(0, &eh))
        return Fail(error, PastTheEnd(QStringLiteral("its ELF header runs"), r));
    if (eh.e_shoff == 0 || eh.e_shentsize != sizeof(Shdr))
        return Fail(error, QStringLiteral("no section headers"));
    Shdr first{};
    if (!r.Read(eh.e_shoff, &first))
        return Fail(error, PastTheEnd(QStringLiteral("its section headers lie"), r));
    const std::uint64_t count = eh.e_shnum != 0 ? eh.e_shnum : first.sh_size;  // else extended numbering
    const std::uint64_t names = eh.e_shstrndx == SHN_XINDEX ? first.sh_link : eh.e_shstrndx;
    std::vector<Shdr> headers;
    if (!r.Read(eh.e_shoff, count, &headers))
        return Fail(error, PastTheEnd(QStringLiteral("its section headers lie"), r));
    if (names >= count)
        return Fail(error, QStringLiteral("its section headers name no section name table"));
    const Shdr& nameTable = headers[names];
    QByteArray table;
    if (nameTable.sh_type == SHT_NOBITS || !r.Read(nameTable.sh_offset, nameTable.sh_size, &table))
        return Fail(error, PastTheEnd(QStringLiteral("its section name table lies"), r));
    for (const Shdr& s : headers) {
        if (s.sh_type != SHT_PROGBITS || !NameAt(table, s.sh_name, name))
            continue;
        if (contents ? !r.Read(s.sh_offset, s.sh_size, contents) : !r.Contains(s.sh_offset, s.sh_size))
            return Fail(error, PastTheEnd(QStringLiteral("its section %1 lies").arg(QLatin1String(name)), r));
        *found = ElfSection{s.sh_offset, s.sh_addr, s.sh_size};
        return true;
    }
    found->reset();
    return true;
}

}  // namespace

bool CheckElfLibrary(const QString& path, QString* error)
{
    Reader r;
    switch (Identify(r, path, error)) {
    case ELFCLASS32: return CheckLibrary<Elf32>(r, error);
    case ELFCLASS64: return CheckLibrary<Elf64>(r, error);
    default: return false;
    }
}

bool FindElfSection(const QString& path, const char* name, std::optional<ElfSection>* found, QString* error,
                    QByteArray* contents)
{
    Reader r;
    switch (Identify(r, path, error)) {
    case ELFCLASS32: return FindSection<Elf32>(r, name, found, error, contents);
    case ELFCLASS64: return FindSection<Elf64>(r, name, found, error, contents);
    default: return false;
    }
}

}  // namespace plat
