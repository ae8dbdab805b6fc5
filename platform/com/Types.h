#pragma once
// The plain types that COM signatures are written in.

#include "platform/IntegerTypes.h"
#include "platform/com/Guid.h"
#include "platform/com/HResult.h"

#include <cstdint>

namespace plat {

using LCID = std::uint32_t;
using DISPID = std::int32_t;
using MEMBERID = DISPID;
using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using BSTR = OLECHAR*;  // length-prefixed text; see BStr.h
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using SCODE = HRESULT;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

}  // namespace plat
