#include "platform/registry/Hive.h"

#include "platform/registry/Registry.h"

#include <QByteArrayView>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>

namespace plat::registry {

const char* const HiveHeader = "Registry Hive Text Version 1.00";

namespace {

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Below this many values a key is searched in order; from it on, by a hash.
constexpr std::size_t IndexedValues = 16;

}  // namespace

// ---- Keys --------------------------------------------------------------------

Key::Key() = default;
Key::Key(Key&& other) noexcept = default;
Key& Key::operator=(Key&& other) noexcept = default;

Key::Key(const Key& other) : values_(other.values_)
{
    // Level by level from a list of keys still to fill, so that depth costs no stack.
    std::vector<std::pair<const Key*, Key*>> pending{{&other, this}};
    while (!pending.empty()) {
        const auto [from, to] = pending.back();
        pending.pop_back();
        if (!from->more_)
            continue;
        to->more_ = std::make_unique<More>();
        to->more_->valueIndex = from->more_->valueIndex;
        SubkeyMap& copies = to->more_->subkeys;
        for (const auto& [name, child] : from->more_->subkeys) {
            Key& copy = copies.emplace_hint(copies.end(), name, Key())->second;
            copy.values_ = child.values_;
            pending.emplace_back(&child, &copy);
        }
    }
}

Key& Key::operator=(const Key& other)
{
    if (this != &other) {
        Key copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Key::~Key()
{
    // The subkeys of every key below are moved out before it goes, so that
    // no destructor finds anything below it: no recursion however deep.
    if (!more_ || more_->subkeys.empty())
        return;
    std::vector<std::unique_ptr<More>> pending;
    pending.push_back(std::move(more_));
    while (!pending.empty()) {
        std::unique_ptr<More> level = std::move(pending.back());
        pending.pop_back();
        for (auto& entry : level->subkeys)
            if (entry.second.more_)
                pending.push_back(std::move(entry.second.more_));
    }
}

Key::More& Key::EnsureMore()
{
    if (!more_)
        more_ = std::make_unique<More>();
    return *more_;
}

std::optional<std::size_t> Key::ValuePosition(const QString& n) const
{
    if (!more_ || more_->valueIndex.isEmpty()) {
        for (std::size_t i = 0; i < values_.size(); ++i)
            if (SameName(values_[i].name, n))
                return i;
        return std::nullopt;
    }
    const auto it = more_->valueIndex.constFind(n.toCaseFolded());
    return it == more_->valueIndex.cend() ? std::nullopt : std::optional<std::size_t>(*it);
}

void Key::IndexValues()
{
    if (values_.size() < IndexedValues) {
        if (more_)
            more_->valueIndex.clear();
        return;
    }
    auto& index = EnsureMore().valueIndex;
    index.clear();
    for (std::size_t i = 0; i < values_.size(); ++i)
        index.insert(values_[i].name.toCaseFolded(), i);
}

const Value* Key::FindValue(const QString& n) const
{
    const auto at = ValuePosition(n);
    return at ? &values_[*at] : nullptr;
}

void Key::SetValue(Value value)
{
    if (const auto at = ValuePosition(value.name)) {
        values_[*at].type = value.type;
        values_[*at].data = std::move(value.data);
        return;
    }
    values_.push_back(std::move(value));
    if (more_ && !more_->valueIndex.isEmpty())
        more_->valueIndex.insert(values_.back().name.toCaseFolded(), values_.size() - 1);
    else
        IndexValues();
}

bool Key::RemoveValue(const QString& n)
{
    const auto at = ValuePosition(n);
    if (!at)
        return false;
    values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(*at));
    IndexValues();
    return true;
}

const Key::SubkeyMap& Key::Subkeys() const
{
    static const SubkeyMap none;
    return more_ ? more_->subkeys : none;
}

Key* Key::FindSubkey(const QString& n)
{
    if (!more_)
        return nullptr;
    const auto it = more_->subkeys.find(n);
    return it == more_->subkeys.end() ? nullptr : &it->second;
}

const Key* Key::FindSubkey(const QString& n) const
{
    return const_cast<Key*>(this)->FindSubkey(n);
}

Key& Key::Subkey(const QString& n, bool* created)
{
    SubkeyMap& subkeys = EnsureMore().subkeys;
    // A file lists sibling keys in order, so a new one usually goes last.
    auto at = subkeys.end();
    if (!subkeys.empty() && !NameLess{}(subkeys.rbegin()->first, n)) {
        at = subkeys.lower_bound(n);
        if (at != subkeys.end() && SameName(at->first, n)) {
            if (created)
                *created = false;
            return at->second;
        }
    }
    if (created)
        *created = true;
    return subkeys.emplace_hint(at, n, Key())->second;
}

bool Key::RemoveSubkey(const QString& n)
{
    return more_ && more_->subkeys.erase(n) > 0;
}

void Key::Clear()
{
    values_.clear();
    more_.reset();
}

QStringList SplitPath(const QString& path)
{
    return path.split(u'\\', Qt::SkipEmptyParts);
}

// ---- The tree ------------------------------------------------------------------

const Key* Hive::Find(const QString& path) const
{
    return const_cast<Hive*>(this)->Find(path);
}

Key* Hive::Find(const QString& path)
{
    Key* k = &root;
    for (const QString& part : SplitPath(path)) {
        k = k->FindSubkey(part);
        if (!k)
            return nullptr;
    }
    return k;
}

Key& Hive::Create(const QString& path, bool* created)
{
    Key* k = &root;
    bool fresh = false;
    for (const QString& part : SplitPath(path)) {
        bool made = false;
        k = &k->Subkey(part, &made);
        fresh = fresh || made;
    }
    if (created)
        *created = fresh;
    return *k;
}

bool Hive::Remove(const QString& path)
{
    QStringList parts = SplitPath(path);
    if (parts.isEmpty())
        return false;
    const QString leaf = parts.takeLast();
    Key* parent = Find(parts.join(u'\\'));
    return parent && parent->RemoveSubkey(leaf);
}

// ---- Writing ---------------------------------------------------------------

namespace {

bool IsControl(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f;
}

constexpr char HexDigits[] = "0123456789abcdef";

void AppendQuoted(QByteArray& out, QByteArrayView text)
{
    out += '"';
    qsizetype plain = 0;  // start of the run not yet copied
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\' && c != '"' && !IsControl(c))
            continue;
        out.append(text.data() + plain, i - plain);
        plain = i + 1;
        if (IsControl(c)) {
            const auto u = static_cast<unsigned char>(c);
            const char escape[] = {'\\', 'x', HexDigits[u >> 4], HexDigits[u & 0xf]};
            out.append(escape, 4);
        } else {
            const char escape[] = {'\\', c};
            out.append(escape, 2);
        }
    }
    out.append(text.data() + plain, text.size() - plain);
    out += '"';
}

// Whether `bytes` is well-formed UTF-8: no stray or missing continuation
// bytes, overlong forms, surrogates or values past U+10FFFF.
bool IsUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const unsigned lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        char32_t least = 0, code = 0;
        if ((lead & 0xE0) == 0xC0) {
            more = 1, least = 0x80, code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            more = 2, least = 0x800, code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            more = 3, least = 0x10000, code = lead & 0x07;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += more + 1;
    }
    return true;
}

}  // namespace

