#pragma once
// The runtime's answer to a conversion as a COM status, for holding the
// variant conversions against CDbl, CInt and CLng: S_OK with the number, or
// the status its run-time error stands for.

#include "platform/com/HResult.h"
#include "platform/runtime/Errors.h"

namespace testenv {

template <class F>
plat::HRESULT RuntimeStatus(F&& convert, double* value)
{
    try {
        *value = convert();
        return plat::S_OK;
    } catch (const plat::RuntimeError& e) {
        if (e.Number() == plat::ErrTypeMismatch)
            return plat::DISP_E_TYPEMISMATCH;
        if (e.Number() == plat::ErrOverflow)
            return plat::DISP_E_OVERFLOW;
        return plat::E_FAIL;
    }
}

}  // namespace testenv
