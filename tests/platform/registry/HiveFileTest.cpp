// The hive file on disk: corrupt files are kept, concurrent writers lose nothing.

#include "tests/platform/registry/RegistryFixture.h"

#include <QDir>

#include <sys/wait.h>
#include <unistd.h>

using namespace plat;

TEST_F(RegistryTest, CorruptHiveIsReportedReadAsEmptyAndNeverOverwritten)
{
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Keep", 0, KEY_ALL_ACCESS, key.put()), ERROR_SUCCESS);
    ASSERT_EQ(RegSetStringValue(key.get(), "a", "1"), ERROR_SUCCESS);
    key.reset();

    // A half-written line in the middle of otherwise good data.
    QByteArray damaged = FileText(UserHivePath());
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

    EXPECT_NE(err.find("user.reg is corrupt (line 9: bad dword)"), std::string::npos) << err;
    EXPECT_EQ(err.find("corrupt"), err.rfind("corrupt")) << "reported once: " << err;
    EXPECT_EQ(FileText(UserHivePath()), damaged);
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
    constexpr int kEach = 120;
    auto writer = [](const char* prefix) {
        return [prefix] {
            int failures = 0;
            for (int i = 0; i < kEach; ++i) {
                RegKey key;
                failures += RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Race", 0, KEY_ALL_ACCESS, key.put()) != 0;
                failures += RegSetDwordValue(key.get(), QString("%1%2").arg(prefix).arg(i), DWORD(i)) != 0;
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

    for (int i = 0; i < kEach; ++i) {
        EXPECT_EQ(RegGetDwordValue(HKEY_CURRENT_USER, "Software\\Race", QString("a%1").arg(i)), DWORD(i));
        EXPECT_EQ(RegGetDwordValue(HKEY_CURRENT_USER, "Software\\Race", QString("b%1").arg(i)), DWORD(i));
    }
}

TEST_F(RegistryTest, ChangeByAnotherProcessIsSeen)
{
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Seen", 0, KEY_ALL_ACCESS, key.put()), ERROR_SUCCESS);
    ASSERT_EQ(RegSetStringValue(key.get(), "v", "old"), ERROR_SUCCESS);
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "Software\\Seen", "v"), "old");
    EXPECT_EQ(Wait(Spawn([] { return int(RegSetStringValue(HKEY_CURRENT_USER, "w", "x")) +
                                  int(RegSetStringValue(HKEY_CURRENT_USER, "w2", "y")); })), 0);
    ASSERT_EQ(Wait(Spawn([] {
                  RegKey k;
                  RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Seen", 0, KEY_ALL_ACCESS, k.put());
                  return int(RegSetStringValue(k.get(), "v", "new"));
              })),
              0);
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "Software\\Seen", "v"), "new");
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "", "w2"), "y");
}
