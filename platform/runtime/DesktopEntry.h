#pragma once
// The desktop's application launchers (".desktop" files), found and read as
// the XDG specifications describe them, and the default application the
// desktop has for a kind of file (a MIME type such as "text/plain").
//
// Folders, read from the environment on every call:
//   data:   $XDG_DATA_HOME (~/.local/share), then $XDG_DATA_DIRS (/usr/local/share:/usr/share)
//   config: $XDG_CONFIG_HOME (~/.config), then $XDG_CONFIG_DIRS (/etc/xdg)

#include <QString>
#include <QStringList>
#include <optional>

namespace plat {

struct DesktopEntry {
    QString id;    // "org.example.Editor.desktop"
    QString path;  // the file it was read from
    QString name;
    QString exec;  // the command line, string escapes already undone
    QString tryExec;
    QString icon;
    bool terminal = false;  // the program runs in a terminal
    bool hidden = false;    // the entry counts as deleted
};

QStringList XdgDataDirs();
QStringList XdgConfigDirs();

// Reads the [Desktop Entry] group of a file; nothing when it has none.
std::optional<DesktopEntry> ReadDesktopEntry(const QString& path);

// Finds an entry by its id in the applications folders of the data folders,
// the first found winning. A "-" in the id may stand for a subfolder
// ("kde-kwrite.desktop" is also looked for as kde/kwrite.desktop).
std::optional<DesktopEntry> FindDesktopEntry(const QString& id);

// The id of the desktop's default application for a MIME type: what
// `xdg-mime query default` answers when that tool is there, else the
// [Default Applications] of the mimeapps.list files, the first installed
// entry winning. Empty when there is none.
QString DefaultApplicationId(const QString& mimeType);

// The entry's command line for opening one file, split into program and
// arguments as the Exec rules say (quoting, escapes, field codes). The file
// always arrives as ONE argument: %f %F %u %U are replaced by it, and it is
// appended when the line names none. Nothing when the line is malformed or
// empty.
std::optional<QStringList> ExecArguments(const DesktopEntry& entry, const QString& file);

}  // namespace plat
