// A stand-in for the browser component, for the tests of the game's logic.
// The board's load creates its help browser by the component's class id;
// this class answers to that id with the component's own type library, and
// its methods succeed and show nothing, so that no fault of the real browser
// can fail a test of the well, the pieces or the setup dialog.
#include "RoamwellDLL/RoamwellDLL_dispatch.h"
#include "platform/com/ComObject.h"

namespace {

plat::InprocServer& Server();

class HelpBrowserStandIn final : public plat::DispatchObject<_clsRoamwell> {
public:
    HelpBrowserStandIn() : DispatchObject(Server(), DispatchTableOf<_clsRoamwell>()) {}

    plat::HRESULT Start(plat::BSTR*, plat::VARIANT_BOOL*) override { return plat::S_OK; }
    plat::HRESULT ChangeHieght(std::int16_t*) override { return plat::S_OK; }
    plat::HRESULT Surf(plat::BSTR*) override { return plat::S_OK; }
};

plat::InprocServer& Server()
{
    static plat::InprocServer server(ServerDescriptionOf<HelpBrowserStandIn>(), PLAT_THIS_MODULE);
    return server;
}

}  // namespace

PLAT_INPROC_SERVER_ENTRY_POINTS(Server())
