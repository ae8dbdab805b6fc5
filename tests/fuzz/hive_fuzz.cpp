// Fuzz target: the registry's hive text, and the names and values that reach
// it through the registry calls.
//
// Input: the text of a hive file, or, when the first byte is NUL, an edit:
// the rest holds up to three NUL-separated UTF-8 fields, a key path below
// HKEY_CURRENT_USER, a value name and a text, set with RegCreateKeyEx and
// RegSetStringValue in a fresh per-user hive in a temporary folder.
//
// Checks, for a hive file that reads: its copy (as every edit makes one) and
// its text come out whole; the text is read again by the same reader into a
// hive that writes the same text; and that text stays within a fixed multiple
// of what was read (writing a key does not repeat its path for every key
// above it). For an edit: each step the registry accepts leaves a hive file
// its reader accepts, and what was set reads back exactly.

#include "platform/registry/Hive.h"
#include "platform/registry/Registry.h"
#include "tests/fuzz/FuzzCheck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace plat;
using registry::Hive;
using registry::ParseHive;

namespace {

const QString RootName = QStringLiteral("HKEY_CURRENT_USER");

void CheckText(const QByteArray& text)
{
    registry::ParseResult read = ParseHive(text, RootName);
    if (!read.hive)
        return;
    {
        const Hive copy = *read.hive;  // every edit starts from a copy
    }
    const QByteArray written = read.hive->ToText(RootName);
    fuzz::Expect(written.size() <= 64 * text.size() + 4096,
                 "a hive's text is at most a fixed multiple of what was read",
                 QStringLiteral("%1 bytes read, %2 written").arg(text.size()).arg(written.size()));
    const registry::ParseResult again = ParseHive(written, RootName);
    fuzz::Expect(again.hive.has_value(), "a hive's own text reads back",
                 QStringLiteral("line %1: %2").arg(again.line).arg(again.reason));
    fuzz::Expect(again.hive->ToText(RootName) == written, "a hive read back writes the same text");
}

// The per-user hive file, which must read whenever it exists.
void CheckHiveFile(const char* after)
{
    QFile file(UserHivePath());
    if (!file.open(QIODevice::ReadOnly))
        return;
    const registry::ParseResult read = ParseHive(file.readAll(), RootName);
    fuzz::Expect(read.hive.has_value(), "the hive file reads after every edit the registry accepts",
                 QStringLiteral("after %1, line %2: %3").arg(QLatin1String(after)).arg(read.line).arg(read.reason));
}

void CheckEdit(const QByteArray& edit)
{
    const QList<QByteArray> fields = fuzz::Fields(edit, 3);
    const QString path = fuzz::Text(fields.value(0));
    const QString name = fuzz::Text(fields.value(1));
    const QString text = fuzz::Text(fields.value(2));
    QFile::remove(UserHivePath());

    RegKey key;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, key.ReleaseAndGetAddressOf()) != ERROR_SUCCESS)
        return;
    CheckHiveFile("creating a key");
    RegKey opened;
    fuzz::Expect(RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_READ, opened.ReleaseAndGetAddressOf()) == ERROR_SUCCESS,
                 "a key opens after it was created", fuzz::Shown(path));

    if (RegSetStringValue(key.Get(), name, text) != ERROR_SUCCESS)
        return;
    CheckHiveFile("setting a value");
    DWORD type = 0;
    DWORD size = 0;
    fuzz::Expect(RegQueryValueEx(opened.Get(), name, &type, nullptr, &size) == ERROR_SUCCESS,
                 "a value is found after it was set", fuzz::Shown(name));
    QByteArray data(static_cast<qsizetype>(size), '\0');
    fuzz::Expect(RegQueryValueEx(opened.Get(), name, &type, reinterpret_cast<std::uint8_t*>(data.data()), &size) ==
                         ERROR_SUCCESS &&
                     type == REG_SZ && data == text.toUtf8() + '\0',
                 "a value reads back as set", fuzz::Shown(name));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The per-user hive goes to a folder of its own, removed at exit.
    static QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0 && data[0] == '\0')
        CheckEdit(fuzz::Bytes(data + 1, size - 1));
    else
        CheckText(fuzz::Bytes(data, size));
    return 0;
}
