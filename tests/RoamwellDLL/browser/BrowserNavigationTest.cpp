// Navigation: the status and caption a load shows, the address history,
// the address box's Enter and pick, the busy poll, and pages with frames.
#include "tests/RoamwellDLL/BrowserFixture.h"
#include "platform/forms/Keys.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

using namespace modRoamwel;

namespace {

using BrowserNavigation = BrowserFixture;

QStringList Statuses(const QStringList& steps)
{
    QStringList out;
    for (const QString& s : steps)
        out << s.section(QStringLiteral(" | "), 0, 0);
    return out;
}

TEST_F(BrowserNavigation, OneLoadShowsItsStatusAndCaptionInOrder)
{
    frmBrowser& b = Open();
    const QString slow = server.Url("/slow.htm");
    server.AddPage("/slow.htm", testenv::TitledPage("Slow Page", QString(5000, QLatin1Char('.'))));
    server.Hold("/slow.htm");
    steps.clear();
    const int before = downloads;

    b.SurfTo(slow);
    EXPECT_EQ(b.cboAddress.Text.Get(), slow);
    // While the page loads: the poll shows it and the indicator draws.
    ASSERT_TRUE(testenv::WaitUntil([&] { return b.Caption.Get() == "-Surfing-" && Surfing; }, 20000));
    ASSERT_TRUE(testenv::WaitUntil([&] { return b.picVantle.FiguresDrawn() > 0; }, 5000));
    EXPECT_TRUE(b.tmrTimer.Enabled);
    EXPECT_EQ(downloads, before);

    server.Release();
    WaitIdle(b, before);
    EXPECT_EQ(Statuses(steps), (QStringList{"Surfing to: " + slow, "Site Found: " + slow, "Done"}));
    EXPECT_EQ(steps.last(), "Done | Slow Page");
    EXPECT_EQ(b.Caption.Get(), "Slow Page");
    EXPECT_FALSE(Surfing);
    EXPECT_FALSE(b.tmrTimer.Enabled);
    const int drawn = b.picVantle.FiguresDrawn();
    testenv::Settle(600);
    EXPECT_EQ(b.picVantle.FiguresDrawn(), drawn);  // figures stay, none are added
    EXPECT_TRUE(errors.empty());
}

TEST_F(BrowserNavigation, ARevisitMovesItsAddressToTheTopWithoutGrowingTheList)
{
    frmBrowser& b = Open();
    Surf(b, server.Url("/a.htm"));
    Surf(b, server.Url("/b.htm"));
    EXPECT_EQ(History(b), (QStringList{server.Url("/b.htm"), server.Url("/a.htm"), server.Url("/home.htm")}));
    Surf(b, server.Url("/a.htm"));
    EXPECT_EQ(History(b), (QStringList{server.Url("/a.htm"), server.Url("/b.htm"), server.Url("/home.htm")}));
    EXPECT_EQ(b.cboAddress.ListIndex, 0);
    EXPECT_EQ(b.cboAddress.Text.Get(), server.Url("/a.htm"));
}

TEST_F(BrowserNavigation, AnAddressDifferingOnlyInCaseIsAddedAnew)
{
    server.AddPage("/Page.htm", testenv::TitledPage("Upper"));
    server.AddPage("/page.htm", testenv::TitledPage("Lower"));
    frmBrowser& b = Open();
    Surf(b, server.Url("/page.htm"));
    Surf(b, server.Url("/Page.htm"));
    EXPECT_EQ(History(b), (QStringList{server.Url("/Page.htm"), server.Url("/page.htm"), server.Url("/home.htm")}));
}

TEST_F(BrowserNavigation, OnlyTheFirstOfTwoEqualEntriesIsRemoved)
{
    frmBrowser& b = Open();
    Surf(b, server.Url("/a.htm"));
    b.cboAddress.AddItem(server.Url("/b.htm"));
    b.cboAddress.AddItem(server.Url("/b.htm"));
    Surf(b, server.Url("/b.htm"));
    EXPECT_EQ(History(b), (QStringList{server.Url("/b.htm"), server.Url("/a.htm"), server.Url("/home.htm"),
                                       server.Url("/b.htm")}));
}

TEST_F(BrowserNavigation, APickedEntryNavigatesOnce)
{
    frmBrowser& b = Open();
    Surf(b, server.Url("/a.htm"));
    Surf(b, server.Url("/b.htm"));
    const int requests = server.Requests("/a.htm");
    const int before = downloads;
    navigations.clear();

    b.cboAddress.PickByUser(1);
    WaitIdle(b, before);
    testenv::Settle(300);
    EXPECT_EQ(navigations, QStringList{server.Url("/a.htm")});
    EXPECT_EQ(server.Requests("/a.htm"), requests + 1);
    EXPECT_EQ(History(b), (QStringList{server.Url("/a.htm"), server.Url("/b.htm"), server.Url("/home.htm")}));
    EXPECT_EQ(b.cboAddress.ListIndex, 0);
}

TEST_F(BrowserNavigation, ThePollStopsItselfAtTheFirstIdleTick)
{
    frmBrowser& b = Open();
    b.tmrTimer.Enabled = true;
    b.Caption = QStringLiteral("stale");
    Surfing = true;
    b.tmrTimer.Fire();
    EXPECT_FALSE(b.tmrTimer.Enabled);
    EXPECT_EQ(b.Caption.Get(), "Home Page");
    EXPECT_FALSE(Surfing);
}

TEST_F(BrowserNavigation, EnterInAnEmptyBoxNavigatesNowhereAndGoesOn)
{
    frmBrowser& b = Open();
    navigations.clear();
    b.cboAddress.Text = QString();
    int16_t key = plat::vbKeyReturn;
    b.cboAddress_KeyPress(key);
    EXPECT_EQ(key, plat::vbKeyReturn);  // passed on to the box
    EXPECT_TRUE(b.tmrTimer.Enabled);
    ASSERT_TRUE(testenv::WaitUntil([&] { return !b.tmrTimer.Enabled.Get(); }, 5000));
    EXPECT_TRUE(navigations.isEmpty());
    EXPECT_EQ(b.Caption.Get(), "Home Page");
    EXPECT_TRUE(errors.empty());

    b.SurfTo(QString());  // the empty text leaves the box as it is
    EXPECT_EQ(b.cboAddress.Text.Get(), QString());
}

TEST_F(BrowserNavigation, EnterInTheBoxGoesToTheTypedAddressOnce)
{
    frmBrowser& b = Open();
    b.Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(b.Window()));
    b.cboAddress.SetFocus();
    auto* edit = b.cboAddress.Widget()->findChild<QLineEdit*>();
    ASSERT_TRUE(edit);
    ASSERT_TRUE(QApplication::focusWidget() == edit || QApplication::focusWidget() == b.cboAddress.Widget());

