// Opening the saved-sites file in a text editor. The editors are small
// scripts that record the arguments they were started with; the desktop's
// folders (data, config), the PATH and the current folder are temporary
// ones. Cases that go through the desktop's default application run in a
// process of their own (plat_edit_helper), as GIO reads those folders once
// per process.
#include "platform/runtime/App.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/TextEditor.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

const QString AwkwardPath = QStringLiteral("/tmp/My Pages/it's \"$(rm -rf ~)\" ; a&b | %f `x` \\n.htm");

class TextEditorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(root.isValid()); }

    QString Dir(const QString& name)
    {
        const QString path = root.path() + u'/' + name;
        QDir().mkpath(path);
        return path;
    }
    static void Write(const QString& path, const QByteArray& text, bool executable = false)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
        f.close();
        if (executable)
            f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    }
    // An editor on the temporary PATH that records its arguments, NUL after
    // each. Like some real editors, it runs what follows a leading "+!" in
    // an argument as a command.
    QString Editor(const QString& name)
    {
        const QString path = Dir(QStringLiteral("bin")) + u'/' + name;
        const QByteArray record = QFile::encodeName(Record(name));
        Write(path,
              "#!/bin/sh\n"
              "for a in \"$@\"; do case \"$a\" in \"+!\"*) PATH=/usr/bin:/bin /bin/sh -c \"${a#+!}\";; esac; done\n"
              "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > '" + record + ".new'\n"
              "/bin/mv '" + record + ".new' '" + record + "'\n",
              true);
        return path;
    }
    QString Record(const QString& editor) { return Dir(QStringLiteral("records")) + u'/' + editor; }
    // The arguments the editor was started with, once it has written them.
    std::optional<QStringList> StartedWith(const QString& editor)
    {
        QFile f(Record(editor));
        for (QDeadlineTimer deadline(20000); !f.exists() && !deadline.hasExpired();)
            QThread::msleep(10);
        if (!f.open(QIODevice::ReadOnly))
            return std::nullopt;
        QStringList args;
        for (const QByteArray& a : f.readAll().split('\0'))
            args << QFile::decodeName(a);
        args.removeLast();  // after the last NUL
        f.close();
        f.remove();
        return args;
    }
    void DesktopEntry(const QString& id, const QByteArray& body)
    {
        Write(Dir(QStringLiteral("data-home")) + QStringLiteral("/applications/") + id,
              "[Desktop Entry]\nType=Application\nName=Test Editor\n" + body);
    }
    void DefaultForText(const QString& id)
    {
        Write(Dir(QStringLiteral("config-home")) + QStringLiteral("/mimeapps.list"),
              "[Default Applications]\ntext/plain=" + id.toUtf8() + ";\n");
    }
    // Opens the file in a process whose desktop is all temporary, started
    // in the folder "work"; says what the process printed.
    QString Edit(const QString& path)
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("HOME"), Dir(QStringLiteral("home")));
        env.insert(QStringLiteral("PATH"), Dir(QStringLiteral("bin")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), Dir(QStringLiteral("data-home")));
        env.insert(QStringLiteral("XDG_DATA_DIRS"), Dir(QStringLiteral("data-sys")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), Dir(QStringLiteral("config-home")));
        env.insert(QStringLiteral("XDG_CONFIG_DIRS"), Dir(QStringLiteral("config-sys")));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        for (const auto& [name, value] : extraEnvironment)
            env.insert(name, value);
        QProcess helper;
        helper.setProcessEnvironment(env);
        helper.setWorkingDirectory(Dir(QStringLiteral("work")));
        helper.start(QStringLiteral(EDIT_HELPER), {path});
        if (!helper.waitForFinished(30000))
            return QStringLiteral("did not finish");
        return QString::fromUtf8(helper.readAllStandardOutput()).trimmed()
               + QString::fromUtf8(helper.readAllStandardError()).trimmed();
    }

    QTemporaryDir root;
    std::map<QString, QString> extraEnvironment;
};

