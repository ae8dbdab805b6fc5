#include "platform/registry/HiveStore.h"

#include "platform/FileStamp.h"
#include "platform/ReplaceFile.h"
#include "platform/registry/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <set>
#include <utility>
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

// Hive files larger than this are refused as corrupt: no registry grows so
// big, and the tree of one could not be held in memory.
constexpr off_t MaxHiveBytes = off_t(256) << 20;

// The file a parsed hive came from, kept open: while it is open its inode
// cannot be given to another file, so an unchanged stamp means the same file.
class Pin {
public:
    Pin() = default;
    explicit Pin(int fd) : fd_(fd) {}
    Pin(Pin&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Pin& operator=(Pin&& other) noexcept
    {
        if (this != &other) {
            Reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ~Pin() { Reset(); }
    int Fd() const { return fd_; }

private:
    void Reset()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    int fd_ = -1;
};

struct Loaded {
    QString path;
    FileStamp stamp;
    Pin pin;
    std::shared_ptr<Hive> hive;              // the whole tree, once something needed it
    std::shared_ptr<const HiveIndex> index;  // until then, where each key is in the file
    QString problem;                         // why it reads as empty and is never written
    std::int32_t refusal = ERROR_SUCCESS;    // what an edit returns then

    bool Read() const { return hive || index; }  // whether the file has been looked at
};

struct WriteFailure {
    QString path;
    QString why;
};

std::mutex cacheMutex;
Loaded cache[2];                                   // by HiveId
WriteFailure lastWriteFailure[2];                  // by HiveId, until a write succeeds
std::set<std::pair<QString, long long>> reported;  // unusable versions already reported
std::atomic<std::uint64_t> loadCount{0};

int Slot(HiveId id)
{
    return id == HiveId::Machine ? 1 : 0;
}

Loaded& Cached(HiveId id)
{
    return cache[Slot(id)];
}

Loaded Unusable(Loaded out, const QString& problem, std::int32_t refusal)
{
    out.problem = problem;
    out.refusal = refusal;
    out.hive = std::make_shared<Hive>();
    out.index.reset();
    const long long version = static_cast<long long>(out.stamp.inode) ^ out.stamp.modifiedNs ^ out.stamp.size;
    if (reported.insert({out.path, version}).second)
        std::fprintf(stderr, "registry: %s; it reads as empty and will not be written\n", qPrintable(problem));
    return out;
}

// Reads `length` bytes at `offset` of the pinned file; false when they cannot all be read.
bool ReadAt(int fd, qint64 offset, qint64 length, char* into, int* error)
{
    while (length > 0) {
        const ssize_t n = ::pread(fd, into, static_cast<size_t>(length), static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = n < 0 ? errno : 0;
            return false;
        }
        into += n;
        offset += n;
        length -= n;
    }
    return true;
}

// Parses the pinned file, whole or into an index, reading no more than the
// size seen, a piece at a time: a big hive is never held whole as text.
ParseResult ParsePinned(const Loaded& entry, const QString& rootName, bool tree, int* readError)
{
    ++loadCount;
    qint64 offset = 0;
    const HiveTextSource source = [&](char* into, qsizetype most) -> qsizetype {
        const qint64 n = std::min<qint64>(most, entry.stamp.size - offset);
        if (n > 0 && !ReadAt(entry.pin.Fd(), offset, n, into, readError))
            return *readError ? -1 : 0;  // a file that shrank meanwhile ends there
        offset += n;
        return n;
    };
    return tree ? ParseHive(source, rootName) : IndexHive(source, rootName);
}

// Caller holds cacheMutex.
Loaded Load(const QString& path, const QString& rootName, bool tree)
{
    Loaded out;
    out.path = path;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        ++loadCount;
        if (errno == ENOENT || errno == ENOTDIR) {  // a hive nobody wrote yet
            out.hive = std::make_shared<Hive>();
            return out;
        }
        return Unusable(std::move(out), QStringLiteral("%1 cannot be read (%2)").arg(path, SystemErrorText(errno)),
                        ERROR_ACCESS_DENIED);
    }
    out.pin = Pin(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return Unusable(std::move(out), QStringLiteral("%1 cannot be read (%2)").arg(path, SystemErrorText(errno)),
                        ERROR_ACCESS_DENIED);
    out.stamp = StampOf(st);
    if (!S_ISREG(st.st_mode))
        return Unusable(std::move(out), QStringLiteral("%1 is not a regular file").arg(path), ERROR_ACCESS_DENIED);
    if (st.st_size > MaxHiveBytes)
        return Unusable(std::move(out),
                        QStringLiteral("%1 is corrupt (%2 bytes, more than a hive may hold)").arg(path).arg(st.st_size),
                        ERROR_REGISTRY_CORRUPT);

    int readError = 0;
    ParseResult parsed = ParsePinned(out, rootName, tree, &readError);
    if (readError)
        return Unusable(std::move(out), QStringLiteral("%1 cannot be read (%2)").arg(path, SystemErrorText(readError)),
                        ERROR_ACCESS_DENIED);
    if (!parsed.hive && !parsed.index)
        return Unusable(std::move(out),
                        QStringLiteral("%1 is corrupt (line %2: %3)").arg(path).arg(parsed.line).arg(parsed.reason),
                        ERROR_REGISTRY_CORRUPT);
    if (parsed.hive)
        out.hive = std::make_shared<Hive>(std::move(*parsed.hive));
    else
        out.index = std::make_shared<const HiveIndex>(std::move(*parsed.index));
    return out;
}

// The hive as the file holds it now, read again only when the file changed.
// A reader of single keys is served by an index of the file; `tree` asks for
// the whole tree, which is then built from the same version of the file.
// Caller holds cacheMutex.
Loaded& Current(HiveId id, bool tree)
{
    Loaded& entry = Cached(id);
    const QString path = HivePath(id);
    if (!entry.Read() || entry.path != path || !(entry.stamp == StampOfPath(path))) {
        entry = Load(path, HiveRootName(id), tree);
    } else if (tree && !entry.hive) {
        int readError = 0;
        ParseResult parsed = ParsePinned(entry, HiveRootName(id), true, &readError);
        if (parsed.hive) {
            entry.hive = std::make_shared<Hive>(std::move(*parsed.hive));
            entry.index.reset();
        } else {  // changed in place since it was indexed
            entry = Load(path, HiveRootName(id), true);
        }
    }
    return entry;
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
    return Current(id, true).hive;
}

std::shared_ptr<const Key> ReadKey(HiveId id, const QString& path)
{
    std::lock_guard lock(cacheMutex);
    for (int attempt = 0; attempt < 2; ++attempt) {
        Loaded& now = Current(id, attempt > 0);
        if (now.hive) {
            const Key* key = now.hive->Find(path);
            return key ? std::shared_ptr<const Key>(now.hive, key) : nullptr;
        }
        const std::vector<HiveIndex::Span> spans = now.index->SpansOf(path);
        if (spans.empty())
            return now.index->Contains(path) ? std::make_shared<Key>() : nullptr;
        qint64 size = 0;
        for (const HiveIndex::Span& span : spans)
            size += span.length;
        QByteArray text(static_cast<qsizetype>(size), Qt::Uninitialized);
        char* into = text.data();
        bool whole = true;
        int readError = 0;
        for (const HiveIndex::Span& span : spans) {
            whole = whole && ReadAt(now.pin.Fd(), span.offset, span.length, into, &readError);
            into += span.length;
        }
        // What was read is the version indexed unless the file changed in place meanwhile.
        struct stat st {};
        if (whole && ::fstat(now.pin.Fd(), &st) == 0 && StampOf(st) == now.stamp) {
            ParseResult parsed = ParseHiveSections(text, HiveRootName(id));
            if (parsed.hive) {
                Key* key = parsed.hive->Find(path);
                return std::make_shared<Key>(key ? std::move(*key) : Key());
            }
        }
        now = Loaded{};  // read the file afresh, whole
    }
    return nullptr;
}

bool KeyExists(HiveId id, const QString& path)
{
    std::lock_guard lock(cacheMutex);
    const Loaded& now = Current(id, false);
    return now.hive ? now.hive->Find(path) != nullptr : now.index->Contains(path);
}

QString HiveProblem(HiveId id, bool forWriting)
{
    const QString path = HivePath(id);
    {
        std::lock_guard lock(cacheMutex);
        const Loaded& now = Current(id, false);
        if (!now.problem.isEmpty())
            return QStringLiteral("the registry hive %1; it reads as empty and was left unchanged").arg(now.problem);
        if (!forWriting)
            return {};
        const WriteFailure& failed = lastWriteFailure[Slot(id)];
        if (failed.path == path && !failed.why.isEmpty())
            return QStringLiteral("the registry hive %1 could not be written (%2)").arg(path, failed.why);
    }
    if (!HiveWritable(id))
        return QStringLiteral("no write access to the registry hive %1").arg(path);
    return {};
}

std::uint64_t HiveLoadCount()
{
    return loadCount;
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
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

std::int32_t WriteFailed(HiveId id, const QString& path, const QString& why)
{
    std::fprintf(stderr, "registry: cannot write %s: %s\n", qPrintable(path), qPrintable(why));
    std::lock_guard guard(cacheMutex);
    lastWriteFailure[Slot(id)] = WriteFailure{path, why};
    return ERROR_CANTWRITE;
}

// Writes the hive in memory to its file, atomically. Caller holds the file
// lock and cacheMutex (through `guard`, which this may release).
std::int32_t WriteHiveFile(HiveId id, const QString& path, std::unique_lock<std::mutex>& guard)
{
    Loaded& now = Cached(id);
    QString why;
    const bool written = ReplaceFile(
        path,
        [&](QIODevice& out) {
            return now.hive->WriteText(HiveRootName(id), [&](QByteArrayView piece) {
                return out.write(piece.data(), piece.size()) == piece.size();
            });
        },
        &why);
    if (!written) {
        now = Loaded{};  // the hive in memory holds a change the file lacks
        guard.unlock();
        return WriteFailed(id, path, why);
    }
    lastWriteFailure[Slot(id)] = WriteFailure{};
    // Keep what was written as the current version; nobody else can have
    // replaced it while we hold the lock.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0) {
        now.pin = Pin(fd);
        now.stamp = StampOf(st);
    } else {
        if (fd >= 0)
            ::close(fd);
        now = Loaded{};
    }
    return ERROR_SUCCESS;
}

}  // namespace

}  // namespace plat::registry

namespace plat {

struct RegBatch::State {
    QString paths[2];
    std::unique_ptr<registry::FileLock> locks[2];
    bool changed[2] = {false, false};
};

}  // namespace plat

namespace plat::registry {

namespace {
thread_local RegBatch::State* batch = nullptr;
}  // namespace

std::int32_t EditHive(HiveId id, const HiveEdit& edit)
{
    const QString path = HivePath(id);
    if (!HiveWritable(id))
        return ERROR_ACCESS_DENIED;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return WriteFailed(id, path, QStringLiteral("its folder cannot be made"));

    // A batch takes the lock at its first change of the hive and keeps it.
    const int slot = Slot(id);
    const bool batched = batch && (!batch->locks[slot] || batch->paths[slot] == path);
    std::unique_ptr<FileLock> lock;
    if (!batched || !batch->locks[slot]) {
        lock = std::make_unique<FileLock>(path);
        if (!lock->Held())
            return WriteFailed(id, path, QStringLiteral("its lock file %1.lock cannot be taken").arg(path));
        if (batched) {
            batch->paths[slot] = path;
            batch->locks[slot] = std::move(lock);
        }
    }

    std::unique_lock guard(cacheMutex);
    // Whatever another process wrote before we took the lock is in the file
    // now; the hive parsed before serves only while the file is unchanged.
    Loaded& now = Current(id, true);
    if (!now.problem.isEmpty())
        return now.refusal;
    // Readers may still hold the hive handed out before: change a copy then.
    if (now.hive.use_count() > 1)
        now.hive = std::make_shared<Hive>(*now.hive);

    bool changed = false;
    std::int32_t rc = ERROR_SUCCESS;
    try {
        rc = edit(*now.hive, changed);
    } catch (...) {
        now = Loaded{};  // half changed: read the file again next time
        throw;
    }
    if (rc != ERROR_SUCCESS || !changed)
        return rc;
    if (batched) {
        batch->changed[slot] = true;
        return ERROR_SUCCESS;
    }
    return WriteHiveFile(id, path, guard);
}

}  // namespace plat::registry

namespace plat {

RegBatch::RegBatch()
{
    if (registry::batch)
        return;  // within another batch, which writes for both
    state_ = std::make_unique<State>();
    registry::batch = state_.get();
}

RegBatch::~RegBatch()
{
    if (!state_)
        return;
    registry::batch = nullptr;
    std::lock_guard guard(registry::cacheMutex);
    for (registry::HiveId id : {registry::HiveId::User, registry::HiveId::Machine})
        if (state_->changed[registry::Slot(id)])
            registry::Cached(id) = registry::Loaded{};  // never written: what the file holds is the hive
}

LONG RegBatch::Commit()
{
    if (!state_)
        return ERROR_SUCCESS;
    LONG rc = ERROR_SUCCESS;
    for (registry::HiveId id : {registry::HiveId::User, registry::HiveId::Machine}) {
        const int slot = registry::Slot(id);
        if (!state_->changed[slot])
            continue;
        std::unique_lock guard(registry::cacheMutex);
        const LONG written = registry::WriteHiveFile(id, state_->paths[slot], guard);
        state_->changed[slot] = false;
        if (rc == ERROR_SUCCESS)
            rc = written;
    }
    for (auto& lock : state_->locks)
        lock.reset();
    return rc;
}

}  // namespace plat
