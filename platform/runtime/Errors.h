#pragma once
// Run-time errors of the platform: one exception type carrying the error
// number, the statement-skipping mode, and the last-resort handler that ends
// the program with a message, as the desktop runtime did.

#include <QString>
#include <exception>
#include <functional>
#include <string>

namespace plat {

// Error numbers the runtime raises or names.
enum ErrorNumber : int {
    ErrReturnWithoutGoSub = 3,
    ErrInvalidCall = 5,
    ErrOverflow = 6,
    ErrOutOfMemory = 7,
    ErrSubscript = 9,
    ErrDivisionByZero = 11,
    ErrTypeMismatch = 13,
    ErrBadFileNameOrNumber = 52,
    ErrFileNotFound = 53,
    ErrDeviceIO = 57,
    ErrDiskFull = 61,
    ErrPermissionDenied = 70,
    ErrPathFileAccess = 75,
    ErrPathNotFound = 76,
    ErrObjectNotSet = 91,
    ErrInvalidUseOfNull = 94,
    ErrControlArrayElement = 340,
    ErrObjectAlreadyLoaded = 360,
    ErrInvalidPropertyValue = 380,
    ErrPropertyReadOnly = 383,
    ErrObjectRequired = 424,
    ErrCantCreateObject = 429,
    ErrNotSupported = 438,
    ErrAutomation = 440,
    ErrDialogCancel = 32755,
};

// The runtime's own text for an error number ("Overflow", "Type mismatch" ...).
QString ErrorText(int number);

class RuntimeError : public std::exception {
public:
    RuntimeError(int number, QString description = {});
    int Number() const noexcept { return number_; }
    const QString& Description() const noexcept { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    int number_;
    QString description_;
    std::string what_;
};

[[noreturn]] void Raise(int number, const QString& description = {});

// Statement-skipping mode: runs one statement and swallows a run-time error.
// Returns false when the statement failed.
template <class F>
bool Skip(F&& statement) noexcept
{
    try {
        statement();
        return true;
    } catch (const RuntimeError&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

// What happens to an error that nothing handled. The default shows a message
// box naming the error and ends the program; tests replace it.
using UnhandledErrorHandler = std::function<void(const RuntimeError&)>;
void SetUnhandledErrorHandler(UnhandledErrorHandler handler);  // empty restores the default
void ReportUnhandled(const RuntimeError& error);

// Runs an event procedure. An error escaping it goes to the unhandled-error
// handler; nothing is ever thrown through the event loop.
template <class F>
void Guard(F&& procedure) noexcept
{
    try {
        procedure();
    } catch (const RuntimeError& e) {
        ReportUnhandled(e);
    } catch (const std::exception& e) {
        ReportUnhandled(RuntimeError(ErrInvalidCall, QString::fromLocal8Bit(e.what())));
    }
}

}  // namespace plat
