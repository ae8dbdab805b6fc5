// Component libraries that are damaged or hostile on disk, and registrations
// that name a library by a relative path: activation and the registration
// tool refuse them with a message naming the file, and never hand such a
// file to the dynamic loader.

#include "tests/platform/com/ComFixture.h"

#include "platform/com/ErrorInfo.h"
#include "platform/com/Resources.h"

#include <QDir>

#include <elf.h>

#include <cstring>
#include <functional>

using namespace plat;

namespace {

const QString TinyPath = QStringLiteral(TINY_LIBRARY);
const QString ComponentPath = QStringLiteral(ROAMWELL_DLL);
const QString ClassKey = QStringLiteral("Software\\Classes\\CLSID\\%1\\InprocServer32").arg(CLSID_clsProbe.ToString());

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

// The 64-bit headers of a library image, read and written in place.
class Image {
public:
    explicit Image(QByteArray bytes) : bytes_(std::move(bytes)) {}
    const QByteArray& Bytes() const { return bytes_; }

    template <class T>
    T Get(std::uint64_t offset) const
    {
        T value{};
        std::memcpy(&value, bytes_.constData() + offset, sizeof value);
        return value;
    }
    template <class T>
    void Set(std::uint64_t offset, const T& value)
    {
        std::memcpy(bytes_.data() + offset, &value, sizeof value);
    }

    template <class T>
    void Edit(std::uint64_t offset, const std::function<void(T&)>& change)
    {
        T value = Get<T>(offset);
        change(value);
        Set(offset, value);
    }

