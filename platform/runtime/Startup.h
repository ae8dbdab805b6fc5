#pragma once
// Start-up of every program on the platform: the application object, the
// attributes the web engine needs before it, then the program's Main.

#include <functional>

namespace plat {

// Builds the Qt application (sharing OpenGL contexts, which the web engine
// loaded later as a plugin needs under X), runs main inside the error guard
// and then the message loop. Returns the process exit code.
int RunProgram(int argc, char** argv, const std::function<void()>& main);

// For tests and tools that need the application object without running Main.
void EnsureApplication();

}  // namespace plat