QString TextFromUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    return decoder(bytes);
}

namespace {

// A REG_SZ value is written as quoted text when it is plain, well-formed text
// with its final NUL; anything else keeps its exact bytes in hex.
bool FitsQuotedText(const Value& v)
{
    if (v.type != REG_SZ || v.data.isEmpty() || v.data.back() != '\0')
        return false;
    const QByteArrayView body(v.data.constData(), v.data.size() - 1);
    return std::none_of(body.begin(), body.end(), IsControl) && IsUtf8(body);
}

// Bytes as a comma-separated hex list after the `lineLength` characters
// already on the line, broken with a backslash before it grows past 77.
void WriteHex(QByteArray& out, qsizetype lineLength, const QByteArray& data)
{
    for (qsizetype i = 0; i < data.size(); ++i) {
        const bool last = i + 1 == data.size();
        const qsizetype itemLength = last ? 2 : 3;
        if (lineLength + itemLength > 77) {
            out += "\\\n  ";
            lineLength = 2;
        }
        const auto u = static_cast<unsigned char>(data[i]);
        out += HexDigits[u >> 4];
        out += HexDigits[u & 0xf];
        if (!last)
            out += ',';
        lineLength += itemLength;
    }
    out += '\n';
}

void WriteValue(QByteArray& out, const Value& v)
{
    const qsizetype lineStart = out.size();
    if (v.name.isEmpty())
        out += '@';
    else
        AppendQuoted(out, v.name.toUtf8());
    if (FitsQuotedText(v)) {
        out += '=';
        AppendQuoted(out, QByteArrayView(v.data.constData(), v.data.size() - 1));
        out += '\n';
    } else if (v.type == REG_DWORD && v.data.size() == 4) {
        quint32 n = 0;
        for (int i = 3; i >= 0; --i)
            n = (n << 8) | static_cast<unsigned char>(v.data[i]);
        out += "=dword:" + QByteArray::number(n, 16).rightJustified(8, '0') + '\n';
    } else if (v.type == REG_BINARY) {
        out += "=hex:";
        WriteHex(out, out.size() - lineStart, v.data);
    } else {
        out += "=hex(" + QByteArray::number(v.type, 16) + "):";
        WriteHex(out, out.size() - lineStart, v.data);
    }
}

void WriteSection(QByteArray& out, QByteArrayView path, const Key& key)
{
    out += '[';
    if (std::any_of(path.begin(), path.end(), IsControl))
        AppendQuoted(out, path);
    else
        out += path;
    out += "]\n";
    for (const Value& v : key.Values())
        WriteValue(out, v);
    out += '\n';
}

}  // namespace

