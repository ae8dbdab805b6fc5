// The controls of a dialog: text boxes, option buttons grouped by their
// container, frames, Enter and Esc on default and cancel buttons, and the
// form's Paint, which a control redrawing itself does not raise.
#include "platform/forms/CommandButton.h"
#include "platform/forms/Form.h"
#include "platform/forms/Frame.h"
#include "platform/forms/Label.h"
#include "platform/forms/OptionButton.h"
#include "platform/forms/TextBox.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Startup.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class DialogForm : public plat::Form {
public:
    DialogForm()
        : plat::Form(QStringLiteral("DialogForm")),
          frameA(*this, QStringLiteral("frameA")),
          txtName(frameA, QStringLiteral("txtName")),
          optA0(frameA, QStringLiteral("optA"), 0),
          optA1(frameA, QStringLiteral("optA"), 1),
          lblNote(frameA, QStringLiteral("lblNote")),
          frameB(*this, QStringLiteral("frameB")),
          optB0(frameB, QStringLiteral("optB"), 0),
          optB1(frameB, QStringLiteral("optB"), 1),
          cmdOK(*this, QStringLiteral("cmdOK")),
          cmdCancel(*this, QStringLiteral("cmdCancel")),
          cmdOther(*this, QStringLiteral("cmdOther"))
    {
        for (plat::OptionButton* o : {&optA0, &optA1, &optB0, &optB1})
            o->Click = [this, o] { clicks << o->Name() + QString::number(o->Index()); };
        txtName.Change = [this] { ++changes; };
        cmdOK.Click = [this] { pressed << QStringLiteral("OK"); };
        cmdCancel.Click = [this] { pressed << QStringLiteral("Cancel"); };
        cmdOther.Click = [this] { pressed << QStringLiteral("Other"); };
    }

    plat::Frame frameA;
    plat::TextBox txtName;
    plat::OptionButton optA0;
    plat::OptionButton optA1;
    plat::Label lblNote;
    plat::Frame frameB;
    plat::OptionButton optB0;
    plat::OptionButton optB1;
    plat::CommandButton cmdOK;
    plat::CommandButton cmdCancel;
    plat::CommandButton cmdOther;

    QStringList clicks;
    QStringList pressed;
    int changes = 0;
    int paints = 0;

protected:
    void Design() override
    {
        SetClientSize(6000, 4000);
        frameA.Caption = QStringLiteral("First");
        frameA.Move(120, 120, 3000, 1800);
        txtName.Move(120, 240, 2700, 285);
        optA0.Caption = QStringLiteral("One");
        optA0.Move(120, 600, 1200, 255);
        optA1.Caption = QStringLiteral("Two");
        optA1.Move(120, 900, 1200, 255);
        lblNote.Caption = QStringLiteral("A note");
        lblNote.Move(120, 1300, 2000, 255);
        frameB.Caption = QStringLiteral("Second");
        frameB.Move(3240, 120, 2600, 1800);
        optB0.Move(120, 240, 1200, 255);
        optB1.Move(120, 540, 1200, 255);
        cmdOK.Caption = QStringLiteral("OK");
        cmdOK.Move(120, 3300, 1200, 375);
        cmdCancel.Caption = QStringLiteral("Cancel");
        cmdCancel.Move(1440, 3300, 1200, 375);
        cmdOther.Caption = QStringLiteral("Other");
        cmdOther.Move(2760, 3300, 1200, 375);
        txtName.TabIndex = 0;
    }
    void Form_Paint() override { ++paints; }
};

class DialogControls : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::EnsureApplication();
        plat::SetUnhandledErrorHandler([](const plat::RuntimeError& e) {
            ADD_FAILURE() << "unhandled run-time error " << e.Number() << ": " << qPrintable(e.Description());
        });
        form = std::make_unique<DialogForm>();
        form->Load();
    }
    void TearDown() override
    {
        form.reset();
        plat::SetUnhandledErrorHandler({});
    }
    void ShowAndSettle()
    {
        form->Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form->Window()));
        QTest::qWait(50);
    }
    std::unique_ptr<DialogForm> form;
};

TEST_F(DialogControls, ControlsInAFrameArePlacedFromItsCornerAndPaintedByIt)
{
    EXPECT_EQ(form->txtName.Widget()->parentWidget(), form->frameA.Widget());
    EXPECT_EQ(form->txtName.Widget()->geometry(), QRect(8, 16, 180, 19));
    EXPECT_EQ(form->frameA.Widget()->geometry(), QRect(8, 8, 200, 120));
    EXPECT_EQ(form->lblNote.Parent().Surface(), form->frameA.Widget());
    // The frame takes no focus itself; its controls do.
    EXPECT_EQ(form->frameA.Widget()->focusPolicy(), Qt::NoFocus);
}