    Elf64_Ehdr Header() const { return Get<Elf64_Ehdr>(0); }
    void EditHeader(const std::function<void(Elf64_Ehdr&)>& change) { Edit(0, change); }
    std::uint64_t SegmentAt(int i) const { return Header().e_phoff + std::uint64_t(i) * sizeof(Elf64_Phdr); }
    int Segment(std::uint32_t type, int nth = 0) const
    {
        for (int i = 0; i < Header().e_phnum; ++i)
            if (Get<Elf64_Phdr>(SegmentAt(i)).p_type == type && nth-- == 0)
                return i;
        ADD_FAILURE() << "no segment of type " << type;
        return 0;
    }
    void EditSegment(int i, const std::function<void(Elf64_Phdr&)>& change) { Edit(SegmentAt(i), change); }
    std::uint64_t SectionAt(int i) const { return Header().e_shoff + std::uint64_t(i) * sizeof(Elf64_Shdr); }
    int Section(const char* name) const
    {
        const auto names = Get<Elf64_Shdr>(SectionAt(Header().e_shstrndx));
        for (int i = 0; i < Header().e_shnum; ++i)
            if (std::strcmp(bytes_.constData() + names.sh_offset + Get<Elf64_Shdr>(SectionAt(i)).sh_name, name) == 0)
                return i;
        ADD_FAILURE() << "no section " << name;
        return 0;
    }
    void EditSection(int i, const std::function<void(Elf64_Shdr&)>& change) { Edit(SectionAt(i), change); }
    // Sets the value of the dynamic table's entry with that tag.
    void SetDynamic(std::int64_t tag, std::uint64_t value)
    {
        const auto dynamic = Get<Elf64_Phdr>(SegmentAt(Segment(PT_DYNAMIC)));
        for (std::uint64_t at = dynamic.p_offset; at < dynamic.p_offset + dynamic.p_filesz; at += sizeof(Elf64_Dyn)) {
            auto entry = Get<Elf64_Dyn>(at);
            if (entry.d_tag == tag) {
                entry.d_un.d_val = value;
                Set(at, entry);
                return;
            }
        }
        ADD_FAILURE() << "no dynamic entry " << tag;
    }
    // The offset of the resource directory's data in the file.
    std::uint64_t Resources() const { return Get<Elf64_Shdr>(SectionAt(Section(ResourceSection))).sh_offset; }

private:
    QByteArray bytes_;
};

Image Tiny()
{
    return Image(ReadAll(TinyPath));
}

using Damage = std::function<QByteArray()>;

QByteArray Edited(const std::function<void(Image&)>& edit)
{
    Image image = Tiny();
    edit(image);
    return image.Bytes();
}

// The tiny library with one edit made to its headers or its resources.
Damage HeaderEdit(std::function<void(Elf64_Ehdr&)> change)
{
    return [=] { return Edited([&](Image& i) { i.EditHeader(change); }); };
}

Damage SegmentEdit(std::uint32_t type, int nth, std::function<void(Elf64_Phdr&)> change)
{
    return [=] { return Edited([&](Image& i) { i.EditSegment(i.Segment(type, nth), change); }); };
}

Damage DynamicEdit(std::int64_t tag, std::uint64_t value)
{
    return [=] { return Edited([&](Image& i) { i.SetDynamic(tag, value); }); };
}

Damage NameTableEdit(std::function<void(Elf64_Shdr&)> change)
{
    return [=] { return Edited([&](Image& i) { i.EditSection(i.Header().e_shstrndx, change); }); };
}

Damage ResourceSectionEdit(std::function<void(Elf64_Shdr&)> change)
{
    return [=] { return Edited([&](Image& i) { i.EditSection(i.Section(ResourceSection), change); }); };
}

// A value written `offset` bytes into the resource directory.
template <class T>
Damage DirectoryEdit(std::uint64_t offset, T value)
{
    return [=] { return Edited([&](Image& i) { i.Set<T>(i.Resources() + offset, value); }); };
}

struct Case {
    const char* what;
    Damage make;
    const char* why;  // part of the message
};

// Files the loader must never see.
std::vector<Case> UnloadableFiles()
{
    constexpr std::uint64_t FarOffset = std::uint64_t(1) << 62;
    return {
        {"the component cut to 100,000 bytes", [] { return ReadAll(ComponentPath).left(100000); }, "truncated"},
        {"the component cut to 4,096 bytes", [] { return ReadAll(ComponentPath).left(4096); }, "truncated"},
        {"the probe cut to 4,096 bytes", [] { return ReadAll(ProbePath).left(4096); }, "truncated"},
        {"the tiny library cut inside its last segment",
         [] {
             const Image tiny = Tiny();
             const auto last = tiny.Get<Elf64_Phdr>(tiny.SegmentAt(tiny.Segment(PT_LOAD, 1)));
             return tiny.Bytes().left(qsizetype(last.p_offset + last.p_filesz) - 8);
         },
         "segment 1"},
        {"an empty file", [] { return QByteArray(); }, "not an ELF file"},
        {"three bytes of an ELF header", [] { return QByteArray("\x7f" "EL"); }, "not an ELF file"},
        {"half an ELF header", [] { return Tiny().Bytes().left(40); }, "ELF header"},
        {"a text file", [] { return QByteArray("#!/bin/sh\necho loaded\n"); }, "not an ELF file"},
        {"program headers 2^62 bytes in", HeaderEdit([](Elf64_Ehdr& h) { h.e_phoff = FarOffset; }),
         "program headers lie past the end"},
        {"65,534 program headers", HeaderEdit([](Elf64_Ehdr& h) { h.e_phnum = 0xFFFE; }),
         "program headers lie past the end"},
        {"an extended program header count", HeaderEdit([](Elf64_Ehdr& h) { h.e_phnum = PN_XNUM; }),
         "program headers are damaged"},
        {"program headers of the wrong size", HeaderEdit([](Elf64_Ehdr& h) { h.e_phentsize = 32; }),
         "program headers are damaged"},
        {"a segment 2^62 bytes in", SegmentEdit(PT_LOAD, 1, [](Elf64_Phdr& p) { p.p_offset = FarOffset; }),
         "past the end"},
        {"a segment whose end wraps around",
         SegmentEdit(PT_LOAD, 1, [](Elf64_Phdr& p) { p.p_filesz = ~std::uint64_t(0) - p.p_offset + 16; }),
         "past the end"},
        {"a segment larger in the file than in memory",
         SegmentEdit(PT_LOAD, 0, [](Elf64_Phdr& p) { p.p_filesz = p.p_memsz + 8; }),
         "larger in the file than in memory"},
        {"no loadable segment",
         [] {
             return Edited([](Image& i) {
                 const int first = i.Segment(PT_LOAD), second = i.Segment(PT_LOAD, 1);
                 i.EditSegment(first, [](Elf64_Phdr& p) { p.p_type = PT_NULL; });
                 i.EditSegment(second, [](Elf64_Phdr& p) { p.p_type = PT_NULL; });
             });
         },
         "no loadable segment"},
        {"a dynamic table outside the loaded segments",
         SegmentEdit(PT_DYNAMIC, 0, [](Elf64_Phdr& p) { p.p_vaddr = 0x40000000; }), "dynamic table lies outside"},
        {"a string table far outside the image", DynamicEdit(DT_STRTAB, 0x7fff00000000),
         "places its string table outside"},
        {"a symbol table 2^62 bytes in", DynamicEdit(DT_SYMTAB, FarOffset), "places its symbol table outside"},
        {"a string table longer than the image", DynamicEdit(DT_STRSZ, FarOffset), "places its string table outside"},
        {"a hash table outside the image", DynamicEdit(DT_GNU_HASH, 0x100000), "places its GNU hash table outside"},
        {"the names of needed libraries past the string table",
         [] {
             Image probe(ReadAll(ProbePath));
             probe.SetDynamic(DT_STRSZ, 1);
             return probe.Bytes();
         },
         "places a needed library outside its string table"},
    };
}

}  // namespace

