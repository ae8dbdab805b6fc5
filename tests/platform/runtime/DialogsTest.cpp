#include "platform/runtime/App.h"
#include "platform/runtime/Dialogs.h"
#include "platform/runtime/Startup.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

using namespace plat;

namespace {

// Answers the next modal dialog of type D as a person would, from inside its
// own event loop. A dialog that is still open 200 ms after an answer (a file
// dialog still reading its folder) is answered again; after five seconds it is
// rejected, so that a test fails instead of hanging.
template <class D>
void WhenShown(std::function<void(D*)> answer)
{
    struct State {
        bool answered = false;
        QPointer<D> dialog;
        int ticks = 0;
    };
    auto* poll = new QTimer;
    poll->setInterval(10);
    auto state = std::make_shared<State>();
    QObject::connect(poll, &QTimer::timeout, [poll, answer, state] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!state->answered) {
            if (dialog) {
                state->answered = true;
                state->dialog = dialog;
                answer(dialog);
            }
            return;
        }
        if (!dialog || dialog != state->dialog) {
            poll->stop();
            poll->deleteLater();
            return;
        }
        ++state->ticks;
        if (state->ticks >= 500)
            static_cast<QDialog*>(dialog)->reject();
        else if (state->ticks % 20 == 0)
            answer(dialog);
    });
    poll->start();
}

class DialogsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

}  // namespace

TEST(FileFilter, RuntimeFormBecomesQtForm)
{
    EXPECT_EQ(QtFileFilter("HTML Files|*.htm;*.html|All Files|*.*"), "HTML Files (*.htm *.html);;All Files (*)");
    EXPECT_EQ(QtFileFilter("Sounds (*.wav)|*.wav"), "Sounds (*.wav) (*.wav)");
    EXPECT_EQ(QtFileFilter(" Text | *.txt ; *.log "), "Text (*.txt *.log)");
    EXPECT_EQ(QtFileFilter("Anything|"), "Anything (*)");
    EXPECT_EQ(QtFileFilter(""), "");
}

TEST(FileFilter, DefaultExtensionOnlyForANameWithoutOne)
{
    EXPECT_EQ(WithDefaultExtension("/home/ann/sites", ".html"), "/home/ann/sites.html");
    EXPECT_EQ(WithDefaultExtension("/home/ann/sites", "html"), "/home/ann/sites.html");
    EXPECT_EQ(WithDefaultExtension("/home/ann/sites.htm", ".html"), "/home/ann/sites.htm");
    EXPECT_EQ(WithDefaultExtension("/home/ann.d/sites", ".html"), "/home/ann.d/sites.html");  // the folder's dot does not count
    EXPECT_EQ(WithDefaultExtension("/home/ann/sites", ""), "/home/ann/sites");
}

TEST_F(DialogsTest, InputBoxShowsPromptOnLinesAndReturnsTheTypedText)
{
    App::SetTitle("Velmor");
    QString label;
    QString title;
    WhenShown<QInputDialog>([&](QInputDialog* d) {
        label = d->labelText();
        title = d->windowTitle();
        EXPECT_EQ(d->textValue(), "Player");
        d->setTextValue("Ann");
        d->accept();
    });
    EXPECT_EQ(InputBox("You have the high score!\r\nEnter your name:", "Congratulations!", "Player"), "Ann");
    EXPECT_EQ(label, "You have the high score!\nEnter your name:");
    EXPECT_EQ(title, "Congratulations!");

    WhenShown<QInputDialog>([](QInputDialog* d) { d->setTextValue("typed"); d->reject(); });
    EXPECT_EQ(InputBox("Name?"), "");  // Cancel gives the empty text
}

TEST_F(DialogsTest, MessageBoxReturnsTheButtonPressed)
{
    App::SetTitle("Velmor");
    QString title;
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(MsgBox("Play again?", vbYesNo), vbNo);
    EXPECT_EQ(title, "Velmor");  // no title given: the application's

    WhenShown<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
    EXPECT_EQ(MsgBox("System Information Is Unavailable At This Time", vbOKOnly | vbCritical, "About"), vbOK);

    WhenShown<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Cancel));
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(MsgBox("Sure?", vbOKCancel | vbDefaultButton2), vbCancel);
}

TEST_F(DialogsTest, ColourDialogStartsAtAndReturnsRuntimeColours)
{
    QColor shown;
    WhenShown<QColorDialog>([&](QColorDialog* d) {
        shown = d->currentColor();
        d->setCurrentColor(QColor(10, 20, 30));
        d->accept();
    });
    EXPECT_EQ(ChooseColor(0x00332211), std::optional<int32_t>(10 + 20 * 256 + 30 * 65536));
    EXPECT_EQ(shown, QColor(0x11, 0x22, 0x33));

    WhenShown<QColorDialog>([](QColorDialog* d) { d->reject(); });
    EXPECT_EQ(ChooseColor(0), std::nullopt);
}

TEST_F(DialogsTest, OpenFileDialogIsSetUpFromTheRequestAndCancelGivesNothing)
{
    // What a typed name becomes is WithDefaultExtension's (tested above); here
    // the real dialog is checked for what it was told, then cancelled.
    QTemporaryDir dir;
    QStringList filters;
    QString title, suffix, folder;
    QFileDialog::FileMode mode = QFileDialog::Directory;
    WhenShown<QFileDialog>([&](QFileDialog* d) {
        filters = d->nameFilters();
        title = d->windowTitle();
        suffix = d->defaultSuffix();
        folder = d->directory().absolutePath();
        mode = d->fileMode();
        d->reject();
    });
    EXPECT_EQ(ChooseOpenFile({"Choose Sitepin File", "HTML Files|*.htm;*.html|All Files|*.*", ".html", dir.path()}),
              std::nullopt);
    EXPECT_EQ(filters, (QStringList{"HTML Files (*.htm *.html)", "All Files (*)"}));
    EXPECT_EQ(title, "Choose Sitepin File");
    EXPECT_EQ(suffix, "html");
    EXPECT_EQ(folder, QDir(dir.path()).absolutePath());
    EXPECT_EQ(mode, QFileDialog::AnyFile) << "a name that does not exist yet is accepted too";
}

TEST_F(DialogsTest, HandlersReplaceTheDialogs)
{
    SetInputBoxHandler([](const QString& prompt, const QString& title, const QString&) { return title + ":" + prompt; });
    SetMsgBoxHandler([](const QString&, int buttons, const QString&) { return buttons == vbYesNo ? vbYes : vbOK; });
    SetColorDialogHandler([](std::optional<int32_t> initial) { return std::optional<int32_t>(initial.value_or(0) + 1); });
    SetOpenFileHandler([](const OpenFileRequest& r) { return std::optional<QString>(r.initialPath); });
    EXPECT_EQ(InputBox("p", "t"), "t:p");
    EXPECT_EQ(MsgBox("q", vbYesNo), vbYes);
    EXPECT_EQ(ChooseColor(5), std::optional<int32_t>(6));
    EXPECT_EQ(ChooseColor(std::nullopt), std::optional<int32_t>(1));
    EXPECT_EQ(ChooseOpenFile({"", "", "", "/x"}), std::optional<QString>("/x"));
    SetInputBoxHandler({});
    SetMsgBoxHandler({});
    SetColorDialogHandler({});
    SetOpenFileHandler({});
}