bool Hive::WriteText(const QString& rootName, const TextSink& sink) const
{
    // Handed on in pieces of about this size.
    constexpr qsizetype PieceBytes = 64 * 1024;
    QByteArray out = QByteArray(HiveHeader) + "\n\n";
    QByteArray path = rootName.toUtf8();
    if (!root.Values().empty())
        WriteSection(out, path, root);

    // Depth first without recursion; `path` grows and shrinks with the walk,
    // so each key's text costs its own path once.
    struct Frame {
        const Key* key;
        Key::SubkeyMap::const_iterator next;
        qsizetype pathSize;
    };
    std::vector<Frame> walk{{&root, root.Subkeys().begin(), path.size()}};
    while (!walk.empty()) {
        Frame& top = walk.back();
        if (top.next == top.key->Subkeys().end()) {
            walk.pop_back();
            continue;
        }
        const auto& [name, child] = *top.next++;
        path.truncate(top.pathSize);
        path += '\\';
        path += name.toUtf8();
        // A key with neither values nor subkeys needs its own section; the others are implied.
        if (!child.Values().empty() || child.Subkeys().empty())
            WriteSection(out, path, child);
        walk.push_back({&child, child.Subkeys().begin(), path.size()});
        if (out.size() >= PieceBytes) {
            if (!sink(out))
                return false;
            out.resize(0);
        }
    }
    return out.isEmpty() || sink(out);
}

QByteArray Hive::ToText(const QString& rootName) const
{
    QByteArray text;
    WriteText(rootName, [&](QByteArrayView piece) {
        text += piece;
        return true;
    });
    return text;
}

// ---- Reading ---------------------------------------------------------------

