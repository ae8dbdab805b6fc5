#pragma once
// Every test gets its own registry; the probe component is registered into
// it by calling its own DllRegisterServer, as the registration tool does.

#include "tests/platform/com/probe/ProbeServer_i.h"

#include "platform/com/Activation.h"
#include "platform/com/BStr.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Dispatch.h"
#include "platform/registry/Registry.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>

inline const QString ProbePath = QStringLiteral(PROBE_SERVER);

// The registration tool, run as a user would run it.
struct ToolRun {
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;  // a signal is a crash
    QString out;
    QString err;
};

inline ToolRun Regsvr(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(REGSVR_TOOL), args);
    p.waitForFinished(30000);
    return ToolRun{p.exitCode(), p.exitStatus(), QString::fromLocal8Bit(p.readAllStandardOutput()),
                   QString::fromLocal8Bit(p.readAllStandardError())};
}

class ComTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setenv("XDG_CONFIG_HOME", qPrintable(dir.path() + "/config"), 1);
        setenv("PLAT_MACHINE_HIVE", qPrintable(dir.path() + "/etc/machine.reg"), 1);
    }
    void TearDown() override { plat::CoFreeUnusedLibraries(); }

    // Calls one of the probe's registration entry points.
    static plat::HRESULT CallProbe(const char* entry)
    {
        void* handle = dlopen(PROBE_SERVER, RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return plat::E_FAIL;
        auto fn = reinterpret_cast<plat::DllRegisterServerFn>(dlsym(handle, entry));
        const plat::HRESULT hr = fn ? fn() : plat::E_FAIL;
        dlclose(handle);
        return hr;
    }
    static plat::HRESULT Register() { return CallProbe("DllRegisterServer"); }
    static plat::HRESULT Unregister() { return CallProbe("DllUnregisterServer"); }

    static bool ProbeLoaded()
    {
        void* handle = dlopen(PROBE_SERVER, RTLD_NOW | RTLD_NOLOAD);
        if (handle)
            dlclose(handle);
        return handle != nullptr;
    }

    plat::ComPtr<_clsProbe> CreateProbe()
    {
        plat::ComPtr<_clsProbe> probe;
        EXPECT_EQ(plat::CoCreateInstance(CLSID_clsProbe, &probe), plat::S_OK);
        return probe;
    }

    QTemporaryDir dir;
};

class RegisteredProbe : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        ASSERT_EQ(Register(), plat::S_OK);
    }
};
