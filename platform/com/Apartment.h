#pragma once
// Threads and apartments. The main thread is initialised by the platform;
// another thread calls CoInitialize before it creates objects. An object
// belongs to the thread that created it and refuses calls from any other
// with RPC_E_WRONG_THREAD. Windows exist on the GUI thread only.

#include "platform/com/Types.h"

#include <thread>

namespace plat {

enum COINIT : DWORD { COINIT_MULTITHREADED = 0x0, COINIT_APARTMENTTHREADED = 0x2 };

HRESULT CoInitialize(void* reserved = nullptr);  // apartment-threaded
HRESULT CoInitializeEx(void* reserved, DWORD coInit);
void CoUninitialize();
bool IsComInitialized();  // on the calling thread

// The thread of the application object, or the process's first thread
// while there is none.
bool IsGuiThread();
// S_OK on the GUI thread, RPC_E_WRONG_THREAD elsewhere: for methods that
// create or touch windows.
HRESULT RequireGuiThread();

// The home thread of an object.
class ApartmentAffinity {
public:
    ApartmentAffinity() : home_(std::this_thread::get_id()) {}
    HRESULT Check() const { return std::this_thread::get_id() == home_ ? S_OK : RPC_E_WRONG_THREAD; }
    std::thread::id Home() const { return home_; }

private:
    std::thread::id home_;
};

}  // namespace plat
