// Big hives: a key nested 200,000 deep, 100,000 keys side by side, and the
// many small changes of a registration, each at a cost in proportion to the
// file (the time targets are in bench/registry and bench/startup).

#include "tests/platform/registry/RegistryFixture.h"

#include "platform/registry/HiveStore.h"

#include <QDir>

using namespace plat;
using registry::HiveLoadCount;

namespace {

constexpr int DeepKeys = 200000;
constexpr int WideKeys = 100000;

QString DeepPath()
{
    return QStringLiteral("a\\").repeated(DeepKeys - 1) + QStringLiteral("a");
}

QString WideName(int i)
{
    return QStringLiteral("Sibling %1").arg(i, 6, 10, QLatin1Char('0'));
}

}  // namespace

class BigHive : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(dir.path() + "/config/registry"));
    }
};

TEST_F(BigHive, KeyTwoHundredThousandDeepIsReadAndRewrittenInProportion)
{
    // One section, as a 400 KB file holds it.
    const QByteArray text = "Registry Hive Text Version 1.00\n\n[HKEY_CURRENT_USER\\" + DeepPath().toUtf8() +
                            "]\n\"v\"=\"deep\"\n";
    WriteFile(UserHivePath(), text);
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, DeepPath(), "v"), "deep");

    // Rewritten: the path once, not once per level.
    ASSERT_EQ(RegSetStringValue(HKEY_CURRENT_USER, "top", "1"), ERROR_SUCCESS);
    EXPECT_LT(FileText(UserHivePath()).size(), text.size() + 100);
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, DeepPath(), "v"), "deep");

    // A reader holds the hive while it changes, so the change works on a copy.
    QString first;
    ASSERT_EQ(RegEnumKeyEx(HKEY_CURRENT_USER, 0, &first), ERROR_SUCCESS);
    EXPECT_EQ(first, "a");
    RegKey deeper;
    ASSERT_EQ(
        RegCreateKeyEx(HKEY_CURRENT_USER, DeepPath() + "\\b\\c", 0, KEY_ALL_ACCESS, deeper.ReleaseAndGetAddressOf()),
        ERROR_SUCCESS);
    ASSERT_EQ(RegSetDwordValue(deeper.Get(), "n", 7), ERROR_SUCCESS);
    EXPECT_EQ(RegGetDwordValue(HKEY_CURRENT_USER, DeepPath() + "\\b\\c", "n"), 7u);
    EXPECT_LT(FileText(UserHivePath()).size(), 2 * text.size() + 100);

    EXPECT_EQ(RegDeleteTree(HKEY_CURRENT_USER, "a"), ERROR_SUCCESS);
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, DeepPath(), "v"), std::nullopt);
    EXPECT_LT(FileText(UserHivePath()).size(), 100);
}

TEST_F(BigHive, HundredThousandSiblingsAreParsedOnceAndKeptWhole)
{
    QByteArray text = "Registry Hive Text Version 1.00\n\n";
    for (int i = WideKeys - 1; i >= 0; --i)  // against the order they are kept in
        text += "[HKEY_CURRENT_USER\\Software\\Classes\\Crowd\\" + WideName(i).toUtf8() + "]\n@=\"" +
                QByteArray::number(i) + "\"\n\n";
    WriteFile(UserHivePath(), text);

    EXPECT_EQ(RegGetStringValue(HKEY_CLASSES_ROOT, "Crowd\\" + WideName(WideKeys / 2), ""), QString::number(WideKeys / 2));
    RegKey crowd;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Classes\\Crowd", 0, KEY_READ, crowd.ReleaseAndGetAddressOf()),
              ERROR_SUCCESS);
    QString name;
    for (int i = 0; i < WideKeys; ++i) {  // every index, in order
        ASSERT_EQ(RegEnumKeyEx(crowd.Get(), DWORD(i), &name), ERROR_SUCCESS);
        ASSERT_EQ(name, WideName(i));
    }
    EXPECT_EQ(RegEnumKeyEx(crowd.Get(), WideKeys, &name), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegGetStringValue(HKEY_LOCAL_MACHINE, "Software", ""), std::nullopt);  // the other hive, read once too
    const auto loads = HiveLoadCount();

    // A registration's worth of changes works on the hive already parsed.
    for (int i = 0; i < 20; ++i) {
        RegKey key;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, QString("Mine\\%1").arg(i), 0, KEY_ALL_ACCESS,
                                 key.ReleaseAndGetAddressOf()),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetStringValue(key.Get(), "", "mine"), ERROR_SUCCESS);
    }
    EXPECT_EQ(HiveLoadCount(), loads) << "none of them read the file again";
    const QByteArray after = FileText(UserHivePath());
    EXPECT_EQ(after.count("\\Crowd\\"), WideKeys);
    EXPECT_EQ(after.count("\\Mine\\"), 20);
}

TEST_F(RegistryTest, BatchWritesTheHiveOnceAndDroppedChangesLeaveNoTrace)
{
    ASSERT_EQ(RegSetStringValue(HKEY_CURRENT_USER, "before", "1"), ERROR_SUCCESS);
    const QByteArray before = FileText(UserHivePath());
    {
        RegBatch batch;
        for (int i = 0; i < 30; ++i)
            ASSERT_EQ(RegSetDwordValue(HKEY_CURRENT_USER, QString("n%1").arg(i), DWORD(i)), ERROR_SUCCESS);
        EXPECT_EQ(RegGetDwordValue(HKEY_CURRENT_USER, "", "n29"), 29u) << "seen at once by this process";
        EXPECT_EQ(FileText(UserHivePath()), before) << "written only on commit";
        EXPECT_EQ(batch.Commit(), ERROR_SUCCESS);
    }
    EXPECT_TRUE(FileText(UserHivePath()).contains("\"n29\"=dword:0000001d"));

    const QByteArray committed = FileText(UserHivePath());
    {
        RegBatch batch;
        ASSERT_EQ(RegSetDwordValue(HKEY_CURRENT_USER, "dropped", 1), ERROR_SUCCESS);
        RegBatch inner;  // inside another: the outer one decides
        EXPECT_EQ(inner.Commit(), ERROR_SUCCESS);
        EXPECT_EQ(FileText(UserHivePath()), committed);
    }
    EXPECT_EQ(FileText(UserHivePath()), committed);
    EXPECT_EQ(RegGetDwordValue(HKEY_CURRENT_USER, "", "dropped"), std::nullopt);
    EXPECT_EQ(RegSetDwordValue(HKEY_CURRENT_USER, "after", 2), ERROR_SUCCESS) << "the lock was let go";
}
