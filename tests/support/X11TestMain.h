#pragma once
// For test programs whose windows are real, in the test's own process: link
// test_x11_main instead of GoogleTest's main. Its main starts a private X
// server with a window manager (openbox), makes the application on it
// (QT_QPA_PLATFORM=xcb), runs the tests and stops the server last.

#include "tests/support/X11Session.h"

namespace testenv {

// The program's X server, for the tests to look at and act on its windows.
X11Session& SharedX11();

}  // namespace testenv
