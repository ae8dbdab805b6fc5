// A form's life through its window: the close box with QueryUnload
// cancelling, loading again after a close, hiding and showing, and the
// modal show that waits until the form goes away and holds the owner's input.
#include "WindowFixture.h"

#include <QApplication>
#include <QTimer>

namespace {

class LifeCycle : public WindowFixture {};

TEST_F(LifeCycle, TheCloseBoxAsksQueryUnloadWhichCanKeepTheWindowOpen)
{
    MenuForm f;
    f.cancelQueryUnload = 1;
    ASSERT_TRUE(ShowAndWait(f));
    CloseBox(f);
    ASSERT_EQ(f.queryUnloadModes, std::vector<int16_t>{plat::vbFormControlMenu});
    EXPECT_EQ(f.unloads, 0);
    EXPECT_TRUE(f.Loaded());
    testenv::Settle(200);
    EXPECT_EQ(X().WmState(XId(f)), 1) << "still on the screen";

    f.cancelQueryUnload = 0;
    CloseBox(f);
    EXPECT_EQ(f.unloads, 1);
    EXPECT_FALSE(f.Loaded());
    ASSERT_TRUE(testenv::WaitUntil([&] { return X().WmState(XId(f)) != 1; }, 5000));

    // Using it again loads it again, and the window comes back as it was.
    ASSERT_TRUE(ShowAndWait(f));
    EXPECT_EQ(f.loads, 2);
    EXPECT_EQ(ClientOnScreen(f).size(), QSize(plat::ToPixelsRounded(7000 - 60), plat::ToPixelsRounded(5000 - 60)));
    ASSERT_TRUE(f.Unload());
    EXPECT_EQ(f.queryUnloadModes.back(), plat::vbFormCode);
}

TEST_F(LifeCycle, HideKeepsTheFormLoadedAndShowBringsTheSameWindowBack)
{
    RecordingForm f;
    ASSERT_TRUE(ShowAndWait(f));
    f.Hide();
    ASSERT_TRUE(testenv::WaitUntil([&] { return X().WmState(XId(f)) != 1; }, 5000));
    EXPECT_TRUE(f.Loaded());
    EXPECT_TRUE(f.queryUnloadModes.empty());
    ASSERT_TRUE(ShowAndWait(f));
    EXPECT_EQ(f.loads, 1);
    ASSERT_TRUE(f.Unload());
}

TEST_F(LifeCycle, AModalShowWaitsForTheCloseBoxAndHoldsTheOwnersKeys)
{
    RecordingForm owner(QStringLiteral("frmOwner"));
    ASSERT_TRUE(ShowAndWait(owner));
    RecordingForm dialog(QStringLiteral("frmDialog"));
    dialog.stored = {3000, 3000, 5000, 3000};

    bool returned = false;
    bool checked = false;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(WaitPlaced(dialog));
        ASSERT_TRUE(testenv::WaitUntil([&] { return X().ActiveWindow() == XId(dialog); }, 5000));
        EXPECT_EQ(QApplication::activeModalWidget(), dialog.Window());
        // A key typed goes to the dialog, once; the owner, clicked, takes
        // none while the dialog is open (whether the window manager gives
        // it the focus or not).
        X().PressKey("a");
        ASSERT_TRUE(testenv::WaitUntil([&] { return !dialog.keysTyped.empty(); }, 5000));
        X().Click({XId(owner)}, 50, 50);
        X().PressKey("b");
        testenv::Settle(300);
        EXPECT_EQ(dialog.keysTyped.front(), 'a');
        EXPECT_LE(dialog.keysTyped.size(), 2u);
        EXPECT_TRUE(owner.keysTyped.empty());
        EXPECT_FALSE(returned);
        checked = true;
        CloseBox(dialog);
    });
    dialog.Show(1);
    returned = true;
    EXPECT_TRUE(checked);
    EXPECT_FALSE(dialog.Loaded());
    EXPECT_EQ(dialog.queryUnloadModes, std::vector<int16_t>{plat::vbFormControlMenu});

    // The owner takes keys again.
    ASSERT_TRUE(testenv::WaitUntil([&] { return X().ActiveWindow() == XId(owner); }, 5000));
    X().PressKey("c");
    ASSERT_TRUE(testenv::WaitUntil([&] { return !owner.keysTyped.empty(); }, 5000));
    EXPECT_EQ(owner.keysTyped, std::vector<int16_t>{'c'});
    ASSERT_TRUE(owner.Unload());
}

}  // namespace
