// Opening the browser window on a local page through the component, against
// a bare web view opening the same page; each a fresh process, interleaved.
#include "bench/support/BenchSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double TimeToLoaded(const QString& program, const QStringList& args, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    p.start(program, args);
    while (p.state() != QProcess::NotRunning || p.bytesAvailable()) {
        p.waitForReadyRead(5);
        if (p.readAllStandardOutput().contains("loaded"))
            break;
        if (timer.elapsed() > 60000)
            return -1;
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    p.kill();
    p.waitForFinished(5000);
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 9;
    QTemporaryDir dir;
    const QString page = dir.filePath("page.htm");
    QFile f(page);
    f.open(QIODevice::WriteOnly);
    f.write("<html><head><title>Bench page</title></head><body><h1>Bench page</h1><p>Some text.</p></body></html>");
    f.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (!benchsupport::RegisterComponent(QStringLiteral(REGSVR_EXE), QStringLiteral(ROAMWELL_DLL), env)) {
        std::fprintf(stderr, "could not register the browser component\n");
        return 1;
    }

    std::vector<double> bare, component;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(TimeToLoaded(QStringLiteral(BARE_EXE), {page}, env));
        component.push_back(TimeToLoaded(QStringLiteral(OPEN_EXE), {page, QStringLiteral("Bench page")}, env));
    }
    const double floor = benchsupport::Median(bare), measured = benchsupport::Median(component);
    std::printf("browser open: bare web view %.1f ms, component %.1f ms (median of %d), ratio %.2f (target <= 1.3)\n",
                floor, measured, runs, measured / floor);
    return 0;
}
