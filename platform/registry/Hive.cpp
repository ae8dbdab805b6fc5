#include "platform/registry/Hive.h"

#include "platform/registry/Registry.h"

#include <QStringDecoder>
#include <algorithm>

namespace plat::registry {

const char* const kHiveHeader = "Registry Hive Text Version 1.00";

namespace {

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

Key* Key::findSubkey(const QString& n)
{
    for (auto& k : subkeys)
        if (SameName(k.name, n))
            return &k;
    return nullptr;
}

const Key* Key::findSubkey(const QString& n) const
{
    return const_cast<Key*>(this)->findSubkey(n);
}

Value* Key::findValue(const QString& n)
{
    for (auto& v : values)
        if (SameName(v.name, n))
            return &v;
    return nullptr;
}

const Value* Key::findValue(const QString& n) const
{
    return const_cast<Key*>(this)->findValue(n);
}

Key& Key::subkey(const QString& n)
{
    if (Key* k = findSubkey(n))
        return *k;
    subkeys.push_back(Key{n, {}, {}});
    return subkeys.back();
}

QStringList SplitPath(const QString& path)
{
    return path.split(u'\\', Qt::SkipEmptyParts);
}

const Key* Hive::find(const QString& path) const
{
    return const_cast<Hive*>(this)->find(path);
}

Key* Hive::find(const QString& path)
{
    Key* k = &root;
    for (const QString& part : SplitPath(path)) {
        k = k->findSubkey(part);
        if (!k)
            return nullptr;
    }
    return k;
}

Key& Hive::create(const QString& path, bool* created)
{
    Key* k = &root;
    bool fresh = false;
    for (const QString& part : SplitPath(path)) {
        Key* next = k->findSubkey(part);
        if (!next) {
            fresh = true;
            next = &k->subkey(part);
        }
        k = next;
    }
    if (created)
        *created = fresh;
    return *k;
}

bool Hive::remove(const QString& path)
{
    QStringList parts = SplitPath(path);
    if (parts.isEmpty())
        return false;
    const QString leaf = parts.takeLast();
    Key* parent = find(parts.join(u'\\'));
    if (!parent)
        return false;
    auto it = std::find_if(parent->subkeys.begin(), parent->subkeys.end(),
                           [&](const Key& k) { return SameName(k.name, leaf); });
    if (it == parent->subkeys.end())
        return false;
    parent->subkeys.erase(it);
    return true;
}

// ---- Writing ---------------------------------------------------------------

namespace {

QByteArray Quote(const QString& text)
{
    QByteArray out = "\"";
    for (char c : text.toUtf8()) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// A REG_SZ value is written as quoted text only when reading it back gives
// the very same bytes; anything else keeps its bytes in hex.
bool FitsQuotedText(const Value& v)
{
    if (v.type != REG_SZ || v.data.isEmpty() || v.data.back() != '\0')
        return false;
    const QByteArray body = v.data.left(v.data.size() - 1);
    for (char c : body)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return false;
    auto decoder = QStringDecoder(QStringDecoder::Utf8);
    const QString text = decoder(body);
    return !decoder.hasError() && text.toUtf8() == body;
}

void WriteHex(QByteArray& out, QByteArray prefix, const QByteArray& data)
{
    QByteArray line = prefix;
    for (qsizetype i = 0; i < data.size(); ++i) {
        QByteArray item = QByteArray::number(static_cast<unsigned char>(data[i]), 16).rightJustified(2, '0');
        if (i + 1 < data.size())
            item += ',';
        if (line.size() + item.size() > 77) {
            out += line + "\\\n";
            line = "  ";
        }
        line += item;
    }
    out += line + '\n';
}

void WriteValue(QByteArray& out, const Value& v)
{
    const QByteArray name = v.name.isEmpty() ? QByteArray("@") : Quote(v.name);
    if (FitsQuotedText(v)) {
        out += name + '=' + Quote(QString::fromUtf8(v.data.left(v.data.size() - 1))) + '\n';
    } else if (v.type == REG_DWORD && v.data.size() == 4) {
        quint32 n = 0;
        for (int i = 3; i >= 0; --i)
            n = (n << 8) | static_cast<unsigned char>(v.data[i]);
        out += name + "=dword:" + QByteArray::number(n, 16).rightJustified(8, '0') + '\n';
    } else if (v.type == REG_BINARY) {
        WriteHex(out, name + "=hex:", v.data);
    } else {
        WriteHex(out, name + "=hex(" + QByteArray::number(v.type, 16) + "):", v.data);
    }
}

void WriteKey(QByteArray& out, const Key& key, const QString& path)
{
    out += '[' + path.toUtf8() + "]\n";
    for (const Value& v : key.values)
        WriteValue(out, v);
    out += '\n';
}

void WriteTree(QByteArray& out, const Key& key, const QString& path)
{
    std::vector<const Key*> sorted;
    for (const Key& k : key.subkeys)
        sorted.push_back(&k);
    std::sort(sorted.begin(), sorted.end(),
              [](const Key* a, const Key* b) { return a->name.compare(b->name, Qt::CaseInsensitive) < 0; });
    for (const Key* k : sorted) {
        const QString sub = path + u'\\' + k->name;
        WriteKey(out, *k, sub);
        WriteTree(out, *k, sub);
    }
}

}  // namespace

QByteArray Hive::toText(const QString& rootName) const
{
    QByteArray out = QByteArray(kHiveHeader) + "\n\n";
    if (!root.values.empty())
        WriteKey(out, root, rootName);
    WriteTree(out, root, rootName);
    return out;
}

// ---- Reading ---------------------------------------------------------------

namespace {

struct Corrupt {
    QString reason;
};

// Reads a quoted, escaped text starting at text[pos] == '"'; pos ends after
// the closing quote.
QByteArray ReadQuoted(const QByteArray& text, qsizetype& pos)
{
    QByteArray out;
    ++pos;
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == '"')
            return out;
        if (c == '\\') {
            if (pos >= text.size() || (text[pos] != '\\' && text[pos] != '"'))
                throw Corrupt{QStringLiteral("bad escape in quoted text")};
            c = text[pos++];
        }
        out += c;
    }
    throw Corrupt{QStringLiteral("unterminated quoted text")};
}

QString Utf8(const QByteArray& bytes)
{
    auto decoder = QStringDecoder(QStringDecoder::Utf8);
    QString s = decoder(bytes);
    if (decoder.hasError())
        throw Corrupt{QStringLiteral("text is not UTF-8")};
    return s;
}

QByteArray ReadHexList(const QByteArray& list)
{
    QByteArray out;
    const QByteArray trimmed = list.trimmed();
    if (trimmed.isEmpty())
        return out;
    for (const QByteArray& item : trimmed.split(',')) {
        const QByteArray t = item.trimmed();
        bool ok = false;
        const uint b = t.toUInt(&ok, 16);
        if (!ok || t.isEmpty() || t.size() > 2 || b > 0xff)
            throw Corrupt{QStringLiteral("bad byte in hex list")};
        out += static_cast<char>(b);
    }
    return out;
}

Value ReadValue(const QByteArray& line)
{
    Value v;
    qsizetype pos = 0;
    if (line.startsWith('@')) {
        pos = 1;
    } else if (line.startsWith('"')) {
        v.name = Utf8(ReadQuoted(line, pos));
    } else {
        throw Corrupt{QStringLiteral("line is neither a section nor a value")};
    }
    if (pos >= line.size() || line[pos] != '=')
        throw Corrupt{QStringLiteral("missing '=' after the value name")};
    const QByteArray data = line.mid(pos + 1);
    if (data.startsWith('"')) {
        qsizetype p = 0;
        const QByteArray text = ReadQuoted(data, p);
        if (p != data.size())
            throw Corrupt{QStringLiteral("text after the closing quote")};
        Utf8(text);
        v.type = REG_SZ;
        v.data = text + '\0';
    } else if (data.startsWith("dword:")) {
        const QByteArray digits = data.mid(6);
        bool ok = false;
        const uint n = digits.toUInt(&ok, 16);
        if (!ok || digits.size() != 8)
            throw Corrupt{QStringLiteral("bad dword")};
        v.type = REG_DWORD;
        for (int i = 0; i < 4; ++i)
            v.data += static_cast<char>((n >> (8 * i)) & 0xff);
    } else if (data.startsWith("hex:")) {
        v.type = REG_BINARY;
        v.data = ReadHexList(data.mid(4));
    } else if (data.startsWith("hex(")) {
        const qsizetype close = data.indexOf("):");
        bool ok = false;
        const QByteArray digits = close > 4 ? data.mid(4, close - 4) : QByteArray();
        v.type = digits.toUInt(&ok, 16);
        if (!ok || digits.size() > 8)
            throw Corrupt{QStringLiteral("bad value type")};
        v.data = ReadHexList(data.mid(close + 2));
    } else {
        throw Corrupt{QStringLiteral("unknown value data")};
    }
    return v;
}

}  // namespace

ParseResult ParseHive(const QByteArray& text, const QString& rootName)
{
    ParseResult result;
    if (text.isEmpty()) {  // a hive nobody wrote yet
        result.hive = Hive{};
        return result;
    }
    QList<QByteArray> lines = text.split('\n');
    for (auto& l : lines)
        if (l.endsWith('\r'))
            l.chop(1);
    if (!lines.isEmpty() && lines[0].startsWith("\xEF\xBB\xBF"))
        lines[0].remove(0, 3);

    Hive hive;
    Key* current = nullptr;
    int n = 0;
    try {
        if (lines.isEmpty() || lines[0].trimmed() != kHiveHeader)
            throw Corrupt{QStringLiteral("missing header line")};
        for (n = 1; n < lines.size(); ++n) {
            QByteArray line = lines[n].trimmed();
            if (line.isEmpty() || line.startsWith(';'))
                continue;
            if (line.startsWith('[')) {
                if (!line.endsWith(']'))
                    throw Corrupt{QStringLiteral("unterminated section")};
                const QString path = Utf8(line.mid(1, line.size() - 2));
                QStringList parts = path.split(u'\\');
                if (!SameName(parts.takeFirst(), rootName))
                    throw Corrupt{QStringLiteral("section outside %1").arg(rootName)};
                current = &hive.create(parts.join(u'\\'));
                continue;
            }
            if (!current)
                throw Corrupt{QStringLiteral("value before the first section")};
            const int first = n;
            while (line.endsWith('\\') && (line.contains("=hex:") || line.contains("=hex("))) {
                line.chop(1);
                if (++n >= lines.size()) {
                    n = first;
                    throw Corrupt{QStringLiteral("hex list runs past the end")};
                }
                line += lines[n].trimmed();
            }
            Value v = ReadValue(line);
            if (Value* old = current->findValue(v.name))
                *old = std::move(v);
            else
                current->values.push_back(std::move(v));
        }
    } catch (const Corrupt& c) {
        result.line = n + 1;
        result.reason = c.reason;
        return result;
    }
    result.hive = std::move(hive);
    return result;
}

}  // namespace plat::registry
