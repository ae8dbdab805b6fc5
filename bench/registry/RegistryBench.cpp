// Registering the browser component with regsvr in a user hive crowded with
// 100,000 other keys, against the same in an empty hive; each run a fresh
// process on a fresh copy of the hive.
#include "bench/support/BenchSupport.h"
#include "bench/support/CrowdedHive.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {

// Milliseconds regsvr takes on a user hive holding `hive`; -1 when it fails.
double TimeToRegister(const QByteArray& hive)
{
    QTemporaryDir config;
    if (!hive.isEmpty() && !benchsupport::PlaceUserHive(config.path(), hive))
        return -1;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config.path());
    QElapsedTimer timer;
    timer.start();
    const bool ok = benchsupport::RegisterComponent(QStringLiteral(REGSVR_EXE), QStringLiteral(ROAMWELL_DLL), env);
    return ok ? timer.nsecsElapsed() / 1e6 : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    const int keys = argc > 2 ? std::atoi(argv[2]) : 100000;
    const QByteArray crowded = benchsupport::CrowdedUserHive(keys);

    std::vector<double> empty, full;
    for (int i = 0; i < runs; ++i) {  // interleaved, so both see the same machine
        empty.push_back(TimeToRegister({}));
        full.push_back(TimeToRegister(crowded));
        if (empty.back() < 0 || full.back() < 0) {
            std::fprintf(stderr, "regsvr failed\n");
            return 1;
        }
    }
    std::printf("regsvr: empty hive %.1f ms, hive of %d other keys (%.1f MB) %.1f ms (median of %d; target <= 2000 ms)\n",
                benchsupport::Median(empty), keys, crowded.size() / 1e6, benchsupport::Median(full), runs);
    return 0;
}
