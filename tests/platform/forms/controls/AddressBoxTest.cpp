// The editable combo box with a history list, as an address box uses it:
// what the user types is what Enter goes to, and only a pick from the list
// (or code setting ListIndex) raises Click. Typed with real keys.
#include "ControlsFixture.h"

#include "platform/forms/ComboBox.h"
#include "platform/forms/Keys.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace {

const QString Home = QStringLiteral("http://example.test/home.htm");
const QString About = QStringLiteral("http://example.test/about.htm");
const QString Page = QStringLiteral("http://example.test/Page.htm");

// Records the texts that Enter and Click would navigate to, as the
// browser's address box does with them.
class AddressForm : public plat::Form {
public:
    AddressForm() : plat::Form(QStringLiteral("AddressForm")), cboAddress(*this, QStringLiteral("cboAddress"))
    {
        cboAddress.Click = [this] { clicked << cboAddress.Text.Get(); };
        cboAddress.KeyPress = [this](int16_t& key) {
            if (key == plat::vbKeyReturn)
                entered << cboAddress.Text.Get();
        };
    }

    plat::ComboBox cboAddress;
    QStringList clicked;
    QStringList entered;

protected:
    void Design() override
    {
        Caption = QStringLiteral("Address box");
        SetClientSize(6000, 3000);
        cboAddress.Move(120, 120, 5700, 315);
        for (const QString& entry : {Home, About, Page})
            cboAddress.AddItem(entry);
    }
};

class AddressBox : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        form = std::make_unique<AddressForm>();
        form->Load();
        form->cboAddress.ListIndex = 0;  // the newest entry, as after a navigation
        ShowActive(*form);
        form->cboAddress.SetFocus();
        ASSERT_TRUE(testenv::WaitUntil([&] { return form->cboAddress.Widget()->hasFocus(); }, 5000));
        form->clicked.clear();
    }
    void TearDown() override
    {
        form.reset();
        ControlsTest::TearDown();
    }

    // Empties the box, types the text and presses Enter, then waits long
    // enough for a second event to show if there is one.
    void TypeAndEnter(const QString& text)
    {
        form->cboAddress.Text = QString();
        X().TypeText(text);
        X().PressKey("Return");
        ASSERT_TRUE(testenv::WaitUntil([&] { return !form->entered.isEmpty(); }, 5000)) << qPrintable(text);
        testenv::Settle(300);
    }

    QComboBox& Box() const { return *qobject_cast<QComboBox*>(form->cboAddress.Widget()); }

    std::unique_ptr<AddressForm> form;
};

TEST_F(AddressBox, APrefixOfAnEntryIsNotCompletedIntoIt)
{
    TypeAndEnter(QStringLiteral("http://example.test/h"));
    EXPECT_EQ(form->entered, QStringList{"http://example.test/h"});
    EXPECT_EQ(form->cboAddress.Text.Get(), "http://example.test/h");
    EXPECT_TRUE(form->clicked.isEmpty());
    EXPECT_EQ(form->cboAddress.ListCount(), 3) << "Enter adds nothing to the list";
}

TEST_F(AddressBox, AnEntryTypedInAnotherCaseStaysAsTyped)
{
    TypeAndEnter(QStringLiteral("http://example.test/page.htm"));
    EXPECT_EQ(form->entered, QStringList{"http://example.test/page.htm"});
    EXPECT_TRUE(form->clicked.isEmpty()) << "the entry " << qPrintable(Page) << " was not picked";
    EXPECT_EQ(form->cboAddress.Text.Get(), "http://example.test/page.htm");

    form->cboAddress.Widget()->clearFocus();  // editing ends: still the typed text, still no Click
    testenv::Settle(200);
    EXPECT_EQ(form->cboAddress.Text.Get(), "http://example.test/page.htm");
    EXPECT_TRUE(form->clicked.isEmpty());
}

TEST_F(AddressBox, EnterOnAnExactEntryIsOneNavigationWithoutAClick)
{
    TypeAndEnter(About);  // an entry, but not the selected one
    EXPECT_EQ(form->entered, QStringList{About});
    EXPECT_TRUE(form->clicked.isEmpty());
    EXPECT_EQ(form->cboAddress.Text.Get(), About);
}

TEST_F(AddressBox, PickingFromTheListOrSettingListIndexClicksOnce)
{
    QComboBox& box = Box();
    testenv::X11Application::Click(box, QPoint(box.width() - 8, box.height() / 2));  // the drop-down arrow
    ASSERT_TRUE(testenv::WaitUntil([&] { return box.view()->isVisible(); }, 5000));
    testenv::Settle(500);  // a release too soon after opening keeps the list open
    QAbstractItemView& list = *box.view();
    testenv::X11Application::Click(*list.viewport(), list.visualRect(list.model()->index(2, 0)).center());
    ASSERT_TRUE(testenv::WaitUntil([&] { return !form->clicked.isEmpty(); }, 5000));
    testenv::Settle(300);
    EXPECT_EQ(form->clicked, QStringList{Page});
    EXPECT_EQ(form->cboAddress.Text.Get(), Page);
    EXPECT_EQ(form->cboAddress.ListIndex, 2);
    EXPECT_TRUE(form->entered.isEmpty());

    form->cboAddress.ListIndex = 1;
    EXPECT_EQ(form->clicked, (QStringList{Page, About}));
    EXPECT_EQ(form->cboAddress.Text.Get(), About);
}

}  // namespace
