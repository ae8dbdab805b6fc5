#pragma once
// The settings file's text: sections of key=value lines. Lines that are not
// understood (comments, damage, hand edits) are kept byte for byte, so a
// rewrite never holds less than the file did.
//
// The document keeps the file's bytes as they were read and decodes a line
// only when a lookup reaches it, so that reading a large file costs one pass
// over its line breaks. A byte-order mark counts as one only at the very
// start of the file; anywhere else it is text like any other.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace plat::ini {

// The largest document there is: its offsets are kept in 32 bits. Parse
// throws std::length_error on more; a settings file is never near it.
constexpr qsizetype MaxBytes = qsizetype(1) << 30;

// Escapes a value so that any text reads back exactly; a name (section or
// key) additionally escapes '=', '[' and ']'.
QString Escape(const QString& text, bool isName);
QString Unescape(QStringView text);

class IniDocument {
public:
    static IniDocument Parse(const QByteArray& bytes);
    QByteArray Serialize() const;

    std::optional<QString> Value(const QString& section, const QString& key) const;
    void SetValue(const QString& section, const QString& key, const QString& value);
    bool Remove(const QString& section, const QString& key);
    bool RemoveSection(const QString& section);

private:
    // A line is 16 bytes, because a large file has a great many of them and
    // a lookup passes over all the lines of its section.
    struct Line {
        std::uint32_t begin = 0;  // the raw text in bytes_, without the line break
        std::uint32_t size = 0;
        // For a line shaped like key=value: the length in bytes of its key,
        // blanks trimmed, with PlainKey set when the key is printable ASCII
        // without escapes (0 for other lines). Only blanks stand before the
        // key and between it and the '='. The line's text is checked when
        // it is read.
        std::uint32_t key = 0;
        std::int32_t edit = -1;  // index in edits_: the line is written anew from it
    };
    static constexpr std::uint32_t PlainKey = std::uint32_t(1) << 31;
    struct Edit {
        QString key;
        QString value;
    };
    struct Section {
        bool hasHeader = false;      // the first section holds what stands before any header
        qsizetype headerBegin = -1;  // -1: a new section, its header written from name
        qsizetype headerSize = 0;
        QString name;
        size_t first = 0;  // its lines in lines_
        size_t count = 0;
    };

    void AddLine(qsizetype begin, qsizetype size);
    QByteArrayView Raw(const Line& line) const;
    qsizetype KeyFrom(const Line& line) const;
    std::optional<Edit> Read(const Line& line) const;
    qsizetype Equals(const Line& line, qsizetype keyFrom) const;
    // Whether a line holds the key. Most lines are told apart by the length
    // of their key alone, here, before any of their text is looked at.
    bool Matches(const Line& line, const QString& key, bool asciiKey) const
    {
        if (line.edit < 0 && (line.key == 0 || (asciiKey && (line.key & PlainKey) && (line.key & ~PlainKey) != key.size())))
            return false;
        return MatchesText(line, key, asciiKey);
    }
    bool MatchesText(const Line& line, const QString& key, bool asciiKey) const;
    bool IsContent(const Line& line) const;
    void InsertLine(size_t section, size_t at, const Line& line);
    // Erases the lines of a section that match, keeping the others in place.
    template <class Predicate>
    size_t EraseLines(size_t section, Predicate matches);

    QByteArray bytes_;
    qsizetype mark_ = 0;       // the byte-order mark that starts the file, in bytes
    std::vector<Line> lines_;  // every line in file order, section after section
    std::vector<Section> sections_;
    std::vector<Edit> edits_;
};

}  // namespace plat::ini
