#include "platform/runtime/Rnd.h"

#include <chrono>
#include <cstring>
#include <mutex>
#include <random>

namespace plat {

namespace {

struct Generator {
    std::mutex mutex;
    std::mt19937 engine{20240601u};  // fixed start: an unseeded run repeats itself
    RndSource source;
    int draws = 0;
};

Generator& State()
{
    static Generator state;
    return state;
}

}  // namespace

float Rnd()
{
    Generator& g = State();
    RndSource source;
    {
        std::lock_guard lock(g.mutex);
        ++g.draws;
        if (!g.source)
            return float(g.engine() >> 8) / 16777216.0f;  // 24 bits: exact in a single, never 1
        source = g.source;
    }
    return source();  // outside the lock: a scripted source may itself call Rnd()
}

void Randomize()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    std::seed_seq seed{uint32_t(ticks), uint32_t(uint64_t(ticks) >> 32)};
    Generator& g = State();
    std::lock_guard lock(g.mutex);
    g.engine.seed(seed);
}

void Randomize(double seed)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &seed, sizeof bits);
    std::seed_seq sequence{uint32_t(bits), uint32_t(bits >> 32)};
    Generator& g = State();
    std::lock_guard lock(g.mutex);
    g.engine.seed(sequence);
}

void SetRndSource(RndSource source)
{
    Generator& g = State();
    std::lock_guard lock(g.mutex);
    g.source = std::move(source);
}

int RndDrawCount()
{
    Generator& g = State();
    std::lock_guard lock(g.mutex);
    return g.draws;
}

void ResetRndDrawCount()
{
    Generator& g = State();
    std::lock_guard lock(g.mutex);
    g.draws = 0;
}

}  // namespace plat
