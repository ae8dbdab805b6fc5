#pragma once
// One hive in memory: a tree of keys holding typed values, and its text form
// (a header line, one "[ROOT\path]" section per key, one line per value:
// "name"="text", "name"=dword:0000000a, "name"=hex(N):01,02 ...).

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace plat::registry {

struct Value {
    QString name;  // "" is the key's default value
    std::uint32_t type = 0;
    QByteArray data;
};

struct Key {
    QString name;
    std::vector<Value> values;
    std::vector<Key> subkeys;

    Key* findSubkey(const QString& name);
    const Key* findSubkey(const QString& name) const;
    Value* findValue(const QString& name);
    const Value* findValue(const QString& name) const;
    Key& subkey(const QString& name);  // found or appended
};

// Splits "a\b\\c\" into its non-empty parts.
QStringList SplitPath(const QString& path);

class Hive {
public:
    Key root;

    const Key* find(const QString& path) const;
    Key* find(const QString& path);
    Key& create(const QString& path, bool* created = nullptr);
    bool remove(const QString& path);  // the key and all below it

    // rootName is the section prefix the file uses ("HKEY_CURRENT_USER").
    QByteArray toText(const QString& rootName) const;
};

struct ParseResult {
    std::optional<Hive> hive;  // empty when the text is corrupt
    int line = 0;              // where it went wrong
    QString reason;
};
ParseResult ParseHive(const QByteArray& text, const QString& rootName);

extern const char* const kHiveHeader;

}  // namespace plat::registry
