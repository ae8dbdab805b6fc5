#include "platform/runtime/Startup.h"

#include "platform/runtime/App.h"
#include "platform/runtime/Errors.h"

#include <QApplication>

namespace plat {

namespace {

// Must precede the application object: the web engine, loaded later as a
// plugin, cannot start under X without a shared OpenGL context.
void PrepareApplication()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

}  // namespace

int RunProgram(int argc, char** argv, const std::function<void()>& main)
{
    PrepareApplication();
    QApplication app(argc, argv);
    Guard([&] { main(); });
    // Main that leaves no window behind has finished the program.
    if (QApplication::topLevelWidgets().isEmpty())
        return 0;
    return app.exec();
}

void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    PrepareApplication();
    // Lives for the rest of the process, as the program's own would.
    static QByteArray name = App::ExePath().toLocal8Bit();
    static char* argv[] = {name.data(), nullptr};
    static int argc = 1;
    new QApplication(argc, argv);
}

}  // namespace plat
