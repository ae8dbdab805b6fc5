#pragma once
// Every test gets its own per-user and machine hives in a temporary folder.

#include "platform/registry/Registry.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setenv("XDG_CONFIG_HOME", qPrintable(dir.path() + "/config"), 1);
        setenv("PLAT_MACHINE_HIVE", qPrintable(dir.path() + "/etc/machine.reg"), 1);
    }

    static QByteArray FileText(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void WriteFile(const QString& path, const QByteArray& text)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

    // Reads a value as raw bytes with the ANSI-style call; nullopt when it fails.
    static std::optional<QByteArray> Query(plat::HKEY root, const QString& key, const QString& name,
                                           plat::DWORD* type = nullptr)
    {
        plat::RegKey k;
        if (plat::RegOpenKeyEx(root, key, 0, plat::KEY_READ, k.ReleaseAndGetAddressOf()) != plat::ERROR_SUCCESS)
            return std::nullopt;
        uint8_t buffer[2048];
        plat::DWORD size = sizeof buffer;
        if (plat::RegQueryValueEx(k.Get(), name, type, buffer, &size) != plat::ERROR_SUCCESS)
            return std::nullopt;
        return QByteArray(reinterpret_cast<const char*>(buffer), size);
    }

    QTemporaryDir dir;
};