TEST_F(DialogControls, TextChangesAreReportedForCodeAndForTyping)
{
    form->txtName.Text = QStringLiteral("first");
    EXPECT_EQ(form->txtName.Text.Get(), QStringLiteral("first"));
    EXPECT_EQ(form->changes, 1);
    form->txtName.Text = QStringLiteral("first");  // no change, no event
    EXPECT_EQ(form->changes, 1);
    form->txtName.TypeByUser(QStringLiteral("C:\\My Pages\\a b.htm"));
    EXPECT_EQ(form->txtName.Text.Get(), QStringLiteral("C:\\My Pages\\a b.htm"));
    EXPECT_GE(form->changes, 2);

    // An error in Change reaches the code that assigned the text.
    form->txtName.Change = [] { plat::Raise(plat::ErrInvalidCall); };
    EXPECT_THROW(form->txtName.Text = QStringLiteral("other"), plat::RuntimeError);

    // A long path is kept whole.
    form->txtName.Change = nullptr;
    const QString longText(5000, u'x');
    form->txtName.Text = longText;
    EXPECT_EQ(form->txtName.Text.Get(), longText);

    form->txtName.Locked = true;
    form->txtName.TypeByUser(QStringLiteral("typed"));
    EXPECT_EQ(form->txtName.Text.Get(), longText);
}

TEST_F(DialogControls, OptionButtonsExcludeEachOtherOnlyWithinTheirContainer)
{
    form->optA0.Value = true;
    form->optB1.Value = true;
    EXPECT_TRUE(form->optA0.Value);
    EXPECT_FALSE(form->optA1.Value);
    EXPECT_TRUE(form->optB1.Value);

    form->optA1.PressByUser();
    EXPECT_FALSE(form->optA0.Value);
    EXPECT_TRUE(form->optA1.Value);
    EXPECT_TRUE(form->optB1.Value) << "another frame's choice stays";

    form->optA0.Value = true;
    EXPECT_FALSE(form->optA1.Value);
    EXPECT_EQ(form->clicks, (QStringList{"optA0", "optB1", "optA1", "optA0"}));

    // Selecting the selected one again is no change and raises nothing.
    form->optA0.Value = true;
    EXPECT_EQ(form->clicks.size(), 4);

    // Code may leave a group without a choice; the user can pick again after.
    form->optA0.Value = false;
    EXPECT_FALSE(form->optA0.Value);
    EXPECT_FALSE(form->optA1.Value);
    form->optA1.PressByUser();
    EXPECT_TRUE(form->optA1.Value);
    form->optA0.PressByUser();
    EXPECT_FALSE(form->optA1.Value);
}

TEST_F(DialogControls, EnterPressesTheDefaultButtonAndEscTheCancelButton)
{
    form->cmdOK.Default = true;
    form->cmdCancel.Cancel = true;
    ShowAndSettle();

    form->txtName.SetFocus();
    QTest::keyClick(form->txtName.Widget(), Qt::Key_Return);
    QTest::keyClick(form->txtName.Widget(), Qt::Key_Escape);
    QTest::keyClick(form->txtName.Widget(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(form->pressed, (QStringList{"OK", "Cancel", "OK"}));
    EXPECT_TRUE(form->txtName.Text.Get().isEmpty());

    // Enter on another button presses that one.
    form->pressed.clear();
    form->cmdOther.SetFocus();
    QTest::keyClick(form->cmdOther.Widget(), Qt::Key_Return);
    EXPECT_EQ(form->pressed, QStringList{"Other"});

    // A disabled default button is not pressed.
    form->pressed.clear();
    form->cmdOK.Enabled = false;
    form->txtName.SetFocus();
    QTest::keyClick(form->txtName.Widget(), Qt::Key_Return);
    EXPECT_TRUE(form->pressed.isEmpty());
}

TEST_F(DialogControls, WithoutDefaultOrCancelButtonsEnterAndEscPressNothing)
{
    ShowAndSettle();
    form->cmdOther.SetFocus();
    QTest::keyClick(form->cmdOther.Widget(), Qt::Key_Return);
    QTest::keyClick(form->cmdOther.Widget(), Qt::Key_Escape);
    EXPECT_TRUE(form->pressed.isEmpty());
}

TEST_F(DialogControls, PaintIsRaisedForTheFormsOwnAreaNotForAControlRedrawingItself)
{
    ShowAndSettle();
    form->paints = 0;
    form->cmdOther.Widget()->repaint();
    form->optA1.Widget()->repaint();
    form->txtName.Widget()->repaint();
    form->frameB.Widget()->repaint();
    EXPECT_EQ(form->paints, 0);

    // Uncovered again: the form's whole area is drawn.
    form->Surface()->update();
    QTest::qWait(50);
    EXPECT_GE(form->paints, 1);
}

}  // namespace
