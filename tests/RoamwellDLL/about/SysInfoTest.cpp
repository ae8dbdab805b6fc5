// The about box's registry reader and the system-information launcher, on
// machine-wide hives prepared by each test.
#include "tests/RoamwellDLL/ComponentFixture.h"

#include <QFile>

using namespace plat;

namespace {

const QString PathKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString FolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString Unavailable = QStringLiteral("System Information Is Unavailable At This Time");

class SysInfo : public ComponentFixture {
protected:
    static void SetValue(const QString& key, const QString& name, DWORD type, const QByteArray& data)
    {
        RegKey k;
        ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, key, 0, KEY_ALL_ACCESS, k.ReleaseAndGetAddressOf()),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueEx(k.Get(), name, type, reinterpret_cast<const std::uint8_t*>(data.constData()),
                                static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }
    static void SetText(const QString& key, const QString& name, const QString& text)
    {
        SetValue(key, name, REG_SZ, text.toUtf8() + '\0');
    }
    static void MakeHiveReadOnly()
    {
        QFile hive(MachineHivePath());
        ASSERT_TRUE(hive.exists());
        ASSERT_TRUE(hive.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    // The box as the Help menu leaves it; the reader and launcher need no load.
    static RoamwellDLL::frmAbout& About() { return plat::Default<RoamwellDLL::frmAbout>(); }

    bool Read(const QString& name, QString& value) { return About().GetKeyValue(HKEY_LOCAL_MACHINE, PathKey, name, value); }
};

TEST_F(SysInfo, TextValuesLoseOnlyAFinalNulAndMustFitTheBuffer)
{
    SetValue(PathKey, QStringLiteral("Exact"), REG_SZ, QByteArray(1023, 'a') + '\0');
    SetValue(PathKey, QStringLiteral("ExactNoNul"), REG_SZ, QByteArray(1024, 'b'));
    SetValue(PathKey, QStringLiteral("Longer"), REG_SZ, QByteArray(1024, 'c') + '\0');
    SetValue(PathKey, QStringLiteral("NoNul"), REG_SZ, QByteArray("C:\\tool.exe"));
    SetValue(PathKey, QStringLiteral("Inner"), REG_SZ, QByteArray("a\0b\0", 4));
    SetText(PathKey, QStringLiteral("Wide"), QStringLiteral("/opt/Systeminfo Ü/tool"));

    QString value = QStringLiteral("before");
    EXPECT_TRUE(Read(QStringLiteral("Exact"), value));
    EXPECT_EQ(value, QString(1023, u'a'));
    EXPECT_TRUE(Read(QStringLiteral("ExactNoNul"), value));
    EXPECT_EQ(value, QString(1024, u'b'));
    EXPECT_FALSE(Read(QStringLiteral("Longer"), value));
    EXPECT_EQ(value, QString());
    EXPECT_TRUE(Read(QStringLiteral("NoNul"), value));
    EXPECT_EQ(value, QStringLiteral("C:\\tool.exe"));
    EXPECT_TRUE(Read(QStringLiteral("Inner"), value));
    EXPECT_EQ(value, QString::fromUtf8("a\0b", 3));
    EXPECT_TRUE(Read(QStringLiteral("Wide"), value));
    EXPECT_EQ(value, QStringLiteral("/opt/Systeminfo Ü/tool"));
}

TEST_F(SysInfo, NumbersReadInHexAndOtherTypesLeaveTheTextAlone)
{
    SetValue(PathKey, QStringLiteral("Number"), REG_DWORD, QByteArray("\xEF\xCD\xAB\x00", 4));
    SetValue(PathKey, QStringLiteral("Zero"), REG_DWORD, QByteArray(4, '\0'));
    SetValue(PathKey, QStringLiteral("Top"), REG_DWORD, QByteArray("\x01\x00\x00\x80", 4));
    SetValue(PathKey, QStringLiteral("Expand"), REG_EXPAND_SZ, QByteArray("%SystemRoot%\\x\0", 15));
    SetValue(PathKey, QStringLiteral("Empty"), REG_SZ, QByteArray());

    QString value;
    EXPECT_TRUE(Read(QStringLiteral("Number"), value));
    EXPECT_EQ(value, QStringLiteral("&hABCDEF"));
    EXPECT_TRUE(Read(QStringLiteral("Zero"), value));
    EXPECT_EQ(value, QStringLiteral("&h0"));
    EXPECT_TRUE(Read(QStringLiteral("Top"), value));
    EXPECT_EQ(value, QStringLiteral("&h80000001"));

    value = QStringLiteral("kept");
    EXPECT_TRUE(Read(QStringLiteral("Expand"), value));
    EXPECT_EQ(value, QStringLiteral("kept"));

    // Zero bytes have no last character to look at: a failure for the caller.
    try {
        Read(QStringLiteral("Empty"), value);
        ADD_FAILURE() << "an empty value was read";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), ErrInvalidCall);
    }
    EXPECT_EQ(value, QStringLiteral("kept"));
}

TEST_F(SysInfo, MissingKeysAndValuesAndRefusedOpensGiveFalseAndEmptyText)
{
    QString value = QStringLiteral("before");
    EXPECT_FALSE(Read(QStringLiteral("PATH"), value));  // no hive at all
    EXPECT_EQ(value, QString());

    SetText(PathKey, QStringLiteral("PATH"), QStringLiteral("/usr/bin/true"));
    value = QStringLiteral("before");
    EXPECT_FALSE(Read(QStringLiteral("Other"), value));
    EXPECT_EQ(value, QString());

    // Only readers here: the open asks for write rights too and is refused.
    MakeHiveReadOnly();
    value = QStringLiteral("before");
    EXPECT_FALSE(Read(QStringLiteral("PATH"), value));
    EXPECT_EQ(value, QString());
    EXPECT_EQ(RegGetStringValue(HKEY_LOCAL_MACHINE, PathKey, QStringLiteral("PATH")), QStringLiteral("/usr/bin/true"));
}

TEST_F(SysInfo, ThePathValueIsStartedAsTheProgramItself)
{
    const QString tool = files.path() + QStringLiteral("/tools/sys info; $(x)");
    Write(tool, "#!/bin/sh\n", true);
    SetText(PathKey, QStringLiteral("PATH"), tool);
    About().StartSysInfo();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].program, tool);
    EXPECT_TRUE(starts[0].arguments.isEmpty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(SysInfo, AMissingProgramAtPathShowsTheMessageWithoutTryingTheFolder)
{
    const QString folder = files.path() + QStringLiteral("/msinfo");
    Write(folder + QStringLiteral("/MSINFO32.EXE"), "#!/bin/sh\n", true);
    SetText(PathKey, QStringLiteral("PATH"), files.path() + QStringLiteral("/nothing here"));
    SetText(FolderKey, QStringLiteral("MSINFO"), folder);

    About().StartSysInfo();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].program, files.path() + QStringLiteral("/nothing here"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].prompt, Unavailable);
    EXPECT_EQ(messages[0].buttons, vbOKOnly);
    EXPECT_TRUE(messages[0].title.isEmpty());  // the platform's own title
}