TEST_F(TextEditorTest, TheDefaultEditorGetsAnAbsolutePathWhateverTheStoredText)
{
    Editor(QStringLiteral("pad"));
    Editor(QStringLiteral("gedit"));  // a fallback, not needed
    DesktopEntry(QStringLiteral("pad.desktop"), "Exec=pad --new-window %f\n");
    DefaultForText(QStringLiteral("pad.desktop"));
    const QString work = Dir(QStringLiteral("work"));

    const std::vector<std::pair<QString, QString>> cases{
        {QStringLiteral("+!touch FILE"), work + QStringLiteral("/+!touch FILE")},
        {QStringLiteral("-R"), work + QStringLiteral("/-R")},
        {QStringLiteral("--help"), work + QStringLiteral("/--help")},
        {QStringLiteral("pins/sitepin.htm"), work + QStringLiteral("/pins/sitepin.htm")},
        {AwkwardPath, AwkwardPath},
        {QUrl::fromLocalFile(QStringLiteral("/tmp/My Pages/a b#c.htm")).toString(), QStringLiteral("/tmp/My Pages/a b#c.htm")},
    };
    for (const auto& [stored, file] : cases) {
        EXPECT_EQ(Edit(stored), QStringLiteral("started")) << stored.toStdString();
        EXPECT_EQ(StartedWith(QStringLiteral("pad")), (QStringList{QStringLiteral("--new-window"), file}))
            << stored.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(work + QStringLiteral("/FILE"))) << "the editor ran a command from the path";
    EXPECT_FALSE(QFileInfo::exists(Record(QStringLiteral("gedit"))));
}

TEST_F(TextEditorTest, AnEntryThatTakesAddressesGetsTheAbsolutePathOrAFileAddress)
{
    Editor(QStringLiteral("pad"));
    DefaultForText(QStringLiteral("pad.desktop"));
    const QString file = Dir(QStringLiteral("work")) + QStringLiteral("/+!touch FILE");

    // The desktop's rule: a local file goes as its path even where addresses are taken ...
    DesktopEntry(QStringLiteral("pad.desktop"), "Exec=pad %U\n");
    EXPECT_EQ(Edit(QStringLiteral("+!touch FILE")), QStringLiteral("started"));
    EXPECT_EQ(StartedWith(QStringLiteral("pad")), QStringList{file});

    // ... unless the entry asks for addresses only.
    DesktopEntry(QStringLiteral("pad.desktop"), "Exec=pad %u\nX-GIO-NoFuse=true\n");
    for (const auto& [stored, path] : {std::pair{QStringLiteral("+!touch FILE"), file}, std::pair{AwkwardPath, AwkwardPath}}) {
        EXPECT_EQ(Edit(stored), QStringLiteral("started"));
        const auto args = StartedWith(QStringLiteral("pad"));
        ASSERT_TRUE(args && args->size() == 1) << stored.toStdString();
        EXPECT_TRUE(args->first().startsWith(QStringLiteral("file:///"))) << args->first().toStdString();
        EXPECT_EQ(QUrl(args->first()).toLocalFile(), path);
    }
    EXPECT_FALSE(QFileInfo::exists(Dir(QStringLiteral("work")) + QStringLiteral("/FILE")));
}

TEST_F(TextEditorTest, AnEditorThatWillNotStartGivesWayToTheFallbacks)
{
    DesktopEntry(QStringLiteral("gone.desktop"), "Exec=not-installed %f\n");
    DefaultForText(QStringLiteral("gone.desktop"));
    Editor(QStringLiteral("gedit"));
    EXPECT_EQ(Edit(QStringLiteral("-pins.htm")), QStringLiteral("started"));
    EXPECT_EQ(StartedWith(QStringLiteral("gedit")), QStringList{Dir(QStringLiteral("work")) + QStringLiteral("/-pins.htm")});
}

