#include "platform/runtime/Settings.h"

#include "platform/FileStamp.h"
#include "platform/ReplaceFile.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/HugePages.h"
#include "platform/runtime/IniDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSet>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

constexpr int LockWaitMs = 30000;
// Far beyond any settings file: a file larger than this is neither read nor
// written.
constexpr qint64 MaxFileBytes = ini::MaxBytes;
// Any change to a file shows in its status-change time, which no program
// can set back. Once that time lies further behind the moment the file was
// read than one tick of the file system's clock, every later change leaves a
// different stamp, so a copy read then stays good for as long as the stamp
// does. Before that, a change within the same tick could keep the stamp, and
// the file is read again to compare. Times without a fraction of a second
// come from a file system that keeps whole seconds.
constexpr qint64 SettledAfterNs = 100'000'000;
constexpr qint64 SettledAfterWholeSecondsNs = 2'000'000'000;

// A settings file as it was read: its bytes and what they say.
struct Snapshot {
    FileStamp stamp;
    bool settled = false;  // no later change can leave the same stamp
    QByteArray bytes;
    std::shared_ptr<const ini::IniDocument> doc;
};

struct Reading {
    std::shared_ptr<const Snapshot> snapshot;  // none when the file cannot be read
    QString why;                               // then the reason
};

// Every settings file this process has read, as last read, so that a file
// is read and parsed once for each change rather than once for each value.
struct Cache {
    std::mutex mutex;
    QHash<QString, std::shared_ptr<const Snapshot>> files;
    QHash<QString, std::shared_future<void>> readsAhead;  // begun by ReadSettingsAhead
    QSet<QString> warned;                                 // unreadable files already reported
};

Cache& Files()
{
    // Never destroyed: a read begun ahead may still be running at exit.
    static Cache* cache = new Cache;
    return *cache;
}

void Keep(const QString& path, std::shared_ptr<const Snapshot> snapshot)
{
    Cache& cache = Files();
    std::lock_guard lock(cache.mutex);
    cache.warned.remove(path);
    if (snapshot)
        cache.files.insert(path, std::move(snapshot));
    else
        cache.files.remove(path);
}

std::shared_ptr<const Snapshot> NoFile()
{
    static const auto none = std::make_shared<const Snapshot>(
        Snapshot{{}, false, {}, std::make_shared<const ini::IniDocument>(ini::IniDocument::Parse({}))});
    return none;
}

// The whole file read from an open descriptor, and its stamp; the read is
// tried again while the file changes under it.
std::optional<std::pair<QByteArray, FileStamp>> ReadWhole(int fd, QString& why)
{
    for (int attempt = 0;; ++attempt) {
        struct stat before {};
        if (::fstat(fd, &before) != 0) {
            why = SystemErrorText(errno);
            return std::nullopt;
        }
        if (S_ISDIR(before.st_mode)) {
            why = SystemErrorText(EISDIR);
            return std::nullopt;
        }
        if (!S_ISREG(before.st_mode)) {
            why = QStringLiteral("Not a regular file");
            return std::nullopt;
        }
        const QString tooLarge = QStringLiteral("Larger than %1 bytes").arg(MaxFileBytes);
        if (before.st_size > MaxFileBytes) {
            why = tooLarge;
            return std::nullopt;
        }
        QByteArray bytes;
        bytes.resize(qsizetype(before.st_size));
        AdviseHugePages(bytes.data(), size_t(bytes.size()));
        qsizetype got = 0;
        while (true) {
            if (got == bytes.size())  // it grew; one byte beyond the limit tells a file too large
                bytes.resize(std::min<qsizetype>(bytes.size() + 65536, MaxFileBytes + 1));
            const ssize_t n = ::pread(fd, bytes.data() + got, size_t(bytes.size() - got), got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                why = SystemErrorText(errno);
                return std::nullopt;
            }
            if (n == 0)
                break;
            got += n;
            if (got > MaxFileBytes) {
                why = tooLarge;
                return std::nullopt;
            }
        }
        bytes.truncate(got);
        struct stat after {};
        if (::fstat(fd, &after) != 0) {
            why = SystemErrorText(errno);
            return std::nullopt;
        }
        if (StampOf(before) == StampOf(after) || attempt == 2)
            return std::pair{std::move(bytes), StampOf(after)};
    }
}

// The settings file at path as it is now: from the cache while its stamp
// says it is unchanged, read (and parsed when its bytes differ) otherwise.
Reading LoadNow(const QString& path)
{
    std::shared_ptr<const Snapshot> cached;
    {
        Cache& cache = Files();
        std::lock_guard lock(cache.mutex);
        cached = cache.files.value(path);
    }
    if (cached && cached->settled && StampOfPath(path) == cached->stamp)
        return {cached, {}};

    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    // O_NONBLOCK: a FIFO must not hang us.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            Keep(path, nullptr);
            return {NoFile(), {}};
        }
        return {nullptr, SystemErrorText(errno)};
    }
    QString why;
    auto read = ReadWhole(fd, why);
    ::close(fd);
    if (!read)
        return {nullptr, why};

    auto& [bytes, stamp] = *read;
    auto snapshot = std::make_shared<Snapshot>();
    snapshot->stamp = stamp;
    const bool wholeSeconds = stamp.modifiedNs % 1'000'000'000 == 0 && stamp.changedNs % 1'000'000'000 == 0;
    snapshot->settled = stamp.changedNs < Nanoseconds(now) - (wholeSeconds ? SettledAfterWholeSecondsNs : SettledAfterNs);
    snapshot->doc = cached && cached->bytes == bytes
                        ? cached->doc
                        : std::make_shared<const ini::IniDocument>(ini::IniDocument::Parse(bytes));
    snapshot->bytes = std::move(bytes);
    Keep(path, snapshot);
    return {snapshot, {}};
}

