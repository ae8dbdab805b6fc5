// The browser component through the COM layer, as a client sees it: the
// real library registered by the registration tool into a private hive.
#include "RoamwellDLL/RoamwellDLL_i.h"
#include "RoamwellDLL/frmBrowser.h"
#include "RoamwellDLL/modRoamwel.h"
#include "platform/com/Activation.h"
#include "platform/com/BStr.h"
#include "platform/com/Dispatch.h"
#include "platform/com/HResult.h"
#include "platform/com/Variant.h"
#include "platform/forms/DefaultInstance.h"
#include "platform/runtime/Settings.h"
#include "tests/support/TestEnv.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QFile>
#include <gtest/gtest.h>
#include <functional>
#include <thread>

namespace {

using DllCanUnloadNowFn = plat::HRESULT (*)();

class ComponentCom : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::EnsureApplication();
        ASSERT_EQ(Regsvr({QStringLiteral(ROAMWELL_DLL)}), 0);
    }
    void TearDown() override
    {
        frmBrowser& browser = plat::Default<frmBrowser>();
        if (browser.Loaded())
            browser.Unload();
        modRoamwel::StartAddress.clear();
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

    static bool WaitFor(const std::function<bool()>& done, int ms = 20000)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }

    QString Page(const char* name, const char* title)
    {
        const QString path = config.Path() + QLatin1Char('/') + QLatin1String(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(QStringLiteral("<html><head><title>%1</title></head><body>%1</body></html>").arg(QLatin1String(title)).toUtf8());
        return path;
    }

    // Start(url, flag) as an early-bound client calls it: by reference.
    static plat::HRESULT Start(_clsRoamwell* object, const QString& address, bool modal = false)
    {
        plat::BSTR url = plat::SysAllocQString(address);
        plat::VARIANT_BOOL flag = modal ? plat::VARIANT_TRUE : plat::VARIANT_FALSE;
        const plat::HRESULT hr = object->Start(&url, &flag);
        plat::SysFreeString(url);
        return hr;
    }

    static plat::HRESULT Surf(_clsRoamwell* object, const QString& address)
    {
        plat::BSTR url = plat::SysAllocQString(address);
        const plat::HRESULT hr = object->Surf(&url);
        plat::SysFreeString(url);
        return hr;
    }

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
    EXPECT_FALSE(plat::Default<frmBrowser>().Loaded()) << "creating the object loads no window";
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

    // The window is loaded hidden by the call, and the minimum size holds.
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

TEST_F(ComponentCom, StartShowsTheClientsPageAndASecondStartOnlyChangesHome)
{
    const QString first = Page("first.htm", "First page");
    const QString second = Page("second.htm", "Second page");
    auto object = Create();
    ASSERT_EQ(Start(object.Get(), first), plat::S_OK);
    frmBrowser& browser = plat::Default<frmBrowser>();
    EXPECT_TRUE(browser.IsVisible());
    ASSERT_TRUE(WaitFor([&] { return browser.Caption.get() == QLatin1String("First page"); }));

    ASSERT_EQ(Start(object.Get(), second), plat::S_OK);
    EXPECT_EQ(modRoamwel::StartAddress, second);
    QCoreApplication::processEvents();
    EXPECT_EQ(browser.Caption.get(), QLatin1String("First page")) << "the displayed page stays";
}

TEST_F(ComponentCom, SurfLoadsAndShowsTheWindowThenGoesToTheAddress)
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
    EXPECT_EQ(browser.cboAddress.Text.get(), next);
    ASSERT_TRUE(WaitFor([&] { return browser.Caption.get() == QLatin1String("Next page"); }));
    ASSERT_FALSE(asked.isEmpty());
    EXPECT_EQ(asked.last(), QUrl::fromLocalFile(next).toString());

    // An empty address goes again to whatever the address box holds.
    asked.clear();
    const QString box = browser.cboAddress.Text;
    ASSERT_EQ(Surf(object.Get(), QString()), plat::S_OK);
    EXPECT_EQ(browser.cboAddress.Text.get(), box);
    EXPECT_TRUE(WaitFor([&] { return !asked.isEmpty(); }));
    EXPECT_EQ(asked, QStringList{QUrl::fromLocalFile(next).toString()});
}

TEST_F(ComponentCom, ChangeHieghtOnAShownWindowLaysItOutAndKeepsItsMinimum)
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
    EXPECT_FALSE(plat::Default<frmBrowser>().Loaded());
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