TEST_F(TextEditorTest, VisualRunsInATerminalWithThePathLast)
{
    const QString vi = Editor(QStringLiteral("vi"));
    Editor(QStringLiteral("x-terminal-emulator"));
    extraEnvironment[QStringLiteral("VISUAL")] = QStringLiteral("vi -R");
    EXPECT_EQ(Edit(QStringLiteral("+!touch FILE")), QStringLiteral("started"));
    EXPECT_EQ(StartedWith(QStringLiteral("x-terminal-emulator")),
              (QStringList{QStringLiteral("-e"), vi, QStringLiteral("-R"), Dir(QStringLiteral("work")) + QStringLiteral("/+!touch FILE")}));
}

TEST_F(TextEditorTest, NoEditorAtAllIsFileNotFound)
{
    EXPECT_EQ(Edit(QStringLiteral("/x.htm")), QStringLiteral("error %1").arg(plat::ErrFileNotFound));
    DesktopEntry(QStringLiteral("gone.desktop"), "Exec=not-installed %f\n");
    DefaultForText(QStringLiteral("gone.desktop"));
    EXPECT_EQ(Edit(QStringLiteral("/x.htm")), QStringLiteral("error %1").arg(plat::ErrFileNotFound));
}

// The fallbacks read the environment on every call: these run in the test's
// own process, with the program starts going to a stand-in.
class FallbackEditorTest : public TextEditorTest {
protected:
    void SetUp() override
    {
        TextEditorTest::SetUp();
        for (const char* v : {"PATH", "VISUAL", "EDITOR"})
            saved[v] = qgetenv(v);
        qputenv("PATH", Dir(QStringLiteral("bin")).toLocal8Bit());
        qunsetenv("VISUAL");
        qunsetenv("EDITOR");
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved)
            if (value.isNull())
                qunsetenv(name.c_str());
            else
                qputenv(name.c_str(), value);
    }
    std::map<std::string, QByteArray> saved;
};

TEST_F(FallbackEditorTest, FallbacksComeInOrderAndTerminalEditorsGetATerminal)
{
    const QString vi = Editor(QStringLiteral("vi"));
    const QString nano = Editor(QStringLiteral("nano"));
    const QString gedit = Editor(QStringLiteral("gedit"));
    qputenv("VISUAL", "vi -R");
    qputenv("EDITOR", "nano");

    // Without a terminal only the graphical editor is left.
    auto commands = plat::FallbackEditorCommands(AwkwardPath);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], (plat::LaunchCommand{gedit, {AwkwardPath}}));

    const QString term = Editor(QStringLiteral("x-terminal-emulator"));
    commands = plat::FallbackEditorCommands(AwkwardPath);
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0], (plat::LaunchCommand{term, {"-e", vi, "-R", AwkwardPath}}));
    EXPECT_EQ(commands[1], (plat::LaunchCommand{term, {"-e", nano, AwkwardPath}}));
    EXPECT_EQ(commands[2], (plat::LaunchCommand{gedit, {AwkwardPath}}));

    // No file: the editor opens without one.
    EXPECT_EQ(plat::FallbackEditorCommands(QString()).back(), (plat::LaunchCommand{gedit, {}}));
}

TEST(EditorPath, IsAlwaysAbsoluteAndNeverAnOptionOrACommand)
{
    const QString here = QDir::currentPath();
    EXPECT_EQ(plat::EditorPath(QStringLiteral("+!touch FILE")), here + QStringLiteral("/+!touch FILE"));
    EXPECT_EQ(plat::EditorPath(QStringLiteral("-R")), here + QStringLiteral("/-R"));
    EXPECT_EQ(plat::EditorPath(QStringLiteral("file:///tmp/a%20b.htm")), QStringLiteral("/tmp/a b.htm"));
    EXPECT_EQ(plat::EditorPath(QStringLiteral("FILE:///tmp/x.htm")), QStringLiteral("/tmp/x.htm"));
    EXPECT_EQ(plat::EditorPath(AwkwardPath), AwkwardPath);
    EXPECT_EQ(plat::EditorPath(QString()), QString());
}

}  // namespace
