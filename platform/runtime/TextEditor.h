#pragma once
// Opening a plain-text file in the user's text editor.

#include <QString>
#include <QStringList>
#include <vector>

namespace plat {

struct LaunchCommand {
    QString program;  // a full path
    QStringList arguments;
    bool operator==(const LaunchCommand&) const = default;
};

// The file as every editor receives it: an absolute path (a relative one is
// taken from the current folder, a file:// address gives its path). It
// begins with '/', so no editor can read it as an option ("-...") or as a
// command ("+..."). The empty text stays empty: no file.
QString EditorPath(const QString& path);

// The editors tried when the desktop's default for plain text does not
// start, best first: $VISUAL, then $EDITOR, each in x-terminal-emulator or
// xterm (left out when neither is there), then common graphical editors
// found on the PATH. The file is one argument of its own, whatever blanks
// or shell characters it holds, and none when it is empty; nothing passes
// through a shell.
std::vector<LaunchCommand> FallbackEditorCommands(const QString& file);

// Opens the file (see EditorPath) in the desktop's default application for
// text/plain, found and started by GIO from its desktop entry: the entry's
// field codes give the path (%f) or a file:// address (%u), and the program
// starts without a shell. When there is no such application or it does not
// start, the first fallback that starts is used (through Shell, so tests
// can stand in for the start). Returns the process id, 0 when it is not
// known; raises File not found (53) when no editor starts.
long long EditTextFile(const QString& path);

}  // namespace plat
