// The component's one creatable class. It keeps no state of its own: every
// method drives the calling thread's browser window.
#include "RoamwellDLL/RoamwellDLL_dispatch.h"
#include "RoamwellDLL/frmBrowser.h"
#include "RoamwellDLL/modRoamwel.h"

#include "platform/com/BStr.h"
#include "platform/com/ComObject.h"
#include "platform/forms/DefaultInstance.h"

namespace RoamwellDLL {
namespace {

plat::InprocServer& Server();

// The thread's browser window, created on first use. Its code lives in this
// library, so once a thread has forms the library stays loaded.
frmBrowser& Browser()
{
    thread_local bool holdsLibrary = false;
    if (!holdsLibrary) {
        Server().Lock();
        holdsLibrary = true;
    }
    return plat::Default<frmBrowser>();
}

class clsRoamwell final : public plat::DispatchObject<_clsRoamwell> {
public:
    clsRoamwell() : DispatchObject(Server(), DispatchTableOf<_clsRoamwell>()) {}

    plat::HRESULT Start(plat::BSTR* url, plat::VARIANT_BOOL* flag) override
    {
        return OnGuiThread([&] {
            modRoamwel::StartAddress = plat::QStringFromBSTR(*url);
            Browser().Show(*flag != 0 ? 1 : 0);
        });
    }

    plat::HRESULT ChangeHieght(std::int16_t* h) override
    {
        return OnGuiThread([&] {
            frmBrowser& browser = Browser();
            browser.Load();  // using an unloaded window's property loads it
            browser.Height = static_cast<float>(*h);
        });
    }

    plat::HRESULT Surf(plat::BSTR* url) override
    {
        return OnGuiThread([&] {
            frmBrowser& browser = Browser();
            browser.Show();
            const QString copy = plat::QStringFromBSTR(*url);
            browser.SurfTo(copy);
            browser.ZOrder(0);
        });
    }

private:
    // Windows live on the GUI thread only: a call from any other fails there.
    template <class F>
    plat::HRESULT OnGuiThread(F&& body)
    {
        return Method([&]() -> plat::HRESULT {
            if (const plat::HRESULT hr = plat::RequireGuiThread(); plat::FAILED(hr))
                return hr;
            body();
            return plat::S_OK;
        });
    }
};

plat::InprocServer& Server()
{
    static plat::InprocServer server(ServerDescriptionOf<clsRoamwell>(), PLAT_THIS_MODULE);
    return server;
}

}  // namespace
}  // namespace RoamwellDLL

PLAT_INPROC_SERVER_ENTRY_POINTS(RoamwellDLL::Server())