TEST_F(ComTest, DamagedLibrariesAreRefusedBeforeTheLoaderSeesThem)
{
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, ClassKey, 0, KEY_ALL_ACCESS, key.ReleaseAndGetAddressOf()), 0);
    int n = 0;
    for (const Case& c : UnloadableFiles()) {
        SCOPED_TRACE(c.what);
        const QString path = Write(QStringLiteral("%1/damaged%2/libdamaged.so").arg(dir.path()).arg(++n), c.make());
        ASSERT_EQ(RegSetStringValue(key.Get(), "", path), 0);

        // Activation, as the game asks for its help browser.
        ComPtr<IDispatch> object;
        testing::internal::CaptureStderr();
        EXPECT_EQ(CoCreateInstance(CLSID_clsProbe, &object), CO_E_ERRORINDLL);
        const QString said = QString::fromStdString(testing::internal::GetCapturedStderr());
        const auto info = TakeErrorInfo();
        ASSERT_TRUE(info);
        EXPECT_TRUE(info->description.startsWith(path + ": ")) << info->description.toStdString();
        EXPECT_TRUE(info->description.contains(c.why)) << info->description.toStdString();
        EXPECT_TRUE(said.contains(path)) << said.toStdString();
        EXPECT_FALSE(CoLoadedLibraries().contains(path));

        // The registration tool, in both directions.
        for (const char* direction : {"", "-u"}) {
            const ToolRun r = Regsvr(*direction ? QStringList{direction, path} : QStringList{path});
            EXPECT_EQ(r.status, QProcess::NormalExit) << r.err.toStdString();
            EXPECT_EQ(r.exitCode, 2) << r.err.toStdString();
            EXPECT_TRUE(r.err.startsWith("regsvr: cannot load " + path + ": ")) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(c.why)) << r.err.toStdString();
        }
    }
}

TEST_F(ComTest, TheTinyLibraryItselfLoads)
{
    // The damage above is what made those files unloadable.
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, ClassKey, 0, KEY_ALL_ACCESS, key.ReleaseAndGetAddressOf()), 0);
    const QString path = Write(dir.path() + "/intact/libtiny.so", Tiny().Bytes());
    ASSERT_EQ(RegSetStringValue(key.Get(), "", path), 0);
    ComPtr<IDispatch> object;
    testing::internal::CaptureStderr();
    EXPECT_EQ(CoCreateInstance(CLSID_clsProbe, &object), CO_E_ERRORINDLL);
    testing::internal::GetCapturedStderr();
    const auto info = TakeErrorInfo();
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->description.contains("no entry point DllGetClassObject")) << info->description.toStdString();

    const ToolRun r = Regsvr({path});
    EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("has no entry point DllRegisterServer")) << r.err.toStdString();
}

