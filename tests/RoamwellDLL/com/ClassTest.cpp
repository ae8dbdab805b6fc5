// The component's class, made in this process by its own class factory, and
// what its methods do to the thread's browser window: Start, Surf and
// ChangeHieght early- and late-bound.
#include "RoamwellDLL/frmBrowser.h"
#include "RoamwellDLL/modRoamwel.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Dispatch.h"
#include "platform/forms/DefaultInstance.h"
#include "platform/runtime/Settings.h"
#include "platform/runtime/Startup.h"
#include "tests/support/EventLoop.h"
#include "tests/support/TestEnv.h"
#include "tests/RoamwellDLL/com/ComponentClient.h"

#include <QCoreApplication>
#include <QUrl>
#include <gtest/gtest.h>
#include <functional>

// The component's own entry point, linked into this program with its code.
extern "C" plat::HRESULT DllGetClassObject(plat::REFCLSID rclsid, plat::REFIID riid, void** ppv);

using namespace RoamwellDLL;
using componentclient::Start;
using componentclient::Surf;

namespace {

class RoamwellClass : public ::testing::Test {
protected:
    void SetUp() override { plat::EnsureApplication(); }
    void TearDown() override
    {
        frmBrowser& browser = plat::Default<frmBrowser>();
        if (browser.Loaded())
            browser.Unload();
        modRoamwel::StartAddress.clear();
    }

    static plat::ComPtr<_clsRoamwell> Create()
    {
        plat::ComPtr<plat::IClassFactory> factory;
        EXPECT_EQ(DllGetClassObject(CLSID_clsRoamwell, plat::IID_IClassFactory, factory.ReleaseAndGetVoidAddress()),
                  plat::S_OK);
        plat::ComPtr<_clsRoamwell> object;
        if (factory)
            EXPECT_EQ(factory->CreateInstance(nullptr, _clsRoamwell::Iid, object.ReleaseAndGetVoidAddress()),
                      plat::S_OK);
        return object;
    }

    QString Page(const char* name, const char* title) { return componentclient::Page(config.Path(), name, title); }

    testenv::TempConfigHome config;
};

TEST_F(RoamwellClass, CreatingAnObjectLoadsNoWindow)
{
    auto object = Create();
    ASSERT_TRUE(object);
    EXPECT_FALSE(plat::Default<frmBrowser>().Loaded());
}

TEST_F(RoamwellClass, LateBoundChangeHieghtLoadsTheWindowHiddenAndKeepsItsMinimum)
{
    auto object = Create();
    plat::ComPtr<plat::IDispatch> dispatch;
    ASSERT_EQ(object.As(&dispatch), plat::S_OK);
    ASSERT_EQ(plat::CallByName(dispatch.Get(), QStringLiteral("ChangeHieght"), {plat::Variant(std::int16_t(4500))}),
              plat::S_OK);
    frmBrowser& browser = plat::Default<frmBrowser>();
    EXPECT_TRUE(browser.Loaded());
    EXPECT_FALSE(browser.IsVisible());
    EXPECT_FLOAT_EQ(browser.Height, 4500);
    std::int16_t tooLow = 2000;
    ASSERT_EQ(object->ChangeHieght(&tooLow), plat::S_OK);
    EXPECT_FLOAT_EQ(browser.Height, 3000);
}

TEST_F(RoamwellClass, StartShowsTheClientsPageAndASecondStartOnlyChangesHome)
{
    const QString first = Page("first.htm", "First page");
    const QString second = Page("second.htm", "Second page");
    auto object = Create();
    ASSERT_EQ(Start(object.Get(), first), plat::S_OK);
    frmBrowser& browser = plat::Default<frmBrowser>();
    EXPECT_TRUE(browser.IsVisible());
    ASSERT_TRUE(testenv::WaitUntil([&] { return browser.Caption.Get() == QLatin1String("First page"); }));

    ASSERT_EQ(Start(object.Get(), second), plat::S_OK);
    EXPECT_EQ(modRoamwel::StartAddress, second);
    QCoreApplication::processEvents();
    EXPECT_EQ(browser.Caption.Get(), QLatin1String("First page")) << "the displayed page stays";
}

TEST_F(RoamwellClass, SurfLoadsAndShowsTheWindowThenGoesToTheAddress)
{
    const QString home = Page("home.htm", "Home page");
    const QString next = Page("next.htm", "Next page");
    plat::SaveSetting(QStringLiteral("Roamwell"), QStringLiteral("Preferences"), QStringLiteral("HomeAddress"), home);
    frmBrowser& browser = plat::Default<frmBrowser>();
    QStringList asked;  // addresses given to the web page, in order
    const auto navigate = browser.brwWebBrowser.BeforeNavigate2;
    browser.brwWebBrowser.BeforeNavigate2 = [&](const QString& address, bool& cancel) {
        navigate(address, cancel);
        asked << address;
    };
    struct Restore {
        frmBrowser& b;
        std::function<void(const QString&, bool&)> handler;
        ~Restore() { b.brwWebBrowser.BeforeNavigate2 = handler; }
    } restore{browser, navigate};

    auto object = Create();
    ASSERT_EQ(Surf(object.Get(), next), plat::S_OK);
    EXPECT_TRUE(browser.IsVisible());
    EXPECT_EQ(modRoamwel::StartAddress, home) << "the window's load ran first";
    EXPECT_EQ(browser.cboAddress.Text.Get(), next);
    ASSERT_TRUE(testenv::WaitUntil([&] { return browser.Caption.Get() == QLatin1String("Next page"); }));
    ASSERT_FALSE(asked.isEmpty());
    EXPECT_EQ(asked.last(), QUrl::fromLocalFile(next).toString());

    // An empty address goes again to whatever the address box holds.
    asked.clear();
    const QString box = browser.cboAddress.Text;
    ASSERT_EQ(Surf(object.Get(), QString()), plat::S_OK);
    EXPECT_EQ(browser.cboAddress.Text.Get(), box);
    EXPECT_TRUE(testenv::WaitUntil([&] { return !asked.isEmpty(); }));
    EXPECT_EQ(asked, QStringList{QUrl::fromLocalFile(next).toString()});
}

TEST_F(RoamwellClass, ChangeHieghtOnAShownWindowLaysItOutAndKeepsItsMinimum)
{
    const QString page = Page("page.htm", "A page");
    auto object = Create();
    ASSERT_EQ(Start(object.Get(), page), plat::S_OK);
    frmBrowser& browser = plat::Default<frmBrowser>();
    ASSERT_TRUE(browser.IsVisible());

    std::int16_t h = 6000;
    ASSERT_EQ(object->ChangeHieght(&h), plat::S_OK);
    EXPECT_FLOAT_EQ(browser.Height, 6000);
    EXPECT_FLOAT_EQ(browser.brwWebBrowser.Top + browser.brwWebBrowser.Height,
                    browser.ScaleHeight() - browser.statbar.Height)
        << "the page fills the window down to the status bar";
    EXPECT_EQ(browser.NormalHeight, 6000);

    h = 2000;
    ASSERT_EQ(object->ChangeHieght(&h), plat::S_OK);
    EXPECT_FLOAT_EQ(browser.Height, 3000);
    EXPECT_FLOAT_EQ(browser.brwWebBrowser.Top + browser.brwWebBrowser.Height,
                    browser.ScaleHeight() - browser.statbar.Height);
}

}  // namespace
