// The browser window's commands: the seven toolbar keys (and keys that are
// none of them), the Edit and Help menus and the indicator's click.
#include "tests/RoamwellDLL/ComponentFixture.h"

#include <QTest>

using namespace modRoamwel;

namespace {

const QString AwkwardName = QStringLiteral("My Pages/pins $(touch x) 'a' \"b\" ;&|`c` %f.htm");

class Commands : public ComponentFixture {
protected:
    void SetUp() override
    {
        ComponentFixture::SetUp();
        for (const char* v : {"PATH", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS", "VISUAL", "EDITOR"})
            saved.emplace_back(v, qgetenv(v));
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved)
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        ComponentFixture::TearDown();
    }
    static frmPreferences& Prefs() { return frmBrowser::Preferences(); }

    // Only the test's own folders are searched for an editor.
    void NoEditorsButTheTests()
    {
        qputenv("PATH", Folder(QStringLiteral("bin")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", Folder(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_DATA_DIRS", Folder(QStringLiteral("data-sys")).toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", Folder(QStringLiteral("config-sys")).toLocal8Bit());
        qunsetenv("VISUAL");
        qunsetenv("EDITOR");
    }
    QString Folder(const QString& name)
    {
        const QString path = files.path() + u'/' + name;
        QDir().mkpath(path);
        return path;
    }

    std::vector<std::pair<const char*, QByteArray>> saved;
};

TEST_F(Commands, EveryClickStartsTheBusyPollWhateverItsKey)
{
    frmBrowser& b = Open();
    const QString text = b.cboAddress.Text;
    const QStringList list = History(b);
    const int navigationsBefore = navigations.size();
    for (const QString& key : {QStringLiteral("Back"), QStringLiteral("Forward"), QStringLiteral("back"),
                               QStringLiteral("HOME"), QStringLiteral("Print"), QString()}) {
        b.tmrTimer.Enabled = false;
        b.tbToolBar_ButtonClick(key);
        EXPECT_TRUE(b.tmrTimer.Enabled.Get()) << key.toStdString();
    }
    // No earlier or later page, and keys that match no word: nothing else happens.
    EXPECT_EQ(b.cboAddress.Text.Get(), text);
    EXPECT_EQ(History(b), list);
    QTest::qWait(200);
    EXPECT_EQ(navigations.size(), navigationsBefore);
    EXPECT_TRUE(errors.empty());
    // The poll finds nothing loading and stops itself.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !b.tmrTimer.Enabled.Get(); }, 2000));
}

TEST_F(Commands, BackForwardAndRefreshStepThroughTheWindowsPages)
{
    frmBrowser& b = Open();
    const QString first = b.brwWebBrowser.LocationURL();
    const QString second = Page(QStringLiteral("second.htm"), QStringLiteral("Second"));
    Surf(b, second);

    int before = downloads;
    b.tbToolBar.PressByUser(QStringLiteral("Back"));
    WaitIdle(b, before);
    EXPECT_EQ(b.brwWebBrowser.LocationURL(), first);

    before = downloads;
    b.tbToolBar_ButtonClick(QStringLiteral("Forward"));
    WaitIdle(b, before);
    EXPECT_EQ(b.brwWebBrowser.LocationURL(), FileUrl(second));

    before = downloads;
    b.tbToolBar_ButtonClick(QStringLiteral("Refresh"));
    WaitIdle(b, before);
    EXPECT_EQ(b.brwWebBrowser.LocationURL(), FileUrl(second));
    EXPECT_EQ(b.Caption.Get(), QStringLiteral("Second"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(Commands, StopEndsThePollAndClearsSurfingEvenWhenNothingLoads)
{
    frmBrowser& b = Open();
    b.Caption = QStringLiteral("-Surfing-");
    b.tmrTimer.Enabled = true;
    Surfing = true;
    b.tbToolBar_ButtonClick(QStringLiteral("Stop"));
    EXPECT_FALSE(b.tmrTimer.Enabled.Get());
    EXPECT_FALSE(Surfing);
    EXPECT_EQ(b.Caption.Get(), QStringLiteral("Home Page"));
}

TEST_F(Commands, HomeGoesToTheStartAddress)
{
    frmBrowser& b = Open();
    const QString home = Page(QStringLiteral("my home.htm"), QStringLiteral("My Home"));
    StartAddress = home;
    const int before = downloads;
    b.tbToolBar_ButtonClick(QStringLiteral("Home"));
    EXPECT_EQ(b.cboAddress.Text.Get(), home);
    WaitIdle(b, before);
    EXPECT_EQ(b.brwWebBrowser.LocationURL(), FileUrl(home));
}

TEST_F(Commands, SearchAppendsItsAddressEveryTime)
{
    frmBrowser& b = Open();
    const QString search = Page(QStringLiteral("search.htm"), QStringLiteral("Search"));
    Prefs().txtSearch.Text = search;
    for (int i = 0; i < 2; ++i) {
        const int before = downloads;
        b.tbToolBar_ButtonClick(QStringLiteral("Search"));
        WaitIdle(b, before);
    }
    const QStringList list = History(b);
    ASSERT_GE(list.size(), 3);
    EXPECT_EQ(list.first(), FileUrl(search));  // the page reached moves to the top
    EXPECT_EQ(list.count(search), 2);          // the appended copies gather at the end
    EXPECT_EQ(list.mid(list.size() - 2), (QStringList{search, search}));

    // An empty search address starts only the poll.
    Prefs().txtSearch.Text = QString();
    b.tmrTimer.Enabled = false;
    b.tbToolBar_ButtonClick(QStringLiteral("Search"));
    EXPECT_TRUE(b.tmrTimer.Enabled.Get());
    EXPECT_EQ(History(b), list);
}

TEST_F(Commands, SitepinsOpensTheSavedSitesPageAndAnEmptyPathIsNoFailure)
{
    frmBrowser& b = Open();
    const QString pins = Page(AwkwardName, QStringLiteral("Pins"));
    Prefs().txtSitepinFile.Text = pins;
    int before = downloads;
    b.tbToolBar_ButtonClick(QStringLiteral("Sitepins"));
    EXPECT_EQ(b.cboAddress.Text.Get(), pins);
    WaitIdle(b, before);
    EXPECT_EQ(b.Caption.Get(), QStringLiteral("Pins"));

    Prefs().txtSitepinFile.Text = QString();
    const int navigationsBefore = navigations.size();
    b.tbToolBar_ButtonClick(QStringLiteral("Sitepins"));
    EXPECT_TRUE(b.cboAddress.Text.Get().isEmpty());
    EXPECT_TRUE(b.tmrTimer.Enabled.Get());
    QTest::qWait(200);
    EXPECT_EQ(navigations.size(), navigationsBefore);
    EXPECT_TRUE(errors.empty());
}

TEST_F(Commands, TheEditorGetsTheSitepinFileAsOneAbsolutePath)
{
    frmBrowser& b = Open();
    NoEditorsButTheTests();
    const QString gedit = Folder(QStringLiteral("bin")) + QStringLiteral("/gedit");
    Write(gedit, "#!/bin/sh\n", true);

    // A stored path that an editor could take for an option or a command
    // reaches it as the file it names in the current folder.
    for (const QString& stored : {files.path() + u'/' + AwkwardName, QStringLiteral("+!touch x"), QStringLiteral("-R")}) {
        starts.clear();
        Prefs().txtSitepinFile.Text = stored;
        b.mnuEditSitepins.RaiseClick();
        ASSERT_EQ(starts.size(), 1u);
        EXPECT_EQ(starts[0].program, gedit);
        EXPECT_EQ(starts[0].arguments, QStringList{QFileInfo(stored).absoluteFilePath()});
        EXPECT_TRUE(starts[0].arguments.first().startsWith(u'/'));
    }
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("x")));
}

TEST_F(Commands, WithoutAnyEditorAMessageSaysSoAndTheWindowGoesOn)
{
    frmBrowser& b = Open();
    NoEditorsButTheTests();
    Prefs().txtSitepinFile.Text = QStringLiteral("/somewhere/sitepin.htm");

    b.mnuEditSitepins.RaiseClick();
    EXPECT_TRUE(starts.empty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].prompt.contains(QStringLiteral("/somewhere/sitepin.htm")));
    EXPECT_TRUE(errors.empty());

    // An editor that is found but will not start ends the same way.
    Write(Folder(QStringLiteral("bin")) + QStringLiteral("/gedit"), "#!/bin/sh\n", true);
    plat::SetProcessStarter([this](const QString& program, const QStringList& arguments) -> long long {
        starts.push_back({program, arguments});
        plat::Raise(plat::ErrFileNotFound);
    });
    b.mnuEditSitepins.RaiseClick();
    EXPECT_EQ(starts.size(), 1u);
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_TRUE(errors.empty());

    const QString next = Page(QStringLiteral("still.htm"), QStringLiteral("Still Here"));
    Surf(b, next);
    EXPECT_EQ(b.Caption.Get(), QStringLiteral("Still Here"));
}

TEST_F(Commands, HelpfileOpensTheHelpPageBesideTheComponent)
{
    frmBrowser& b = Open();
    const int before = downloads;
    b.mnuHelpfile_Click();
    EXPECT_EQ(b.cboAddress.Text.Get(), ComponentFolder() + QStringLiteral("/helpfile.htm"));
    WaitIdle(b, before);
    EXPECT_EQ(b.Caption.Get(), QStringLiteral("Roamwell Help"));
}

TEST_F(Commands, TheIndicatorLeadsToTheMakersSite)
{
    frmBrowser& b = Open();
    b.picVantle_Click();
    EXPECT_EQ(b.cboAddress.Text.Get(), RoamwellSettings::MakerSite);
    EXPECT_TRUE(b.tmrTimer.Enabled.Get());
}

TEST_F(Commands, PreferencesAndAboutAreModalAndGoWithTheWindow)
{
    frmBrowser& b = Open();
    WhileModal([&] { b.mnuEditPrefs_Click(); },
               [&] {
                   EXPECT_TRUE(Prefs().IsVisible());
                   EXPECT_EQ(Prefs().Window()->windowModality(), Qt::ApplicationModal);
                   Prefs().cmdCancel.PressByUser();
               });
    EXPECT_FALSE(Prefs().IsVisible());

    auto& about = plat::Default<RoamwellDLL::frmAbout>();
    WhileModal([&] { b.mnuAbout_Click(); },
               [&] {
                   EXPECT_TRUE(about.IsVisible());
                   EXPECT_EQ(about.Window()->windowModality(), Qt::ApplicationModal);
                   about.cmdOK.PressByUser();
               });
    EXPECT_FALSE(about.Loaded());

    ASSERT_TRUE(b.Unload());
    EXPECT_FALSE(plat::DefaultInstance<RoamwellDLL::frmAbout>::Exists());
    EXPECT_FALSE(plat::DefaultInstance<frmPreferences>::Exists());
}

}  // namespace
