#pragma once
// Writing a stored file (the settings files, the registry hives): the new
// text goes to a file beside it, reaches the disk, and only then takes the
// old one's place, so that a reader, a crash or a full disk finds either the
// old file whole or the new one whole.

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace plat {

// The system's words for an errno value.
inline QString SystemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Replaces the file at `path` with what `write` puts into the device it is
// handed (false when a write failed). On failure the old file is left as it
// was and `why` says what went wrong.
inline bool ReplaceFile(const QString& path, const std::function<bool(QIODevice& out)>& write, QString* why)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *why = file.errorString();
        return false;
    }
    if (!write(file) || !file.flush() || ::fsync(file.handle()) != 0) {
        *why = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *why = file.errorString();
        return false;
    }
    // Makes the rename itself durable.
    const int folder =
        ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

}  // namespace plat