// As LoadNow, once a read of the file begun ahead has finished.
Reading Load(const QString& path)
{
    std::shared_future<void> ahead;
    {
        Cache& cache = Files();
        std::lock_guard lock(cache.mutex);
        ahead = cache.readsAhead.take(path);
    }
    if (ahead.valid())
        ahead.wait();
    return LoadNow(path);
}

// Says once, until the file can be read again, that its values read as their defaults.
void WarnUnreadable(const QString& app, const QString& path, const QString& why)
{
    {
        Cache& cache = Files();
        std::lock_guard lock(cache.mutex);
        if (cache.warned.contains(path))
            return;
        cache.warned.insert(path);
    }
    std::fprintf(stderr, "%s: the settings file %s cannot be read (%s); its settings read as their defaults\n",
                 qPrintable(app), qPrintable(QDir::toNativeSeparators(path)), qPrintable(why));
    std::fflush(stderr);
}

[[noreturn]] void FileError(const QString& path, const QString& what)
{
    Raise(ErrPathFileAccess, QStringLiteral("%1: the settings file %2 %3")
                                 .arg(ErrorText(ErrPathFileAccess), QDir::toNativeSeparators(path), what));
}

// Read, change and write the file as one step, under a lock shared with every
// other process of this user (threads of this process queue on the mutex).
void Update(const QString& app, const std::function<void(ini::IniDocument&)>& change)
{
    static std::mutex processMutex;
    std::lock_guard guard(processMutex);

    const QString path = SettingsFilePath(app);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        Raise(ErrPathNotFound, QStringLiteral("%1: the settings folder %2 cannot be made")
                                   .arg(ErrorText(ErrPathNotFound), QDir::toNativeSeparators(folder)));

    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(LockWaitMs))
        FileError(path, lock.error() == QLockFile::LockFailedError
                            ? QStringLiteral("stays locked by another program")
                            : QStringLiteral("cannot be locked (its lock file cannot be made)"));

    const Reading before = Load(path);
    if (!before.snapshot)  // replacing a file we cannot read would lose it
        FileError(path, QStringLiteral("cannot be read (%1); it was left as it is").arg(before.why));
    ini::IniDocument doc = *before.snapshot->doc;
    change(doc);
    const QByteArray after = doc.Serialize();
    if (after == before.snapshot->bytes)
        return;
    if (after.size() > MaxFileBytes)  // it could not be read back
        FileError(path, QStringLiteral("would grow larger than %1 bytes; it was left as it is").arg(MaxFileBytes));
    QString why;
    if (!ReplaceFile(path, [&](QIODevice& out) { return out.write(after) == after.size(); }, &why))
        FileError(path, QStringLiteral("could not be written (%1)").arg(why));

    // What was just written, as the next read would find it.
    const FileStamp written = StampOfPath(path);
    if (!written.exists) {
        Keep(path, nullptr);
        return;
    }
    auto snapshot = std::make_shared<Snapshot>();
    snapshot->stamp = written;
    snapshot->bytes = after;
    snapshot->doc = std::make_shared<const ini::IniDocument>(ini::IniDocument::Parse(after));
    Keep(path, snapshot);
}

}  // namespace

QString SettingsFilePath(const QString& app)
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    QString name = app;
    name.replace(u'/', u'_');
    name.replace(QChar(u'\0'), u'_');
    if (name.isEmpty() || name == u"." || name == u"..")
        name.prepend(u'_');
    return base + QStringLiteral("/appsettings/") + name + QStringLiteral(".ini");
}

void ReadSettingsAhead(const QString& app)
{
    const QString path = SettingsFilePath(app);
    Cache& cache = Files();
    std::lock_guard lock(cache.mutex);
    if (!cache.readsAhead.contains(path))
        cache.readsAhead.insert(path, std::async(std::launch::async, [path] { LoadNow(path); }).share());
}

QString GetSetting(const QString& app, const QString& section, const QString& key, const QString& defaultValue)
{
    if (section.isEmpty() || key.isEmpty())
        return defaultValue;
    const QString path = SettingsFilePath(app);
    const Reading file = Load(path);
    if (!file.snapshot) {
        WarnUnreadable(app, path, file.why);
        return defaultValue;
    }
    return file.snapshot->doc->Value(section, key).value_or(defaultValue);
}

void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value)
{
    if (section.isEmpty() || key.isEmpty())
        Raise(ErrInvalidCall);
    Update(app, [&](ini::IniDocument& doc) { doc.SetValue(section, key, value); });
}

void DeleteSetting(const QString& app, const QString& section, const QString& key)
{
    if (section.isEmpty())
        Raise(ErrInvalidCall);
    if (!QFileInfo::exists(SettingsFilePath(app)))
        return;
    Update(app, [&](ini::IniDocument& doc) {
        if (key.isEmpty())
            doc.RemoveSection(section);
        else
            doc.Remove(section, key);
    });
}

}  // namespace plat
