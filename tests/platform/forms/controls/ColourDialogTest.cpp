// The common dialog's colour dialog, answered with real clicks: it opens
// with no colour preselected unless asked to start on Color, Color keeps the
// last colour chosen, and Cancel changes nothing.
#include "ControlsFixture.h"

#include "platform/runtime/Dialogs.h"

#include <QPushButton>
#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QTimer>
#include <functional>

namespace {

using ColourDialog = ControlsTest;

// What the dialog showed when it opened.
struct Opened {
    QColor current;
    QList<QPoint> selectedCells;  // per colour grid: (column, row), or (-1, -1)
};

// Waits for the colour dialog from inside its own event loop, notes how it
// opened and hands it to `answer`, which clicks in it.
void WhenOpened(Opened& opened, std::function<void(QColorDialog&)> answer)
{
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, &opened, answer] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isActiveWindow())
            return;
        poll->stop();
        poll->deleteLater();
        opened.current = dialog->currentColor();
        for (QWidget* w : dialog->findChildren<QWidget*>())
            if (w->property("selectedRow").isValid())
                opened.selectedCells << QPoint(w->property("selectedColumn").toInt(), w->property("selectedRow").toInt());
        answer(*dialog);
    });
    poll->start();
}

void ClickButton(QColorDialog& dialog, QDialogButtonBox::StandardButton which)
{
    QPushButton* button = dialog.findChild<QDialogButtonBox*>()->button(which);
    testenv::X11Application::Click(*button, button->rect().center());
}

// Clicks the cell of the basic colours in the second row and third column,
// then OK once the dialog shows the colour.
void ChooseABasicColour(QColorDialog& dialog)
{
    QWidget* basic = nullptr;  // the taller of the two colour grids
    for (QWidget* w : dialog.findChildren<QWidget*>())
        if (w->property("selectedRow").isValid() && (!basic || w->height() > basic->height()))
            basic = w;
    const QColor before = dialog.currentColor();
    testenv::X11Application::Click(*basic, QPoint(basic->width() * 5 / 16, basic->height() * 3 / 12));
    QObject::connect(&dialog, &QColorDialog::currentColorChanged, &dialog,
                     [&dialog, before] {
                         if (dialog.currentColor() != before)
                             ClickButton(dialog, QDialogButtonBox::Ok);
                     },
                     Qt::SingleShotConnection);
}

int32_t RuntimeColour(const QColor& c)
{
    return c.red() + 256 * c.green() + 65536 * c.blue();
}

TEST_F(ColourDialog, OpensWithNoColourPreselectedAndCancelKeepsTheLastColour)
{
    plat::CommonDialog dialog;
    EXPECT_EQ(dialog.Color, 0);

    Opened first;
    QColor chosen;
    WhenOpened(first, [&](QColorDialog& d) {
        ChooseABasicColour(d);
        QObject::connect(&d, &QColorDialog::colorSelected, [&](const QColor& c) { chosen = c; });
    });
    ASSERT_TRUE(dialog.ShowColor());
    const QList<QPoint> noneMarked{QPoint(-1, -1), QPoint(-1, -1)};  // the basic and the custom colours
    EXPECT_EQ(first.selectedCells, noneMarked);
    EXPECT_EQ(first.current, QColor(Qt::black));
    ASSERT_TRUE(chosen.isValid());
    EXPECT_NE(chosen, QColor(Qt::black));
    EXPECT_EQ(dialog.Color, RuntimeColour(chosen));

    // Opened again it starts as it did the first time, not on the colour
    // chosen; Cancel leaves Color as it was.
    Opened second;
    WhenOpened(second, [](QColorDialog& d) { ClickButton(d, QDialogButtonBox::Cancel); });
    EXPECT_FALSE(dialog.ShowColor());
    EXPECT_EQ(second.current, QColor(Qt::black));
    EXPECT_EQ(second.selectedCells, noneMarked);
    EXPECT_EQ(dialog.Color, RuntimeColour(chosen));

    // Asked to, it starts on Color.
    dialog.Flags = plat::cdlCCRGBInit;
    Opened third;
    WhenOpened(third, [](QColorDialog& d) { ClickButton(d, QDialogButtonBox::Cancel); });
    EXPECT_FALSE(dialog.ShowColor());
    EXPECT_EQ(third.current, chosen);
    EXPECT_TRUE(third.selectedCells.contains(QPoint(2, 1))) << "the basic colour clicked is marked";
    EXPECT_EQ(dialog.Color, RuntimeColour(chosen));
}

}  // namespace
