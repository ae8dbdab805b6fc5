// The browser component through the COM layer, as a client sees it: the
// real library registered by the registration tool into a private hive,
// created by its class id, called early- and late-bound. What the calls do
// to the window inside is held by ClassTest.cpp; here only what a client
// can see of it counts: a window on the screen with the page's title.
#include "platform/com/Activation.h"
#include "platform/com/Dispatch.h"
#include "platform/com/HResult.h"
#include "platform/runtime/Startup.h"
#include "tests/support/EventLoop.h"
#include "tests/support/TestEnv.h"
#include "tests/RoamwellDLL/com/ComponentClient.h"

#include <QApplication>
#include <QProcess>
#include <QWidget>
#include <gtest/gtest.h>
#include <thread>

namespace {

class ComponentCom : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::EnsureApplication();
        ASSERT_EQ(Regsvr({QStringLiteral(ROAMWELL_DLL)}), 0);
    }
    // The window is closed as the user closes it, which unloads it also
    // where a call loaded it without showing it.
    void TearDown() override
    {
        if (QWidget* window = BrowserWindow(false))
            window->close();
    }

    int Regsvr(QStringList args)
    {
        QProcess tool;
        tool.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        args.prepend(QStringLiteral("-s"));
        tool.start(QStringLiteral(REGSVR_TOOL), args);
        tool.waitForFinished(30000);
        return tool.exitCode();
    }

    // The component's browser window as it stands on the screen.
    static QWidget* BrowserWindow(bool shown = true)
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmBrowser") && (w->isVisible() || !shown))
                return w;
        return nullptr;
    }

    QString Page(const char* name, const char* title) { return componentclient::Page(config.Path(), name, title); }

    plat::ComPtr<_clsRoamwell> Create()
    {
        plat::ComPtr<_clsRoamwell> object;
        EXPECT_EQ(plat::CoCreateInstance(CLSID_clsRoamwell, &object), plat::S_OK);
        return object;
    }

    testenv::TempConfigHome config;
};

TEST_F(ComponentCom, CreatedByClassIdAndByProgIdWithoutShowingAnything)
{
    plat::CLSID byName{};
    ASSERT_EQ(plat::CLSIDFromProgID(QStringLiteral("RoamwellDLL.clsRoamwell"), &byName), plat::S_OK);
    EXPECT_EQ(byName, CLSID_clsRoamwell);
    auto object = Create();
    ASSERT_TRUE(object);
    EXPECT_EQ(BrowserWindow(), nullptr);
}

TEST_F(ComponentCom, LateBoundCallFindsChangeHieghtUnderThatSpelling)
{
    auto object = Create();
    plat::ComPtr<plat::IDispatch> dispatch;
    ASSERT_EQ(object.As(&dispatch), plat::S_OK);

    plat::DISPID id = 0;
    const char16_t* name = u"ChangeHieght";
    ASSERT_EQ(dispatch->GetIDsOfNames(plat::IID_NULL, const_cast<char16_t**>(&name), 1, 0, &id), plat::S_OK);
    EXPECT_EQ(id, 0x60030001);
    const char16_t* corrected = u"ChangeHeight";
    EXPECT_EQ(dispatch->GetIDsOfNames(plat::IID_NULL, const_cast<char16_t**>(&corrected), 1, 0, &id),
              plat::DISP_E_UNKNOWNNAME);
    ASSERT_EQ(plat::CallByName(dispatch.Get(), QStringLiteral("ChangeHieght"), {plat::Variant(std::int16_t(4500))}),
              plat::S_OK);
    EXPECT_EQ(BrowserWindow(), nullptr) << "the window is loaded, not shown";
}

TEST_F(ComponentCom, StartShowsTheClientsPageInTheBrowserWindow)
{
    const QString page = Page("first.htm", "First page");
    auto object = Create();
    ASSERT_EQ(componentclient::Start(object.Get(), page), plat::S_OK);
    ASSERT_NE(BrowserWindow(), nullptr);
    EXPECT_TRUE(testenv::WaitUntil([&] { return BrowserWindow()->windowTitle() == QLatin1String("First page"); }));
}

TEST_F(ComponentCom, AFailingCallFromAnotherThreadIsAStatusNotACrash)
{
    auto object = Create();
    plat::HRESULT fromThread = plat::S_OK;
    std::thread other([&] {
        std::int16_t h = 4000;
        fromThread = object->ChangeHieght(&h);
    });
    other.join();
    EXPECT_TRUE(plat::FAILED(fromThread));
    EXPECT_EQ(BrowserWindow(), nullptr);
}

TEST_F(ComponentCom, LibraryStaysWhileObjectsLiveAndUnregisteringRemovesTheClass)
{
    using Fn = plat::HRESULT (*)();
    void* library = dlopen(ROAMWELL_DLL, RTLD_NOW | RTLD_NOLOAD);
    {
        auto object = Create();
        library = dlopen(ROAMWELL_DLL, RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(library, nullptr);
        auto canUnload = reinterpret_cast<Fn>(dlsym(library, "DllCanUnloadNow"));
        EXPECT_EQ(canUnload(), plat::S_FALSE);
    }
    ASSERT_EQ(Regsvr({QStringLiteral("-u"), QStringLiteral(ROAMWELL_DLL)}), 0);
    plat::ComPtr<_clsRoamwell> none;
    EXPECT_EQ(plat::CoCreateInstance(CLSID_clsRoamwell, &none), plat::REGDB_E_CLASSNOTREG);
    plat::CLSID byName{};
    EXPECT_TRUE(plat::FAILED(plat::CLSIDFromProgID(QStringLiteral("RoamwellDLL.clsRoamwell"), &byName)));
}

}  // namespace
