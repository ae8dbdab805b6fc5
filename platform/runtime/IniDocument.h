#pragma once
// The settings file's text: sections of key=value lines. Lines that are not
// understood (comments, damage, hand edits) are kept byte for byte, so a
// rewrite never holds less than the file did.

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace plat::ini {

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
    struct Line {
        QByteArray raw;         // as read, without the line break
        bool rewrite = false;   // true when raw no longer says what the line holds
        bool isEntry = false;
        QString key;
        QString value;
    };
    struct Section {
        bool hasHeader = false;  // the first section holds what stands before any header
        QByteArray rawHeader;
        QString name;
        std::vector<Line> lines;
    };

    std::vector<Section> sections_;
};

}  // namespace plat::ini
