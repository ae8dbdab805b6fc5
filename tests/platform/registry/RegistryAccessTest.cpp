// Write rights on a hive the user may not write are refused at open time.

#include "tests/platform/registry/RegistryFixture.h"

#include <QDir>
#include <QFile>

using namespace plat;

namespace {

constexpr REGSAM AboutBoxMask = 0x2003F;  // read control plus query, set, create, enumerate, notify, link

}  // namespace

class ReadOnlyMachineHive : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        RegKey key;
        ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared Tools\\Info", 0, KEY_ALL_ACCESS,
                                 key.ReleaseAndGetAddressOf()),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetStringValue(key.Get(), "PATH", "/opt/info"), ERROR_SUCCESS);
        key.Reset();
        before = FileText(MachineHivePath());
        ASSERT_TRUE(QFile::setPermissions(MachineHivePath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    void TearDown() override { QFile::setPermissions(MachineHivePath(), QFile::ReadOwner | QFile::WriteOwner); }

    QByteArray before;
};

TEST_F(ReadOnlyMachineHive, OpenAskingForWriteRightsIsDenied)
{
    HKEY h = 99;
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared Tools\\Info", 0, AboutBoxMask, &h),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared Tools\\Info", 0, KEY_SET_VALUE, &h),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared Tools\\Info", 0, GENERIC_WRITE, &h),
              ERROR_ACCESS_DENIED);
    // A missing key is reported as missing, whatever was asked.
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Absent", 0, AboutBoxMask, &h), ERROR_FILE_NOT_FOUND);
}

TEST_F(ReadOnlyMachineHive, ReadingStillWorksAndNothingIsWritten)
{
    EXPECT_EQ(RegGetStringValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared Tools\\Info", "PATH"), "/opt/info");

    RegKey key;
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", 0, KEY_ALL_ACCESS, key.ReleaseAndGetAddressOf()),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetDwordValue(HKEY_LOCAL_MACHINE, "x", 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE"), ERROR_ACCESS_DENIED);

    // A read-only open cannot be used to write either.
    ASSERT_EQ(
        RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared Tools\\Info", 0, KEY_READ, key.ReleaseAndGetAddressOf()),
        ERROR_SUCCESS);
    EXPECT_EQ(RegSetStringValue(key.Get(), "PATH", "/elsewhere"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(FileText(MachineHivePath()), before);

    // The per-user hive is unaffected.
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Mine", 0, AboutBoxMask, key.ReleaseAndGetAddressOf()),
              ERROR_SUCCESS);
}

TEST_F(RegistryTest, HiveThatCannotBeCreatedIsDenied)
{
    // No machine hive yet, and its folder is read-only.
    const QString folder = dir.path() + "/etc";
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    HKEY h = 0;
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\X", 0, KEY_ALL_ACCESS, &h), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "", 0, AboutBoxMask, &h), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "", 0, KEY_READ, &h), ERROR_SUCCESS);
    RegCloseKey(h);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