TEST_F(SysInfo, TheFolderValueIsUsedWhenItHoldsTheTool)
{
    const QString folder = files.path() + QStringLiteral("/Shared Tools");
    SetText(FolderKey, QStringLiteral("MSINFO"), folder);

    About().StartSysInfo();  // the folder lacks the tool
    EXPECT_TRUE(starts.empty());
    ASSERT_EQ(messages.size(), 1u);

    Write(folder + QStringLiteral("/MSINFO32.EXE"), "#!/bin/sh\n", true);
    About().StartSysInfo();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].program, folder + QStringLiteral("/MSINFO32.EXE"));
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(SysInfo, EveryOtherFailureEndsInTheMessage)
{
    const QString folder = files.path() + QStringLiteral("/msinfo");
    Write(folder + QStringLiteral("/MSINFO32.EXE"), "#!/bin/sh\n", true);

    // Nothing registered.
    About().StartSysInfo();
    // A PATH of another type leaves the path empty; nothing can start from it.
    SetValue(PathKey, QStringLiteral("PATH"), REG_EXPAND_SZ, folder.toUtf8() + "/MSINFO32.EXE" + '\0');
    About().StartSysInfo();
    // A PATH of zero bytes fails inside the reader.
    SetValue(PathKey, QStringLiteral("PATH"), REG_SZ, QByteArray());
    About().StartSysInfo();
    // The tool is there, but the keys cannot be opened with the rights asked for.
    RegKey k;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, PathKey, 0, KEY_ALL_ACCESS, k.ReleaseAndGetAddressOf()), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValue(k.Get(), QStringLiteral("PATH")), ERROR_SUCCESS);
    k.Reset();
    SetText(FolderKey, QStringLiteral("MSINFO"), folder);
    MakeHiveReadOnly();
    About().StartSysInfo();

    EXPECT_EQ(messages.size(), 4u);
    for (const auto& m : messages)
        EXPECT_EQ(m.prompt, Unavailable);
    ASSERT_EQ(starts.size(), 1u);  // only the empty path was tried
    EXPECT_EQ(starts[0].program, QString());
    EXPECT_TRUE(errors.empty());
}

}  // namespace
