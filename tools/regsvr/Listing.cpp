#include "tools/regsvr/Listing.h"

#include "platform/com/TypeLib.h"

namespace {

QString Hex(const QByteArray& data, qsizetype limit)
{
    QString out = QString::fromLatin1(data.left(limit).toHex(' '));
    if (data.size() > limit)
        out += QStringLiteral(" ...");
    return out;
}

}  // namespace

QString ListResources(const QString& path, const plat::ResourceDirectory& resources)
{
    QString out = path + u'\n';
    for (const plat::Resource& r : resources.entries) {
        const QString head = QStringLiteral("%1 %2 (%3 bytes)").arg(r.type).arg(r.id).arg(r.data.size());
        if (r.type.compare(QLatin1String(plat::RT_TYPELIB), Qt::CaseInsensitive) == 0) {
            QString error;
            const auto lib = plat::TypeLibDesc::Deserialize(r.data, &error);
            out += QStringLiteral("Type library: %1\n").arg(head);
            out += lib ? lib->Describe() : QStringLiteral("  unreadable: %1\n").arg(error);
        } else if (r.type.compare(QLatin1String(plat::RT_VERSION), Qt::CaseInsensitive) == 0) {
            const auto info = plat::VersionInfo::Parse(r.data);
            out += QStringLiteral("Version information: %1\n").arg(head);
            if (!info) {
                out += QStringLiteral("  unreadable\n");
                continue;
            }
            out += QStringLiteral("  FileVersion %1\n").arg(plat::VersionInfo::VersionText(info->fileVersion));
            out += QStringLiteral("  ProductVersion %1\n").arg(plat::VersionInfo::VersionText(info->productVersion));
            for (const auto& [key, value] : info->strings)
                out += QStringLiteral("  %1 = \"%2\"\n").arg(key, value);
        } else {
            out += QStringLiteral("Resource: %1: %2\n").arg(head, Hex(r.data, 32));
        }
    }
    return out;
}
