#include "platform/runtime/IniDocument.h"

#include "platform/runtime/HugePages.h"

#include <QStringDecoder>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <stdexcept>

namespace plat::ini {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\r'; }

template <class Text>
Text TrimBlanks(Text text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && IsBlank(text[from]))
        ++from;
    while (to > from && IsBlank(text[to - 1]))
        --to;
    return text.sliced(from, to - from);
}

// Position of the first '=' not preceded by an escaping backslash, or -1.
// Bytes serve as well as characters: neither '\\' nor '=' is ever part of a
// longer UTF-8 sequence.
qsizetype UnescapedEquals(QByteArrayView line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '\\')
            ++i;
        else if (line[i] == '=')
            return i;
    }
    return -1;
}

bool EndsWithUnescapedBracket(QByteArrayView line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '\\')
            ++i;
        else if (line[i] == ']')
            return i == line.size() - 1;
    }
    return false;
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// UTF-8 text as written: a byte-order mark is a character here (only the
// file's first bytes are a mark, and the parser has stepped over those).
// Nothing when the bytes are not UTF-8 or hold a NUL.
std::optional<QString> Decode(QByteArrayView bytes)
{
    if (!bytes.isEmpty() && std::memchr(bytes.data(), 0, bytes.size()))
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool IsAscii(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() != 0 && c.unicode() < 0x80; });
}

// Printable ASCII without escapes reads as itself.
bool IsPlain(QByteArrayView key)
{
    return std::all_of(key.begin(), key.end(), [](char c) { return c > 0 && c != '\\'; });
}

bool EqualsIgnoringAsciiCase(QByteArrayView bytes, const QString& text)
{
    if (bytes.size() != text.size())
        return false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = text[i].unicode();
        if (a != b && std::tolower(a) != std::tolower(b))
            return false;
    }
    return true;
}

QByteArrayView TrimmedBytes(QByteArrayView bytes)
{
    qsizetype from = 0;
    qsizetype to = bytes.size();
    while (from < to && std::isspace(static_cast<unsigned char>(bytes[from])))
        ++from;
    while (to > from && std::isspace(static_cast<unsigned char>(bytes[to - 1])))
        --to;
    return bytes.sliced(from, to - from);
}

}  // namespace

QString Escape(const QString& text, bool isName)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'\\': out += u"\\\\"; break;
        case u'\n': out += u"\\n"; break;
        case u'\r': out += u"\\r"; break;
        case u'\t': out += u"\\t"; break;
        case u'\0': out += u"\\0"; break;
        case u';': out += u"\\;"; break;
        case u'#': out += u"\\#"; break;
        case u' ':
            // Blanks at either end would be trimmed away on reading.
            if (i == 0 || i == text.size() - 1)
                out += u"\\s";
            else
                out += c;
            break;
        case u'=':
        case u'[':
        case u']':
            if (isName)
                out += u'\\';
            out += c;
            break;
        default: out += c;
        }
    }
    return out;
}

QString Unescape(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        switch (next.unicode()) {
        case u'n': out += u'\n'; break;
        case u'r': out += u'\r'; break;
        case u't': out += u'\t'; break;
        case u'0': out += QChar(u'\0'); break;
        case u's': out += u' '; break;
        default: out += next;
        }
    }
    return out;
}

IniDocument IniDocument::Parse(const QByteArray& bytes)
{
    if (bytes.size() > MaxBytes)
        throw std::length_error("a settings document larger than 1 GiB");
    IniDocument doc;
    doc.bytes_ = bytes;
    doc.sections_.emplace_back();
    const char* data = bytes.constData();
    const qsizetype total = bytes.size();

    // One table of exactly the lines there are: growing it would copy it.
    size_t count = 0;
    for (qsizetype pos = 0; pos < total; ++count) {
        const auto* br = static_cast<const char*>(std::memchr(data + pos, '\n', total - pos));
        pos = br ? br - data + 1 : total;
    }
    doc.lines_.reserve(count);
    AdviseHugePages(doc.lines_.data(), count * sizeof(Line));

    // The file's own byte-order mark is no part of its first line's text.
    doc.mark_ = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    for (qsizetype pos = 0; pos < total;) {
        const auto* br = static_cast<const char*>(std::memchr(data + pos, '\n', total - pos));
        const qsizetype end = br ? br - data : total;
        doc.AddLine(pos, end - pos);
        pos = end + 1;  // a break that ends the file ends its last line
    }
    return doc;
}

