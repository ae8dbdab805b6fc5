#pragma once
// Forms are single default instances, created on the first use of their
// name; one per thread, so an apartment-threaded component gets its own.

#include <memory>

namespace plat {

template <class F>
class DefaultInstance {
public:
    static F& Get()
    {
        auto& p = Slot();
        if (!p)
            p = std::make_unique<F>();
        return *p;
    }
    static bool Exists() { return Slot() != nullptr; }
    // Drops the instance: its next use creates a fresh one.
    static void Release() { Slot().reset(); }

private:
    static std::unique_ptr<F>& Slot()
    {
        thread_local std::unique_ptr<F> instance;
        return instance;
    }
};

// The default instance of form F, created on first use.
template <class F>
F& Default()
{
    return DefaultInstance<F>::Get();
}

}  // namespace plat
