#pragma once
// Runs the body of a COM method so that nothing escapes as a crash: a call
// from a foreign thread is refused, a run-time error becomes the run-time
// error's status with its description left for the caller, any other
// exception E_FAIL (or E_OUTOFMEMORY).

#include "platform/com/Apartment.h"
#include "platform/com/ErrorInfo.h"
#include "platform/runtime/Errors.h"

#include <new>
#include <type_traits>

namespace plat {

template <class F>
HRESULT ComCall(const QString& source, F&& body) noexcept
{
    try {
        ClearErrorInfo();
        if constexpr (std::is_same_v<std::invoke_result_t<F>, HRESULT>) {
            return body();
        } else {
            body();
            return S_OK;
        }
    } catch (const RuntimeError& e) {
        SetErrorInfo(source, e.Description().isEmpty() ? QString::fromUtf8(e.what()) : e.Description());
        return HResultFromRuntimeError(e.Number());
    } catch (const std::bad_alloc&) {
        SetErrorInfo(source, QStringLiteral("Out of memory"));
        return E_OUTOFMEMORY;
    } catch (const std::exception& e) {
        SetErrorInfo(source, QString::fromUtf8(e.what()));
        return E_FAIL;
    } catch (...) {
        SetErrorInfo(source, QStringLiteral("Unexpected failure"));
        return E_UNEXPECTED;
    }
}

template <class F>
HRESULT ComMethod(const ApartmentAffinity& apartment, const QString& source, F&& body) noexcept
{
    if (const HRESULT hr = apartment.Check(); FAILED(hr))
        return hr;
    return ComCall(source, std::forward<F>(body));
}

}  // namespace plat
