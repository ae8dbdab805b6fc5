#include "platform/web/WebAddress.h"

#include <QRegularExpression>

namespace plat {

QUrl AddressToUrl(const QString& text)
{
    const QString address = text.trimmed();
    if (address.isEmpty())
        return {};
    if (address.startsWith(QLatin1Char('/')) || address.startsWith(QLatin1Char('\\'))) {
        QString path = address;
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return QUrl::fromLocalFile(path);
    }
    // A scheme of two or more letters: a single letter would be a drive.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(address).hasMatch() && !address.contains(QRegularExpression(QStringLiteral("^[^:/]+:\\d"))))
        return QUrl(address);
    return QUrl::fromUserInput(address);
}

}  // namespace plat
