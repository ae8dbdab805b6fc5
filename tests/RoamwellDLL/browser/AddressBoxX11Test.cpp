// The address box of the real browser window on a real X server, typed into
// with real keys: Enter goes to exactly the text typed, once, whatever the
// history holds.
#include "tests/RoamwellDLL/BrowserFixture.h"

#include "tests/support/QtPrinters.h"
#include "tests/support/X11Application.h"

namespace {

auto* const desktop = ::testing::AddGlobalTestEnvironment(new testenv::X11Application);

class AddressBoxOnX11 : public BrowserFixture {
protected:
    // The window shown on its home page with two more pages in its history,
    // the focus in the address box.
    frmBrowser& OpenWithHistory()
    {
        frmBrowser& b = Open();
        Surf(b, server.Url("/a.htm"));
        Surf(b, server.Url("/b.htm"));
        b.Show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(b.Window(), 20000));
        b.cboAddress.SetFocus();
        EXPECT_TRUE(testenv::WaitUntil([&] { return b.cboAddress.Widget()->hasFocus(); }, 5000));
        return b;
    }

    // Empties the box, types the address, presses Enter and waits for the
    // load and a while longer, to see a second navigation if one comes.
    void TypeAndEnter(frmBrowser& b, const QString& address)
    {
        b.cboAddress.Text = QString();
        navigations.clear();
        const int before = downloads;
        testenv::X11Application::Session().TypeText(address);
        testenv::X11Application::Session().PressKey("Return");
        WaitIdle(b, before);
        testenv::Settle(500);
    }
};

TEST_F(AddressBoxOnX11, EnterGoesToTheTypedAddressOnceWhateverTheHistoryHolds)
{
    frmBrowser& b = OpenWithHistory();
    ASSERT_EQ(History(b), (QStringList{server.Url("/b.htm"), server.Url("/a.htm"), server.Url("/home.htm")}));
    const int homeRequests = server.Requests("/home.htm");
    const int aRequests = server.Requests("/a.htm");

    // A prefix of an entry is not completed into it.
    TypeAndEnter(b, server.Url("/h"));
    EXPECT_EQ(navigations, QStringList{server.Url("/h")});
    EXPECT_EQ(server.Requests("/h"), 1);
    EXPECT_EQ(server.Requests("/home.htm"), homeRequests);

    // An entry in another case is another address.
    TypeAndEnter(b, server.Url("/A.htm"));
    EXPECT_EQ(navigations, QStringList{server.Url("/A.htm")});
    EXPECT_EQ(server.Requests("/A.htm"), 1);
    EXPECT_EQ(server.Requests("/a.htm"), aRequests);

    // An exact entry that is not the selected one: one navigation, not two.
    TypeAndEnter(b, server.Url("/a.htm"));
    EXPECT_EQ(navigations, QStringList{server.Url("/a.htm")});
    EXPECT_EQ(server.Requests("/a.htm"), aRequests + 1);
    EXPECT_EQ(History(b).first(), server.Url("/a.htm"));
    EXPECT_TRUE(errors.empty());
}

}  // namespace
