#include "platform/runtime/Errors.h"

#include "platform/runtime/App.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <mutex>

namespace plat {

QString ErrorText(int number)
{
    switch (number) {
    case ErrReturnWithoutGoSub: return QStringLiteral("Return without GoSub");
    case ErrInvalidCall: return QStringLiteral("Invalid procedure call or argument");
    case ErrOverflow: return QStringLiteral("Overflow");
    case ErrOutOfMemory: return QStringLiteral("Out of memory");
    case ErrSubscript: return QStringLiteral("Subscript out of range");
    case ErrDivisionByZero: return QStringLiteral("Division by zero");
    case ErrTypeMismatch: return QStringLiteral("Type mismatch");
    case ErrBadFileNameOrNumber: return QStringLiteral("Bad file name or number");
    case ErrFileNotFound: return QStringLiteral("File not found");
    case ErrDeviceIO: return QStringLiteral("Device I/O error");
    case ErrDiskFull: return QStringLiteral("Disk full");
    case ErrPermissionDenied: return QStringLiteral("Permission denied");
    case ErrPathFileAccess: return QStringLiteral("Path/File access error");
    case ErrPathNotFound: return QStringLiteral("Path not found");
    case ErrObjectNotSet: return QStringLiteral("Object variable or With block variable not set");
    case ErrInvalidUseOfNull: return QStringLiteral("Invalid use of Null");
    case ErrControlArrayElement: return QStringLiteral("Control array element doesn't exist");
    case ErrObjectAlreadyLoaded: return QStringLiteral("Object already loaded");
    case ErrInvalidPropertyValue: return QStringLiteral("Invalid property value");
    case ErrObjectRequired: return QStringLiteral("Object required");
    case ErrCantCreateObject: return QStringLiteral("ActiveX component can't create object");
    case ErrNotSupported: return QStringLiteral("Object doesn't support this property or method");
    case ErrAutomation: return QStringLiteral("Automation error");
    case ErrDialogCancel: return QStringLiteral("Cancel was selected.");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

RuntimeError::RuntimeError(int number, QString description)
    : number_(number)
    , description_(description.isEmpty() ? ErrorText(number) : std::move(description))
    , what_(description_.toStdString())
{
}

void Raise(int number, const QString& description)
{
    throw RuntimeError(number, description);
}

namespace {

std::mutex handlerMutex;
UnhandledErrorHandler unhandledHandler;

bool CanShowWindows()
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return false;
    // Headless platforms have nobody to click OK: the box would wait forever.
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void DefaultUnhandled(const RuntimeError& error)
{
    const QString text = QStringLiteral("Run-time error '%1':\n\n%2").arg(error.Number()).arg(error.Description());
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
    if (CanShowWindows())
        QMessageBox::critical(nullptr, App::Title(), text);
    End(1);
}

}  // namespace

void SetUnhandledErrorHandler(UnhandledErrorHandler handler)
{
    std::lock_guard lock(handlerMutex);
    unhandledHandler = std::move(handler);
}

void ReportUnhandled(const RuntimeError& error)
{
    UnhandledErrorHandler handler;
    {
        std::lock_guard lock(handlerMutex);
        handler = unhandledHandler;
    }
    if (handler)
        handler(error);
    else
        DefaultUnhandled(error);
}

}  // namespace plat
