#include "Velmor/modVelmor.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Startup.h"

int main(int argc, char** argv)
{
    plat::App::SetTitle(QStringLiteral("Velmor"));
    plat::App::SetVersion(1, 2, 0);
    return plat::RunProgram(argc, argv, modVelmor::Main);
}