TEST_F(ComTest, HostileSectionTablesAreReportedWithoutHugeReads)
{
    constexpr std::uint64_t FarOffset = std::uint64_t(1) << 62;
    const std::vector<Case> cases = {
        {"a section name table 2^62 bytes long", NameTableEdit([](Elf64_Shdr& s) { s.sh_size = FarOffset; }),
         "section name table lies past the end"},
        {"a section name table 2 GiB long", NameTableEdit([](Elf64_Shdr& s) { s.sh_size = 1u << 31; }),
         "section name table lies past the end"},
        {"a section name table 2^63 bytes in", NameTableEdit([](Elf64_Shdr& s) { s.sh_offset = FarOffset * 2; }),
         "section name table lies past the end"},
        {"a section name table that takes no room in the file",
         NameTableEdit([](Elf64_Shdr& s) { s.sh_type = SHT_NOBITS; }), "section name table lies past the end"},
        {"a resource section 2^62 bytes long", ResourceSectionEdit([](Elf64_Shdr& s) { s.sh_size = FarOffset; }),
         "section plat_resources lies past the end"},
        {"a resource section whose end wraps around",
         ResourceSectionEdit([](Elf64_Shdr& s) { s.sh_size = ~std::uint64_t(0) - s.sh_offset + 4; }),
         "section plat_resources lies past the end"},
        {"section headers 2^62 bytes in", HeaderEdit([](Elf64_Ehdr& h) { h.e_shoff = FarOffset; }),
         "section headers lie past the end"},
        {"65,535 section headers", HeaderEdit([](Elf64_Ehdr& h) { h.e_shnum = 0xFFFF; }),
         "section headers lie past the end"},
        {"an extended section count of 2^40",
         [] {
             return Edited([](Image& i) {
                 i.EditHeader([](Elf64_Ehdr& h) { h.e_shnum = 0; });
                 i.EditSection(0, [](Elf64_Shdr& s) { s.sh_size = std::uint64_t(1) << 40; });
             });
         },
         "section headers lie past the end"},
        {"a name table index past the count", HeaderEdit([](Elf64_Ehdr& h) { h.e_shstrndx = h.e_shnum + 5; }),
         "no section name table"},
        {"an extended name table index of 2^31",
         [] {
             return Edited([](Image& i) {
                 i.EditHeader([](Elf64_Ehdr& h) { h.e_shstrndx = SHN_XINDEX; });
                 i.EditSection(0, [](Elf64_Shdr& s) { s.sh_link = 1u << 31; });
             });
         },
         "no section name table"},
        {"section headers of the wrong size", HeaderEdit([](Elf64_Ehdr& h) { h.e_shentsize = 40; }),
         "no section headers"},
        {"section headers cut off", [] { return Tiny().Bytes().left(qsizetype(Tiny().Header().e_shoff) + 100); },
         "section headers lie past the end"},
        {"a resource section name outside the name table",
         ResourceSectionEdit([](Elf64_Shdr& s) { s.sh_name = 0xFFFFFFF0; }), "no embedded resources"},
        {"a resource directory claiming 2^32 - 1 bytes", DirectoryEdit<std::uint32_t>(8, 0xFFFFFFFF),
         "resource directory is truncated"},
        {"a resource directory claiming 2^32 - 1 resources", DirectoryEdit<std::uint32_t>(12, 0xFFFFFFFF),
         "resource 2 of the directory is truncated"},
        {"a resource type 65,535 bytes long", DirectoryEdit<std::uint16_t>(16, 0xFFFF),
         "resource 1 of the directory is truncated"},
        {"a resource 2^32 - 1 bytes long", DirectoryEdit<std::uint32_t>(26, 0xFFFFFFFF),
         "resource 1 of the directory is truncated"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = Write(QStringLiteral("%1/sections%2/libdamaged.so").arg(dir.path()).arg(++n), c.make());
        QString error;
        EXPECT_FALSE(ReadResourcesFromFile(path, &error));
        EXPECT_TRUE(error.startsWith(path + ": ")) << error.toStdString();
        EXPECT_TRUE(error.contains(c.why)) << error.toStdString();

        const ToolRun r = Regsvr({"-l", path});
        EXPECT_EQ(r.status, QProcess::NormalExit) << r.err.toStdString();
        EXPECT_EQ(r.exitCode, 5) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith("regsvr: " + path + ": ")) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.why)) << r.err.toStdString();
    }

    // The intact library lists its one resource.
    const ToolRun r = Regsvr({"-l", TinyPath});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Resource: TINY 1 (4 bytes): 73 65 65 64")) << r.out.toStdString();
}

