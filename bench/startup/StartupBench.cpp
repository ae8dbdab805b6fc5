// Time from starting a program to its window being shown, on a private X
// server: the game against a bare Qt window, and the game with a big
// settings file or a crowded registry against its usual start-up, side by
// side in one run.
#include "tests/support/X11Session.h"

#include "bench/support/BenchSupport.h"
#include "bench/support/CrowdedHive.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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

// A settings file of about 50 MB whose game section holds, besides nothing
// of the game's own, a long list of other keys: every value the game reads
// at start-up is looked for through all of them and found missing.
bool WriteLargeSettings(const QString& configHome)
{
    QDir().mkpath(configHome + QStringLiteral("/appsettings"));
    QFile file(configHome + QStringLiteral("/appsettings/Velmor.ini"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray text = "[Game]\n";
    for (int i = 0; text.size() < 50 * 1000 * 1000; ++i)
        text += "Note" + QByteArray::number(i) + "=https://www.example.org/some/page/number/" + QByteArray::number(i) + ".htm\n";
    return file.write(text) == text.size();
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
    // The game creates the browser component at start-up: it is registered in
    // every settings folder the game starts with.
    auto registerIn = [](const QString& configHome) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", configHome);
        return benchsupport::RegisterComponent(QStringLiteral(REGSVR_EXE), QStringLiteral(ROAMWELL_DLL), env);
    };
    QTemporaryDir config;
    if (!registerIn(config.path())) {
        std::fprintf(stderr, "could not register the browser component\n");
        return 1;
    }
    QTemporaryDir largeConfig;
    if (!registerIn(largeConfig.path()) || !WriteLargeSettings(largeConfig.path())) {
        std::fprintf(stderr, "could not prepare the large settings file\n");
        return 1;
    }
    // A user hive crowded with other keys, the component registered among them.
    constexpr int CrowdKeys = 100000;
    QTemporaryDir crowdedConfig;
    if (!benchsupport::PlaceUserHive(crowdedConfig.path(), benchsupport::CrowdedUserHive(CrowdKeys))
        || !registerIn(crowdedConfig.path())) {
        std::fprintf(stderr, "could not prepare the crowded registry\n");
        return 1;
    }
    auto velmorIn = [&](const QString& configHome) {
        return TimeToWindow(x, QStringLiteral(VELMOR_EXE), QStringLiteral("High Score:"), configHome);
    };
    std::vector<double> bare, game, large, crowded;
    for (int i = 0; i < runs; ++i) {  // interleaved, so all see the same machine
        bare.push_back(TimeToWindow(x, QStringLiteral(BARE_EXE), QStringLiteral("Bare window"), config.path()));
        game.push_back(velmorIn(config.path()));
        large.push_back(velmorIn(largeConfig.path()));
        crowded.push_back(velmorIn(crowdedConfig.path()));
    }
    const double floor = benchsupport::Median(bare), measured = benchsupport::Median(game);
    std::printf("startup: bare Qt window %.1f ms, Velmor %.1f ms (median of %d), ratio %.2f (target <= 1.5)\n",
                floor, measured, runs, measured / floor);
    const double withLarge = benchsupport::Median(large);
    std::printf("startup with a 50 MB settings file: Velmor %.1f ms, %.2f times its usual start-up (target <= 1.5)\n",
                withLarge, withLarge / measured);
    const double withCrowd = benchsupport::Median(crowded);
    std::printf("startup with %d other keys in the user hive: Velmor %.1f ms, %.2f times its usual start-up "
                "(target <= 1.5)\n",
                CrowdKeys, withCrowd, withCrowd / measured);
    return 0;
}
