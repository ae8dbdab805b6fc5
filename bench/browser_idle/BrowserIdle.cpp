// Opens the browser window on the component's welcome page, waits for the
// page to load and settle, then measures the CPU time the process uses
// over the next 10 s of doing nothing (target: under 1 % of one core).
// The page's renderer runs in a process of the web engine's own; its
// share is printed beside, for information.
#include "RoamwellDLL/frmBrowser.h"
#include "RoamwellDLL/frmPreferences.h"
#include "RoamwellDLL/modRoamwel.h"
#include "platform/forms/DefaultInstance.h"
#include "platform/runtime/Startup.h"
#include "tests/support/EventLoop.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

using namespace RoamwellDLL;

namespace {

double OwnCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of a process's descendants (the web engine's zygotes and the
// page's renderer below them), while they run.
double DescendantsCpuSeconds(const QString& pid)
{
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(tasks.filePath(task) + QStringLiteral("/children"));
        if (!children.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& field : children.readAll().split(' ')) {
            const QString child = QString::fromLatin1(field.trimmed());
            QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
            if (child.isEmpty() || !stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray line = stat.readAll();
            const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 12)  // utime and stime, the 14th and 15th fields
                total += (fields[11].toDouble() + fields[12].toDouble()) / sysconf(_SC_CLK_TCK);
            total += DescendantsCpuSeconds(child);
        }
    }
    return total;
}

// Runs the event loop for a while with no timer of its own besides the end.
void RunFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Per-thread CPU seconds, to see who uses what (BENCH_THREADS=1).
QMap<QString, double> ThreadCpuSeconds()
{
    QMap<QString, double> out;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(getpid()));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task) + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QString name = QString::fromLatin1(line.mid(line.indexOf('(') + 1, line.lastIndexOf(')') - line.indexOf('(') - 1));
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 12)
            out[task + QLatin1Char(' ') + name] = (fields[11].toDouble() + fields[12].toDouble()) / sysconf(_SC_CLK_TCK);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    QTemporaryDir config;  // the bench's placement and settings stay out of the user's
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    plat::EnsureApplication();

    modRoamwel::StartAddress = modRoamwel::ComponentFolder() + QStringLiteral("/welcome.htm");
    frmBrowser& browser = plat::Default<frmBrowser>();
    browser.Show();
    const bool loaded = testenv::WaitUntil(
        [&] { return browser.Caption.Get() == QLatin1String("Welcome to Roamwell") && !browser.tmrTimer.Enabled.Get(); },
        30000);
    if (!loaded) {
        std::fprintf(stderr, "browser idle: the welcome page did not load\n");
        return 1;
    }
    RunFor(2000);  // let the page and its renderer settle
    const auto threadsBefore = ThreadCpuSeconds();

    QElapsedTimer wall;
    const double ownBefore = OwnCpuSeconds();
    const double childrenBefore = DescendantsCpuSeconds(QString::number(getpid()));
    wall.start();
    RunFor(static_cast<int>(seconds * 1000));
    const double elapsed = wall.nsecsElapsed() / 1e9;
    const double own = (OwnCpuSeconds() - ownBefore) / elapsed * 100;
    const double children = (DescendantsCpuSeconds(QString::number(getpid())) - childrenBefore) / elapsed * 100;

    std::printf("browser idle on a loaded local page (%s): %.2f %% of one core over %.1f s (target under 1 %%: "
                "%s); the web engine's helper processes %.2f %%\n",
                qPrintable(QGuiApplication::platformName()), own, elapsed, own < 1.0 ? "met" : "NOT met", children);

    if (qEnvironmentVariableIsSet("BENCH_THREADS")) {
        const auto threadsAfter = ThreadCpuSeconds();
        for (auto it = threadsAfter.begin(); it != threadsAfter.end(); ++it)
            if (const double used = it.value() - threadsBefore.value(it.key()); used > 0)
                std::printf("  %-40s %.2f s\n", qPrintable(it.key()), used);
    }

    browser.Unload();
    plat::DefaultInstance<frmBrowser>::Release();
    plat::DefaultInstance<frmPreferences>::Release();
    return 0;
}
