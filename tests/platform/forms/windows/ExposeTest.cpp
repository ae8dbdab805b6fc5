// Paint when the window system shows part of a form's window again: another
// window laid over it and taken away, or the window restored from the
// taskbar. The toolkit alone would copy back its own buffer without a paint.
#include "WindowFixture.h"

#include "platform/forms/CommandButton.h"

namespace {

class Expose : public WindowFixture {
protected:
    // Shows the form and waits until its first paints are over.
    void ShowSettled(RecordingForm& f)
    {
        ASSERT_TRUE(ShowAndWait(f));
        ASSERT_TRUE(testenv::WaitUntil([&] { return f.paints > 0; }, 5000));
        testenv::Settle(200);
    }
};

TEST_F(Expose, UncoveringTheWholeWindowRaisesPaint)
{
    MenuForm f;
    ShowSettled(f);
    const int before = f.paints;

    const unsigned long cover = X().Cover(ClientOnScreen(f).adjusted(-20, -40, 20, 20));
    testenv::Settle(200);
    EXPECT_EQ(f.paints, before) << "covering alone shows nothing again";
    X().Uncover(cover);
    ASSERT_TRUE(testenv::WaitUntil([&] { return f.paints > before; }, 5000));
    testenv::Settle(200);
    EXPECT_EQ(f.paints, before + 1) << "one exposure, one Paint";
}

TEST_F(Expose, UncoveringACornerRaisesPaintEachTime)
{
    RecordingForm f;
    ShowSettled(f);
    const QRect client = ClientOnScreen(f);
    for (int round = 1; round <= 3; ++round) {
        const int before = f.paints;
        const unsigned long cover = X().Cover(QRect(client.right() - 60, client.bottom() - 40, 100, 80));
        testenv::Settle(100);
        X().Uncover(cover);
        ASSERT_TRUE(testenv::WaitUntil([&] { return f.paints > before; }, 5000)) << "round " << round;
    }
}

TEST_F(Expose, RestoringFromTheTaskbarRaisesPaint)
{
    MenuForm f;
    ShowSettled(f);
    X().Minimize(XId(f));
    ASSERT_TRUE(testenv::WaitUntil([&] { return f.WindowState == plat::vbMinimized; }, 5000));
    testenv::Settle(200);
    const int before = f.paints;

    X().Restore(XId(f));
    ASSERT_TRUE(testenv::WaitUntil([&] { return f.WindowState == plat::vbNormal; }, 5000));
    ASSERT_TRUE(testenv::WaitUntil([&] { return f.paints > before; }, 5000));
}

TEST_F(Expose, AControlRedrawingItselfDoesNotRaisePaint)
{
    class ButtonForm : public RecordingForm {
    public:
        plat::CommandButton cmdOk{*this, QStringLiteral("cmdOk")};
    } f;
    f.cmdOk.Move(300, 300, 1500, 450);
    ShowSettled(f);
    const int before = f.paints;
    f.cmdOk.Widget()->repaint();
    f.cmdOk.Caption = QStringLiteral("Changed");
    testenv::Settle(200);
    EXPECT_EQ(f.paints, before);
}

}  // namespace
