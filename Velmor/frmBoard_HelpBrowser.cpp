// The help browser: the component's class, created by its class identifier.
#include "Velmor/frmBoard.h"

#include "platform/com/Activation.h"
#include "platform/com/BStr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/HResult.h"
#include "platform/runtime/Errors.h"

plat::ComPtr<_clsRoamwell> frmBoard::CreateHelpBrowser()
{
    plat::ComPtr<_clsRoamwell> browser;
    const plat::HRESULT hr = plat::CoCreateInstance(CLSID_clsRoamwell, &browser);
    if (plat::FAILED(hr)) {
        // Say which class is missing, why its library was refused when it
        // was (a damaged file, a relative path) or what in the registry stood
        // in the way (a damaged hive), and how to make it available.
        const auto why = plat::TakeErrorInfo();
        plat::Raise(plat::ErrCantCreateObject,
                    QStringLiteral("ActiveX component can't create object: the help browser class "
                                   "RoamwellDLL.clsRoamwell %1 could not be created (%2)%3. "
                                   "Register the component with: regsvr <folder>/RoamwellDLL/libRoamwellDLL.so")
                        .arg(CLSID_clsRoamwell.ToString(), plat::HResultText(hr),
                             why ? QStringLiteral(": ") + why->description : QString()));
    }
    return browser;
}

// Hands the help page to the browser component, which shows its window and
// returns at once. A failure is the component's run-time error.
void frmBoard::OpenHelp(const QString& address)
{
    plat::BStr url(address);
    plat::VARIANT_BOOL flag = plat::VARIANT_FALSE;
    plat::BSTR raw = url.Detach();
    const plat::HRESULT hr = HelpBrowser->Start(&raw, &flag);
    plat::SysFreeString(raw);
    if (plat::FAILED(hr))
        plat::Raise(plat::ErrAutomation, QStringLiteral("The help browser failed to open %1 (%2)").arg(address, plat::HResultText(hr)));
}
