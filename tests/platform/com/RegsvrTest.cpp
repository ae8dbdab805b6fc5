// The registration tool, run as a user would run it.

#include "tests/platform/com/ComFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace plat;

TEST_F(ComTest, RegsvrRegistersAndUnregisters)
{
    ToolRun r = Regsvr({ProbePath});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("DllRegisterServer in")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("succeeded"));
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID("ProbeServer.clsProbe", &clsid), S_OK);
    ComPtr<_clsProbe> probe = CreateProbe();
    EXPECT_TRUE(probe);
    probe.Reset();

    r = Regsvr({"-u", "-s", ProbePath});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(CLSIDFromProgID("ProbeServer.clsProbe", &clsid), CO_E_CLASSSTRING);
}

TEST_F(ComTest, RegsvrListsEmbeddedResources)
{
    const ToolRun r = Regsvr({"-l", ProbePath});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (const char* expected : {"library ProbeServer {ACE59642-4C4C-4970-8C09-407DBE654C84} version 27.0",
                                 "interface _clsProbe {1034CCB5-CFE4-4076-B15B-C833C313FB05} [hidden, dual, "
                                 "nonextensible, oleautomation]",
                                 "method 0x60030003 Repeat([in, out] BSTR* text, [in, out] VARIANT_BOOL* upper, "
                                 "[in, out] short* count)",
                                 "coclass clsProbe {C7B9CEA0-6549-4D38-BD4C-7DC4B0760342} [cancreate] default _clsProbe",
                                 "FileVersion 1.0.0.0", "OLESelfRegister = \"\"",
                                 "Resource: _IID_CLSPROBE 1 (20 bytes): 10 00 00 00 b5 cc 34 10"})
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(expected))) << expected << "\n" << r.out.toStdString();
    // Listing does not register anything.
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID("ProbeServer.clsProbe", &clsid), CO_E_CLASSSTRING);
}

TEST_F(ComTest, RegsvrExplainsFailures)
{
    ToolRun r = Regsvr({});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("usage"));

    r = Regsvr({dir.path() + "/missing.so"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("no such file"));

    // A shared library that is no component.
    Dl_info info{};
    ASSERT_TRUE(dladdr(reinterpret_cast<void*>(&RegCloseKey), &info));
    r = Regsvr({QString::fromLocal8Bit(info.dli_fname)});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.err.contains("has no entry point DllRegisterServer")) << r.err.toStdString();
    r = Regsvr({"-l", QString::fromLocal8Bit(info.dli_fname)});
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_TRUE(r.err.contains("no embedded resources")) << r.err.toStdString();

    // Registration refused by a read-only hive.
    ASSERT_EQ(Regsvr({ProbePath}).exitCode, 0);
    ASSERT_TRUE(QFile::setPermissions(UserHivePath(), QFile::ReadOwner));
    r = Regsvr({"-u", ProbePath});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_TRUE(r.err.contains("DllUnregisterServer in")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("0x80040201")) << r.err.toStdString();
    QFile::setPermissions(UserHivePath(), QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(ComTest, RegsvrSaysWhatInTheRegistryStoodInTheWay)
{
    // A hive damaged at one line: named, and left as it was.
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/config/registry"));
    const QByteArray damaged =
        "Registry Hive Text Version 1.00\n\n[HKEY_CURRENT_USER\\Software\\Keep]\n\"a\"=\"unterminated\n";
    QFile hive(UserHivePath());
    ASSERT_TRUE(hive.open(QIODevice::WriteOnly));
    hive.write(damaged);
    hive.close();
    ToolRun r = Regsvr({ProbePath});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_TRUE(r.err.contains("could not register the type library): the registry hive " + UserHivePath() +
                               " is corrupt (line 4: unterminated quoted text); it reads as empty and was left "
                               "unchanged"))
        << r.err.toStdString();
    ASSERT_TRUE(hive.open(QIODevice::ReadOnly));
    EXPECT_EQ(hive.readAll(), damaged);
    hive.close();

    // A hive the user may not write.
    ASSERT_TRUE(hive.remove());
    ASSERT_EQ(Regsvr({"-s", ProbePath}).exitCode, 0);
    ASSERT_TRUE(QFile::setPermissions(UserHivePath(), QFile::ReadOwner));
    r = Regsvr({ProbePath});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_TRUE(r.err.contains("could not register the type library): no write access to the registry hive " +
                               UserHivePath()))
        << r.err.toStdString();
    QFile::setPermissions(UserHivePath(), QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(ComTest, RegsvrRegistersBesideAKeyTwoHundredThousandDeep)
{
    const QString deep = QStringLiteral("a\\").repeated(199999) + QStringLiteral("a");
    const QByteArray text =
        "Registry Hive Text Version 1.00\n\n[HKEY_CURRENT_USER\\" + deep.toUtf8() + "]\n\"v\"=\"deep\"\n";
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/config/registry"));
    QFile hive(UserHivePath());
    ASSERT_TRUE(hive.open(QIODevice::WriteOnly));
    hive.write(text);
    hive.close();

    const ToolRun r = Regsvr({"-s", ProbePath});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_LT(QFileInfo(UserHivePath()).size(), text.size() + 4096) << "the deep path written once";
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID("ProbeServer.clsProbe", &clsid), S_OK);
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, deep, "v"), "deep");
}
