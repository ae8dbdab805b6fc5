#include "platform/runtime/App.h"
#include "platform/runtime/Errors.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace plat;

namespace {

struct Ended {
    int code;
};

int ShellError(const QString& program, const QStringList& args = {})
{
    try {
        Shell(program, args);
    } catch (const RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace

TEST(Shell, StandInStarterSeesProgramAndArguments)
{
    QString program;
    QStringList args;
    SetProcessStarter([&](const QString& p, const QStringList& a) {
        program = p;
        args = a;
        return 4242LL;
    });
    EXPECT_EQ(Shell("/opt/velmor/Velmor", {"--restart"}, 1), 4242);
    EXPECT_EQ(program, "/opt/velmor/Velmor");
    EXPECT_EQ(args, QStringList{"--restart"});
    SetProcessStarter({});
    EXPECT_EQ(ShellError("/no/such/program/anywhere"), ErrFileNotFound);  // the real starter is back
}

TEST(Shell, MissingProgramRaisesFileNotFound)
{
    EXPECT_EQ(ShellError("/no/such/program/anywhere"), ErrFileNotFound);
    EXPECT_EQ(ShellError("no-such-program-on-the-path-velmor"), ErrFileNotFound);
    EXPECT_EQ(ShellError(""), ErrFileNotFound);
    QTemporaryDir dir;
    EXPECT_EQ(ShellError(dir.path()), ErrFileNotFound);  // a folder is no program
}

TEST(Shell, ArgumentsReachTheProgramWithoutAShell)
{
    const QString touch = QStandardPaths::findExecutable("touch");
    ASSERT_FALSE(touch.isEmpty());
    QTemporaryDir dir;
    const QString name = dir.path() + "/a b;c $(echo x) *";
    const long long pid = Shell(touch, {name});
    EXPECT_GT(pid, 0);

    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(name) && waited.elapsed() < 10000)
        QThread::msleep(10);
    EXPECT_TRUE(QFileInfo::exists(name));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);  // nothing was expanded
}

TEST(End, TestHandlerReceivesTheCode)
{
    SetEndHandler([](int code) { throw Ended{code}; });
    try {
        End(7);
        FAIL();
    } catch (const Ended& e) {
        EXPECT_EQ(e.code, 7);
    }
    SetEndHandler({});
}

TEST(End, FlushesOutputAndRunsNoDestructors)
{
    QProcess helper;
    helper.start(RUNTIME_HELPER, {"end", "3"});
    ASSERT_TRUE(helper.waitForFinished(30000));
    EXPECT_EQ(helper.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(helper.exitCode(), 3);
    EXPECT_EQ(helper.readAllStandardOutput(), "bye");
}

TEST(AppObject, NamesAndFoldersOfTheRunningProgram)
{
    const QFileInfo exe(QFile::symLinkTarget("/proc/self/exe"));
    EXPECT_EQ(App::Path(), exe.absolutePath());
    EXPECT_FALSE(App::Path().endsWith('/'));
    EXPECT_EQ(App::EXEName(), exe.fileName());
    EXPECT_EQ(App::Title(), exe.completeBaseName());
    App::SetTitle("Velmor");
    EXPECT_EQ(App::Title(), "Velmor");
    EXPECT_EQ(App::Major(), 1);
    EXPECT_EQ(App::Minor(), 0);
    EXPECT_EQ(App::Revision(), 0);
    App::SetVersion(2, 3, 4);
    EXPECT_EQ(App::Major() * 100 + App::Minor() * 10 + App::Revision(), 234);
}

TEST(AppObject, ModuleOfAnAddress)
{
    static int insideTheProgram = 0;
    EXPECT_EQ(ModuleFile(&insideTheProgram), App::ExePath());

    const QString library = ModuleFile(reinterpret_cast<const void*>(&ErrorText));
    EXPECT_EQ(QFileInfo(library).fileName(), "libplat_runtime.so");
    EXPECT_EQ(ModuleFolder(reinterpret_cast<const void*>(&ErrorText)), QFileInfo(library).absolutePath());
    EXPECT_TRUE(QFileInfo(library).isAbsolute());
    EXPECT_EQ(ModuleFile(nullptr), QString());
}