namespace {

struct Corrupt {
    QString reason;
};

QString Utf8(QByteArrayView bytes)
{
    if (!IsUtf8(bytes))
        throw Corrupt{QStringLiteral("text is not UTF-8")};
    return TextFromUtf8(bytes);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The number written in `digits`, which must be 1 to `most` hex digits.
std::optional<quint32> HexNumber(QByteArrayView digits, qsizetype most)
{
    if (digits.isEmpty() || digits.size() > most)
        return std::nullopt;
    quint32 n = 0;
    for (char c : digits) {
        const int d = HexDigit(c);
        if (d < 0)
            return std::nullopt;
        n = (n << 4) | static_cast<quint32>(d);
    }
    return n;
}

// Reads a quoted, escaped text starting at text[pos] == '"'; pos ends after
// the closing quote. `spare` bytes are left free at the end of the result.
QByteArray ReadQuoted(QByteArrayView text, qsizetype& pos, qsizetype spare = 0)
{
    QByteArray out;
    out.reserve(text.size() - pos + spare);
    ++pos;
    while (pos < text.size()) {
        qsizetype stop = pos;
        while (stop < text.size() && text[stop] != '"' && text[stop] != '\\')
            ++stop;
        out.append(text.data() + pos, stop - pos);
        if (stop == text.size())
            break;
        pos = stop + 1;
        if (text[stop] == '"')
            return out;
        if (pos < text.size() && (text[pos] == '\\' || text[pos] == '"')) {
            out += text[pos++];
        } else if (pos + 2 < text.size() && text[pos] == 'x') {
            const auto byte = HexNumber(text.sliced(pos + 1, 2), 2);
            if (!byte)
                throw Corrupt{QStringLiteral("bad escape in quoted text")};
            out += static_cast<char>(*byte);
            pos += 3;
        } else {
            throw Corrupt{QStringLiteral("bad escape in quoted text")};
        }
    }
    throw Corrupt{QStringLiteral("unterminated quoted text")};
}

QByteArray ReadHexList(QByteArrayView list)
{
    QByteArray out;
    list = list.trimmed();
    if (list.isEmpty())
        return out;
    qsizetype from = 0;
    while (true) {
        qsizetype comma = list.indexOf(',', from);
        const qsizetype end = comma < 0 ? list.size() : comma;
        const auto byte = HexNumber(list.sliced(from, end - from).trimmed(), 2);
        if (!byte)
            throw Corrupt{QStringLiteral("bad byte in hex list")};
        out += static_cast<char>(*byte);
        if (comma < 0)
            return out;
        from = comma + 1;
    }
}

Value ReadData(QString name, QByteArrayView data)
{
    Value v{std::move(name), 0, {}};
    if (data.startsWith('"')) {
        qsizetype p = 0;
        QByteArray text = ReadQuoted(data, p, 1);
        if (p != data.size())
            throw Corrupt{QStringLiteral("text after the closing quote")};
        if (!IsUtf8(text))
            throw Corrupt{QStringLiteral("text is not UTF-8")};
        v.type = REG_SZ;
        v.data = std::move(text);
        v.data += '\0';
    } else if (data.startsWith("dword:")) {
        const QByteArrayView digits = data.sliced(6);
        const auto n = HexNumber(digits, 8);
        if (!n || digits.size() != 8)
            throw Corrupt{QStringLiteral("bad dword")};
        v.type = REG_DWORD;
        for (int i = 0; i < 4; ++i)
            v.data += static_cast<char>((*n >> (8 * i)) & 0xff);
    } else if (data.startsWith("hex:")) {
        v.type = REG_BINARY;
        v.data = ReadHexList(data.sliced(4));
    } else if (data.startsWith("hex(")) {
        const qsizetype close = data.indexOf("):");
        const auto type = close > 4 ? HexNumber(data.sliced(4, close - 4), 8) : std::nullopt;
        if (!type)
            throw Corrupt{QStringLiteral("bad value type")};
        v.type = *type;
        v.data = ReadHexList(data.sliced(close + 2));
    } else {
        throw Corrupt{QStringLiteral("unknown value data")};
    }
    return v;
}

// The text line by line, from a whole buffer or read a piece at a time; a
// line stays valid until the next one is asked for.
class LineReader {
public:
    explicit LineReader(const QByteArray& whole)
        : buffer_(whole), end_(whole.size()), total_(whole.size()), atEnd_(true)
    {
    }
    explicit LineReader(const HiveTextSource& read) : read_(&read) {}

    // The next line without its "\n" or "\r\n"; false past the end.
    bool Next(QByteArrayView& line)
    {
        if (start_ > end_)  // past the last line
            return false;
        while (true) {
            const QByteArrayView unread(buffer_.constData() + scanned_, end_ - scanned_);
            const qsizetype newline = unread.indexOf('\n');
            lineOffset_ = dropped_ + start_;
            if (newline >= 0) {
                line = QByteArrayView(buffer_.constData() + start_, scanned_ + newline - start_);
                start_ = scanned_ = scanned_ + newline + 1;
                break;
            }
            if (atEnd_) {  // the last line has no "\n"
                line = QByteArrayView(buffer_.constData() + start_, end_ - start_);
                start_ = scanned_ = end_ + 1;
                break;
            }
            scanned_ = end_;
            Fill();
        }
        if (line.endsWith('\r'))
            line.chop(1);
        return true;
    }

    qint64 LineOffset() const { return lineOffset_; }  // of the line last given, in the text
    qint64 Total() const { return total_; }
    bool SawNothing() const { return atEnd_ && total_ == 0; }

private:
    void Fill()
    {
        // Keep the line begun at the front; a line longer than the buffer grows it.
        if (start_ > 0) {
            std::memmove(buffer_.data(), buffer_.constData() + start_, static_cast<size_t>(end_ - start_));
            end_ -= start_;
            scanned_ -= start_;
            dropped_ += start_;
            start_ = 0;
        }
        if (end_ == buffer_.size())
            buffer_.resize(std::max<qsizetype>(PieceBytes, buffer_.size() * 2));
        const qsizetype got = (*read_)(buffer_.data() + end_, buffer_.size() - end_);
        if (got < 0)
            throw Corrupt{QStringLiteral("the file could not be read")};
        if (got == 0)
            atEnd_ = true;
        end_ += got;
        total_ += got;
    }

    static constexpr qsizetype PieceBytes = 256 * 1024;
    const HiveTextSource* read_ = nullptr;
    QByteArray buffer_;
    qsizetype start_ = 0;    // the line being read
    qsizetype scanned_ = 0;  // searched for its end up to here
    qsizetype end_ = 0;      // what the buffer holds
    qint64 dropped_ = 0;     // text before the buffer's start
    qint64 lineOffset_ = 0;
    qint64 total_ = 0;
    bool atEnd_ = false;
};

// ---- Hashes of key paths ----------------------------------------------------

quint64 Mix(quint64 x)
{
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

quint64 Seed()
{
    static const quint64 seed = QRandomGenerator::system()->generate64();
    return seed;
}

// A name's hash, its code points folded as case-insensitive comparison folds them.
class NameHash {
public:
    void Add(char32_t c) { h_ = Mix(h_ ^ QChar::toCaseFolded(c)); }
    quint64 Under(quint64 parent) const { return Mix(parent * 0x9e3779b97f4a7c15ULL + h_); }

private:
    quint64 h_ = Seed();
};

// The hash of the key below the one hashed `parent`, named in well-formed UTF-8.
quint64 ChildHash(quint64 parent, QByteArrayView utf8)
{
    NameHash name;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    while (p < end) {
        const unsigned lead = *p;
        const int more = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t c = more == 0 ? lead : more == 1 ? lead & 0x1F : more == 2 ? lead & 0x0F : lead & 0x07;
        for (int i = 1; i <= more; ++i)
            c = (c << 6) | (p[i] & 0x3F);
        name.Add(c);
        p += more + 1;
    }
    return name.Under(parent);
}

quint64 ChildHash(quint64 parent, QStringView text)
{
    NameHash name;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            name.Add(QChar::surrogateToUcs4(c, text[++i]));
        else
            name.Add(c.unicode());
    }
    return name.Under(parent);
}

quint64 RootHash()
{
    return Mix(Seed() ^ 0x726f6f74ULL);
}

quint64 PathHash(const QString& path)
{
    quint64 h = RootHash();
    for (const QString& part : SplitPath(path))
        h = ChildHash(h, part);
    return h;
}

}  // namespace

bool HiveIndex::Contains(const QString& path) const
{
    const quint64 h = PathHash(path);
    return h == RootHash() || std::binary_search(keys_.begin(), keys_.end(), h);
}

std::vector<HiveIndex::Span> HiveIndex::SpansOf(const QString& path) const
{
    const quint64 h = PathHash(path);
    auto it = std::lower_bound(spans_.begin(), spans_.end(), h,
                               [](const std::pair<quint64, Span>& e, quint64 key) { return e.first < key; });
    std::vector<Span> out;
    for (; it != spans_.end() && it->first == h; ++it)
        out.push_back(it->second);
    return out;
}

// Collects the index while a parse goes through the sections.
class HiveIndexMaker {
public:
    void AddKey(quint64 hash) { index_.keys_.push_back(hash); }
    void OpenSection(quint64 hash, qint64 offset)
    {
        End(offset);
        open_ = true;
        index_.spans_.push_back({hash, {offset, 0}});
    }
    HiveIndex Finish(qint64 total)
    {
        End(total);
        std::sort(index_.keys_.begin(), index_.keys_.end());
        index_.keys_.erase(std::unique(index_.keys_.begin(), index_.keys_.end()), index_.keys_.end());
        std::stable_sort(index_.spans_.begin(), index_.spans_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        return std::move(index_);
    }

private:
    void End(qint64 offset)
    {
        if (open_)
            index_.spans_.back().second.length = offset - index_.spans_.back().second.offset;
        open_ = false;
    }

    HiveIndex index_;
    bool open_ = false;
};

namespace {

// What a parse makes of the text: the whole tree, or where each key is.
enum class Make { Tree, Index };

class Parser {
public:
    Parser(LineReader& lines, const QString& rootName, Make make, bool header)
        : lines_(lines), rootName_(rootName), make_(make), header_(header)
    {
    }

