#include "platform/registry/HiveStore.h"

#include "platform/registry/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <vector>

namespace plat::registry {

QString HivePath(HiveId id)
{
    if (id == HiveId::Machine) {
        const QString over = qEnvironmentVariable("PLAT_MACHINE_HIVE");
        return over.isEmpty() ? QStringLiteral("/etc/registry/machine.reg") : over;
    }
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/registry/user.reg");
}

QString HiveRootName(HiveId id)
{
    return id == HiveId::Machine ? QStringLiteral("HKEY_LOCAL_MACHINE") : QStringLiteral("HKEY_CURRENT_USER");
}

namespace {

// Identifies one version of a file: an atomic replace changes the inode.
struct Stamp {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long long mtimeNs = 0;
    bool operator==(const Stamp&) const = default;
};

Stamp StampOf(const struct stat& st)
{
    return Stamp{true, st.st_dev, st.st_ino, st.st_size,
                 static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

Stamp StampOfPath(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return Stamp{};
    return StampOf(st);
}

struct Loaded {
    Stamp stamp;
    std::shared_ptr<const Hive> hive;
    bool corrupt = false;
};

std::mutex cacheMutex;
std::map<QString, Loaded> cache;           // by file path
std::set<std::pair<QString, long long>> reported;  // corrupt versions already reported

Loaded Load(const QString& path, const QString& rootName)
{
    Loaded out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.hive = std::make_shared<Hive>();
        return out;
    }
    struct stat st {};
    if (::fstat(file.handle(), &st) == 0)
        out.stamp = StampOf(st);
    const QByteArray text = file.readAll();
    ParseResult parsed = ParseHive(text, rootName);
    if (parsed.hive) {
        out.hive = std::make_shared<Hive>(std::move(*parsed.hive));
        return out;
    }
    out.corrupt = true;
    out.hive = std::make_shared<Hive>();
    if (reported.insert({path, static_cast<long long>(out.stamp.ino) ^ out.stamp.mtimeNs}).second) {
        std::fprintf(stderr,
                     "registry: %s is corrupt (line %d: %s); it reads as empty and will not be written\n",
                     qPrintable(path), parsed.line, qPrintable(parsed.reason));
    }
    return out;
}

// Caller holds cacheMutex.
const Loaded& Current(HiveId id)
{
    const QString path = HivePath(id);
    auto it = cache.find(path);
    const Stamp now = StampOfPath(path);
    if (it != cache.end() && it->second.stamp == now)
        return it->second;
    return cache[path] = Load(path, HiveRootName(id));
}

bool InGroup(gid_t gid)
{
    if (gid == ::getegid())
        return true;
    const int n = ::getgroups(0, nullptr);
    if (n <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<size_t>(n));
    const int got = ::getgroups(n, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[static_cast<size_t>(i)] == gid)
            return true;
    return false;
}

// access(2) lets root write anything; the mode bits are asked as well so that
// a hive made read-only stays read-only for every user.
bool ModeAllowsWrite(const struct stat& st)
{
    if (st.st_uid == ::geteuid())
        return st.st_mode & S_IWUSR;
    if (InGroup(st.st_gid))
        return st.st_mode & S_IWGRP;
    return st.st_mode & S_IWOTH;
}

bool FolderWritable(const QByteArray& folder)
{
    struct stat st {};
    return ::stat(folder.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           ::access(folder.constData(), W_OK | X_OK) == 0 && ModeAllowsWrite(st);
}

}  // namespace

bool HiveWritable(HiveId id)
{
    const QString path = QFileInfo(HivePath(id)).absoluteFilePath();
    const QByteArray file = QFile::encodeName(path);
    struct stat st {};
    if (::stat(file.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || ::access(file.constData(), W_OK) != 0 || !ModeAllowsWrite(st))
            return false;
        return FolderWritable(QFile::encodeName(QFileInfo(path).absolutePath()));
    }
    // Not there yet: the nearest existing folder decides whether it can be made.
    QString folder = QFileInfo(path).absolutePath();
    while (!QFileInfo::exists(folder) && folder != QStringLiteral("/"))
        folder = QFileInfo(folder).absolutePath();
    return FolderWritable(QFile::encodeName(folder));
}

std::shared_ptr<const Hive> ReadHive(HiveId id)
{
    std::lock_guard lock(cacheMutex);
    return Current(id).hive;
}

namespace {

// Holds an exclusive lock on "<hive>.lock" beside the hive; the hive itself
// is replaced on every write, so it cannot carry the lock.
class FileLock {
public:
    explicit FileLock(const QString& hivePath)
    {
        const QByteArray lockPath = QFile::encodeName(hivePath + QStringLiteral(".lock"));
        fd_ = ::open(lockPath.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0)
            return;
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~FileLock()
    {
        if (fd_ >= 0)
            ::close(fd_);  // releases the lock
    }
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace

std::int32_t EditHive(HiveId id, const HiveEdit& edit)
{
    const QString path = HivePath(id);
    if (!HiveWritable(id))
        return ERROR_ACCESS_DENIED;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return ERROR_CANTWRITE;

    FileLock lock(path);
    if (!lock.held())
        return ERROR_CANTWRITE;

    // Whatever another process wrote before we took the lock is in the file now.
    // Read past the cache: a file stamp can repeat within the clock's tick.
    std::shared_ptr<const Hive> fresh;
    {
        std::lock_guard guard(cacheMutex);
        const Loaded& now = cache[path] = Load(path, HiveRootName(id));
        if (now.corrupt)
            return ERROR_REGISTRY_CORRUPT;
        fresh = now.hive;
    }

    auto hive = std::make_shared<Hive>(*fresh);
    bool changed = false;
    const std::int32_t rc = edit(*hive, changed);
    if (rc != ERROR_SUCCESS || !changed)
        return rc;

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return ERROR_CANTWRITE;
    const QByteArray text = hive->toText(HiveRootName(id));
    if (out.write(text) != text.size() || !out.commit())
        return ERROR_CANTWRITE;

    std::lock_guard guard(cacheMutex);
    cache[path] = Loaded{StampOfPath(path), hive, false};
    return ERROR_SUCCESS;
}

}  // namespace plat::registry
