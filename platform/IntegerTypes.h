#pragma once
// The plain integer types the platform's signatures are written in, by the
// names those signatures use; the registry and COM share them.

#include <cstdint>

namespace plat {

using BOOL = std::int32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;

}  // namespace plat
