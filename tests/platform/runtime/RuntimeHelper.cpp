// A second process for the runtime tests: saves settings alongside the test,
// and ends itself with End() so the test can see what survives.
#include "platform/runtime/App.h"
#include "platform/runtime/Settings.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

struct LoudAtExit {
    ~LoudAtExit() { std::printf("destroyed"); }
} loudAtExit;  // End() must not run destructors

}  // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const QString mode = args.value(0);

    // save <app> <section> <prefix> <count>: keys <prefix>0.. with values value-<prefix><n>
    if (mode == "save" && args.size() == 5) {
        const int count = args[4].toInt();
        for (int i = 0; i < count; ++i) {
            const QString key = args[3] + QString::number(i);
            plat::SaveSetting(args[1], args[2], key, "value-" + key);
        }
        plat::End(0);
    }
    // save-end <app> <section> <key> <value>: one save, then the process ends at once
    if (mode == "save-end" && args.size() == 5) {
        plat::SaveSetting(args[1], args[2], args[3], args[4]);
        plat::End(0);
    }
    // end <code>: unflushed output, then End
    if (mode == "end" && args.size() == 2) {
        std::printf("bye");
        plat::End(args[1].toInt());
    }
    std::fprintf(stderr, "usage: save|save-end|end ...\n");
    return 2;
}