    void Run()
    {
        QByteArrayView line;
        if (header_) {
            if (!NextLine(line) || lines_.SawNothing())  // a hive nobody wrote yet
                return;
            if (line.startsWith("\xEF\xBB\xBF"))
                line = line.sliced(3);
            if (line.trimmed() != HiveHeader)
                throw Corrupt{QStringLiteral("missing header line")};
        }
        while (NextLine(line)) {
            line = line.trimmed();
            if (line.isEmpty() || line.startsWith(';'))
                continue;
            if (line.startsWith('['))
                SectionLine(line);
            else
                ValueLine(line);
        }
    }

    Hive TakeHive() { return std::move(hive_); }
    HiveIndex TakeIndex() { return index_.Finish(lines_.Total()); }
    int Line() const { return line_; }

private:
    bool NextLine(QByteArrayView& line)
    {
        if (!lines_.Next(line))
            return false;
        ++line_;
        return true;
    }

    void SectionLine(QByteArrayView line)
    {
        const qint64 offset = lines_.LineOffset();
        if (line.startsWith("[\"")) {
            qsizetype p = 1;
            const QByteArray path = ReadQuoted(line, p);
            if (p != line.size() - 1 || !line.endsWith(']'))
                throw Corrupt{QStringLiteral("unterminated section")};
            KeyAt(path);
        } else {
            if (!line.endsWith(']'))
                throw Corrupt{QStringLiteral("unterminated section")};
            KeyAt(line.sliced(1, line.size() - 2));
        }
        inSection_ = true;
        if (make_ == Make::Index)
            index_.OpenSection(chain_.back().hash, offset);
    }

