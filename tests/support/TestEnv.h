#pragma once
// Shared pieces of the test fixtures: a private settings/registry folder,
// scripted random draws, and an End() that returns control to the test.

#include "platform/runtime/App.h"
#include "platform/runtime/Rnd.h"
#include "platform/runtime/Startup.h"

#include <QTemporaryDir>
#include <deque>
#include <stdexcept>

namespace testenv {

// Points XDG_CONFIG_HOME at a fresh folder for the life of the object.
class TempConfigHome {
public:
    TempConfigHome()
    {
        previous_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
    }
    ~TempConfigHome() { qputenv("XDG_CONFIG_HOME", previous_); }
    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QByteArray previous_;
};

// Draws come from a queue; past its end the fallback value is returned
// (or, when strict, the test fails by exception).
class ScriptedRnd {
public:
    explicit ScriptedRnd(float fallback = 0.25f, bool strict = false) : fallback_(fallback), strict_(strict)
    {
        plat::SetRndSource([this] { return Next(); });
        plat::ResetRndDrawCount();
    }
    ~ScriptedRnd() { plat::SetRndSource({}); }
    void Push(std::initializer_list<float> values) { queue_.insert(queue_.end(), values); }
    size_t Left() const { return queue_.size(); }

private:
    float Next()
    {
        if (queue_.empty()) {
            if (strict_)
                throw std::logic_error("more random draws than scripted");
            return fallback_;
        }
        const float v = queue_.front();
        queue_.pop_front();
        return v;
    }
    std::deque<float> queue_;
    float fallback_;
    bool strict_;
};

struct EndCalled {
    int code;
};

// End() throws EndCalled instead of ending the test process.
class CatchEnd {
public:
    CatchEnd() { plat::SetEndHandler([](int code) { throw EndCalled{code}; }); }
    ~CatchEnd() { plat::SetEndHandler({}); }
};

}  // namespace testenv

#include <dlfcn.h>

namespace testenv {

// Registers an in-process component for the current (temporary) user, as
// the registration tool would: loads it and calls DllRegisterServer.
inline bool RegisterComponent(const char* libraryPath)
{
    void* library = dlopen(libraryPath, RTLD_NOW);
    if (!library)
        return false;
    using RegisterFn = long (*)();
    auto registerServer = reinterpret_cast<RegisterFn>(dlsym(library, "DllRegisterServer"));
    return registerServer && registerServer() == 0;
}

#ifdef ROAMWELL_DLL
// The browser component, registered for the life of a test's private registry.
inline bool RegisterBrowserComponent()
{
    return RegisterComponent(ROAMWELL_DLL);
}
#endif

#ifdef HELP_BROWSER_STANDIN
// A stand-in registered under the browser component's class id, whose methods
// succeed and show nothing.
inline bool RegisterHelpBrowserStandIn()
{
    return RegisterComponent(HELP_BROWSER_STANDIN);
}
#endif

}  // namespace testenv
