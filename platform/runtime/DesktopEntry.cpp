#include "platform/runtime/DesktopEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

namespace plat {

namespace {

QStringList EnvFolders(const char* variable, const QString& fallback)
{
    const QString value = qEnvironmentVariable(variable);
    QStringList folders;
    for (const QString& f : (value.isEmpty() ? fallback : value).split(u':', Qt::SkipEmptyParts))
        folders.append(QDir::cleanPath(f));
    return folders;
}

QString EnvFolder(const char* variable, const QString& belowHome)
{
    const QString value = qEnvironmentVariable(variable);
    return QDir::cleanPath(value.isEmpty() ? QDir::homePath() + u'/' + belowHome : value);
}

// The escapes of a string value: \s \n \t \r \\ (others stay as written).
QString Unescape(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value[i + 1];
        switch (next.unicode()) {
        case 's': out += u' '; break;
        case 'n': out += u'\n'; break;
        case 't': out += u'\t'; break;
        case 'r': out += u'\r'; break;
        case '\\': out += u'\\'; break;
        default: out += c; out += next; break;
        }
        ++i;
    }
    return out;
}

// Splits a command line by the Exec quoting rules: blanks separate
// arguments; inside double quotes blanks are kept and \" \` \$ \\ stand for
// the character. Nothing when a quote is left open.
std::optional<QStringList> SplitExec(const QString& line)
{
    QStringList args;
    QString current;
    bool quoted = false;
    bool started = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'\\' && i + 1 < line.size() && QStringLiteral("\"`$\\").contains(line[i + 1]))
                current += line[++i];
            else if (c == u'"')
                quoted = false;
            else
                current += c;
        } else if (c == u' ' || c == u'\t') {
            if (started)
                args.append(current);
            current.clear();
            started = false;
        } else if (c == u'"') {
            quoted = true;
            started = true;
        } else {
            current += c;
            started = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (started)
        args.append(current);
    return args;
}

// The [Default Applications] entries for a type in one mimeapps.list.
QStringList DefaultsIn(const QString& file, const QString& mimeType)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&f);
    bool inDefaults = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'[')) {
            inDefaults = line == u"[Default Applications]";
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inDefaults || eq < 0 || line.left(eq).trimmed() != mimeType)
            continue;
        return line.mid(eq + 1).split(u';', Qt::SkipEmptyParts);
    }
    return {};
}

}  // namespace

QStringList XdgDataDirs()
{
    return QStringList{EnvFolder("XDG_DATA_HOME", QStringLiteral(".local/share"))}
           + EnvFolders("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
}

QStringList XdgConfigDirs()
{
    return QStringList{EnvFolder("XDG_CONFIG_HOME", QStringLiteral(".config"))}
           + EnvFolders("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
}

std::optional<DesktopEntry> ReadDesktopEntry(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QTextStream in(&f);
    DesktopEntry entry;
    entry.id = QFileInfo(path).fileName();
    entry.path = path;
    bool inGroup = false;
    bool seenGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inGroup = line == u"[Desktop Entry]";
            seenGroup = seenGroup || inGroup;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inGroup || eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();  // localised keys (Name[de]) do not match
        const QString value = Unescape(line.mid(eq + 1).trimmed());
        if (key == u"Name")
            entry.name = value;
        else if (key == u"Exec")
            entry.exec = value;
        else if (key == u"TryExec")
            entry.tryExec = value;
        else if (key == u"Icon")
            entry.icon = value;
        else if (key == u"Terminal")
            entry.terminal = value == u"true";
        else if (key == u"Hidden")
            entry.hidden = value == u"true";
    }
    if (!seenGroup)
        return std::nullopt;
    return entry;
}

std::optional<DesktopEntry> FindDesktopEntry(const QString& id)
{
    if (id.isEmpty() || id.contains(u'/'))
        return std::nullopt;
    QStringList names{id};
    // "a-b-c.desktop" may live as a/b-c.desktop, a/b/c.desktop ...
    for (qsizetype dash = id.indexOf(u'-'); dash > 0; dash = id.indexOf(u'-', dash + 1)) {
        QString nested = id;
        for (qsizetype i = 0; i <= dash; ++i)
            if (nested[i] == u'-')
                nested[i] = u'/';
        names.append(nested);
    }
    for (const QString& dir : XdgDataDirs())
        for (const QString& name : names) {
            const QString path = dir + QStringLiteral("/applications/") + name;
            if (!QFileInfo(path).isFile())
                continue;
            auto entry = ReadDesktopEntry(path);
            if (entry)
                entry->id = id;
            return entry;  // the first file found hides the others, also when unreadable
        }
    return std::nullopt;
}

QString DefaultApplicationId(const QString& mimeType)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (!tool.isEmpty()) {
        QProcess query;
        query.setProgram(tool);
        query.setArguments({QStringLiteral("query"), QStringLiteral("default"), mimeType});
        query.setStandardInputFile(QProcess::nullDevice());
        query.start();
        if (query.waitForFinished(3000) && query.exitStatus() == QProcess::NormalExit) {
            const QString answer = QString::fromLocal8Bit(query.readAllStandardOutput()).section(u'\n', 0, 0).trimmed();
            if (!answer.isEmpty())
                return answer;
        } else {
            query.kill();
            query.waitForFinished(1000);
        }
    }

    QStringList lists;
    for (const QString& dir : XdgConfigDirs())
        lists.append(dir + QStringLiteral("/mimeapps.list"));
    for (const QString& dir : XdgDataDirs()) {
        lists.append(dir + QStringLiteral("/applications/mimeapps.list"));
        lists.append(dir + QStringLiteral("/applications/defaults.list"));
    }
    for (const QString& list : lists)
        for (const QString& id : DefaultsIn(list, mimeType))
            if (const auto entry = FindDesktopEntry(id.trimmed()); entry && !entry->hidden)
                return id.trimmed();
    return {};
}

std::optional<QStringList> ExecArguments(const DesktopEntry& entry, const QString& file)
{
    const auto split = SplitExec(entry.exec);
    if (!split || split->isEmpty())
        return std::nullopt;

    QStringList args;
    bool fileGiven = false;
    for (const QString& arg : *split) {
        if (arg == u"%i") {
            if (!entry.icon.isEmpty())
                args << QStringLiteral("--icon") << entry.icon;
            continue;
        }
        // Codes are expanded in one pass, so a '%' in the file name is never read as one.
        QString out;
        bool dropped = false;
        for (qsizetype i = 0; i < arg.size(); ++i) {
            if (arg[i] != u'%' || i + 1 == arg.size()) {
                out += arg[i];
                continue;
            }
            switch (arg[++i].unicode()) {
            case 'f': case 'F': case 'u': case 'U':
                out += file;
                fileGiven = true;
                break;
            case 'c': out += entry.name; break;
            case 'k': out += entry.path; break;
            case '%': out += u'%'; break;
            default: dropped = true; break;  // deprecated or unknown codes go
            }
        }
        if (!(dropped && out.isEmpty()))
            args.append(out);
    }
    if (args.isEmpty() || args.first().isEmpty())
        return std::nullopt;
    if (!fileGiven)
        args.append(file);
    return args;
}

}  // namespace plat
