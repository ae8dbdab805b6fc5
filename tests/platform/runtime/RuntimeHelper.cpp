// A second process for the runtime tests: saves settings alongside the test,
// and ends itself with End() so the test can see what survives.
#include "platform/runtime/App.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

struct LoudAtExit {
    ~LoudAtExit() { std::printf("destroyed"); }
} loudAtExit;  // End() must not run destructors

// Root reads and writes whatever the file modes say; without these two
// capabilities it meets them as any user does.
bool DropFileOverride()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
        data[cap / 32].effective &= ~(1u << (cap % 32));
    return syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    // Options first: --as-user (file modes bind), --file-size-limit <bytes>.
    while (args.value(0).startsWith("--")) {
        if (args[0] == "--as-user" && !DropFileOverride())
            return 3;
        if (args[0] == "--file-size-limit") {
            std::signal(SIGXFSZ, SIG_IGN);  // a write past it fails instead of ending the process
            const rlimit limit{rlim_t(args.value(1).toLongLong()), rlim_t(args.value(1).toLongLong())};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                return 3;
            args.removeFirst();
        }
        args.removeFirst();
    }
    const QString mode = args.value(0);

    // get <app> <section> <key>...: each value (default "<default>") on a line, each key read twice
    if (mode == "get" && args.size() >= 4) {
        for (int round = 0; round < 2; ++round)
            for (int i = 3; i < args.size(); ++i)
                std::printf("%s\n", qPrintable(plat::GetSetting(args[1], args[2], args[i], "<default>")));
        plat::End(0);
    }
    // try-save <app> <section> <key> <value>: "saved", or the error's number and description
    if (mode == "try-save" && args.size() == 5) {
        try {
            plat::SaveSetting(args[1], args[2], args[3], args[4]);
            std::printf("saved\n");
        } catch (const plat::RuntimeError& e) {
            std::printf("error %d\n%s\n", e.Number(), qPrintable(e.Description()));
        }
        plat::End(0);
    }
    // overwrite <file> <text>: the file rewritten where it is, as an editor saving in place would
    if (mode == "overwrite" && args.size() == 3) {
        QFile file(args[1]);
        const QByteArray text = args[2].toUtf8();
        const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
        file.close();
        plat::End(written ? 0 : 1);
    }

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
    std::fprintf(stderr, "usage: [--as-user] [--file-size-limit N] save|save-end|end|get|try-save|overwrite ...\n");
    return 2;
}
