#include "tests/support/X11TestMain.h"

#include "platform/runtime/Startup.h"

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <gtest/gtest.h>

namespace testenv {

namespace {
X11Session* shared = nullptr;
}  // namespace

X11Session& SharedX11()
{
    return *shared;
}

}  // namespace testenv

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // The server outlives the application's windows: it is made first and
    // stopped after the tests, when nothing draws on it any more.
    testenv::X11Session x{testenv::X11Session::Manager::Openbox};
    if (!x.Started()) {
        std::fprintf(stderr, "Xvfb or openbox did not start\n");
        return 1;
    }
    testenv::shared = &x;
    qputenv("DISPLAY", x.DisplayName().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    plat::EnsureApplication();
    const int result = RUN_ALL_TESTS();
    // Windows still open go before the server does.
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
    QApplication::processEvents();
    return result;
}
