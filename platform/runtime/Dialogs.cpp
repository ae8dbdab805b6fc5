#include "platform/runtime/Dialogs.h"

#include "platform/runtime/App.h"
#include "platform/runtime/Numeric.h"
#include "platform/runtime/Startup.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <mutex>

namespace plat {

namespace {

struct Handlers {
    std::mutex mutex;
    InputBoxHandler inputBox;
    MsgBoxHandler msgBox;
    ColorDialogHandler color;
    OpenFileHandler openFile;
};

Handlers& Hooks()
{
    static Handlers hooks;
    return hooks;
}

template <class H>
H Current(H Handlers::*member)
{
    std::lock_guard lock(Hooks().mutex);
    return Hooks().*member;
}

template <class H>
void Install(H Handlers::*member, H handler)
{
    std::lock_guard lock(Hooks().mutex);
    Hooks().*member = std::move(handler);
}

QWidget* DialogParent()
{
    return QApplication::activeWindow();
}

QString WindowTitle(const QString& title)
{
    return title.isEmpty() ? App::Title() : title;
}

// Prompts are written with the runtime's line breaks.
QString LabelText(QString prompt)
{
    prompt.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    prompt.replace(u'\r', u'\n');
    return prompt;
}

QMessageBox::StandardButtons ButtonsOf(int style)
{
    switch (style & 7) {
    case vbOKCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case vbAbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case vbYesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case vbYesNo: return QMessageBox::Yes | QMessageBox::No;
    case vbRetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    default: return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(int style)
{
    switch (style & 0x70) {
    case vbCritical: return QMessageBox::Critical;
    case vbQuestion: return QMessageBox::Question;
    case vbExclamation: return QMessageBox::Warning;
    case vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

int ResultOf(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok: return vbOK;
    case QMessageBox::Cancel: return vbCancel;
    case QMessageBox::Abort: return vbAbort;
    case QMessageBox::Retry: return vbRetry;
    case QMessageBox::Ignore: return vbIgnore;
    case QMessageBox::Yes: return vbYes;
    case QMessageBox::No: return vbNo;
    default: return vbCancel;
    }
}

// Qt's colour dialog marks the colour of its grids that equals the one it
// shows. A press and release beside a grid leave none of its colours marked.
void UnmarkColourGrids(QColorDialog& dialog)
{
    for (QWidget* grid : dialog.findChildren<QWidget*>()) {
        if (!grid->property("selectedRow").isValid())
            continue;
        const QPointF beside(-grid->width(), -grid->height());
        QMouseEvent press(QEvent::MouseButtonPress, beside, grid->mapToGlobal(beside), Qt::LeftButton, Qt::LeftButton, {});
        QMouseEvent release(QEvent::MouseButtonRelease, beside, grid->mapToGlobal(beside), Qt::LeftButton, {}, {});
        QCoreApplication::sendEvent(grid, &press);
        QCoreApplication::sendEvent(grid, &release);
    }
}

}  // namespace

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    if (auto handler = Current(&Handlers::inputBox))
        return handler(prompt, title, defaultText);

    EnsureApplication();
    QInputDialog dialog(DialogParent());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(WindowTitle(title));
    dialog.setLabelText(LabelText(prompt));
    dialog.setTextValue(defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

void SetInputBoxHandler(InputBoxHandler handler)
{
    Install(&Handlers::inputBox, std::move(handler));
}

int MsgBox(const QString& prompt, int buttons, const QString& title)
{
    if (auto handler = Current(&Handlers::msgBox))
        return handler(prompt, buttons, title);

    EnsureApplication();
    QMessageBox box(IconOf(buttons), WindowTitle(title), LabelText(prompt), ButtonsOf(buttons), DialogParent());
    const int defaultIndex = (buttons >> 8) & 3;
    // Buttons are listed in the order the runtime shows them.
    QList<QMessageBox::StandardButton> order;
    for (auto b : {QMessageBox::Ok, QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore,
                   QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
        if (ButtonsOf(buttons).testFlag(b))
            order.append(b);
    if (defaultIndex < order.size())
        box.setDefaultButton(order[defaultIndex]);
    box.exec();
    return ResultOf(box.standardButton(box.clickedButton()));
}

void SetMsgBoxHandler(MsgBoxHandler handler)
{
    Install(&Handlers::msgBox, std::move(handler));
}

std::optional<int32_t> ChooseColor(std::optional<int32_t> initial)
{
    if (auto handler = Current(&Handlers::color))
        return handler(initial);

    EnsureApplication();
    QColorDialog dialog(DialogParent());
    if (initial) {
        dialog.setCurrentColor(QColor(*initial & 0xff, (*initial >> 8) & 0xff, (*initial >> 16) & 0xff));
    } else {
        // Nothing chosen for it: it shows black, as a colour value of 0, and
        // marks none of its colours.
        dialog.setCurrentColor(Qt::black);
        UnmarkColourGrids(dialog);
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QColor chosen = dialog.selectedColor();
    return RGB(chosen.red(), chosen.green(), chosen.blue());
}

bool CommonDialog::ShowColor()
{
    const std::optional<int32_t> chosen = ChooseColor(Flags & cdlCCRGBInit ? std::optional<int32_t>(Color) : std::nullopt);
    if (chosen)
        Color = *chosen;
    return chosen.has_value();
}

void SetColorDialogHandler(ColorDialogHandler handler)
{
    Install(&Handlers::color, std::move(handler));
}

QString QtFileFilter(const QString& runtimeFilter)
{
    const QStringList parts = runtimeFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString p = pattern.trimmed();
            // "*.*" meant every file; here many names have no dot at all.
            patterns.append(p == u"*.*" ? QStringLiteral("*") : p);
        }
        if (patterns.isEmpty())
            patterns.append(QStringLiteral("*"));
        filters.append(parts[i].trimmed() + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString WithDefaultExtension(const QString& path, const QString& defaultExt)
{
    QString ext = defaultExt.trimmed();
    while (ext.startsWith(u'.'))
        ext.remove(0, 1);
    if (path.isEmpty() || ext.isEmpty() || QFileInfo(path).fileName().contains(u'.'))
        return path;
    return path + u'.' + ext;
}

std::optional<QString> ChooseOpenFile(const OpenFileRequest& request)
{
    if (auto handler = Current(&Handlers::openFile))
        return handler(request);

    EnsureApplication();
    QFileDialog dialog(DialogParent(), request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The open dialog checks nothing: a name that does not exist yet is taken too.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.filter.isEmpty())
        dialog.setNameFilter(QtFileFilter(request.filter));
    QString suffix = request.defaultExt;
    while (suffix.startsWith(u'.'))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (!request.initialPath.isEmpty()) {
        const QFileInfo start(request.initialPath);
        if (start.isDir()) {
            dialog.setDirectory(start.absoluteFilePath());
        } else {
            dialog.setDirectory(start.absolutePath());
            dialog.selectFile(start.fileName());
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    return QFileInfo::exists(chosen) ? chosen : WithDefaultExtension(chosen, request.defaultExt);
}

void SetOpenFileHandler(OpenFileHandler handler)
{
    Install(&Handlers::openFile, std::move(handler));
}

}  // namespace plat
