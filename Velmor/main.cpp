#include "Velmor/GameSettings.h"
#include "Velmor/modVelmor.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Settings.h"
#include "platform/runtime/Startup.h"

int main(int argc, char** argv)
{
    // Read while the toolkit starts: the board's load needs the settings first.
    plat::ReadSettingsAhead(QString::fromLatin1(GameSettings::App));
    plat::App::SetTitle(QStringLiteral("Velmor"));
    plat::App::SetVersion(1, 2, 0);
    return plat::RunProgram(argc, argv, modVelmor::Main);
}
