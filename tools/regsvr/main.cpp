// regsvr: registers or unregisters an in-process component library by
// calling its DllRegisterServer / DllUnregisterServer, or lists the
// resources embedded in it without loading it.

#include "tools/regsvr/Listing.h"

#include "platform/com/Activation.h"
#include "platform/com/ElfFile.h"
#include "platform/com/HResult.h"
#include "platform/com/Resources.h"
#include "platform/registry/Registry.h"

#include <QFileInfo>
#include <QString>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>

namespace {

enum Exit : int {
    Ok = 0,
    Usage = 1,
    CannotLoad = 2,
    NoEntryPoint = 3,
    CallFailed = 4,
    NoResources = 5,
};

void Print(FILE* to, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
}

int UsageMessage()
{
    Print(stderr,
          QStringLiteral("usage: regsvr [-u | -l] [-s] <library>\n"
                         "  regsvr <library>     register the library (calls DllRegisterServer)\n"
                         "  regsvr -u <library>  unregister it (calls DllUnregisterServer)\n"
                         "  regsvr -l <library>  list the resources embedded in it\n"
                         "  -s                   say nothing on success"));
    return Usage;
}

int CallEntry(const QString& path, const char* entry, bool silent)
{
    // A damaged file would bring the loader down with the tool.
    if (QString why; !plat::CheckElfLibrary(path, &why)) {
        Print(stderr, QStringLiteral("regsvr: cannot load %1: %2").arg(path, why));
        return CannotLoad;
    }
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        Print(stderr, QStringLiteral("regsvr: cannot load %1: %2").arg(path, QString::fromLocal8Bit(dlerror())));
        return CannotLoad;
    }
    auto fn = reinterpret_cast<plat::DllRegisterServerFn>(dlsym(handle, entry));
    if (!fn) {
        Print(stderr, QStringLiteral("regsvr: %1 has no entry point %2; it is not a self-registering component")
                          .arg(path, QLatin1String(entry)));
        dlclose(handle);
        return NoEntryPoint;
    }
    // The library sets its keys one call at a time: write the hive once for all of them.
    plat::RegBatch batch;
    const plat::HRESULT hr = fn();
    const plat::LONG written = batch.Commit();
    // The library stays loaded until exit: objects it made may still be torn down.
    if (plat::FAILED(hr) || written != plat::ERROR_SUCCESS) {
        QString why = plat::FAILED(hr) ? plat::HResultText(hr) : QStringLiteral("the registry could not be written");
        // Say what stands in the way in the registry, if anything.
        if (const QString problem = plat::RegHiveProblem(plat::HKEY_CURRENT_USER, true); !problem.isEmpty())
            why += QStringLiteral(": ") + problem;
        Print(stderr, QStringLiteral("regsvr: %1 in %2 failed: %3").arg(QLatin1String(entry), path, why));
        return CallFailed;
    }
    if (!silent)
        Print(stdout, QStringLiteral("%1 in %2 succeeded.").arg(QLatin1String(entry), path));
    return Ok;
}

}  // namespace

int main(int argc, char** argv)
{
    bool unregister = false;
    bool list = false;
    bool silent = false;
    QString library;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "-u") == 0)
            unregister = true;
        else if (std::strcmp(a, "-l") == 0)
            list = true;
        else if (std::strcmp(a, "-s") == 0)
            silent = true;
        else if (a[0] == '-' || !library.isEmpty())
            return UsageMessage();
        else
            library = QString::fromLocal8Bit(a);
    }
    if (library.isEmpty() || (unregister && list))
        return UsageMessage();

    // The registration records the path it is given, so make it absolute.
    const QString path = QFileInfo(library).absoluteFilePath();
    if (!QFileInfo(path).isFile()) {
        Print(stderr, QStringLiteral("regsvr: %1: no such file").arg(path));
        return CannotLoad;
    }
    if (list) {
        QString error;
        const auto resources = plat::ReadResourcesFromFile(path, &error);
        if (!resources) {
            Print(stderr, QStringLiteral("regsvr: %1").arg(error));
            return NoResources;
        }
        std::fputs(ListResources(path, *resources).toLocal8Bit().constData(), stdout);
        return Ok;
    }
    return CallEntry(path, unregister ? "DllUnregisterServer" : "DllRegisterServer", silent);
}
