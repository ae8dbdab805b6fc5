#include "platform/web/WebEngineModule.h"

#include "platform/runtime/App.h"
#include "platform/runtime/Errors.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <dlfcn.h>

namespace plat {

namespace {

// Factories of the modules loaded so far. A module stays for the rest of the
// process: the engine does not survive being unloaded.
QHash<QString, PlatWebBackendFactory>& Loaded()
{
    static QHash<QString, PlatWebBackendFactory> loaded;
    return loaded;
}

PlatWebBackendFactory Load(const QString& path)
{
    if (const auto found = Loaded().constFind(path); found != Loaded().cend())
        return *found;
    if (!QFileInfo(path).isFile())
        Raise(ErrFileNotFound, QStringLiteral("The web engine module %1 was not found").arg(path));
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        Raise(ErrCantCreateObject, QStringLiteral("The web engine module %1 could not be loaded: %2")
                                       .arg(path, QString::fromLocal8Bit(dlerror())));
    auto factory = reinterpret_cast<PlatWebBackendFactory>(dlsym(handle, PLAT_WEB_BACKEND_FACTORY));
    if (!factory) {
        dlclose(handle);
        Raise(ErrCantCreateObject, QStringLiteral("The web engine module %1 has no entry point %2")
                                       .arg(path, QLatin1String(PLAT_WEB_BACKEND_FACTORY)));
    }
    Loaded().insert(path, factory);
    return factory;
}

}  // namespace

QString WebEngineModulePath()
{
    return ModuleFolder(reinterpret_cast<const void*>(&WebEngineModulePath)) + QLatin1Char('/')
        + QLatin1String(PLAT_WEBENGINE_MODULE_FILE);
}

std::unique_ptr<WebBackend> CreateWebBackend(WebBackendHost& host, QWidget* parent, const QString& modulePath)
{
    return std::unique_ptr<WebBackend>(Load(modulePath)(&host, parent));
}

}  // namespace plat