void IniDocument::AddLine(qsizetype begin, qsizetype size)
{
    Line line;
    line.begin = std::uint32_t(begin);
    line.size = std::uint32_t(size);
    const QByteArrayView raw = Raw(line);
    const qsizetype from = KeyFrom(line);
    qsizetype to = size;
    while (to > from && IsBlank(raw[to - 1]))
        --to;
    const QByteArrayView text = raw.sliced(from, to - from);
    if (!text.isEmpty() && text[0] == '[' && EndsWithUnescapedBracket(text)) {
        if (const auto name = Decode(text.sliced(1, text.size() - 2))) {
            Section section;
            section.hasHeader = true;
            section.headerBegin = begin;
            section.headerSize = size;
            section.name = Unescape(TrimBlanks(QStringView(*name)));
            section.first = lines_.size();
            sections_.push_back(std::move(section));
            return;
        }
    }
    if (!text.isEmpty() && text[0] != ';' && text[0] != '#') {
        const qsizetype equals = UnescapedEquals(text);
        if (equals > 0) {
            const QByteArrayView key = TrimBlanks(text.first(equals));
            line.key = std::uint32_t(key.size()) | (IsPlain(key) ? PlainKey : 0);
        }
    }
    lines_.push_back(line);
    ++sections_.back().count;
}

QByteArrayView IniDocument::Raw(const Line& line) const
{
    return QByteArrayView(bytes_).sliced(line.begin, line.size);
}

// Where a line's text starts: after the blanks that lead it, and on the
// file's first line after its byte-order mark.
qsizetype IniDocument::KeyFrom(const Line& line) const
{
    const QByteArrayView raw = Raw(line);
    qsizetype from = line.begin == 0 ? std::min(mark_, raw.size()) : 0;
    while (from < raw.size() && IsBlank(raw[from]))
        ++from;
    return from;
}

// The key and value a line holds; nothing when it holds none (a comment, a
// blank line, or a line that is not UTF-8 text).
std::optional<IniDocument::Edit> IniDocument::Read(const Line& line) const
{
    if (line.edit >= 0)
        return edits_[line.edit];
    if (line.key == 0)
        return std::nullopt;
    const QByteArrayView raw = Raw(line);
    const qsizetype from = KeyFrom(line);
    const qsizetype equals = Equals(line, from);
    const auto key = Decode(raw.sliced(from, equals - from));
    const auto value = Decode(raw.sliced(equals + 1));
    if (!key || !value)
        return std::nullopt;
    return Edit{Unescape(TrimBlanks(QStringView(*key))), Unescape(TrimBlanks(QStringView(*value)))};
}

qsizetype IniDocument::Equals(const Line& line, qsizetype keyFrom) const
{
    qsizetype at = line.begin + keyFrom + (line.key & ~PlainKey);
    while (bytes_[at] != '=')
        ++at;
    return at - line.begin;
}

bool IniDocument::MatchesText(const Line& line, const QString& key, bool asciiKey) const
{
    // Most keys are plain ASCII on both sides: compared as bytes, without
    // decoding every line they pass.
    if (line.edit < 0 && (line.key & PlainKey) && asciiKey) {
        if (!EqualsIgnoringAsciiCase(Raw(line).sliced(KeyFrom(line), line.key & ~PlainKey), key))
            return false;
        return Read(line).has_value();  // the rest of the line must be text too
    }
    const auto entry = Read(line);
    return entry && SameName(entry->key, key);
}

// An entry, or a line with something in it other than a comment.
bool IniDocument::IsContent(const Line& line) const
{
    if (line.edit >= 0)
        return true;
    const QByteArrayView text = TrimmedBytes(Raw(line));
    return !(text.isEmpty() || text.startsWith(';') || text.startsWith('#'));
}

void IniDocument::InsertLine(size_t section, size_t at, const Line& line)
{
    lines_.insert(lines_.begin() + qsizetype(sections_[section].first + at), line);
    ++sections_[section].count;
    for (size_t s = section + 1; s < sections_.size(); ++s)
        ++sections_[s].first;
}

