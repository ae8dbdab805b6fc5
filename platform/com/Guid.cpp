#include "platform/com/Guid.h"

#include <QHashFunctions>
#include <cstring>

namespace plat {

namespace {

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

}  // namespace

std::optional<GUID> GUID::Parse(QStringView text)
{
    // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}": 32 ASCII hex digits, each
    // read into the next four bits of the 16 bytes as they are written.
    constexpr qsizetype TextLength = 38;
    if (text.size() != TextLength || text[0] != u'{' || text[TextLength - 1] != u'}')
        return std::nullopt;
    std::uint8_t nibbles[32] = {};
    int n = 0;
    for (qsizetype i = 1; i < TextLength - 1; ++i) {
        const char16_t c = text[i].unicode();
        if (i == 9 || i == 14 || i == 19 || i == 24) {
            if (c != u'-')
                return std::nullopt;
            continue;
        }
        const int digit = HexDigit(c);
        if (digit < 0)
            return std::nullopt;
        nibbles[n++] = static_cast<std::uint8_t>(digit);
    }
    auto value = [&](int from, int count) {
        std::uint32_t v = 0;
        for (int k = from; k < from + count; ++k)
            v = v << 4 | nibbles[k];
        return v;
    };
    GUID g;
    g.Data1 = value(0, 8);
    g.Data2 = static_cast<std::uint16_t>(value(8, 4));
    g.Data3 = static_cast<std::uint16_t>(value(12, 4));
    for (int i = 0; i < 8; ++i)
        g.Data4[i] = static_cast<std::uint8_t>(value(16 + 2 * i, 2));
    return g;
}

QString GUID::ToString() const
{
    return QString::asprintf("{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", Data1, Data2, Data3, Data4[0],
                             Data4[1], Data4[2], Data4[3], Data4[4], Data4[5], Data4[6], Data4[7]);
}

QByteArray GUID::ToBytes() const
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

std::optional<GUID> GUID::FromBytes(const QByteArray& b)
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
    return a.ToBytes() < b.ToBytes();
}

}  // namespace plat

std::size_t std::hash<plat::GUID>::operator()(const plat::GUID& g) const noexcept
{
    const QByteArray bytes = g.ToBytes();
    return qHashBits(bytes.constData(), static_cast<size_t>(bytes.size()));
}
