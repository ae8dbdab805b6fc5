// Fuzz target: the resources embedded in a component library, as `regsvr -l`
// and the type-library loader read them from the file on disk.
//
// Input: anything that begins with the ELF magic ("\x7f" "ELF") is a library
// file: it is written to an in-memory file and read with
// ReadResourcesFromFile. Anything else is the contents of the resource
// section itself, read with ResourceDirectory::Parse. Every version resource
// found is read too.
//
// Checks: no crash, no read outside the input, and no single allocation of a
// gigabyte (the replay driver and scripts/fuzz.sh set that limit); whatever
// reads is written again and reads back the same.

#include "platform/com/Resources.h"
#include "tests/fuzz/FuzzCheck.h"

#include <algorithm>
#include <iterator>

#include <sys/mman.h>
#include <unistd.h>

using namespace plat;

namespace {

// The in-memory file the library bytes go to, opened once.
QString WriteToMemoryFile(const std::uint8_t* data, std::size_t size)
{
    static const int fd = memfd_create("elf-fuzz", MFD_CLOEXEC);
    fuzz::Expect(fd >= 0, "an in-memory file can be made");
    fuzz::Expect(ftruncate(fd, 0) == 0 && pwrite(fd, data, size, 0) == static_cast<ssize_t>(size),
                 "the in-memory file takes the input");
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

bool SameEntries(const ResourceDirectory& a, const ResourceDirectory& b)
{
    if (a.entries.size() != b.entries.size())
        return false;
    for (std::size_t i = 0; i < a.entries.size(); ++i)
        if (a.entries[i].type != b.entries[i].type || a.entries[i].id != b.entries[i].id ||
            a.entries[i].data != b.entries[i].data)
            return false;
    return true;
}

void CheckDirectory(const ResourceDirectory& dir)
{
    const std::optional<ResourceDirectory> again = ResourceDirectory::Parse(dir.Serialize());
    fuzz::Expect(again && SameEntries(dir, *again), "a resource directory reads back as written");
    for (const Resource& r : dir.entries) {
        if (r.type.compare(QLatin1String(RT_VERSION), Qt::CaseInsensitive) != 0)
            continue;
        const std::optional<VersionInfo> info = VersionInfo::Parse(r.data);
        if (!info)
            continue;
        const std::optional<VersionInfo> back = VersionInfo::Parse(info->Serialize());
        fuzz::Expect(back && back->strings == info->strings &&
                         std::equal(std::begin(back->fileVersion), std::end(back->fileVersion),
                                    std::begin(info->fileVersion)) &&
                         std::equal(std::begin(back->productVersion), std::end(back->productVersion),
                                    std::begin(info->productVersion)),
                     "a version resource reads back as written");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const bool isElf = size >= 4 && data[0] == 0x7f && data[1] == 'E' && data[2] == 'L' && data[3] == 'F';
    QString error;
    const std::optional<ResourceDirectory> dir = isElf
        ? ReadResourcesFromFile(WriteToMemoryFile(data, size), &error)
        : ResourceDirectory::Parse(fuzz::Bytes(data, size), &error);
    if (dir)
        CheckDirectory(*dir);
    else
        fuzz::Expect(!error.isEmpty(), "a refusal says why");
    return 0;
}