template <class Predicate>
size_t IniDocument::EraseLines(size_t section, Predicate matches)
{
    Section& s = sections_[section];
    const auto begin = lines_.begin() + qsizetype(s.first);
    const auto end = begin + qsizetype(s.count);
    const auto kept = std::remove_if(begin, end, matches);
    const auto erased = size_t(end - kept);
    lines_.erase(kept, end);
    s.count -= erased;
    for (size_t later = section + 1; later < sections_.size(); ++later)
        sections_[later].first -= erased;
    return erased;
}

QByteArray IniDocument::Serialize() const
{
    QByteArray out;
    out.reserve(bytes_.size() + qsizetype(edits_.size()) * 32 + 64);
    for (const Section& section : sections_) {
        if (section.hasHeader) {
            if (section.headerBegin < 0)
                out += (u'[' + Escape(section.name, true) + u']').toUtf8();
            else
                out += QByteArrayView(bytes_).sliced(section.headerBegin, section.headerSize);
            out += '\n';
        }
        for (size_t i = section.first; i < section.first + section.count; ++i) {
            const Line& line = lines_[i];
            if (line.edit >= 0)
                out += (Escape(edits_[line.edit].key, true) + u'=' + Escape(edits_[line.edit].value, false)).toUtf8();
            else
                out += Raw(line);
            out += '\n';
        }
    }
    return out;
}

std::optional<QString> IniDocument::Value(const QString& section, const QString& key) const
{
    const bool asciiKey = IsAscii(key);
    for (const Section& s : sections_) {
        if (!s.hasHeader || !SameName(s.name, section))
            continue;
        for (size_t i = s.first; i < s.first + s.count; ++i)
            if (Matches(lines_[i], key, asciiKey))
                return Read(lines_[i])->value;
    }
    return std::nullopt;
}

void IniDocument::SetValue(const QString& section, const QString& key, const QString& value)
{
    const bool asciiKey = IsAscii(key);
    std::optional<size_t> home;
    for (size_t h = 0; h < sections_.size(); ++h) {
        const Section& s = sections_[h];
        if (!s.hasHeader || !SameName(s.name, section))
            continue;
        if (!home)
            home = h;
        for (size_t i = s.first; i < s.first + s.count; ++i) {
            Line& line = lines_[i];
            if (!Matches(line, key, asciiKey))
                continue;
            const Edit entry = *Read(line);
            if (entry.value != value) {
                // The key keeps the spelling it was first written with.
                if (line.edit < 0) {
                    line.edit = qint32(edits_.size());
                    edits_.push_back({entry.key, value});
                } else {
                    edits_[line.edit].value = value;
                }
            }
            return;
        }
    }

    Line entry;
    entry.edit = qint32(edits_.size());
    edits_.push_back({key, value});
    if (!home) {
        const size_t last = sections_.size() - 1;
        const Section& s = sections_[last];
        const bool endsBlank = s.count > 0 && lines_[s.first + s.count - 1].edit < 0
                               && TrimmedBytes(Raw(lines_[s.first + s.count - 1])).isEmpty();
        if ((s.hasHeader || s.count > 0) && !endsBlank)
            InsertLine(last, s.count, Line{});  // a blank line between sections
        Section fresh;
        fresh.hasHeader = true;
        fresh.name = section;
        fresh.first = lines_.size();
        sections_.push_back(std::move(fresh));
        InsertLine(last + 1, 0, entry);
        return;
    }
    // After the section's last line of content, so comments and blank lines
    // that close the section stay where they are.
    const Section& s = sections_[*home];
    size_t at = 0;
    for (size_t i = 0; i < s.count; ++i)
        if (IsContent(lines_[s.first + i]))
            at = i + 1;
    InsertLine(*home, at, entry);
}

bool IniDocument::Remove(const QString& section, const QString& key)
{
    const bool asciiKey = IsAscii(key);
    size_t removed = 0;
    for (size_t s = 0; s < sections_.size(); ++s)
        if (sections_[s].hasHeader && SameName(sections_[s].name, section))
            removed += EraseLines(s, [&](const Line& line) { return Matches(line, key, asciiKey); });
    return removed > 0;
}

bool IniDocument::RemoveSection(const QString& section)
{
    bool removed = false;
    for (size_t s = sections_.size(); s-- > 0;) {
        if (!sections_[s].hasHeader || !SameName(sections_[s].name, section))
            continue;
        EraseLines(s, [](const Line&) { return true; });
        sections_.erase(sections_.begin() + qsizetype(s));
        removed = true;
    }
    return removed;
}

}  // namespace plat::ini
