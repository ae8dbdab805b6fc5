#include "platform/runtime/App.h"

#include "platform/runtime/Errors.h"

#include <QProcess>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <unistd.h>

namespace plat {

namespace {

std::mutex hooksMutex;
ProcessStarter processStarter;
EndHandler endHandler;

}  // namespace

long long Shell(const QString& program, const QStringList& arguments, int /*windowStyle*/)
{
    ProcessStarter starter;
    {
        std::lock_guard lock(hooksMutex);
        starter = processStarter;
    }
    if (starter)
        return starter(program, arguments);

    qint64 pid = 0;
    if (program.isEmpty() || !QProcess::startDetached(program, arguments, QString(), &pid))
        Raise(ErrFileNotFound);
    return pid;
}

void SetProcessStarter(ProcessStarter starter)
{
    std::lock_guard lock(hooksMutex);
    processStarter = std::move(starter);
}

void End(int exitCode)
{
    EndHandler handler;
    {
        std::lock_guard lock(hooksMutex);
        handler = endHandler;
    }
    if (handler)
        handler(exitCode);  // a test's handler throws; one that returns ends the process anyway

    // At once: no destructors, no closing events, nothing queued runs.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    ::_exit(exitCode);
}

void SetEndHandler(EndHandler handler)
{
    std::lock_guard lock(hooksMutex);
    endHandler = std::move(handler);
}

}  // namespace plat
