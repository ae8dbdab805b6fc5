#include "platform/runtime/TextEditor.h"

// GLib names a structure member after a word that Qt keeps as a macro.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include "platform/runtime/App.h"
#include "platform/runtime/Errors.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <memory>
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

template <class T>
using GObjectPtr = std::unique_ptr<T, void (*)(gpointer)>;

// The desktop's default application for plain text, started on the file.
// Nothing when there is none or it would not start.
std::optional<long long> StartDefaultEditor(const QString& file)
{
    GObjectPtr<GAppInfo> app(g_app_info_get_default_for_type("text/plain", FALSE), g_object_unref);
    if (!app)
        return std::nullopt;
    GObjectPtr<GAppLaunchContext> context(g_app_launch_context_new(), g_object_unref);
    long long pid = 0;
    g_signal_connect(context.get(), "launched",
                     G_CALLBACK(+[](GAppLaunchContext*, GAppInfo*, GVariant* data, gpointer started) {
                         gint32 id = 0;
                         if (g_variant_lookup(data, "pid", "i", &id))
                             *static_cast<long long*>(started) = id;
                     }),
                     &pid);
    GList* files = nullptr;
    if (!file.isEmpty())
        files = g_list_append(files, g_file_new_for_path(QFile::encodeName(file).constData()));
    GError* error = nullptr;
    const bool started = g_app_info_launch(app.get(), files, context.get(), &error);
    g_list_free_full(files, g_object_unref);
    if (error)
        g_error_free(error);
    if (!started)
        return std::nullopt;
    return pid;
}

}  // namespace

QString EditorPath(const QString& path)
{
    if (path.isEmpty())
        return {};
    QString local = path;
    if (path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(path);
        if (url.isLocalFile())
            local = url.toLocalFile();
    }
    return QFileInfo(local).absoluteFilePath();
}

std::vector<LaunchCommand> FallbackEditorCommands(const QString& file)
{
    const QStringList fileArgument = file.isEmpty() ? QStringList() : QStringList{file};
    std::vector<LaunchCommand> commands;
    auto add = [&](const std::optional<LaunchCommand>& c) {
        if (c && std::find(commands.begin(), commands.end(), *c) == commands.end())
            commands.push_back(*c);
    };
    for (const char* variable : {"VISUAL", "EDITOR"}) {
        const QStringList editor = QProcess::splitCommand(qEnvironmentVariable(variable));
        if (!editor.isEmpty())
            add(Command(editor + fileArgument, true));
    }
    for (const char* editor : {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "pluma", "xed",
                               "featherpad", "leafpad", "geany"})
        add(Command(QStringList{QString::fromLatin1(editor)} + fileArgument, false));
    return commands;
}

long long EditTextFile(const QString& path)
{
    const QString file = EditorPath(path);
    if (const auto pid = StartDefaultEditor(file))
        return *pid;
    for (const LaunchCommand& command : FallbackEditorCommands(file)) {
        try {
            return Shell(command.program, command.arguments);
        } catch (const RuntimeError&) {
            // this one would not start; the next may
        }
    }
    Raise(ErrFileNotFound, QStringLiteral("No text editor could be started"));
}

}  // namespace plat
