// A client of the browser component opening a page: create the class by its
// identifier, Start with the page, wait until the window shows its title.
#include "RoamwellDLL/RoamwellDLL_i.h"
#include "platform/com/Activation.h"
#include "platform/com/BStr.h"
#include "platform/runtime/Startup.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

int main(int argc, char** argv)
{
    const QString page = QString::fromLocal8Bit(argv[1]);
    const QString title = QString::fromLocal8Bit(argv[2]);
    return plat::RunProgram(argc, argv, [page, title] {
        static plat::ComPtr<_clsRoamwell> browser;
        if (plat::FAILED(plat::CoCreateInstance(CLSID_clsRoamwell, &browser)))
            std::exit(2);
        plat::BStr url(page);
        plat::BSTR raw = url.Detach();
        plat::VARIANT_BOOL modeless = plat::VARIANT_FALSE;
        browser->Start(&raw, &modeless);
        plat::SysFreeString(raw);
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [title] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->isVisible() && w->windowTitle() == title) {
                    std::puts("loaded");
                    std::fflush(stdout);
                    std::_Exit(0);
                }
            }
        });
        poll->start(1);
    });
}
