#pragma once
// The early-bound face of the probe component, shared by the component and
// the tests that call it.

#include "platform/com/Interfaces.h"

inline constexpr plat::GUID LIBID_ProbeServer{0xACE59642, 0x4C4C, 0x4970, {0x8C, 0x09, 0x40, 0x7D, 0xBE, 0x65, 0x4C, 0x84}};
inline constexpr plat::GUID CLSID_clsProbe{0xC7B9CEA0, 0x6549, 0x4D38, {0xBD, 0x4C, 0x7D, 0xC4, 0xB0, 0x76, 0x03, 0x42}};

struct _clsProbe : plat::IDispatch {
    static constexpr plat::GUID Iid{0x1034CCB5, 0xCFE4, 0x4076, {0xB1, 0x5B, 0xC8, 0x33, 0xC3, 0x13, 0xFB, 0x05}};

    virtual plat::HRESULT Echo(plat::BSTR* text) = 0;                  // appends "!"
    virtual plat::HRESULT Twice(std::int16_t* n) = 0;                  // doubles; Overflow past 16 bits
    virtual plat::HRESULT Toggle(plat::VARIANT_BOOL* flag) = 0;
    virtual plat::HRESULT Repeat(plat::BSTR* text, plat::VARIANT_BOOL* upper, std::int16_t* count) = 0;
    virtual plat::HRESULT Fail() = 0;                                  // always fails
    virtual plat::HRESULT CallsOnThisThread(std::int32_t* calls) = 0;  // per-thread counter
    virtual plat::HRESULT OpenWindow() = 0;                            // GUI thread only
    virtual plat::HRESULT get_Version(plat::BSTR* version) = 0;

protected:
    ~_clsProbe() = default;
};
