// The web-page control loads the web engine with its first instance, from the
// module beside it, and says which file is missing when it cannot.
#include "platform/forms/Form.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Startup.h"
#include "platform/web/WebBrowser.h"
#include "platform/web/WebEngineModule.h"

#include <QFile>
#include <QTemporaryDir>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

bool EngineInProcess()
{
    void* handle = dlopen("libQt6WebEngineCore.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

class PageForm : public plat::Form {
public:
    PageForm() : plat::Form(QStringLiteral("PageForm")), brw(*this, QStringLiteral("brw")) {}
    plat::WebBrowser brw;

protected:
    void Design() override { SetClientSize(3000, 3000); }
};

struct SilentHost : plat::WebBackendHost {
    bool NavigationRequested(const QString&) override { return true; }
    void DocumentArrived(bool, const QString&) override {}
    void LoadStarted() override {}
    void LoadEnded(bool) override {}
    void RendererGone() override {}
};

plat::RuntimeError ErrorOfCreating(const QString& modulePath)
{
    SilentHost host;
    try {
        plat::CreateWebBackend(host, nullptr, modulePath);
    } catch (const plat::RuntimeError& e) {
        return e;
    }
    return plat::RuntimeError(0);
}

TEST(WebEngineModuleTest, TheEngineComesWithTheFirstControlOnly)
{
    plat::EnsureApplication();
    ASSERT_FALSE(EngineInProcess()) << "the control's library must not bring the engine in";
    {
        PageForm form;
        form.Show();
        EXPECT_TRUE(EngineInProcess());
        EXPECT_FALSE(form.brw.Busy());
        EXPECT_EQ(form.brw.LocationURL(), QString());
    }
    PageForm second;  // the loaded module serves every later control
    EXPECT_EQ(second.brw.LocationURL(), QString());
}

TEST(WebEngineModuleTest, TheModuleLiesBesideTheControlsLibrary)
{
    EXPECT_TRUE(plat::WebEngineModulePath().endsWith(QLatin1String("/libplat_webengine.so")));
    EXPECT_TRUE(QFile::exists(plat::WebEngineModulePath()));
}

TEST(WebEngineModuleTest, AMissingModuleIsFileNotFoundNamingIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("libplat_webengine.so"));
    const plat::RuntimeError e = ErrorOfCreating(path);
    EXPECT_EQ(e.Number(), plat::ErrFileNotFound);
    EXPECT_TRUE(e.Description().contains(path)) << e.Description().toStdString();
}

TEST(WebEngineModuleTest, AFileThatIsNoModuleCannotCreateTheControl)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("libplat_webengine.so"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a library");
    f.close();
    const plat::RuntimeError e = ErrorOfCreating(path);
    EXPECT_EQ(e.Number(), plat::ErrCantCreateObject);
    EXPECT_TRUE(e.Description().contains(path)) << e.Description().toStdString();
}

}  // namespace
