// Time from starting a program to its window being shown, on a private X
// server: the game against a bare Qt window, and the game with a user hive
// crowded with 100,000 other keys against the game with only its own, side
// by side in one run.
#include "tests/support/X11Session.h"

#include "bench/support/BenchSupport.h"
#include "bench/support/CrowdedHive.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double TimeToWindow(testenv::X11Session& x, const QString& program, const QString& title, const QString& configHome)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", x.DisplayName());
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_CONFIG_HOME", configHome);
    env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    const auto window = x.WaitForWindow(title, 30000);
    const double ms = timer.nsecsElapsed() / 1e6;
    process.kill();
    process.waitForFinished(5000);
    return window ? ms : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    testenv::X11Session x;
    if (!x.Started()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    // The game creates the browser component at start-up: register it first,
    // in a registry of its own and in one crowded with other keys.
    constexpr int kCrowd = 100000;
    QTemporaryDir config, crowdedConfig;
    for (const QTemporaryDir* dir : {&config, &crowdedConfig}) {
        QProcessEnvironment regEnv = QProcessEnvironment::systemEnvironment();
        regEnv.insert("XDG_CONFIG_HOME", dir->path());
        if ((dir == &crowdedConfig &&
             !benchsupport::PlaceUserHive(dir->path(), benchsupport::CrowdedUserHive(kCrowd))) ||
            !benchsupport::RegisterComponent(QStringLiteral(REGSVR_EXE), QStringLiteral(ROAMWELL_DLL), regEnv)) {
            std::fprintf(stderr, "could not register the browser component\n");
            return 1;
        }
    }
    std::vector<double> bare, game, crowded;
    for (int i = 0; i < runs; ++i) {  // interleaved, so all see the same machine
        bare.push_back(TimeToWindow(x, QStringLiteral(BARE_EXE), QStringLiteral("Bare window"), config.path()));
        game.push_back(TimeToWindow(x, QStringLiteral(VELMOR_EXE), QStringLiteral("High Score:"), config.path()));
        crowded.push_back(
            TimeToWindow(x, QStringLiteral(VELMOR_EXE), QStringLiteral("High Score:"), crowdedConfig.path()));
    }
    const double floor = benchsupport::Median(bare), measured = benchsupport::Median(game);
    std::printf("startup: bare Qt window %.1f ms, Velmor %.1f ms (median of %d), ratio %.2f (target <= 1.5)\n",
                floor, measured, runs, measured / floor);
    const double withCrowd = benchsupport::Median(crowded);
    std::printf("startup: Velmor with %d other keys in the user hive %.1f ms, ratio %.2f to its own keys only "
                "(target <= 1.5)\n",
                kCrowd, withCrowd, withCrowd / measured);
    return 0;
}