    // Sections mostly follow one another down the tree, so the walk starts
    // from the deepest key this path shares with the previous section's.
    void KeyAt(QByteArrayView path)
    {
        const qsizetype limit = std::min(path.size(), chainPath_.size());
        qsizetype common = 0;
        while (common < limit && path[common] == chainPath_[common])
            ++common;
        std::size_t depth = chain_.size();
        while (depth > 0) {
            const qsizetype end = chain_[depth - 1].end;
            if (end <= common && (end == path.size() || path[end] == '\\'))
                break;
            --depth;
        }
        chain_.resize(depth);
        if (chain_.empty()) {
            qsizetype rootEnd = path.indexOf('\\');
            if (rootEnd < 0)
                rootEnd = path.size();
            if (!SameName(Utf8(path.first(rootEnd)), rootName_))
                throw Corrupt{QStringLiteral("section outside %1").arg(rootName_)};
            chain_.push_back({rootEnd, &hive_.root, RootHash()});
        }
        Link link = chain_.back();
        while (link.end < path.size()) {
            const qsizetype from = link.end + 1;  // past the backslash
            qsizetype end = path.indexOf('\\', from);
            if (end < 0)
                end = path.size();
            if (end > from) {
                const QByteArrayView name = path.sliced(from, end - from);
                if (!IsUtf8(name))
                    throw Corrupt{QStringLiteral("text is not UTF-8")};
                if (make_ == Make::Tree) {
                    link.key = &link.key->Subkey(TextFromUtf8(name));
                } else {
                    link.hash = ChildHash(link.hash, name);
                    index_.AddKey(link.hash);
                }
                link.end = end;
                chain_.push_back(link);
            }
            link.end = end;
        }
        chainPath_.resize(path.size());
        std::copy(path.begin(), path.end(), chainPath_.begin());
    }