TEST_F(ComTest, ALoadedLibraryReadsNoResourceOutsideItsImage)
{
    // The library on disk is replaced after it was loaded; its section
    // headers now place the resources far outside the loaded image.
    const QString path = Write(dir.path() + "/replaced/libtiny.so", Tiny().Bytes());
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(handle) << dlerror();
    const void* inside = dlsym(handle, "DllCanUnloadNow");
    ASSERT_TRUE(inside);

    QString error;
    const auto before = ReadResourcesFromModule(inside, &error);
    ASSERT_TRUE(before) << error.toStdString();
    ASSERT_TRUE(before->Find("TINY", 1));
    EXPECT_EQ(before->Find("TINY", 1)->data, "seed");

    for (std::uint64_t address : {std::uint64_t(0x7fff00000000), std::uint64_t(1) << 62, ~std::uint64_t(0) - 8}) {
        const QString fresh =
            Write(dir.path() + "/fresh.so", ResourceSectionEdit([address](Elf64_Shdr& s) { s.sh_addr = address; })());
        ASSERT_TRUE(QFile::remove(path));
        ASSERT_TRUE(QFile::rename(fresh, path));
        EXPECT_FALSE(ReadResourcesFromModule(inside, &error)) << address;
        EXPECT_TRUE(error.contains(path)) << error.toStdString();
        EXPECT_TRUE(error.contains("outside the loaded image")) << error.toStdString();
    }
    dlclose(handle);
}

TEST_F(ComTest, RelativeLibraryPathIsRefusedAndNeverLoaded)
{
    // A library whose constructor would leave a marker waits in the current folder.
    const QString folder = dir.path() + "/current";
    ASSERT_TRUE(QDir().mkpath(folder + "/sub"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(MARKER_LIBRARY), folder + "/libmarker.so"));
    const QString marker = dir.path() + "/loaded";
    setenv("PLAT_TEST_MARKER", QFile::encodeName(marker).constData(), 1);
    struct CurrentFolder {
        const QString previous = QDir::currentPath();
        ~CurrentFolder() { QDir::setCurrent(previous); }
    } restore;
    ASSERT_TRUE(QDir::setCurrent(folder));

    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, ClassKey, 0, KEY_ALL_ACCESS, key.ReleaseAndGetAddressOf()), 0);
    for (const char* relative : {"libmarker.so", "./libmarker.so", "sub/../libmarker.so", "current/libmarker.so"}) {
        SCOPED_TRACE(relative);
        ASSERT_EQ(RegSetStringValue(key.Get(), "", QString::fromLatin1(relative)), 0);
        ComPtr<IDispatch> object;
        testing::internal::CaptureStderr();
        EXPECT_EQ(CoCreateInstance(CLSID_clsProbe, &object), CO_E_BAD_PATH);
        const QString said = QString::fromStdString(testing::internal::GetCapturedStderr());
        const auto info = TakeErrorInfo();
        ASSERT_TRUE(info);
        EXPECT_TRUE(info->description.startsWith(QString::fromLatin1(relative) + ": ")) << info->description.toStdString();
        EXPECT_TRUE(info->description.contains("relative path")) << info->description.toStdString();
        EXPECT_TRUE(said.contains(relative)) << said.toStdString();
        EXPECT_FALSE(QFile::exists(marker)) << "the library's constructor ran";
    }
    EXPECT_TRUE(HResultText(CO_E_BAD_PATH).contains("absolute path"));
    ASSERT_TRUE(QDir::setCurrent(restore.previous));

    // By its absolute path the same library is loaded, and its constructor
    // leaves the marker: the marker does show a load.
    ASSERT_EQ(RegSetStringValue(key.Get(), "", folder + "/libmarker.so"), 0);
    ComPtr<IDispatch> object;
    EXPECT_EQ(CoCreateInstance(CLSID_clsProbe, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_TRUE(QFile::exists(marker));
    unsetenv("PLAT_TEST_MARKER");
}
