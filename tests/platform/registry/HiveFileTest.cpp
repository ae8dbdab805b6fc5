// The hive file on disk: corrupt, odd and unwritable files are kept and named,
// concurrent writers lose nothing.

#include "tests/platform/registry/RegistryFixture.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace plat;

TEST_F(RegistryTest, CorruptHiveIsReportedReadAsEmptyAndNeverOverwritten)
{
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Keep", 0, KEY_ALL_ACCESS, key.ReleaseAndGetAddressOf()),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetStringValue(key.Get(), "a", "1"), ERROR_SUCCESS);
    key.Reset();

    // A half-written line in the middle of otherwise good data.
    QByteArray damaged = FileText(UserHivePath());
    const int badLine = int(damaged.count('\n')) + 2;  // the dword after the added section
    damaged += "[HKEY_CURRENT_USER\\Software\\Other]\n\"b\"=dword:12\n\"c\"=\"unterminated\n";
    WriteFile(UserHivePath(), damaged);

    testing::internal::CaptureStderr();
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "Software\\Keep", "a"), std::nullopt);
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "Software\\Keep", "a"), std::nullopt);
    HKEY h = 0;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\New", 0, KEY_ALL_ACCESS, &h), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(RegSetDwordValue(HKEY_CURRENT_USER, "x", 1), ERROR_REGISTRY_CORRUPT);
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_NE(err.find(QString("user.reg is corrupt (line %1: bad dword)").arg(badLine).toStdString()), std::string::npos)
        << err;
    EXPECT_EQ(err.find("corrupt"), err.rfind("corrupt")) << "reported once: " << err;
    EXPECT_EQ(FileText(UserHivePath()), damaged);

    // Callers that fail because of it can say why, in words that name the file.
    const QString expected = QString("the registry hive %1 is corrupt (line %2: bad dword); it reads as empty and was "
                                     "left unchanged")
                                 .arg(UserHivePath())
                                 .arg(badLine);
    EXPECT_EQ(RegHiveProblem(HKEY_CURRENT_USER), expected);
    EXPECT_EQ(RegHiveProblem(HKEY_CLASSES_ROOT, true), expected);
    EXPECT_EQ(RegHiveProblem(HKEY_LOCAL_MACHINE), "");
}

TEST_F(RegistryTest, HiveThatIsNoRegularFileIsNeitherWaitedOnNorReplaced)
{
    // A pipe in its place would block a reader that opened it plainly.
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/config/registry"));
    ASSERT_EQ(mkfifo(QFile::encodeName(UserHivePath()).constData(), 0600), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "Software", "x"), std::nullopt);
    EXPECT_EQ(RegSetDwordValue(HKEY_CURRENT_USER, "x", 1), ERROR_ACCESS_DENIED);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("user.reg is not a regular file"), std::string::npos);
    EXPECT_TRUE(RegHiveProblem(HKEY_CURRENT_USER).contains("is not a regular file"));
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(UserHivePath()).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "still the pipe";
}

TEST_F(RegistryTest, HiveTooBigToHoldIsRefusedUnread)
{
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/config/registry"));
    QFile huge(UserHivePath());
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write("Registry Hive Text Version 1.00\n");
    ASSERT_TRUE(huge.resize(qint64(300) << 20));  // sparse: costs no disk
    huge.close();
    testing::internal::CaptureStderr();
    EXPECT_EQ(RegSetDwordValue(HKEY_CURRENT_USER, "x", 1), ERROR_REGISTRY_CORRUPT);
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(RegHiveProblem(HKEY_CURRENT_USER).contains("more than a hive may hold"))
        << RegHiveProblem(HKEY_CURRENT_USER).toStdString();
    EXPECT_EQ(QFileInfo(UserHivePath()).size(), qint64(300) << 20);
}

TEST_F(RegistryTest, HiveTheUserMayNotWriteIsNamedAsSuch)
{
    ASSERT_EQ(RegSetDwordValue(HKEY_CURRENT_USER, "x", 1), ERROR_SUCCESS);
    ASSERT_TRUE(QFile::setPermissions(UserHivePath(), QFile::ReadOwner));
    EXPECT_EQ(RegSetDwordValue(HKEY_CURRENT_USER, "x", 2), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegHiveProblem(HKEY_CURRENT_USER), "") << "it reads well";
    EXPECT_EQ(RegHiveProblem(HKEY_CURRENT_USER, true), "no write access to the registry hive " + UserHivePath());
    QFile::setPermissions(UserHivePath(), QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(RegistryTest, FileWithoutHeaderIsCorrupt)
{
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/config/registry"));
    WriteFile(UserHivePath(), "[HKEY_CURRENT_USER\\A]\n\"x\"=\"y\"\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "A", "x"), std::nullopt);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("missing header"), std::string::npos);
}

namespace {

// Runs `body` in a child process and returns its exit status.
template <class F>
pid_t Spawn(F body)
{
    const pid_t pid = fork();
    if (pid == 0) {
        int failures = body();
        _exit(failures == 0 ? 0 : 1);
    }
    return pid;
}

int Wait(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing)
{
    constexpr int ValuesEach = 120;
    auto writer = [](const char* prefix) {
        return [prefix] {
            int failures = 0;
            for (int i = 0; i < ValuesEach; ++i) {
                RegKey key;
                failures += RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Race", 0, KEY_ALL_ACCESS,
                                           key.ReleaseAndGetAddressOf()) != 0;
                failures += RegSetDwordValue(key.Get(), QString("%1%2").arg(prefix).arg(i), DWORD(i)) != 0;
            }
            return failures;
        };
    };
    const pid_t a = Spawn(writer("a"));
    const pid_t b = Spawn(writer("b"));
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    EXPECT_EQ(Wait(a), 0);
    EXPECT_EQ(Wait(b), 0);

    for (int i = 0; i < ValuesEach; ++i) {
        EXPECT_EQ(RegGetDwordValue(HKEY_CURRENT_USER, "Software\\Race", QString("a%1").arg(i)), DWORD(i));
        EXPECT_EQ(RegGetDwordValue(HKEY_CURRENT_USER, "Software\\Race", QString("b%1").arg(i)), DWORD(i));
    }
}

TEST_F(RegistryTest, ChangeByAnotherProcessIsSeen)
{
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Seen", 0, KEY_ALL_ACCESS, key.ReleaseAndGetAddressOf()),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetStringValue(key.Get(), "v", "old"), ERROR_SUCCESS);
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "Software\\Seen", "v"), "old");
    EXPECT_EQ(Wait(Spawn([] { return int(RegSetStringValue(HKEY_CURRENT_USER, "w", "x")) +
                                  int(RegSetStringValue(HKEY_CURRENT_USER, "w2", "y")); })), 0);
    ASSERT_EQ(Wait(Spawn([] {
                  RegKey k;
                  RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Seen", 0, KEY_ALL_ACCESS, k.ReleaseAndGetAddressOf());
                  return int(RegSetStringValue(k.Get(), "v", "new"));
              })),
              0);
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "Software\\Seen", "v"), "new");
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "", "w2"), "y");
}
