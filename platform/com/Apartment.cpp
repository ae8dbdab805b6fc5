#include "platform/com/Apartment.h"

#include <QCoreApplication>
#include <QThread>

#include <sys/syscall.h>
#include <unistd.h>

namespace plat {

namespace {

struct ThreadState {
    int initCount = 0;
    DWORD mode = COINIT_APARTMENTTHREADED;
};
thread_local ThreadState state;

bool IsFirstThread()
{
    return static_cast<pid_t>(::syscall(SYS_gettid)) == ::getpid();
}

}  // namespace

HRESULT CoInitialize(void* reserved)
{
    return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED);
}

HRESULT CoInitializeEx(void*, DWORD coInit)
{
    const DWORD mode = coInit & COINIT_APARTMENTTHREADED;
    if (state.initCount > 0 && state.mode != mode)
        return RPC_E_CHANGED_MODE;
    state.mode = mode;
    const bool already = state.initCount > 0 || IsFirstThread();
    ++state.initCount;
    return already ? S_FALSE : S_OK;
}

void CoUninitialize()
{
    if (state.initCount > 0)
        --state.initCount;
}

bool IsComInitialized()
{
    return state.initCount > 0 || IsFirstThread();
}

bool IsGuiThread()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        return QThread::currentThread() == app->thread();
    return IsFirstThread();
}

HRESULT RequireGuiThread()
{
    return IsGuiThread() ? S_OK : RPC_E_WRONG_THREAD;
}

}  // namespace plat
