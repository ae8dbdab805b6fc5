// The browser window's load (settings, preferences, the first page), its
// layout and minimum size, the saving of its placement and its unload.
#include "tests/RoamwellDLL/BrowserFixture.h"

#include "platform/runtime/Numeric.h"

using namespace modRoamwel;
using namespace RoamwellSettings;

namespace {

class BrowserLoad : public BrowserFixture {
protected:
    // "Top Left Height Width Windowstate" as the last close stored them.
    static std::string StoredPlacement()
    {
        QStringList placement;
        for (const Setting<float>* size : {&Browser::Top, &Browser::Left, &Browser::Height, &Browser::Width})
            placement << Stored(*size);
        placement << Stored(Browser::Windowstate);
        return placement.join(u' ').toStdString();
    }
};

TEST_F(BrowserLoad, NothingStoredGivesTheDefaultsAndTheMakersSiteFirst)
{
    frmBrowser& b = Browser();
    b.Load();
    EXPECT_FLOAT_EQ(b.Top, 400);
    EXPECT_FLOAT_EQ(b.Left, 100);
    EXPECT_FLOAT_EQ(b.Height, 7000);
    EXPECT_FLOAT_EQ(b.Width, 9000);
    EXPECT_EQ(b.WindowState, plat::vbNormal);
    EXPECT_TRUE(PacedialCircle);

    frmPreferences& prefs = plat::Default<frmPreferences>();
    EXPECT_TRUE(prefs.Loaded());
    EXPECT_EQ(prefs.txtHome.Text.Get(), MakerSite);
    EXPECT_EQ(prefs.txtSearch.Text.Get(), SearchSite);
    EXPECT_EQ(prefs.txtSitepinFile.Text.Get(), ComponentFolder() + "/sitepin.htm");
    EXPECT_TRUE(prefs.optionPacedial(0).Value);
    EXPECT_EQ(StartAddress, MakerSite);

    EXPECT_EQ(b.cboAddress.Text.Get(), MakerSite);
    EXPECT_TRUE(b.tmrTimer.Enabled);
    ASSERT_TRUE(testenv::WaitUntil([&] { return !navigations.isEmpty(); }, 20000));
    EXPECT_EQ(navigations.first(), MakerSite);
    EXPECT_EQ(b.statbar.Panels(1).Text.Get(), QStringLiteral("Surfing to: ") + MakerSite);
    EXPECT_TRUE(errors.empty());
}

TEST_F(BrowserLoad, TheClientsAddressWinsOverTheHomeSetting)
{
    Store(Preferences::HomeAddress, server.Url("/b.htm"));
    StartAddress = server.Url("/a.htm");
    frmBrowser& b = Browser();
    b.Load();
    WaitIdle(b);
    EXPECT_EQ(navigations, QStringList{server.Url("/a.htm")});
    EXPECT_EQ(plat::Default<frmPreferences>().txtHome.Text.Get(), server.Url("/a.htm"));
    EXPECT_EQ(StartAddress, server.Url("/a.htm"));
    EXPECT_EQ(b.Caption.Get(), "Page A");
    EXPECT_EQ(server.Requests("/b.htm"), 0);
}

TEST_F(BrowserLoad, AnEmptyHomeSettingOpensTheWelcomePageBesideTheComponent)
{
    Store(Preferences::HomeAddress, QString());
    frmBrowser& b = Browser();
    b.Load();
    WaitIdle(b);
    const QString welcome = QUrl::fromLocalFile(ComponentFolder() + "/welcome.htm").toString();
    EXPECT_EQ(b.brwWebBrowser.LocationURL(), welcome);
    EXPECT_EQ(b.Caption.Get(), "Welcome to Roamwell");
    EXPECT_EQ(History(b), QStringList{welcome});
    EXPECT_EQ(StartAddress, QString());
}

TEST_F(BrowserLoad, PacedialOtherThanZeroGivesTheBar)
{
    Store(Preferences::Pacedial, "1");
    Open();
    EXPECT_FALSE(PacedialCircle);
    EXPECT_TRUE(plat::Default<frmPreferences>().optionPacedial(1).Value);
    EXPECT_FALSE(plat::Default<frmPreferences>().optionPacedial(0).Value);
}

TEST_F(BrowserLoad, StoredPlacementIsAppliedAndValuesThatFailAreSkipped)
{
    Store(Browser::Top, "abc");
    Store(Browser::Left, "300");
    Store(Browser::Height, "6000");
    Store(Browser::Width, "8000");
    Store(Browser::Windowstate, "7");
    frmBrowser& b = Open();
    EXPECT_FLOAT_EQ(b.Top, 0);  // as it was
    EXPECT_FLOAT_EQ(b.Left, 300);
    EXPECT_FLOAT_EQ(b.Height, 6000);
    EXPECT_FLOAT_EQ(b.Width, 8000);
    EXPECT_EQ(b.WindowState, plat::vbNormal);
    EXPECT_EQ(b.Caption.Get(), "Home Page");  // the rest of the load went on
}

TEST_F(BrowserLoad, AMinimisedWindowIsNotLaidOutWhileItLoads)
{
    Store(Browser::Windowstate, "1");
    frmBrowser& b = Open();
    EXPECT_EQ(b.WindowState, plat::vbMinimized);
    EXPECT_FLOAT_EQ(b.cboAddress.Left, 50);
    EXPECT_FLOAT_EQ(b.cboAddress.Top, b.lblAddress.Top + b.lblAddress.Height + 15);
    EXPECT_EQ(b.Caption.Get(), "Home Page");
}

TEST_F(BrowserLoad, EveryResizeLaysTheWindowOutAroundItsBars)
{
    frmBrowser& b = Open();
    b.Move(b.Left, b.Top, 10500, 8100);
    b.Form_Resize();
    const float sw = b.ScaleWidth();
    const float sh = b.ScaleHeight();
    EXPECT_FLOAT_EQ(b.tbToolBar.Top, 0);
    EXPECT_FLOAT_EQ(b.tbToolBar.Width, sw);
    EXPECT_FLOAT_EQ(b.statbar.Top, sh - b.statbar.Height);

    EXPECT_FLOAT_EQ(b.cboAddress.Left, 20);
    EXPECT_FLOAT_EQ(b.cboAddress.Width, sw - 40);
    EXPECT_FLOAT_EQ(b.cboAddress.Top, b.tbToolBar.Height);
    EXPECT_FLOAT_EQ(b.brwWebBrowser.Left, 20);
    EXPECT_FLOAT_EQ(b.brwWebBrowser.Width, sw - 40);
    EXPECT_FLOAT_EQ(b.brwWebBrowser.Top, b.cboAddress.Top + b.cboAddress.Height);
    EXPECT_FLOAT_EQ(b.brwWebBrowser.Top + b.brwWebBrowser.Height, b.statbar.Top);

    EXPECT_FLOAT_EQ(b.progbar.Left, 0);
    EXPECT_FLOAT_EQ(b.progbar.Top, b.statbar.Top);
    EXPECT_FLOAT_EQ(b.progbar.Width, 1800);
    EXPECT_FLOAT_EQ(b.progbar.Height, b.statbar.Height);
    EXPECT_FLOAT_EQ(b.progbar.Value, 90);
    EXPECT_FLOAT_EQ(b.progbar.Max, 100);
}

TEST_F(BrowserLoad, TheWindowKeepsItsMinimumSize)
{
    frmBrowser& b = Open();
    b.Width = 2000;
    b.Height = 3000;
    b.Form_Resize();
    EXPECT_FLOAT_EQ(b.Width, 2000);  // exactly the minimum stays
    EXPECT_FLOAT_EQ(b.Height, 3000);
    b.Width = 1999;
    b.Height = 1200;
    b.Form_Resize();
    EXPECT_FLOAT_EQ(b.Width, 2000);
    EXPECT_FLOAT_EQ(b.Height, 3000);

    // Dragged smaller by the user.
    b.Show();
    b.Window()->resize(60, 90);
    ASSERT_TRUE(testenv::WaitUntil([&] { return b.Width == 2000 && b.Height == 3000 && b.Window()->width() > 60; }, 5000))
        << b.Width << " x " << b.Height;
}

TEST_F(BrowserLoad, ClosingInTheNormalStateSavesTheCurrentPlacement)
{
    frmBrowser& b = Open();
    b.Show();
    b.Move(1500, 1200, 9600, 7215);
    testenv::Settle(50);
    ASSERT_TRUE(b.CloseByUser());
    EXPECT_EQ(StoredPlacement(), "1200 1500 7215 9600 0");
}

TEST_F(BrowserLoad, ClosingMaximisedSavesTheLastNormalPlacement)
{
    frmBrowser& b = Open();
    b.Show();
    b.Move(1500, 1200, 9600, 7215);
    b.Form_Resize();
    EXPECT_EQ(b.NormalLeft, 1500);
    EXPECT_EQ(b.NormalHeight, 7215);

    b.WindowState = plat::vbMaximized;
    ASSERT_TRUE(testenv::WaitUntil([&] { return b.Window()->isMaximized(); }, 5000));
    b.Form_Resize();  // records nothing while maximised
    ASSERT_TRUE(b.CloseByUser());
    EXPECT_EQ(StoredPlacement(), "1200 1500 7215 9600 2");
}

TEST_F(BrowserLoad, TheNormalPlacementIsRoundedHalfToEven)
{
    frmBrowser& b = Open();
    b.Left = 2.5f;
    b.Top = 3.5f;
    b.Form_Resize();
    EXPECT_EQ(b.NormalLeft, 2);
    EXPECT_EQ(b.NormalTop, 4);
    // Beyond 16 bits the last value that fitted stays.
    b.Left = 40000;
    b.Form_Resize();
    EXPECT_EQ(b.NormalLeft, 2);
    EXPECT_TRUE(errors.empty());
}

TEST_F(BrowserLoad, AfterAnUnloadTheNextLoadStartsAfresh)
{
    frmBrowser& b = Open();
    Surf(b, server.Url("/a.htm"));
    EXPECT_EQ(History(b).size(), 2);
    Store(Preferences::SearchAddress, "https://find.roamwell.invalid/");
    ASSERT_TRUE(b.Unload());
    EXPECT_FALSE(plat::DefaultInstance<frmPreferences>::Exists());
    EXPECT_FALSE(b.tmrVantle.Running());
    EXPECT_EQ(b.brwWebBrowser.LocationURL(), QString());  // the page went with the window

    const int before = downloads;
    b.Load();
    WaitIdle(b, before);
    // StartAddress kept the first load's home, which is where it opens again.
    EXPECT_EQ(History(b), QStringList{server.Url("/home.htm")});
    EXPECT_EQ(plat::Default<frmPreferences>().txtSearch.Text.Get(), "https://find.roamwell.invalid/");
}

TEST_F(BrowserLoad, ALoadAfterAnUnloadStartsFromTheDesignPlacement)
{
    frmBrowser& b = Open();
    b.Move(1500, 1200);
    b.WindowState = plat::vbMaximized;
    ASSERT_TRUE(b.Unload());

    // Stored values that fail leave what a fresh window has, not what the
    // closed one had.
    Store(Browser::Top, "abc");
    Store(Browser::Left, "abc");
    Store(Browser::Windowstate, "7");
    const int before = downloads;
    b.Load();
    WaitIdle(b, before);
    EXPECT_FLOAT_EQ(b.Top, 0);
    EXPECT_FLOAT_EQ(b.Left, 0);
    EXPECT_EQ(b.WindowState, plat::vbNormal);
}

}  // namespace