    void ValueLine(QByteArrayView line)
    {
        if (!inSection_)
            throw Corrupt{QStringLiteral("value before the first section")};
        QString name;
        qsizetype pos = 0;
        if (line.startsWith('@'))
            pos = 1;
        else if (line.startsWith('"'))
            name = Utf8(ReadQuoted(line, pos));
        else
            throw Corrupt{QStringLiteral("line is neither a section nor a value")};
        if (pos >= line.size() || line[pos] != '=')
            throw Corrupt{QStringLiteral("missing '=' after the value name")};
        QByteArrayView data = line.sliced(pos + 1);
        QByteArray joined;
        if ((data.startsWith("hex:") || data.startsWith("hex(")) && data.endsWith('\\')) {
            // A long hex list goes on over lines that each end in a backslash.
            const int first = line_;
            joined = data.toByteArray();
            while (joined.endsWith('\\')) {
                joined.chop(1);
                QByteArrayView more;
                if (!NextLine(more)) {
                    line_ = first;
                    throw Corrupt{QStringLiteral("hex list runs past the end")};
                }
                joined += more.trimmed();
            }
            data = joined;
        }
        Value v = ReadData(std::move(name), data);  // read in either case: that is the check
        if (make_ == Make::Tree)
            chain_.back().key->SetValue(std::move(v));
    }

    struct Link {
        qsizetype end;  // of its name in the section's path
        Key* key;       // when making the tree
        quint64 hash;   // when making the index
    };

    LineReader& lines_;
    QString rootName_;
    Make make_;
    bool header_;
    int line_ = 0;
    Hive hive_;
    HiveIndexMaker index_;
    bool inSection_ = false;
    QByteArray chainPath_;     // the previous section's path
    std::vector<Link> chain_;  // the keys along it
};

ParseResult Parse(LineReader& lines, const QString& rootName, Make make, bool header = true)
{
    ParseResult result;
    Parser parser(lines, rootName, make, header);
    try {
        parser.Run();
        if (make == Make::Tree)
            result.hive = parser.TakeHive();
        else
            result.index = parser.TakeIndex();
    } catch (const Corrupt& c) {
        result.line = parser.Line();
        result.reason = c.reason;
    }
    return result;
}

}  // namespace

ParseResult ParseHive(const QByteArray& text, const QString& rootName)
{
    LineReader lines(text);
    return Parse(lines, rootName, Make::Tree);
}

ParseResult ParseHive(const HiveTextSource& read, const QString& rootName)
{
    LineReader lines(read);
    return Parse(lines, rootName, Make::Tree);
}

ParseResult IndexHive(const HiveTextSource& read, const QString& rootName)
{
    LineReader lines(read);
    return Parse(lines, rootName, Make::Index);
}

ParseResult ParseHiveSections(const QByteArray& sections, const QString& rootName)
{
    LineReader lines(sections);
    return Parse(lines, rootName, Make::Tree, false);
}

}  // namespace plat::registry
