// Values of every kind written, read back, and kept in the hive's text form.

#include "tests/platform/registry/RegistryFixture.h"

#include <QDir>

using namespace plat;

namespace {

const uint8_t* Bytes(const char* s)
{
    return reinterpret_cast<const uint8_t*>(s);
}

}  // namespace

TEST_F(RegistryTest, ValuesOfEachTypeRoundTripThroughTheHiveFile)
{
    RegKey key;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Probe\\Values", 0, KEY_ALL_ACCESS,
                             key.ReleaseAndGetAddressOf(), &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);

    ASSERT_EQ(RegSetStringValue(key.Get(), "Path", "C:\\tools \"quoted\" \u00e9"), ERROR_SUCCESS);
    ASSERT_EQ(RegSetDwordValue(key.Get(), "Count", 10), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key.Get(), "Blob", REG_BINARY, Bytes("\x01\x02\xff"), 3), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key.Get(), "Expand", REG_EXPAND_SZ, Bytes("%HOME%\0"), 7), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key.Get(), "NoNul", REG_SZ, Bytes("abc"), 3), ERROR_SUCCESS);
    ASSERT_EQ(RegSetStringValue(key.Get(), "", "default"), ERROR_SUCCESS);

    const QByteArray text = FileText(UserHivePath());
    EXPECT_TRUE(text.startsWith("Registry Hive Text Version 1.00\n"));
    EXPECT_TRUE(text.contains("[HKEY_CURRENT_USER\\Software\\Probe\\Values]\n"));
    EXPECT_TRUE(text.contains("\"Path\"=\"C:\\\\tools \\\"quoted\\\" \xc3\xa9\"\n"));
    EXPECT_TRUE(text.contains("\"Count\"=dword:0000000a\n"));
    EXPECT_TRUE(text.contains("\"Blob\"=hex:01,02,ff\n"));
    EXPECT_TRUE(text.contains("\"Expand\"=hex(2):25,48,4f,4d,45,25,00\n"));
    EXPECT_TRUE(text.contains("\"NoNul\"=hex(1):61,62,63\n"));
    EXPECT_TRUE(text.contains("@=\"default\"\n"));

    DWORD type = 0;
    EXPECT_EQ(Query(HKEY_CURRENT_USER, "software\\PROBE\\values", "path", &type),
              QByteArray("C:\\tools \"quoted\" \xc3\xa9", 21));
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(Query(HKEY_CURRENT_USER, "Software\\Probe\\Values", "Count", &type), QByteArray("\x0a\0\0\0", 4));
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(Query(HKEY_CURRENT_USER, "Software\\Probe\\Values", "Blob", &type), QByteArray("\x01\x02\xff"));
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(Query(HKEY_CURRENT_USER, "Software\\Probe\\Values", "Expand", &type), QByteArray("%HOME%\0", 7));
    EXPECT_EQ(type, REG_EXPAND_SZ);
    // A text stored without its NUL keeps every byte and gains none.
    EXPECT_EQ(Query(HKEY_CURRENT_USER, "Software\\Probe\\Values", "NoNul", &type), QByteArray("abc"));
    EXPECT_EQ(RegGetDwordValue(HKEY_CURRENT_USER, "Software\\Probe\\Values", "Count"), 10u);
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "Software\\Probe\\Values", ""), "default");
}

