// The board's popup menu and its four commands: setup, background colour,
// about box and help.
#include "tests/Velmor/setup/SetupFixture.h"

#include "platform/forms/Twips.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <optional>
#include <vector>

namespace {

// A board whose help browser only records the address it is given.
class HelpRecordingBoard : public frmBoard {
public:
    std::vector<QString> opened;
    void OpenHelp(const QString& address) override { opened.push_back(address); }
};

int VisibleWindowsNamed(const QString& name)
{
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        count += w->objectName() == name && w->isVisible();
    return count;
}

}  // namespace

using BoardMenu = SetupTest;

TEST_F(BoardMenu, AnyMouseButtonOnMenuOpensThePopup)
{
    frmBoard& board = LoadBoard();
    board.Show();
    std::vector<QString> opened;
    QStringList items;
    plat::Form::SetPopupMenuHandler([&](plat::Menu& menu) -> plat::Menu* {
        opened.push_back(menu.Name());
        items.clear();
        for (plat::Menu* item : menu.Items())
            items << item->Caption.Get();
        return nullptr;  // closed without a choice
    });

    const QPoint onLabel(5, 5);  // "Menu" sits in the top-left corner, over the wall picture
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(board.Surface(), button, {}, onLabel);
        QTest::mouseRelease(board.Surface(), button, {}, onLabel);
    }
    EXPECT_EQ(opened, (std::vector<QString>{"mnuPopup", "mnuPopup", "mnuPopup"}));
    EXPECT_EQ(items, (QStringList{"Setup", "Background Color", "About", "Help"}));
    EXPECT_EQ(board.mnuPopup.Caption.Get(), "Popup");
    EXPECT_FALSE(board.HasMenuBar()) << "the popup is no menu bar";
    EXPECT_FALSE(plat::DefaultInstance<frmOptions>::Exists()) << "closing the menu without a choice does nothing";
    EXPECT_FALSE(plat::DefaultInstance<frmAbout>::Exists());
}

TEST_F(BoardMenu, SetupItemOpensTheDialogModeless)
{
    frmBoard& board = LoadBoard();
    plat::Form::SetPopupMenuHandler([&](plat::Menu&) { return &board.mnuSetup; });
    board.lblMenu.MouseDown(plat::vbLeftButton, 0, 0, 0);
    ASSERT_TRUE(plat::DefaultInstance<frmOptions>::Exists());
    EXPECT_TRUE(plat::Default<frmOptions>().IsVisible());
    EXPECT_FALSE(plat::Default<frmOptions>().Window()->isModal());
}

TEST_F(BoardMenu, ConfirmedColourSetsTheBackgroundAndIsStored)
{
    frmBoard& board = LoadBoard();
    std::vector<std::optional<int32_t>> offered;
    std::optional<int32_t> answer = 0x336699;
    plat::SetColorDialogHandler([&](std::optional<int32_t> initial) {
        offered.push_back(initial);
        return answer;
    });
    plat::Form::SetPopupMenuHandler([&](plat::Menu&) { return &board.mnuBackgroundColor; });

    board.lblMenu.MouseDown(plat::vbRightButton, 0, 0, 0);
    EXPECT_EQ(board.BackColor, 0x336699);
    EXPECT_EQ(Stored("Game", "Backcolor"), "3368601");

    answer = 0x0000FF;
    board.lblMenu.MouseDown(plat::vbLeftButton, 0, 0, 0);
    EXPECT_EQ(board.BackColor, 0x0000FF);
    EXPECT_EQ(Stored("Game", "Backcolor"), "255");
    EXPECT_EQ(offered, (std::vector<std::optional<int32_t>>{std::nullopt, std::nullopt}))
        << "the game gives the dialog no starting colour, not even the last one chosen";
    EXPECT_EQ(board.cdlgOptions.Color, 0x0000FF) << "the control keeps the last colour chosen";
}

