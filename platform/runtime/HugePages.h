#pragma once
// Large buffers that are about to be filled at once (a whole settings file
// and the table of its lines) ask to be backed by huge pages: filling them
// then costs one page fault for every 2 MiB instead of one for every 4 KiB,
// which on some machines is most of what reading a large file costs.

#include <cstddef>
#include <cstdint>
#include <sys/mman.h>

namespace plat {

inline void AdviseHugePages(void* data, std::size_t size)
{
    constexpr std::uintptr_t huge = std::uintptr_t(2) << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t from = (start + huge - 1) & ~(huge - 1);
    const std::uintptr_t to = (start + size) & ~(huge - 1);
    if (to > from)
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);  // only advice: failure changes nothing
}

}  // namespace plat
