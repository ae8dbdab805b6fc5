// The preferences form: what Save stores and in which order, Cancel and the
// close box leaving the edited texts live, and the Sitepin file dialog. The
// paint that shows the stored indicator style again needs a real window:
// PreferencesWindowTest.cpp.
#include "tests/RoamwellDLL/ComponentFixture.h"

#include <QTest>

using namespace modRoamwel;
using RoamwellSettings::DefaultSitepinFile;
using RoamwellSettings::SearchSite;
namespace stored = RoamwellSettings::Preferences;

namespace {

class Preferences : public ComponentFixture {
protected:
    // The browser opened by a client with its own page, as the game opens
    // its help page; the preferences form is then loaded hidden.
    frmBrowser& OpenWith(const QString& clientPage)
    {
        StartAddress = clientPage;
        frmBrowser& b = Browser();
        b.Load();
        WaitIdle(b);
        b.tmrVantle.Enabled = false;  // figures come from the test only
        return b;
    }
    static frmPreferences& Prefs() { return frmBrowser::Preferences(); }
    static QString Pref(const RoamwellSettings::Setting<QString>& setting) { return Stored(setting); }
};

TEST_F(Preferences, TheBrowserLoadsTheFormHiddenAndFillsItFromTheSettings)
{
    frmBrowser& b = OpenWith(Page(QStringLiteral("VelmorHelp.htm"), QStringLiteral("Help")));
    frmPreferences& p = Prefs();
    EXPECT_TRUE(p.Loaded());
    EXPECT_FALSE(p.IsVisible());
    EXPECT_EQ(p.Icon().cacheKey(), b.Icon().cacheKey());
    // Nothing stored yet: the defaults.
    EXPECT_EQ(p.txtSearch.Text.Get(), SearchSite);
    EXPECT_EQ(p.txtSitepinFile.Text.Get(), DefaultSitepinFile());
    EXPECT_TRUE(p.optionPacedial(0).Value);
    // The two styles are one group of their own frame; Browse... sits with the path.
    EXPECT_EQ(&p.optionPacedial(1).Parent(), static_cast<plat::Container*>(&p.Frame1));
    EXPECT_EQ(&p.cmdBrowseSitepin.Parent(), static_cast<plat::Container*>(&p.frameSitepinFile));
    // Enter and Esc press nothing here: the form has no default or cancel button.
    EXPECT_FALSE(p.cmdSave.Default.Get() || p.cmdCancel.Cancel.Get());
}

TEST_F(Preferences, SaveWithoutEditsStoresTheClientsPageAsHome)
{
    const QString help = Page(QStringLiteral("game folder/VelmorHelp.htm"), QStringLiteral("Velmor Help"));
    frmBrowser& b = OpenWith(help);
    ASSERT_EQ(Prefs().txtHome.Text.Get(), help);

    WhileModal([&] { b.mnuEditPrefs_Click(); },
               [&] {
                   EXPECT_TRUE(Prefs().IsVisible());
                   Prefs().cmdSave.PressByUser();
               });
    EXPECT_FALSE(Prefs().IsVisible());
    EXPECT_TRUE(Prefs().Loaded());
    EXPECT_EQ(Pref(stored::HomeAddress), help);
    EXPECT_EQ(Pref(stored::SearchAddress), SearchSite);
    EXPECT_EQ(Pref(stored::SitepinFile), DefaultSitepinFile());
    EXPECT_EQ(Pref(stored::Pacedial), QStringLiteral("0"));
    EXPECT_EQ(StartAddress, help);
    EXPECT_TRUE(errors.empty());
}

TEST_F(Preferences, SaveWithAnEmptyHomeLeavesHomeWithNothingToDo)
{
    frmBrowser& b = OpenWith(Page(QStringLiteral("start.htm"), QStringLiteral("Start")));
    Prefs().txtHome.Text = QString();
    Prefs().cmdSave_Click();
    EXPECT_TRUE(StartAddress.isEmpty());
    EXPECT_EQ(Pref(stored::HomeAddress), QString());

    const QString before = b.cboAddress.Text;
    const int navigationsBefore = navigations.size();
    b.tmrTimer.Enabled = false;
    b.tbToolBar_ButtonClick(QStringLiteral("Home"));
    EXPECT_TRUE(b.tmrTimer.Enabled.Get());  // only the busy poll starts
    EXPECT_EQ(b.cboAddress.Text.Get(), before);
    QTest::qWait(200);
    EXPECT_EQ(navigations.size(), navigationsBefore);
}

TEST_F(Preferences, SaveClearsTheIndicatorAndPlacesItInTheChosenStyle)
{
    frmBrowser& b = OpenWith(Page(QStringLiteral("start.htm"), QStringLiteral("Start")));
    const float bw = b.tbToolBar.ButtonWidth();
    b.Width = 7 * bw + 3150 + plat::Form::FrameWidth;  // room for either style
    ASSERT_TRUE(PacedialCircle);
    ASSERT_FLOAT_EQ(b.picVantle.Width, 375);

    b.picVantle.Circle(100, 100, 50, 0xFF);
    Prefs().optionPacedial(1).PressByUser();
    Prefs().cmdSave_Click();
    EXPECT_EQ(b.picVantle.FiguresDrawn(), 0);
    EXPECT_FALSE(PacedialCircle);
    EXPECT_EQ(Pref(stored::Pacedial), QStringLiteral("1"));
    EXPECT_TRUE(b.picVantle.Visible);
    EXPECT_FLOAT_EQ(b.picVantle.Width, 3000);
    EXPECT_FLOAT_EQ(b.picVantle.Left, b.ScaleWidth() - 3000 - 50);

    // The same style again still clears and places the box.
    b.picVantle.Line(0, 0, 100, 100, 0xFF);
    b.picVantle.Left = 0;
    Prefs().cmdSave_Click();
    EXPECT_EQ(b.picVantle.FiguresDrawn(), 0);
    EXPECT_FLOAT_EQ(b.picVantle.Left, b.ScaleWidth() - 3000 - 50);

    // Back to circles: the wide box is made square again.
    Prefs().optionPacedial(0).PressByUser();
    Prefs().cmdSave_Click();
    EXPECT_TRUE(PacedialCircle);
    EXPECT_EQ(Pref(stored::Pacedial), QStringLiteral("0"));
    EXPECT_FLOAT_EQ(b.picVantle.Width, b.picVantle.Height);
    EXPECT_FLOAT_EQ(b.picVantle.Top, 90);
    EXPECT_FLOAT_EQ(b.picVantle.Left, b.ScaleWidth() - b.picVantle.Height - 50);
}

TEST_F(Preferences, CirclesInAWindowTooNarrowForThemHideTheBoxAtItsBarWidth)
{
    frmBrowser& b = OpenWith(Page(QStringLiteral("start.htm"), QStringLiteral("Start")));
    const float bw = b.tbToolBar.ButtonWidth();
    ASSERT_GT(bw, 150);
    Prefs().optionPacedial(1).PressByUser();
    Prefs().cmdSave_Click();
    b.Width = 8 * bw + plat::Form::FrameWidth;  // bar style fits, circle style does not
    const float barWidth = b.picVantle.Width;
    ASSERT_TRUE(b.picVantle.Visible);
    ASSERT_GT(barWidth, 375);

    Prefs().optionPacedial(0).PressByUser();
    Prefs().cmdSave_Click();
    EXPECT_FALSE(b.picVantle.Visible);
    EXPECT_FLOAT_EQ(b.picVantle.Width, barWidth);
}

TEST_F(Preferences, AFailedWriteEndsSaveWithTheEarlierStepsDone)
{
    frmBrowser& b = OpenWith(Page(QStringLiteral("start.htm"), QStringLiteral("Start")));
    Prefs().Show();
    Prefs().txtHome.Text = QStringLiteral("/new/home.htm");
    Prefs().optionPacedial(1).PressByUser();
    b.picVantle.Circle(100, 100, 50, 0xFF);
    const float left = b.picVantle.Left;
    // The settings file cannot be read any more, so no setting can be written.
    const QString ini = plat::SettingsFilePath(RoamwellSettings::App);
    QFile::remove(ini);
    ASSERT_TRUE(QDir().mkpath(ini));

    EXPECT_THROW(Prefs().cmdSave_Click(), plat::RuntimeError);
    EXPECT_EQ(StartAddress, QStringLiteral("/new/home.htm"));  // the start address taken
    EXPECT_EQ(b.picVantle.FiguresDrawn(), 0);                  // the indicator cleared
    EXPECT_FALSE(PacedialCircle);                               // the style taken, then its write failed
    EXPECT_FLOAT_EQ(b.picVantle.Left, left);                    // so the indicator was never placed
    EXPECT_TRUE(Prefs().IsVisible());                           // nor the window hidden
    QDir(ini).removeRecursively();
}

TEST_F(Preferences, CancelKeepsTheEditedTextsLiveAndStoresNothing)
{
    frmBrowser& b = OpenWith(Page(QStringLiteral("start.htm"), QStringLiteral("Start")));
    const QString search = Page(QStringLiteral("find it.htm"), QStringLiteral("Found"));
    const QString home = StartAddress;
    WhileModal([&] { b.mnuEditPrefs_Click(); },
               [&] {
                   Prefs().txtSearch.TypeByUser(search);
                   Prefs().txtHome.TypeByUser(QStringLiteral("/elsewhere.htm"));
                   Prefs().cmdCancel.PressByUser();
               });
    EXPECT_FALSE(Prefs().IsVisible());
    EXPECT_EQ(Pref(stored::SearchAddress), QStringLiteral("<missing>"));
    EXPECT_EQ(Pref(stored::HomeAddress), QStringLiteral("<missing>"));
    EXPECT_EQ(StartAddress, home);  // a home text counts only after Save

    const int before = downloads;
    b.tbToolBar_ButtonClick(QStringLiteral("Search"));
    WaitIdle(b, before);
    EXPECT_EQ(b.brwWebBrowser.LocationURL(), FileUrl(search));
    EXPECT_EQ(Prefs().txtHome.Text.Get(), QStringLiteral("/elsewhere.htm"));
}

TEST_F(Preferences, TheCloseBoxHidesTheFormAndKeepsItsTexts)
{
    OpenWith(Page(QStringLiteral("start.htm"), QStringLiteral("Start")));
    Prefs().Show();
    Prefs().txtSitepinFile.TypeByUser(QStringLiteral("/my/pins.htm"));
    Prefs().CloseByUser();
    EXPECT_FALSE(Prefs().IsVisible());
    EXPECT_TRUE(Prefs().Loaded());
    EXPECT_EQ(Prefs().txtSitepinFile.Text.Get(), QStringLiteral("/my/pins.htm"));
}

TEST_F(Preferences, BrowseAsksForAnHtmlFileAndACancelChangesNothing)
{
    OpenWith(Page(QStringLiteral("start.htm"), QStringLiteral("Start")));
    std::vector<plat::OpenFileRequest> asked;
    std::optional<QString> answer;
    plat::SetOpenFileHandler([&](const plat::OpenFileRequest& r) {
        asked.push_back(r);
        return answer;
    });
    const QString before = Prefs().txtSitepinFile.Text;

    Prefs().cmdBrowseSitepin.PressByUser();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].title, QStringLiteral("Choose Sitepin File"));
    EXPECT_EQ(asked[0].filter, QStringLiteral("HTML Files|*.htm;*.html|All Files|*.*"));
    EXPECT_EQ(asked[0].defaultExt, QStringLiteral(".html"));
    EXPECT_EQ(Prefs().txtSitepinFile.Text.Get(), before);
    EXPECT_TRUE(errors.empty());

    answer = QStringLiteral("/home/someone/new pins.html");
    Prefs().cmdBrowseSitepin.PressByUser();
    EXPECT_EQ(Prefs().txtSitepinFile.Text.Get(), QStringLiteral("/home/someone/new pins.html"));
    EXPECT_EQ(Pref(stored::SitepinFile), QStringLiteral("<missing>"));  // stored only by a Save
}

}  // namespace
