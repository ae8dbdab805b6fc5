#pragma once
// Builds the thread's browser window headless, with its own settings folder,
// scripted random draws and a web server of the test's own; records the
// status text and caption after each event of the web page.

#include "RoamwellDLL/RoamwellSettings.h"
#include "RoamwellDLL/frmBrowser.h"
#include "RoamwellDLL/frmPreferences.h"
#include "RoamwellDLL/modRoamwel.h"
#include "platform/forms/DefaultInstance.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Settings.h"
#include "tests/support/PageServer.h"
#include "tests/support/TestEnv.h"

#include <QTest>
#include <gtest/gtest.h>
#include <vector>

using namespace RoamwellDLL;

class BrowserFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::EnsureApplication();
        plat::SetUnhandledErrorHandler([this](const plat::RuntimeError& e) { errors.push_back(e.Number()); });
        modRoamwel::StartAddress.clear();
        modRoamwel::PacedialCircle = false;
        modRoamwel::Surfing = false;
        ASSERT_TRUE(server.Listening());
        server.AddPage(QStringLiteral("/home.htm"), testenv::TitledPage(QStringLiteral("Home Page")));
        server.AddPage(QStringLiteral("/a.htm"), testenv::TitledPage(QStringLiteral("Page A")));
        server.AddPage(QStringLiteral("/b.htm"), testenv::TitledPage(QStringLiteral("Page B")));
    }

    void TearDown() override
    {
        if (plat::DefaultInstance<frmBrowser>::Exists()) {
            plat::Default<frmBrowser>().Unload();
            plat::DefaultInstance<frmBrowser>::Release();
        }
        plat::DefaultInstance<frmPreferences>::Release();
        plat::SetUnhandledErrorHandler({});
    }

    template <class T>
    static void Store(const RoamwellSettings::Setting<T>& setting, const QString& value)
    {
        plat::SaveSetting(setting, value);
    }
    template <class T>
    static QString Stored(const RoamwellSettings::Setting<T>& setting)
    {
        return plat::GetSetting(setting.app, setting.section, setting.key, QStringLiteral("<missing>"));
    }

    // The window of this thread, with the events of its web page recorded.
    frmBrowser& Browser()
    {
        frmBrowser& b = plat::Default<frmBrowser>();
        if (!recording) {
            recording = true;
            auto before = b.brwWebBrowser.BeforeNavigate2;
            auto complete = b.brwWebBrowser.NavigateComplete2;
            auto done = b.brwWebBrowser.DownloadComplete;
            b.brwWebBrowser.BeforeNavigate2 = [this, &b, before](const QString& url, bool& cancel) {
                before(url, cancel);
                navigations << url;
                steps << Step(b);
            };
            b.brwWebBrowser.NavigateComplete2 = [this, &b, complete](const QString& url) {
                complete(url);
                arrivals << url;
                steps << Step(b);
            };
            b.brwWebBrowser.DownloadComplete = [this, &b, done] {
                done();
                ++downloads;
                steps << Step(b);
            };
        }
        return b;
    }

    // Loads the window (hidden) on a quick page of the test server and
    // waits until that first page is in.
    frmBrowser& Open(const QString& path = QStringLiteral("/home.htm"))
    {
        Store(RoamwellSettings::Preferences::HomeAddress, server.Url(path));
        frmBrowser& b = Browser();
        b.Load();
        WaitIdle(b);
        return b;
    }

    // Waits until a load has ended and the busy poll has stopped itself.
    void WaitIdle(frmBrowser& b, int downloadsBefore = -1)
    {
        const int target = (downloadsBefore < 0 ? 0 : downloadsBefore) + 1;
        ASSERT_TRUE(testenv::WaitUntil([&] { return downloads >= target && !b.tmrTimer.Enabled.Get(); }, 20000))
            << "downloads " << downloads << ", poll " << b.tmrTimer.Enabled.Get() << ", steps "
            << steps.join(QStringLiteral("; ")).toStdString() << ", at " << b.brwWebBrowser.LocationURL().toStdString();
    }

    // Navigates through SurfTo and waits for the end of the load.
    void Surf(frmBrowser& b, const QString& address)
    {
        const int before = downloads;
        b.SurfTo(address);
        WaitIdle(b, before);
    }

    static QString Step(frmBrowser& b)
    {
        return b.statbar.Panels(1).Text.Get() + QStringLiteral(" | ") + b.Caption.Get();
    }

    static QStringList History(frmBrowser& b)
    {
        QStringList list;
        for (int i = 0; i < b.cboAddress.ListCount(); ++i)
            list << b.cboAddress.List(i);
        return list;
    }

    testenv::TempConfigHome config;
    testenv::ScriptedRnd rnd{0.5f};
    testenv::ApplicationFirst app;  // the server's sockets need the application's event loop
    testenv::PageServer server;
    std::vector<int> errors;
    bool recording = false;
    QStringList navigations;  // BeforeNavigate2 addresses
    QStringList arrivals;     // NavigateComplete2 addresses
    QStringList steps;        // status | caption after each event
    int downloads = 0;
};
