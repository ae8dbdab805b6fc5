// The board's start when the registration of its help browser points at a
// damaged library or names it by a relative path: the start stops with the
// runtime's error, which says which file and why; nothing is loaded.
#include "RoamwellDLL/RoamwellDLL_i.h"
#include "Velmor/frmBoard.h"
#include "platform/registry/Registry.h"
#include "platform/runtime/Errors.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// Points the help browser's class at another library.
void RegisterLibrary(const QString& path)
{
    plat::RegKey key;
    ASSERT_EQ(plat::RegCreateKeyEx(
                  plat::HKEY_CURRENT_USER,
                  QStringLiteral("Software\\Classes\\CLSID\\%1\\InprocServer32").arg(CLSID_clsRoamwell.ToString()), 0,
                  plat::KEY_ALL_ACCESS, key.ReleaseAndGetAddressOf()),
              0);
    ASSERT_EQ(plat::RegSetStringValue(key.Get(), QString(), path), 0);
}

// The description of the error that stops the board's load.
QString LoadFails()
{
    testenv::ScriptedRnd rnd{0.5f};
    frmBoard board;
    try {
        board.Load();
    } catch (const plat::RuntimeError& e) {
        EXPECT_EQ(e.Number(), plat::ErrCantCreateObject);
        return e.Description();
    }
    ADD_FAILURE() << "the load must stop";
    return {};
}

}  // namespace

TEST(BoardWithDamagedComponent, TruncatedLibraryStopsTheStartNamingTheFile)
{
    plat::EnsureApplication();
    testenv::TempConfigHome config;
    ASSERT_TRUE(testenv::RegisterBrowserComponent());
    QFile whole(QStringLiteral(ROAMWELL_DLL));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();

    for (qsizetype size : {100000, 4096}) {
        const QString path = QStringLiteral("%1/cut%2/libRoamwellDLL.so").arg(config.Path()).arg(size);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile cut(path);
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
        cut.write(bytes.left(size));
        cut.close();
        RegisterLibrary(path);

        testing::internal::CaptureStderr();
        const QString description = LoadFails();
        testing::internal::GetCapturedStderr();
        EXPECT_TRUE(description.contains("RoamwellDLL.clsRoamwell")) << description.toStdString();
        EXPECT_TRUE(description.contains(path + ": ")) << description.toStdString();
        EXPECT_TRUE(description.contains("truncated")) << description.toStdString();
    }
}

TEST(BoardWithDamagedComponent, RelativeLibraryPathStopsTheStartSayingWhy)
{
    plat::EnsureApplication();
    testenv::TempConfigHome config;
    ASSERT_TRUE(testenv::RegisterBrowserComponent());
    RegisterLibrary(QStringLiteral("libRoamwellDLL.so"));

    testing::internal::CaptureStderr();
    const QString description = LoadFails();
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(description.contains("libRoamwellDLL.so: ")) << description.toStdString();
    EXPECT_TRUE(description.contains("relative path")) << description.toStdString();
}