TEST_F(BoardMenu, CancelledColourDialogChangesAndWritesNothing)
{
    Store("Game", "Backcolor", "32768");
    frmBoard& board = LoadBoard();
    std::vector<std::optional<int32_t>> offered;
    std::optional<int32_t> answer;
    plat::SetColorDialogHandler([&](std::optional<int32_t> initial) {
        offered.push_back(initial);
        return answer;
    });

    board.mnuBackgroundColor_Click();  // cancelled as the first choice of the run
    EXPECT_EQ(board.BackColor, 32768);
    EXPECT_EQ(Stored("Game", "Backcolor"), "32768");

    answer = 0x123456;
    board.mnuBackgroundColor_Click();
    answer.reset();
    Store("Game", "Backcolor", "99");  // as if changed elsewhere: a cancel must not overwrite it
    board.mnuBackgroundColor_Click();
    EXPECT_EQ(board.BackColor, 0x123456);
    EXPECT_EQ(Stored("Game", "Backcolor"), "99");
    EXPECT_EQ(offered, (std::vector<std::optional<int32_t>>(3, std::nullopt)));
    EXPECT_EQ(board.cdlgOptions.Color, 0x123456) << "a cancel keeps the colour chosen before";
}

TEST_F(BoardMenu, AboutTwiceShowsOneAboutBox)
{
    frmBoard& board = LoadBoard();
    plat::Form::SetPopupMenuHandler([&](plat::Menu&) { return &board.mnuAbout; });
    board.lblMenu.MouseDown(plat::vbLeftButton, 0, 0, 0);
    frmAbout& about = plat::Default<frmAbout>();
    ASSERT_TRUE(about.IsVisible());

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const float centredLeft = plat::ToTwips(screen.center().x()) - about.Width / 2;
    const float centredTop = plat::ToTwips(screen.center().y()) - about.Height / 2;
    // A window frame may shift the position the window system reports by a pixel or two.
    constexpr float frameSlack = 45;
    EXPECT_NEAR(about.Left, centredLeft, frameSlack);
    EXPECT_NEAR(about.Top, centredTop, frameSlack);

    about.Move(0, 0);
    board.lblMenu.MouseDown(plat::vbLeftButton, 0, 0, 0);
    EXPECT_EQ(VisibleWindowsNamed("frmAbout"), 1);
    EXPECT_NEAR(about.Left, 0, frameSlack) << "a second About only brings the open box forward";

    EXPECT_TRUE(about.CloseByUser());
    EXPECT_FALSE(about.IsVisible());
    board.lblMenu.MouseDown(plat::vbLeftButton, 0, 0, 0);
    EXPECT_TRUE(about.IsVisible());
    EXPECT_NEAR(about.Left, centredLeft, frameSlack) << "loaded again, centred again";
    EXPECT_EQ(VisibleWindowsNamed("frmAbout"), 1);
}

TEST_F(BoardMenu, AboutBoxCopiesTheBoardsIconAndWallPicture)
{
    frmBoard& board = LoadBoard();
    board.mnuAbout_Click();
    frmAbout& about = plat::Default<frmAbout>();
    EXPECT_EQ(about.Icon().cacheKey(), board.Icon().cacheKey());
    EXPECT_EQ(about.Picture().cacheKey(), board.imgLeft.Picture().cacheKey());
    EXPECT_FLOAT_EQ(about.ScaleWidth(), 3825);
    EXPECT_FLOAT_EQ(about.ScaleHeight(), 2235);
    EXPECT_FALSE(about.ShowInTaskbar);
}

TEST_F(BoardMenu, AboutBoxShowsNameAndReleaseInTheirFace)
{
    LoadBoard().mnuAbout_Click();
    frmAbout& about = plat::Default<frmAbout>();
    struct Expected { const plat::Label& label; const char* caption; float points; };
    for (const Expected& e : {Expected{about.Label1, "Velmor v1.2", 24}, Expected{about.Label4, "Release 1", 8.25f}}) {
        EXPECT_EQ(e.label.Caption.Get(), e.caption);
        EXPECT_EQ(e.label.FontName.Get(), "MS Sans Serif") << e.caption;
        EXPECT_TRUE(e.label.FontBold) << e.caption;
        EXPECT_FLOAT_EQ(e.label.FontSize, e.points) << e.caption;
        EXPECT_EQ(e.label.ForeColor, 0xFFFFFF) << e.caption;
        EXPECT_EQ(e.label.BackStyle, plat::vbTransparent) << e.caption;
    }
}

TEST_F(BoardMenu, HelpOpensThePageBesideTheProgram)
{
    HelpRecordingBoard board;
    board.Load();
    plat::Form::SetPopupMenuHandler([&](plat::Menu&) { return &board.mnuHelp; });
    board.lblMenu.MouseDown(plat::vbMiddleButton, 0, 0, 0);
    ASSERT_EQ(board.opened.size(), 1u);
    EXPECT_EQ(board.opened[0], plat::App::Path() + "/VelmorHelp.htm");
    EXPECT_FALSE(board.opened[0].contains('\\'));
}
