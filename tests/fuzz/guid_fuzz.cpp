// Fuzz target: the text and binary forms of GUIDs.
//
// Input: UTF-8 text handed to GUID::Parse (bytes that are not UTF-8 read as
// U+FFFD). Its first 16 bytes, when there are that many, are also taken as a
// GUID's binary form.
//
// Checks: what parses is, once surrounding blanks and one pair of braces are
// set aside, exactly 8-4-4-4-12 ASCII hexadecimal digits, and the GUID holds
// what those digits say; every GUID's text parses back to it, as its binary
// form does.

#include "platform/com/Guid.h"
#include "tests/fuzz/FuzzCheck.h"

using namespace plat;

namespace {

// The value of an ASCII hex digit, -1 for any other character.
int HexDigit(QChar c)
{
    static const QString digits = QStringLiteral("0123456789abcdef");
    return c.unicode() < 0x80 ? int(digits.indexOf(c.toLower())) : -1;
}

// The GUID the exact form spells, worked out apart from GUID::Parse.
std::optional<GUID> Spelled(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(u'{') && text.endsWith(u'}') && text.size() >= 2)
        text = text.mid(1, text.size() - 2);
    if (text.size() != 36)
        return std::nullopt;
    QByteArray digits;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash != (text[i] == u'-'))
            return std::nullopt;
        if (!dash) {
            const int d = HexDigit(text[i]);
            if (d < 0)
                return std::nullopt;
            digits += char(d);
        }
    }
    auto number = [&](int from, int count) {
        std::uint64_t n = 0;
        for (int i = from; i < from + count; ++i)
            n = n * 16 + std::uint8_t(digits[i]);
        return n;
    };
    GUID g;
    g.Data1 = std::uint32_t(number(0, 8));
    g.Data2 = std::uint16_t(number(8, 4));
    g.Data3 = std::uint16_t(number(12, 4));
    for (int i = 0; i < 8; ++i)
        g.Data4[i] = std::uint8_t(number(16 + 2 * i, 2));
    return g;
}

void CheckRoundTrip(const GUID& g)
{
    const QString text = g.ToString();
    fuzz::Expect(GUID::Parse(text) == g, "a GUID's text parses back to it", text);
    fuzz::Expect(GUID::FromBytes(g.ToBytes()) == g, "a GUID's bytes read back to it", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QString text = fuzz::Text(bytes);
    const std::optional<GUID> parsed = GUID::Parse(text);
    if (parsed) {
        const std::optional<GUID> spelled = Spelled(text);
        fuzz::Expect(spelled.has_value(), "only 8-4-4-4-12 ASCII hex digits parse", fuzz::Shown(text));
        fuzz::Expect(*parsed == *spelled, "a GUID holds what its digits say",
                     QStringLiteral("\"%1\" parses as %2").arg(fuzz::Shown(text), parsed->ToString()));
        CheckRoundTrip(*parsed);
    }
    if (size >= 16) {
        const std::optional<GUID> fromBytes = GUID::FromBytes(bytes.left(16));
        fuzz::Expect(fromBytes && fromBytes->ToBytes() == bytes.left(16), "any 16 bytes are a GUID");
        CheckRoundTrip(*fromBytes);
    }
    return 0;
}
