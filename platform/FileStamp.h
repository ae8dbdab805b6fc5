#pragma once
// What tells one version of a file from another without reading it: the
// settings store and the registry both keep a parsed file for as long as its
// stamp stays the same. An atomic replace changes the inode, and any write
// changes the status-change time, which no program can set back.

#include <QFile>
#include <QString>
#include <cstdint>
#include <sys/stat.h>

namespace plat {

struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

inline std::int64_t Nanoseconds(const timespec& t)
{
    return std::int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

inline FileStamp StampOf(const struct stat& st)
{
    return {true, st.st_dev, st.st_ino, st.st_size, Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim)};
}

// The stamp of the file a path names now; a missing file has the empty stamp.
inline FileStamp StampOfPath(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return StampOf(st);
}

}  // namespace plat
