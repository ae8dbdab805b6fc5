// A small in-process server for the tests: one class with a dual interface
// whose methods take their arguments by reference.

#include "tests/platform/com/probe/ProbeServer_dispatch.h"

#include "platform/com/ComObject.h"
#include "platform/runtime/Numeric.h"

#include <stdexcept>

namespace {

plat::InprocServer& Server();

// Trivially destructible, so that the library can still be unloaded.
thread_local std::int32_t callsOnThisThread = 0;

class clsProbe final : public plat::DispatchObject<_clsProbe> {
public:
    clsProbe() : DispatchObject(Server(), DispatchTableOf<_clsProbe>()) {}

    plat::HRESULT Echo(plat::BSTR* text) override
    {
        return Method([&] {
            const QString t = plat::QStringFromBSTR(*text) + u'!';
            plat::SysReAllocString(text, reinterpret_cast<const char16_t*>(t.utf16()));
        });
    }
    plat::HRESULT Twice(std::int16_t* n) override
    {
        return Method([&] {
            *n = plat::I16(*n) * plat::I16(2);  // raises Overflow past 16 bits
        });
    }
    plat::HRESULT Toggle(plat::VARIANT_BOOL* flag) override
    {
        return Method([&] { *flag = *flag ? plat::VARIANT_FALSE : plat::VARIANT_TRUE; });
    }
    plat::HRESULT Repeat(plat::BSTR* text, plat::VARIANT_BOOL* upper, std::int16_t* count) override
    {
        return Method([&] {
            QString t = plat::QStringFromBSTR(*text).repeated(*count);
            if (*upper)
                t = t.toUpper();
            *count = static_cast<std::int16_t>(t.size());
            *upper = plat::VARIANT_FALSE;
            plat::SysReAllocString(text, reinterpret_cast<const char16_t*>(t.utf16()));
        });
    }
    plat::HRESULT Fail() override
    {
        return Method([] { throw std::runtime_error("probe failed on purpose"); });
    }
    plat::HRESULT CallsOnThisThread(std::int32_t* calls) override
    {
        return Method([&] { *calls = ++callsOnThisThread; });
    }
    plat::HRESULT OpenWindow() override
    {
        return Method([] { return plat::RequireGuiThread(); });
    }
    plat::HRESULT get_Version(plat::BSTR* version) override
    {
        return Method([&] { *version = plat::SysAllocQString(QStringLiteral("27.0")); });
    }
};

plat::InprocServer& Server()
{
    static plat::InprocServer server(ServerDescriptionOf<clsProbe>(), PLAT_THIS_MODULE);
    return server;
}

}  // namespace

PLAT_INPROC_SERVER_ENTRY_POINTS(Server())
