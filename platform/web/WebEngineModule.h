#pragma once
// Finds and loads the engine half of the web-page control (see WebBackend.h).

#include "platform/web/WebBackend.h"

#include <QString>
#include <memory>

namespace plat {

// The engine module's file: beside the library that holds the control.
QString WebEngineModulePath();

// Loads the module at modulePath (once per process) and builds a backend from
// it. Raises File not found (53) naming the file when it is not there, and
// Can't create object (429) naming it when it cannot be loaded or has no
// entry point.
std::unique_ptr<WebBackend> CreateWebBackend(WebBackendHost& host, QWidget* parent,
                                             const QString& modulePath = WebEngineModulePath());

}  // namespace plat
