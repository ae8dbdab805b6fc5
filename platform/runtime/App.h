#pragma once
// The application object, starting other programs and ending the process.

#include <QString>
#include <QStringList>
#include <functional>

namespace plat {

namespace App {
QString Path();     // folder of the running program, without a trailing separator
QString EXEName();  // file name of the running program
QString ExePath();  // full path of the running program
QString Title();
void SetTitle(const QString& title);
int Major();
int Minor();
int Revision();
void SetVersion(int major, int minor, int revision);
}  // namespace App

// Folder of the shared object (library or program) whose code holds `address`.
// A component calls it with the address of one of its own functions.
QString ModuleFolder(const void* address);
QString ModuleFile(const void* address);

// Starts a program with its arguments, never through a shell. The window
// style is the runtime's (1 = normal with focus). Returns the process id;
// raises File not found (53) when the program cannot be started.
long long Shell(const QString& program, const QStringList& arguments = {}, int windowStyle = 1);
using ProcessStarter = std::function<long long(const QString&, const QStringList&)>;
void SetProcessStarter(ProcessStarter starter);  // tests; empty restores

// Ends the process at once: no closing events, nothing more runs.
[[noreturn]] void End(int exitCode = 0);
using EndHandler = std::function<void(int)>;  // tests: must not return (throw)
void SetEndHandler(EndHandler handler);

}  // namespace plat
