#include "platform/runtime/IniDocument.h"

#include <QList>
#include <QStringDecoder>

namespace plat::ini {

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\r'; }

QStringView TrimBlanks(QStringView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && IsBlank(text[from]))
        ++from;
    while (to > from && IsBlank(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

// Position of the first '=' not preceded by an escaping backslash, or -1.
qsizetype UnescapedEquals(QStringView line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'\\')
            ++i;
        else if (line[i] == u'=')
            return i;
    }
    return -1;
}

bool EndsWithUnescapedBracket(QStringView line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'\\')
            ++i;
        else if (line[i] == u']')
            return i == line.size() - 1;
    }
    return false;
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
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
    IniDocument doc;
    doc.sections_.emplace_back();
    QList<QByteArray> rawLines = bytes.split('\n');
    if (!rawLines.isEmpty() && rawLines.back().isEmpty())
        rawLines.pop_back();  // the break that ends the last line

    for (const QByteArray& raw : rawLines) {
        Line line;
        line.raw = raw;
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = decoder(raw);
        if (decoder.hasError() || raw.contains('\0')) {
            doc.sections_.back().lines.push_back(line);  // damage: kept as it is
            continue;
        }
        const QStringView text = TrimBlanks(decoded);
        if (text.isEmpty() || text[0] == u';' || text[0] == u'#') {
            doc.sections_.back().lines.push_back(line);
            continue;
        }
        if (text[0] == u'[' && EndsWithUnescapedBracket(text)) {
            Section section;
            section.hasHeader = true;
            section.rawHeader = raw;
            section.name = Unescape(TrimBlanks(text.mid(1, text.size() - 2)));
            doc.sections_.push_back(std::move(section));
            continue;
        }
        const qsizetype eq = UnescapedEquals(text);
        if (eq > 0) {
            line.key = Unescape(TrimBlanks(text.left(eq)));
            line.value = Unescape(TrimBlanks(text.mid(eq + 1)));
            line.isEntry = !line.key.isEmpty();
        }
        doc.sections_.back().lines.push_back(std::move(line));
    }
    return doc;
}

QByteArray IniDocument::Serialize() const
{
    QByteArray out;
    for (const Section& section : sections_) {
        if (section.hasHeader) {
            if (section.rawHeader.isNull())
                out += (u'[' + Escape(section.name, true) + u']').toUtf8();
            else
                out += section.rawHeader;
            out += '\n';
        }
        for (const Line& line : section.lines) {
            if (line.rewrite)
                out += (Escape(line.key, true) + u'=' + Escape(line.value, false)).toUtf8();
            else
                out += line.raw;
            out += '\n';
        }
    }
    return out;
}

std::optional<QString> IniDocument::Value(const QString& section, const QString& key) const
{
    for (const Section& s : sections_) {
        if (!s.hasHeader || !SameName(s.name, section))
            continue;
        for (const Line& line : s.lines)
            if (line.isEntry && SameName(line.key, key))
                return line.value;
    }
    return std::nullopt;
}

void IniDocument::SetValue(const QString& section, const QString& key, const QString& value)
{
    Section* home = nullptr;
    for (Section& s : sections_) {
        if (!s.hasHeader || !SameName(s.name, section))
            continue;
        if (!home)
            home = &s;
        for (Line& line : s.lines) {
            if (line.isEntry && SameName(line.key, key)) {
                if (line.value != value) {
                    line.value = value;  // the key keeps the spelling it was first written with
                    line.rewrite = true;
                }
                return;
            }
        }
    }

    Line entry;
    entry.isEntry = true;
    entry.rewrite = true;
    entry.key = key;
    entry.value = value;
    if (!home) {
        Section& last = sections_.back();
        const bool endsBlank = !last.lines.empty() && !last.lines.back().isEntry
                               && last.lines.back().raw.trimmed().isEmpty();
        if ((last.hasHeader || !last.lines.empty()) && !endsBlank)
            last.lines.push_back(Line{});  // a blank line between sections
        Section fresh;
        fresh.hasHeader = true;
        fresh.name = section;
        fresh.lines.push_back(std::move(entry));
        sections_.push_back(std::move(fresh));
        return;
    }
    // After the section's last line of content, so comments and blank lines
    // that close the section stay where they are.
    auto at = home->lines.begin();
    for (auto it = home->lines.begin(); it != home->lines.end(); ++it) {
        const QByteArray text = it->raw.trimmed();
        if (it->isEntry || !(text.isEmpty() || text.startsWith(';') || text.startsWith('#')))
            at = it + 1;
    }
    home->lines.insert(at, std::move(entry));
}

bool IniDocument::Remove(const QString& section, const QString& key)
{
    bool removed = false;
    for (Section& s : sections_) {
        if (!s.hasHeader || !SameName(s.name, section))
            continue;
        const auto count = std::erase_if(s.lines, [&](const Line& line) {
            return line.isEntry && SameName(line.key, key);
        });
        removed = removed || count > 0;
    }
    return removed;
}

bool IniDocument::RemoveSection(const QString& section)
{
    const auto count = std::erase_if(sections_, [&](const Section& s) {
        return s.hasHeader && SameName(s.name, section);
    });
    return count > 0;
}

}  // namespace plat::ini
