#pragma once
// The browser component's public face, as its type library describes it:
// the identifiers of the library, the class and its default interface, and
// the interface's function table. Clients include this header to call the
// class early-bound; everything else they do goes through COM.

#include "platform/com/Interfaces.h"

#include <cstdint>

inline constexpr plat::GUID LIBID_RoamwellDLL{0xC016E7E6, 0x8D26, 0x4556, {0xB3, 0x9D, 0x33, 0x96, 0x30, 0xB6, 0xD4, 0xFF}};
inline constexpr plat::GUID CLSID_clsRoamwell{0x2CADA5B5, 0x8958, 0x45FF, {0x89, 0xA3, 0x82, 0x2A, 0x7C, 0x00, 0xB3, 0xCD}};

struct _clsRoamwell : plat::IDispatch {
    static constexpr plat::GUID Iid{0x2A47A29A, 0xC957, 0x40C0, {0xA9, 0xD7, 0x1C, 0x74, 0x30, 0x75, 0xDA, 0x7F}};

    // Records url as the start address and shows the browser window,
    // modal when flag is not 0.
    virtual plat::HRESULT Start(plat::BSTR* url, plat::VARIANT_BOOL* flag) = 0;
    // Sets the browser window's height in twips (spelt so in the type library).
    virtual plat::HRESULT ChangeHieght(std::int16_t* h) = 0;
    // Shows the browser window and navigates it to url.
    virtual plat::HRESULT Surf(plat::BSTR* url) = 0;

protected:
    ~_clsRoamwell() = default;
};
