#include "platform/runtime/TextEditor.h"

#include "platform/runtime/App.h"
#include "platform/runtime/DesktopEntry.h"
#include "platform/runtime/Errors.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <optional>

namespace plat {

namespace {

// A program's full path: as given when it names a file, else found on the PATH.
std::optional<QString> Resolve(const QString& program)
{
    if (program.isEmpty())
        return std::nullopt;
    if (program.contains(u'/')) {
        const QFileInfo info(program);
        if (info.isFile() && info.isExecutable())
            return info.absoluteFilePath();
        return std::nullopt;
    }
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty())
        return std::nullopt;
    return found;
}

std::optional<LaunchCommand> Command(const QStringList& commandLine, bool inTerminal)
{
    if (commandLine.isEmpty())
        return std::nullopt;
    const auto program = Resolve(commandLine.first());
    if (!program)
        return std::nullopt;
    if (!inTerminal)
        return LaunchCommand{*program, commandLine.mid(1)};
    for (const char* terminal : {"x-terminal-emulator", "xterm"})
        if (const auto t = Resolve(QString::fromLatin1(terminal)))
            return LaunchCommand{*t, QStringList{QStringLiteral("-e"), *program} + commandLine.mid(1)};
    return std::nullopt;
}

}  // namespace

std::vector<LaunchCommand> TextEditorCommands(const QString& path)
{
    std::vector<LaunchCommand> commands;
    auto add = [&](const std::optional<LaunchCommand>& c) {
        if (c && std::find(commands.begin(), commands.end(), *c) == commands.end())
            commands.push_back(*c);
    };

    if (const auto entry = FindDesktopEntry(DefaultApplicationId(QStringLiteral("text/plain")));
        entry && !entry->hidden && (entry->tryExec.isEmpty() || Resolve(entry->tryExec)))
        if (const auto line = ExecArguments(*entry, path))
            add(Command(*line, entry->terminal));

    for (const char* variable : {"VISUAL", "EDITOR"}) {
        const QStringList editor = QProcess::splitCommand(qEnvironmentVariable(variable));
        if (!editor.isEmpty())
            add(Command(editor + QStringList{path}, true));
    }

    for (const char* editor : {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "pluma", "xed",
                               "featherpad", "leafpad", "geany"})
        add(Command({QString::fromLatin1(editor), path}, false));
    return commands;
}

long long EditTextFile(const QString& path)
{
    for (const LaunchCommand& command : TextEditorCommands(path)) {
        try {
            return Shell(command.program, command.arguments);
        } catch (const RuntimeError&) {
            // this one would not start; the next may
        }
    }
    Raise(ErrFileNotFound, QStringLiteral("No text editor could be started"));
}

}  // namespace plat
