// The preferences form on a private X server with a window manager: the
// style the user picks with the mouse goes back to the stored one whenever
// the form is painted again, that is when another window uncovers it or it
// comes back from the taskbar.
#include "tests/RoamwellDLL/ComponentFixture.h"

#include "tests/support/X11Application.h"

using namespace modRoamwel;

namespace {

auto* const desktop = ::testing::AddGlobalTestEnvironment(new testenv::X11Application);

class PreferencesWindow : public ComponentFixture {
protected:
    static testenv::X11Session& X() { return testenv::X11Application::Session(); }
    static frmPreferences& Prefs() { return frmBrowser::Preferences(); }
    static unsigned long XId(plat::Form& f) { return f.Window()->winId(); }

    // The preferences form shown over the browser's, as the Edit menu shows it.
    frmPreferences& ShowPreferences()
    {
        StartAddress = Page(QStringLiteral("start.htm"), QStringLiteral("Start"));
        frmBrowser& b = Browser();
        b.Load();
        WaitIdle(b);
        frmPreferences& p = Prefs();
        p.Show();
        EXPECT_TRUE(testenv::WaitUntil([&] { return X().WmState(XId(p)) == 1; }, 10000));
        testenv::Settle(300);
        return p;
    }
    // Picks the bar style with the mouse, as the user does.
    static void ClickBar(frmPreferences& p)
    {
        QWidget* option = p.optionPacedial(1).Widget();
        const QPoint at = option->mapTo(p.Window(), QPoint(8, option->height() / 2));
        X().Click({XId(p)}, at.x(), at.y());
        ASSERT_TRUE(testenv::WaitUntil([&] { return p.optionPacedial(1).Value.Get(); }, 5000));
        testenv::Settle(200);
    }
};

TEST_F(PreferencesWindow, APaintShowsTheStoredStyleAgain)
{
    frmPreferences& p = ShowPreferences();
    ASSERT_TRUE(PacedialCircle);
    ClickBar(p);
    EXPECT_FALSE(p.optionPacedial(0).Value);
    // The buttons and boxes redrawing themselves (hover, cursor) change nothing.
    p.cmdSave.Widget()->repaint();
    p.txtHome.Widget()->repaint();
    p.optionPacedial(1).Widget()->repaint();
    testenv::Settle(200);
    EXPECT_TRUE(p.optionPacedial(1).Value);

    // Covered by another window and uncovered: the form's area is painted again.
    const unsigned long cover = X().Cover(X().ClientRect(XId(p)).adjusted(-10, -30, 10, 10));
    testenv::Settle(200);
    EXPECT_TRUE(p.optionPacedial(1).Value) << "covering alone paints nothing";
    X().Uncover(cover);
    ASSERT_TRUE(testenv::WaitUntil([&] { return p.optionPacedial(0).Value.Get(); }, 5000));
    EXPECT_FALSE(p.optionPacedial(1).Value);
    EXPECT_TRUE(PacedialCircle);
    EXPECT_EQ(Stored(RoamwellSettings::Preferences::Pacedial), QStringLiteral("<missing>"));
}

TEST_F(PreferencesWindow, ComingBackFromTheTaskbarShowsTheStoredStyleAgain)
{
    frmPreferences& p = ShowPreferences();
    ClickBar(p);
    X().Minimize(XId(p));
    ASSERT_TRUE(testenv::WaitUntil([&] { return X().WmState(XId(p)) == 3; }, 5000));
    testenv::Settle(200);
    EXPECT_TRUE(p.optionPacedial(1).Value);
    X().Restore(XId(p));
    ASSERT_TRUE(testenv::WaitUntil([&] { return p.optionPacedial(0).Value.Get(); }, 5000));
    EXPECT_FALSE(p.optionPacedial(1).Value);
}

}  // namespace
