#pragma once
// What the fuzz targets share: a check whose failure ends the run with a
// message (libFuzzer and the replay driver both count an abort as a finding),
// and the splitting of an input into fields.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Ends the run when `holds` is false, saying which rule broke and then, after
// " -- ", the values at hand (so that many inputs breaking one rule read alike
// up to there).
inline void Expect(bool holds, const char* rule, const QString& details = {})
{
    if (holds)
        return;
    const QByteArray said = details.isEmpty() ? QByteArray() : " -- " + details.toUtf8();
    std::fprintf(stderr, "fuzz check failed: %s%s\n", rule, said.constData());
    std::fflush(stderr);
    std::abort();
}

inline QByteArray Bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// UTF-8 to text as it stands: bytes that are not UTF-8 read as U+FFFD, and a
// leading U+FEFF stays (QString::fromUtf8 would drop it).
inline QString Text(const QByteArray& utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(utf8);
}

// At most `count` fields separated by NUL bytes; the last one takes the rest.
inline QList<QByteArray> Fields(const QByteArray& bytes, int count)
{
    QList<QByteArray> out;
    qsizetype from = 0;
    while (out.size() + 1 < count) {
        const qsizetype nul = bytes.indexOf('\0', from);
        if (nul < 0)
            break;
        out.append(bytes.mid(from, nul - from));
        from = nul + 1;
    }
    out.append(bytes.mid(from));
    return out;
}

// Text for a message: printable, and short enough to read.
inline QString Shown(const QString& text)
{
    QString out;
    for (QChar c : text.left(80))
        out += c.isPrint() ? QString(c) : QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    return text.size() > 80 ? out + QStringLiteral("...") : out;
}

}  // namespace fuzz
