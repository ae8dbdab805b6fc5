// Finding the desktop's text editor: desktop entries and their command
// lines, the default application for plain text, the fallbacks, and a path
// that always arrives as one argument. Every folder the lookup reads (data,
// config, PATH) is a temporary one; program starts go to a stand-in.
#include "platform/runtime/App.h"
#include "platform/runtime/DesktopEntry.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/TextEditor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

const QString kAwkwardPath = QStringLiteral("/tmp/My Pages/it's \"$(rm -rf ~)\" ; a&b | %f `x` \\n.htm");

struct Started {
    QString program;
    QStringList arguments;
};

class TextEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        for (const char* v : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "PATH", "VISUAL", "EDITOR"})
            saved[v] = qgetenv(v);
        Set("XDG_DATA_HOME", Dir("data-home"));
        Set("XDG_DATA_DIRS", Dir("data-sys"));
        Set("XDG_CONFIG_HOME", Dir("config-home"));
        Set("XDG_CONFIG_DIRS", Dir("config-sys"));
        Set("PATH", Dir("bin"));
        qunsetenv("VISUAL");
        qunsetenv("EDITOR");
        plat::SetProcessStarter([this](const QString& program, const QStringList& args) -> long long {
            started.push_back({program, args});
            if (refuse.contains(QFileInfo(program).fileName()))
                plat::Raise(plat::ErrFileNotFound);
            return 4242;
        });
    }
    void TearDown() override
    {
        plat::SetProcessStarter({});
        for (const auto& [name, value] : saved)
            if (value.isNull())
                qunsetenv(name.c_str());
            else
                qputenv(name.c_str(), value);
    }

    QString Dir(const QString& name)
    {
        const QString path = root.path() + u'/' + name;
        QDir().mkpath(path);
        return path;
    }
    static void Set(const char* name, const QString& value) { qputenv(name, value.toLocal8Bit()); }
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
    // A program on the (temporary) PATH.
    QString Program(const QString& name)
    {
        const QString path = Dir("bin") + u'/' + name;
        Write(path, "#!/bin/sh\nexit 0\n", true);
        return path;
    }
    void Entry(const QString& folder, const QString& id, const QByteArray& body)
    {
        Write(folder + QStringLiteral("/applications/") + id, "[Desktop Entry]\nType=Application\n" + body);
    }
    void DefaultForText(const QString& ids)
    {
        Write(Dir("config-home") + QStringLiteral("/mimeapps.list"),
              "[Added Associations]\ntext/plain=other.desktop;\n[Default Applications]\ntext/plain=" + ids.toUtf8() + "\n");
    }

    QTemporaryDir root;
    std::map<std::string, QByteArray> saved;
    std::vector<Started> started;
    QStringList refuse;
};

TEST_F(TextEditorTest, ExecLinesFollowTheQuotingAndFieldCodeRules)
{
    plat::DesktopEntry e;
    e.name = QStringLiteral("Pad");
    e.icon = QStringLiteral("pad-icon");
    e.path = QStringLiteral("/apps/pad.desktop");

    e.exec = QStringLiteral("pad --new %f");
    EXPECT_EQ(*plat::ExecArguments(e, kAwkwardPath), (QStringList{"pad", "--new", kAwkwardPath}));

    // No code for the file: it goes last, still one argument.
    e.exec = QStringLiteral("pad   --plain");
    EXPECT_EQ(*plat::ExecArguments(e, kAwkwardPath), (QStringList{"pad", "--plain", kAwkwardPath}));

    // Quoted arguments keep their blanks; \" \\ \$ \` stand for the character.
    e.exec = QStringLiteral(R"("/opt/my pad/pad" "say \"hi\" \$HOME \\ \`" --file=%U %i %c %k %% %d)");
    EXPECT_EQ(*plat::ExecArguments(e, QStringLiteral("/a b/c.txt")),
              (QStringList{"/opt/my pad/pad", R"(say "hi" $HOME \ `)", "--file=/a b/c.txt", "--icon", "pad-icon", "Pad",
                           "/apps/pad.desktop", "%"}));

    // A '%' inside the file name is never read as a code.
    e.exec = QStringLiteral("pad %F");
    EXPECT_EQ(*plat::ExecArguments(e, QStringLiteral("/x/%f%u.txt")), (QStringList{"pad", "/x/%f%u.txt"}));

    e.exec = QStringLiteral(R"(pad "unclosed)");
    EXPECT_FALSE(plat::ExecArguments(e, QStringLiteral("/x")));
    e.exec = QString();
    EXPECT_FALSE(plat::ExecArguments(e, QStringLiteral("/x")));
}