TEST_F(RegistryTest, BufferSizeRules)
{
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tools", 0, KEY_ALL_ACCESS, key.ReleaseAndGetAddressOf()),
              ERROR_SUCCESS);
    const QByteArray exact(1023, 'x');
    ASSERT_EQ(RegSetStringValue(key.Get(), "Exact", QString::fromLatin1(exact)), ERROR_SUCCESS);
    ASSERT_EQ(RegSetStringValue(key.Get(), "Long", QString::fromLatin1(exact) + "yz"), ERROR_SUCCESS);

    uint8_t buffer[1024];
    DWORD type = 0;
    DWORD size = sizeof buffer;
    // 1023 characters and the NUL fill 1024 bytes exactly.
    EXPECT_EQ(RegQueryValueEx(key.Get(), "Exact", &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 1024u);
    EXPECT_EQ(buffer[1023], 0);

    std::fill(std::begin(buffer), std::end(buffer), uint8_t('#'));
    size = sizeof buffer;
    EXPECT_EQ(RegQueryValueEx(key.Get(), "Long", &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 1026u);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(buffer[0], '#') << "a refused read leaves the buffer as it was";

    size = 0;
    EXPECT_EQ(RegQueryValueEx(key.Get(), "Long", nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 1026u);
    EXPECT_EQ(RegQueryValueEx(key.Get(), "Long", nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);

    ASSERT_EQ(RegSetValueEx(key.Get(), "Empty", REG_SZ, nullptr, 0), ERROR_SUCCESS);
    size = sizeof buffer;
    EXPECT_EQ(RegQueryValueEx(key.Get(), "Empty", &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 0u);
}

TEST_F(RegistryTest, MissingKeysValuesAndHandles)
{
    HKEY h = 77;
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nowhere", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(RegCloseKey(0), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);

    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "A", 0, KEY_ALL_ACCESS, key.ReleaseAndGetAddressOf()), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(key.Get(), "absent", nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueEx(12345, "x", nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    const HKEY closed = key.Detach();
    EXPECT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
    EXPECT_EQ(RegSetDwordValue(closed, "x", 1), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, DeletingKeysAndValues)
{
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Top\\Mid\\Leaf", 0, KEY_ALL_ACCESS, key.ReleaseAndGetAddressOf()),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetDwordValue(key.Get(), "n", 1), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(key.Get(), "n"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(key.Get(), "n"), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Top\\Mid"), ERROR_ACCESS_DENIED) << "it still has a subkey";
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Top\\Mid\\Leaf"), ERROR_SUCCESS);
    // The handle outlives its key; writing through it is refused, not resurrected.
    EXPECT_EQ(RegSetDwordValue(key.Get(), "n", 2), ERROR_KEY_DELETED);

    ASSERT_EQ(
        RegCreateKeyEx(HKEY_CURRENT_USER, "Top\\Mid\\Again\\Deeper", 0, KEY_ALL_ACCESS, key.ReleaseAndGetAddressOf()),
        ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTree(HKEY_CURRENT_USER, "Top"), ERROR_SUCCESS);
    HKEY h = 0;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Top", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(FileText(UserHivePath()).contains("Top"));
}

TEST_F(RegistryTest, ClassesRootMergesUserOverMachine)
{
    RegKey machine;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Classes\\Thing.One", 0, KEY_ALL_ACCESS,
                             machine.ReleaseAndGetAddressOf()),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetStringValue(machine.Get(), "", "machine"), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Classes\\Thing.Two", 0, KEY_ALL_ACCESS,
                             machine.ReleaseAndGetAddressOf()),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetStringValue(machine.Get(), "", "machine two"), ERROR_SUCCESS);

    EXPECT_EQ(RegGetStringValue(HKEY_CLASSES_ROOT, "Thing.One", ""), "machine");

    RegKey user;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, "Thing.One", 0, KEY_ALL_ACCESS, user.ReleaseAndGetAddressOf()),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetStringValue(user.Get(), "", "user"), ERROR_SUCCESS);
    EXPECT_EQ(RegGetStringValue(HKEY_CLASSES_ROOT, "Thing.One", ""), "user");
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "Software\\Classes\\Thing.One", ""), "user");
    EXPECT_EQ(RegGetStringValue(HKEY_LOCAL_MACHINE, "Software\\Classes\\Thing.One", ""), "machine");
    EXPECT_EQ(RegGetStringValue(HKEY_CLASSES_ROOT, "Thing.Two", ""), "machine two");

    QStringList names;
    QString name;
    for (DWORD i = 0; RegEnumKeyEx(HKEY_CLASSES_ROOT, i, &name) == ERROR_SUCCESS; ++i)
        names << name;
    EXPECT_EQ(names, QStringList({"Thing.One", "Thing.Two"}));
}

TEST_F(RegistryTest, HandWrittenHiveIsRead)
{
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/etc"));
    WriteFile(MachineHivePath(),
              "\xEF\xBB\xBFRegistry Hive Text Version 1.00\r\n"
              "; tools\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Shared Tools\\Info]\r\n"
              "\"PATH\"=\"C:\\\\Info\\\\info.exe\"\r\n"
              "\"Long\"=hex(3):01,02,\\\r\n"
              "  03,04\r\n"
              "@=dword:00000100\r\n");
    EXPECT_EQ(RegGetStringValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared Tools\\Info", "PATH"), "C:\\Info\\info.exe");
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared Tools\\Info", "Long"), QByteArray("\x01\x02\x03\x04"));
    EXPECT_EQ(RegGetDwordValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared Tools", ""), std::nullopt);
    EXPECT_EQ(RegGetDwordValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared Tools\\Info", ""), 256u);
}
