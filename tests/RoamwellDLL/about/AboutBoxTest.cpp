// The component's about box as the Help menu shows it: its texts, picture
// and icon, its keys, and its two buttons.
#include "tests/RoamwellDLL/ComponentFixture.h"

#include <QTest>

namespace {

class AboutBox : public ComponentFixture {
protected:
    RoamwellDLL::frmAbout& Shown()
    {
        Open();
        auto& about = plat::Default<RoamwellDLL::frmAbout>();
        about.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(about.Window()));
        return about;
    }
};

TEST_F(AboutBox, ShowsTheComponentsOwnNameAndVersion)
{
    plat::App::SetTitle(QStringLiteral("Host Program"));
    plat::App::SetVersion(7, 8, 9);
    RoamwellDLL::frmAbout& about = Shown();
    EXPECT_EQ(about.Caption.Get(), QStringLiteral("About RoamwellDLL"));
    EXPECT_EQ(about.lblTitle.Caption.Get(), QStringLiteral("RoamwellDLL"));
    EXPECT_EQ(about.lblVersion.Caption.Get(), QStringLiteral("Version 1.0.0"));
    EXPECT_FALSE(about.lblDescription.Caption.Get().isEmpty());
    EXPECT_FALSE(about.lblDisclaimer.Caption.Get().isEmpty());
    EXPECT_EQ(about.picIcon.Picture().size(), QSize(139, 214));
    EXPECT_EQ(about.Icon().cacheKey(), plat::Default<frmBrowser>().Icon().cacheKey());
}

TEST_F(AboutBox, OkIsTheDefaultAndTheCancelButton)
{
    RoamwellDLL::frmAbout& about = Shown();
    EXPECT_TRUE(about.cmdOK.Widget()->hasFocus());
    QTest::keyClick(about.cmdOK.Widget(), Qt::Key_Return);
    EXPECT_FALSE(about.Loaded());

    about.Show();  // loads it again
    EXPECT_EQ(about.lblVersion.Caption.Get(), QStringLiteral("Version 1.0.0"));
    QTest::keyClick(about.Window(), Qt::Key_Escape);
    EXPECT_FALSE(about.Loaded());
}

TEST_F(AboutBox, SystemInfoReportsAnUnavailableTool)
{
    RoamwellDLL::frmAbout& about = Shown();
    about.cmdSysInfo.PressByUser();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].prompt, QStringLiteral("System Information Is Unavailable At This Time"));
    EXPECT_TRUE(about.Loaded());
    EXPECT_TRUE(errors.empty());
}

}  // namespace
