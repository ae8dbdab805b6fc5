#pragma once
// One hive in memory: a tree of keys holding typed values, and its text form.
//
// The text is a header line, then a section "[ROOT\path]" for every key that
// holds values or has no subkeys (the keys between are implied by the paths
// below them), each followed by one line per value:
//   "name"="text"   "name"=dword:0000000a   "name"=hex:01,02   "name"=hex(N):01,02 ...
// with @ for the key's default value. Quoted text escapes '\' and '"' with a
// backslash and writes a control character as \xHH; a key path holding a
// control character is written quoted the same way: ["ROOT\\a\x0ab"].
//
// Nothing here recurses on the depth of the tree, and a lookup among sibling
// keys or values does not scan them all, so a hostile file costs time and
// memory in proportion to its size.

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace plat::registry {

struct Value {
    QString name;  // "" is the key's default value
    std::uint32_t type = 0;
    QByteArray data;
};

// Orders names without regard to case, as keys and values are told apart.
struct NameLess {
    bool operator()(const QString& a, const QString& b) const { return a.compare(b, Qt::CaseInsensitive) < 0; }
};

class Key {
public:
    // Subkeys by name, in case-insensitive order. A key's name is its entry's.
    using SubkeyMap = std::map<QString, Key, NameLess>;

    Key();
    Key(const Key& other);  // copies the whole subtree
    Key& operator=(const Key& other);
    Key(Key&& other) noexcept;
    Key& operator=(Key&& other) noexcept;
    ~Key();

    // Values in the order they were first set.
    const std::vector<Value>& Values() const { return values_; }
    const Value* FindValue(const QString& name) const;
    // A value of the same name keeps its spelling and place and takes the new type and data.
    void SetValue(Value value);
    bool RemoveValue(const QString& name);

    const SubkeyMap& Subkeys() const;
    Key* FindSubkey(const QString& name);
    const Key* FindSubkey(const QString& name) const;
    Key& Subkey(const QString& name, bool* created = nullptr);  // found or added
    bool RemoveSubkey(const QString& name);

    void Clear();  // every value and subkey

private:
    // What most keys lack: subkeys, and the index of a key with many values.
    // Kept apart so that the many leaf keys of a big hive stay small.
    struct More;

    std::optional<std::size_t> ValuePosition(const QString& name) const;
    void IndexValues();
    More& EnsureMore();

    std::vector<Value> values_;
    std::unique_ptr<More> more_;
};

struct Key::More {
    SubkeyMap subkeys;
    QHash<QString, std::size_t> valueIndex;  // by folded name, once a key holds many values
};

// UTF-8 to text, exactly: unlike QString::fromUtf8, a leading U+FEFF stays.
QString TextFromUtf8(QByteArrayView bytes);

// Splits "a\b\\c\" into its non-empty parts.
QStringList SplitPath(const QString& path);

class Hive {
public:
    Key root;  // the hive's top, which has no name of its own

    const Key* Find(const QString& path) const;
    Key* Find(const QString& path);
    Key& Create(const QString& path, bool* created = nullptr);
    bool Remove(const QString& path);  // the key and all below it

    // rootName is the section prefix the file uses ("HKEY_CURRENT_USER").
    QByteArray ToText(const QString& rootName) const;
    // The same text handed to `sink` a piece at a time, so that a big hive is
    // never held whole as text; stops and returns false when `sink` does.
    using TextSink = std::function<bool(QByteArrayView piece)>;
    bool WriteText(const QString& rootName, const TextSink& sink) const;
};

// Where each key of a hive file is written, for reading a few keys of a big
// hive without building all of it. A key is found by a hash of its path
// compared without regard to case, seeded afresh in each process so that no
// file can be made to collide on purpose.
class HiveIndex {
public:
    struct Span {
        qint64 offset = 0;  // of a section line in the file
        qint64 length = 0;  // up to the next section line
    };

    // Whether the key exists: written in a section, or implied by one below it.
    bool Contains(const QString& path) const;
    // The sections that hold its values, in the order of the file.
    std::vector<Span> SpansOf(const QString& path) const;

private:
    friend class HiveIndexMaker;
    std::vector<quint64> keys_;                    // every key's hash, sorted
    std::vector<std::pair<quint64, Span>> spans_;  // by key's hash, then place in the file
};

struct ParseResult {
    std::optional<Hive> hive;        // empty when the text is corrupt
    std::optional<HiveIndex> index;  // in place of the hive, from IndexHive
    int line = 0;                    // where it went wrong
    QString reason;
};
// Reads the text form; whatever ToText writes reads back as the same hive.
ParseResult ParseHive(const QByteArray& text, const QString& rootName);
// The same, with the text taken from `read` a piece at a time, so that a big
// file is never held whole: `read` fills at most `most` bytes at `into` and
// returns how many, 0 at the end, or -1 when the source fails.
using HiveTextSource = std::function<qsizetype(char* into, qsizetype most)>;
ParseResult ParseHive(const HiveTextSource& read, const QString& rootName);
// Checks the text as ParseHive does but makes only its index.
ParseResult IndexHive(const HiveTextSource& read, const QString& rootName);
// The keys written in sections cut from a hive file whose whole text reads
// well: the spans of HiveIndex, one after the other, without the header line.
ParseResult ParseHiveSections(const QByteArray& sections, const QString& rootName);

extern const char* const HiveHeader;

}  // namespace plat::registry
