#pragma once
// The runtime's input dialog and message box, and the common dialogs (colour
// and file open). Tests replace each with a scripted answer.

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace plat {

// Modal input dialog; Cancel returns the empty text.
QString InputBox(const QString& prompt, const QString& title = {}, const QString& defaultText = {});
using InputBoxHandler = std::function<QString(const QString& prompt, const QString& title, const QString& defaultText)>;
void SetInputBoxHandler(InputBoxHandler handler);

enum MsgBoxStyle : int {
    vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4, vbRetryCancel = 5,
    vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,  // added to the buttons
    vbDefaultButton2 = 256, vbDefaultButton3 = 512,
};
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };
// Modal message box; without a title the application title is shown.
int MsgBox(const QString& prompt, int buttons = vbOKOnly, const QString& title = {});
using MsgBoxHandler = std::function<int(const QString& prompt, int buttons, const QString& title)>;
void SetMsgBoxHandler(MsgBoxHandler handler);

// Colour dialog: the chosen colour (&H00BBGGRR), or nothing when cancelled.
// Without a starting colour none is preselected: the dialog shows black.
std::optional<int32_t> ChooseColor(std::optional<int32_t> initial);
using ColorDialogHandler = std::function<std::optional<int32_t>(std::optional<int32_t> initial)>;
void SetColorDialogHandler(ColorDialogHandler handler);

// The common dialog control, as far as forms use its colour dialog. Color is
// 0 (black) until a colour is chosen and then keeps the last one chosen; the
// dialog starts from it only when Flags holds cdlCCRGBInit.
enum ColorDialogFlags : int32_t { cdlCCRGBInit = 1 };
struct CommonDialog {
    int32_t Color = 0;
    int32_t Flags = 0;
    // Shows the colour dialog; false when it was cancelled, Color unchanged.
    bool ShowColor();
};

// File-open dialog: the chosen path, or nothing when cancelled. The filter is
// in the runtime's form "Name|*.a;*.b|Other|*.*"; a typed name without an
// extension receives defaultExt.
struct OpenFileRequest {
    QString title;
    QString filter;
    QString defaultExt;
    QString initialPath;
};
std::optional<QString> ChooseOpenFile(const OpenFileRequest& request);
// The pieces of the file dialog that need no window:
// "HTML Files|*.htm;*.html|All Files|*.*" -> "HTML Files (*.htm *.html);;All Files (*)".
QString QtFileFilter(const QString& runtimeFilter);
// "notes" + ".html" -> "notes.html"; a name that has an extension keeps it.
QString WithDefaultExtension(const QString& path, const QString& defaultExt);
using OpenFileHandler = std::function<std::optional<QString>(const OpenFileRequest&)>;
void SetOpenFileHandler(OpenFileHandler handler);

}  // namespace plat
