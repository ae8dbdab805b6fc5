#include "platform/com/Guid.h"

#include <QHashFunctions>
#include <cstring>

namespace plat {

std::optional<GUID> GUID::parse(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(u'{')) {
        if (!text.endsWith(u'}'))
            return std::nullopt;
        text = text.mid(1, text.size() - 2);
    }
    // 8-4-4-4-12 hex digits.
    if (text.size() != 36 || text[8] != u'-' || text[13] != u'-' || text[18] != u'-' || text[23] != u'-')
        return std::nullopt;
    auto hex = [&](qsizetype from, qsizetype count, bool* ok) {
        return text.mid(from, count).toULongLong(ok, 16);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'-' && !(c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f')))
            return std::nullopt;
    }
    bool ok = true;
    GUID g;
    g.Data1 = static_cast<std::uint32_t>(hex(0, 8, &ok));
    g.Data2 = static_cast<std::uint16_t>(hex(9, 4, &ok));
    g.Data3 = static_cast<std::uint16_t>(hex(14, 4, &ok));
    g.Data4[0] = static_cast<std::uint8_t>(hex(19, 2, &ok));
    g.Data4[1] = static_cast<std::uint8_t>(hex(21, 2, &ok));
    for (int i = 0; i < 6; ++i)
        g.Data4[2 + i] = static_cast<std::uint8_t>(hex(24 + 2 * i, 2, &ok));
    return g;
}

QString GUID::toString() const
{
    return QString::asprintf("{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", Data1, Data2, Data3, Data4[0],
                             Data4[1], Data4[2], Data4[3], Data4[4], Data4[5], Data4[6], Data4[7]);
}

QByteArray GUID::toBytes() const
{
    QByteArray b(16, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>(Data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) {
        b[4 + i] = static_cast<char>(Data2 >> (8 * i));
        b[6 + i] = static_cast<char>(Data3 >> (8 * i));
    }
    std::memcpy(b.data() + 8, Data4, 8);
    return b;
}

std::optional<GUID> GUID::fromBytes(const QByteArray& b)
{
    if (b.size() != 16)
        return std::nullopt;
    auto u = [&](int i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(b[i])); };
    GUID g;
    g.Data1 = u(0) | u(1) << 8 | u(2) << 16 | u(3) << 24;
    g.Data2 = static_cast<std::uint16_t>(u(4) | u(5) << 8);
    g.Data3 = static_cast<std::uint16_t>(u(6) | u(7) << 8);
    std::memcpy(g.Data4, b.constData() + 8, 8);
    return g;
}

bool operator<(const GUID& a, const GUID& b)
{
    return a.toBytes() < b.toBytes();
}

}  // namespace plat

std::size_t std::hash<plat::GUID>::operator()(const plat::GUID& g) const noexcept
{
    const QByteArray bytes = g.toBytes();
    return qHashBits(bytes.constData(), static_cast<size_t>(bytes.size()));
}