    for (int round = 1; round <= 2; ++round) {
        // The second time the typed address is already an entry of the list.
        const int before = downloads;
        navigations.clear();
        edit->selectAll();
        QTest::keyClicks(edit, server.Url("/a.htm"));
        QTest::keyClick(edit, Qt::Key_Return);
        WaitIdle(b, before);
        testenv::Settle(300);
        EXPECT_EQ(navigations, QStringList{server.Url("/a.htm")}) << "round " << round;
        EXPECT_EQ(server.Requests("/a.htm"), round);
    }
    EXPECT_EQ(History(b), (QStringList{server.Url("/a.htm"), server.Url("/home.htm")}));
}

TEST_F(BrowserNavigation, EachFrameOfAPageReportsItsArrival)
{
    server.AddPage("/frames.htm", "<html><head><title>Framed</title></head><frameset cols='50%,50%'>"
                                  "<frame src='/a.htm'><frame src='/b.htm'></frameset></html>");
    frmBrowser& b = Open();
    arrivals.clear();
    steps.clear();
    Surf(b, server.Url("/frames.htm"));
    ASSERT_EQ(arrivals.size(), 3) << arrivals.join(' ').toStdString();
    EXPECT_EQ(arrivals[0], server.Url("/frames.htm"));
    EXPECT_TRUE(Statuses(steps).contains("Site Found: " + server.Url("/a.htm")));
    EXPECT_TRUE(Statuses(steps).contains("Site Found: " + server.Url("/b.htm")));
    // Each arrival put the page's own address on top, once.
    EXPECT_EQ(History(b), (QStringList{server.Url("/frames.htm"), server.Url("/home.htm")}));
    EXPECT_EQ(b.Caption.Get(), "Framed");
    EXPECT_EQ(steps.last(), "Done | Framed");
}

TEST_F(BrowserNavigation, AFailedLoadIsStillReportedAndKeptInTheHistory)
{
    frmBrowser& b = Open();
    const QString missing = server.Url("/missing.htm");
    const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(testenv::PageServer::ClosedPort());
    Surf(b, missing);
    EXPECT_EQ(b.Caption.Get(), "Not Found");
    EXPECT_EQ(b.statbar.Panels(1).Text.Get(), "Done");
    Surf(b, refused);
    EXPECT_EQ(History(b), (QStringList{refused, missing, server.Url("/home.htm")}));
    EXPECT_FALSE(b.tmrTimer.Enabled);
    EXPECT_TRUE(errors.empty());
}

}  // namespace
