#pragma once
// A per-user hive crowded with keys of no use, for the benchmarks that
// measure the registry's cost: the load a long-used desktop's registry
// carries beside the component's own keys.

#include "platform/registry/HiveStore.h"
#include "platform/registry/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace benchsupport {

// The text of a user hive holding `keys` class registrations, each a key of
// its own below Software\Classes\CLSID with a description.
inline QByteArray CrowdedUserHive(int keys)
{
    plat::registry::Hive hive;
    for (int i = 0; i < keys; ++i) {
        const QString clsid = QStringLiteral("{%1-5EED-4000-8000-00000000C0DE}").arg(i, 8, 16, QLatin1Char('0'));
        const QByteArray description = QStringLiteral("Crowd class %1").arg(i).toUtf8() + '\0';
        hive.Create(QStringLiteral("Software\\Classes\\CLSID\\") + clsid.toUpper())
            .SetValue({QString(), plat::REG_SZ, description});
    }
    return hive.ToText(plat::registry::HiveRootName(plat::registry::HiveId::User));
}

// Puts `text` in place as the user hive of the settings folder `configHome`.
inline bool PlaceUserHive(const QString& configHome, const QByteArray& text)
{
    const QString path = configHome + QStringLiteral("/registry/user.reg");
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

}  // namespace benchsupport