TEST_F(TextEditorTest, EntriesAreReadWithTheirStringEscapesAndFoundInSubfolders)
{
    Entry(Dir("data-sys"), QStringLiteral("kde/pad.desktop"),
          "Name=Pad\nName[de]=Block\nExec=pad\\s--x %f\nTerminal=true\n[Desktop Action New]\nExec=other\n");
    const auto entry = plat::FindDesktopEntry(QStringLiteral("kde-pad.desktop"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, QStringLiteral("Pad"));
    EXPECT_EQ(entry->exec, QStringLiteral("pad --x %f"));
    EXPECT_TRUE(entry->terminal);
    EXPECT_EQ(entry->id, QStringLiteral("kde-pad.desktop"));

    // The user's own data folder comes first.
    Entry(Dir("data-home"), QStringLiteral("kde-pad.desktop"), "Name=Mine\nExec=mine %f\n");
    EXPECT_EQ(plat::FindDesktopEntry(QStringLiteral("kde-pad.desktop"))->name, QStringLiteral("Mine"));

    EXPECT_FALSE(plat::FindDesktopEntry(QStringLiteral("../escape.desktop")));
    EXPECT_FALSE(plat::FindDesktopEntry(QStringLiteral("missing.desktop")));
}

TEST_F(TextEditorTest, TheDefaultForPlainTextComesFromTheMimeappsLists)
{
    EXPECT_TRUE(plat::DefaultApplicationId(QStringLiteral("text/plain")).isEmpty());
    Entry(Dir("data-sys"), QStringLiteral("pad.desktop"), "Exec=pad %f\n");
    // Ids that are not installed are passed over.
    DefaultForText(QStringLiteral("gone.desktop;pad.desktop;"));
    EXPECT_EQ(plat::DefaultApplicationId(QStringLiteral("text/plain")), QStringLiteral("pad.desktop"));
    EXPECT_TRUE(plat::DefaultApplicationId(QStringLiteral("text/html")).isEmpty());
}

TEST_F(TextEditorTest, XdgMimeIsAskedWhenItIsThere)
{
    Write(Dir("bin") + QStringLiteral("/xdg-mime"),
          "#!/bin/sh\n[ \"$1 $2 $3\" = \"query default text/plain\" ] && echo asked.desktop\n", true);
    DefaultForText(QStringLiteral("pad.desktop"));
    EXPECT_EQ(plat::DefaultApplicationId(QStringLiteral("text/plain")), QStringLiteral("asked.desktop"));
}

TEST_F(TextEditorTest, TheDefaultEditorGetsThePathAsOneArgument)
{
    const QString pad = Program(QStringLiteral("pad"));
    Entry(Dir("data-home"), QStringLiteral("pad.desktop"), "Exec=pad --new-window %f\n");
    DefaultForText(QStringLiteral("pad.desktop"));

    EXPECT_EQ(plat::EditTextFile(kAwkwardPath), 4242);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].program, pad);
    EXPECT_EQ(started[0].arguments, (QStringList{"--new-window", kAwkwardPath}));
}

TEST_F(TextEditorTest, FallbacksComeInOrderAndTerminalEditorsGetATerminal)
{
    const QString pad = Program(QStringLiteral("pad"));
    const QString vi = Program(QStringLiteral("vi"));
    const QString nano = Program(QStringLiteral("nano"));
    const QString gedit = Program(QStringLiteral("gedit"));
    Entry(Dir("data-home"), QStringLiteral("pad.desktop"), "Exec=pad %f\nTerminal=true\n");
    DefaultForText(QStringLiteral("pad.desktop"));
    Set("VISUAL", QStringLiteral("vi -R"));
    Set("EDITOR", QStringLiteral("nano"));

    // Without a terminal only the graphical editor is left.
    auto commands = plat::TextEditorCommands(kAwkwardPath);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], (plat::LaunchCommand{gedit, {kAwkwardPath}}));

    const QString term = Program(QStringLiteral("x-terminal-emulator"));
    commands = plat::TextEditorCommands(kAwkwardPath);
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_EQ(commands[0], (plat::LaunchCommand{term, {"-e", pad, kAwkwardPath}}));
    EXPECT_EQ(commands[1], (plat::LaunchCommand{term, {"-e", vi, "-R", kAwkwardPath}}));
    EXPECT_EQ(commands[2], (plat::LaunchCommand{term, {"-e", nano, kAwkwardPath}}));
    EXPECT_EQ(commands[3], (plat::LaunchCommand{gedit, {kAwkwardPath}}));

    // One that will not start gives way to the next.
    refuse = QStringList{"x-terminal-emulator"};
    EXPECT_EQ(plat::EditTextFile(kAwkwardPath), 4242);
    ASSERT_EQ(started.size(), 4u);
    EXPECT_EQ(started.back().program, gedit);
}

TEST_F(TextEditorTest, AnEntryWhoseProgramIsMissingIsPassedOver)
{
    Entry(Dir("data-home"), QStringLiteral("pad.desktop"), "Exec=pad %f\n");
    Entry(Dir("data-home"), QStringLiteral("tried.desktop"), "Exec=gedit %f\nTryExec=not-installed\n");
    DefaultForText(QStringLiteral("pad.desktop"));
    const QString gedit = Program(QStringLiteral("gedit"));
    const auto commands = plat::TextEditorCommands(QStringLiteral("/x.htm"));
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].program, gedit);
}

TEST_F(TextEditorTest, NoEditorAtAllIsFileNotFound)
{
    try {
        plat::EditTextFile(QStringLiteral("/x.htm"));
        FAIL() << "an editor was started";
    } catch (const plat::RuntimeError& e) {
        EXPECT_EQ(e.Number(), plat::ErrFileNotFound);
    }
    EXPECT_TRUE(started.empty());

    // Programs that exist but will not start end the same way.
    Program(QStringLiteral("gedit"));
    refuse = QStringList{"gedit"};
    EXPECT_THROW(plat::EditTextFile(QStringLiteral("/x.htm")), plat::RuntimeError);
    EXPECT_EQ(started.size(), 1u);
}

}  // namespace
