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

// The ways to open `path` in a text editor on this machine, best first:
//   1. the desktop's default application for text/plain (DesktopEntry.h);
//   2. $VISUAL, then $EDITOR;
//   3. common graphical editors found on the PATH.
// A program that needs a terminal (a desktop entry that says so, $VISUAL,
// $EDITOR) runs in x-terminal-emulator or xterm, and is left out when
// neither is there. Programs that cannot be found are left out. The path is
// always one argument of its own, whatever blanks or shell characters it
// holds; nothing passes through a shell.
std::vector<LaunchCommand> TextEditorCommands(const QString& path);

// Starts the first of those commands that starts (through Shell, so tests
// can stand in for the start); raises File not found (53) when none does.
long long EditTextFile(const QString& path);

}  // namespace plat
