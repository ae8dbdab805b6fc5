#include "platform/runtime/Settings.h"

#include "platform/runtime/Errors.h"
#include "platform/runtime/IniDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <optional>
#include <unistd.h>

namespace plat {

namespace {

constexpr int ErrPathFileAccess = 75;
constexpr int LockWaitMs = 30000;

// The whole file, "" when there is none yet, nothing when it exists but
// cannot be read.
std::optional<QByteArray> ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return QByteArray();
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

void SyncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);  // makes the rename itself durable
        ::close(fd);
    }
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        Raise(ErrPathFileAccess);
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        file.cancelWriting();
        Raise(ErrPathFileAccess);
    }
    if (!file.commit())
        Raise(ErrPathFileAccess);
    SyncFolder(QFileInfo(path).absolutePath());
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
        Raise(ErrPathNotFound);

    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(LockWaitMs))
        Raise(ErrPathFileAccess);

    const std::optional<QByteArray> before = ReadFile(path);
    if (!before)
        Raise(ErrPathFileAccess);  // replacing a file we cannot read would lose it
    ini::IniDocument doc = ini::IniDocument::Parse(*before);
    change(doc);
    const QByteArray after = doc.Serialize();
    if (after != *before)
        WriteFile(path, after);
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

QString GetSetting(const QString& app, const QString& section, const QString& key, const QString& defaultValue)
{
    if (section.isEmpty() || key.isEmpty())
        return defaultValue;
    const std::optional<QByteArray> bytes = ReadFile(SettingsFilePath(app));
    if (!bytes)
        return defaultValue;
    return ini::IniDocument::Parse(*bytes).Value(section, key).value_or(defaultValue);
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
