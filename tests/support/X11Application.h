#pragma once
// For test programs whose own windows must be real: one private X server
// with a window manager (openbox) for the whole program, and the program's
// application object on it. A test source registers it once:
//     static auto* const desktop = testing::AddGlobalTestEnvironment(new testenv::X11Application);
// and reaches the server through testenv::X11Application::Session().

#include "platform/runtime/Startup.h"
#include "tests/support/X11Session.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace testenv {

class X11Application : public ::testing::Environment {
public:
    void SetUp() override
    {
        Owned() = std::make_unique<X11Session>(X11Session::Manager::Openbox);
        ASSERT_TRUE(Owned()->Started()) << "Xvfb with openbox did not start";
        // Before the application object, which connects to the display once.
        qputenv("DISPLAY", Owned()->DisplayName().toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "xcb");
        plat::EnsureApplication();
    }
    // The application object lives to the end of the process and reads the
    // display no more after the tests; the server goes when the program ends.

    static X11Session& Session() { return *Owned(); }

    // The X window of a widget's top-level window, for clicks at points of it.
    static WindowInfo WindowOf(const QWidget& widget)
    {
        const QWidget* top = widget.window();
        return WindowInfo{static_cast<unsigned long>(top->winId()), top->windowTitle(), top->width(), top->height()};
    }

    // A real click at a point of a widget (pixels from its top-left corner).
    static void Click(const QWidget& widget, QPoint at, int button = 1)
    {
        const QPoint inWindow = widget.mapTo(widget.window(), at);
        Session().Click(WindowOf(widget), inWindow.x(), inWindow.y(), button);
    }

private:
    static std::unique_ptr<X11Session>& Owned()
    {
        static std::unique_ptr<X11Session> s;
        return s;
    }
};

}  // namespace testenv
