#include "platform/runtime/App.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <dlfcn.h>
#include <link.h>
#include <mutex>

namespace plat {

namespace {

struct AppState {
    std::mutex mutex;
    QString title;
    bool titleSet = false;
    int major = 1;
    int minor = 0;
    int revision = 0;
};

AppState& State()
{
    static AppState state;
    return state;
}

}  // namespace

QString App::ExePath()
{
    static const QString path = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absoluteFilePath();
    return path;
}

QString App::Path()
{
    return QFileInfo(ExePath()).absolutePath();
}

QString App::EXEName()
{
    return QFileInfo(ExePath()).fileName();
}

QString App::Title()
{
    AppState& s = State();
    std::lock_guard lock(s.mutex);
    return s.titleSet ? s.title : QFileInfo(ExePath()).completeBaseName();
}

void App::SetTitle(const QString& title)
{
    AppState& s = State();
    std::lock_guard lock(s.mutex);
    s.title = title;
    s.titleSet = true;
}

int App::Major()
{
    AppState& s = State();
    std::lock_guard lock(s.mutex);
    return s.major;
}

int App::Minor()
{
    AppState& s = State();
    std::lock_guard lock(s.mutex);
    return s.minor;
}

int App::Revision()
{
    AppState& s = State();
    std::lock_guard lock(s.mutex);
    return s.revision;
}

void App::SetVersion(int major, int minor, int revision)
{
    AppState& s = State();
    std::lock_guard lock(s.mutex);
    s.major = major;
    s.minor = minor;
    s.revision = revision;
}

QString ModuleFile(const void* address)
{
    Dl_info info{};
    link_map* map = nullptr;
    if (!dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) || !map)
        return {};
    // The program itself has no name in the loader's list.
    if (!map->l_name || !*map->l_name)
        return App::ExePath();
    const QString name = QFile::decodeName(map->l_name);
    const QString canonical = QFileInfo(name).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(name).absoluteFilePath() : canonical;
}

QString ModuleFolder(const void* address)
{
    const QString file = ModuleFile(address);
    return file.isEmpty() ? QString() : QFileInfo(file).absolutePath();
}

}  // namespace plat
