// Names and values of any content reach the hive file and come back exactly;
// what cannot be stored exactly is refused, and a well-formed file reads as
// it always did.

#include "tests/platform/registry/RegistryFixture.h"

#include "platform/registry/Hive.h"
#include "platform/registry/HiveStore.h"

#include <QDir>
#include <QDirIterator>
#include <QSet>

#include <cstring>

using namespace plat;
using registry::Hive;
using registry::ParseHive;

namespace {

// Line breaks, quotes, backslashes, the escape's own spelling, other control
// characters, non-ASCII text and lookalikes of the file's own syntax.
const QStringList Hostile = {
    "bad\nname",       "cr\rand lf\r\n", "tab\there",      "quote\"in\"side",  "ends in backslash\\",
    "\\",              "\"",             "\\x41 as typed", "\x01\x1f\x7f bell", QString::fromUtf8("nul\0inside", 10),
    "]",               "[HKEY_CURRENT_USER\\Elsewhere]",   "=hex:01,02,\\",    ";not a comment",
    "@",               " spaced ",       "\u00e9 \u65e5\u672c", "emoji \U0001F600", QStringLiteral(u"\uFEFFmark first"), QStringLiteral(u"\uFEFF"),
    "\xc2\x85 next line",
};

// The same names without the key path separator, for keys.
QStringList KeyNames()
{
    QStringList names;
    for (const QString& name : Hostile)
        if (!name.contains(u'\\'))
            names << name;
    return names;
}

QByteArray Stored(const QString& text)
{
    return text.toUtf8() + '\0';
}

const char* const UserRoot = "HKEY_CURRENT_USER";

// Every key of the hive with its path, parents before children.
std::vector<std::pair<QString, const registry::Key*>> AllKeys(const Hive& hive)
{
    std::vector<std::pair<QString, const registry::Key*>> keys{{QString(), &hive.root}};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto [path, key] = keys[i];
        for (const auto& [name, subkey] : key->Subkeys())
            keys.emplace_back(path.isEmpty() ? name : path + u'\\' + name, &subkey);
    }
    return keys;
}

// The index of `text`, read in small pieces as from a file.
registry::ParseResult IndexOf(const QByteArray& text)
{
    qsizetype at = 0;
    return registry::IndexHive(
        [&](char* into, qsizetype most) {
            const qsizetype n = std::min<qsizetype>({most, text.size() - at, 7});
            std::memcpy(into, text.constData() + at, static_cast<size_t>(n));
            at += n;
            return n;
        },
        UserRoot);
}

// Reading single keys through the index of `text` finds what the whole tree
// holds, and no key it lacks.
void ExpectIndexAgreesWithTree(const QByteArray& text, const std::string& what)
{
    const auto tree = ParseHive(text, UserRoot);
    const auto indexed = IndexOf(text);
    ASSERT_EQ(bool(tree.hive), bool(indexed.index)) << what;
    EXPECT_EQ(indexed.line, tree.line) << what;
    EXPECT_EQ(indexed.reason, tree.reason) << what;
    if (!tree.hive)
        return;
    for (const auto& [path, key] : AllKeys(*tree.hive)) {
        EXPECT_TRUE(indexed.index->Contains(path)) << what << ": " << path.toStdString();
        EXPECT_TRUE(indexed.index->Contains(path.toUpper())) << what << ": " << path.toStdString();
        QByteArray sections;
        for (const auto& span : indexed.index->SpansOf(path))
            sections += text.mid(span.offset, span.length);
        const auto parsed = registry::ParseHiveSections(sections, UserRoot);
        ASSERT_TRUE(parsed.hive) << what << ": " << path.toStdString();
        const registry::Key* read = parsed.hive->Find(path);
        const std::vector<registry::Value> none;
        const auto& values = read ? read->Values() : none;
        ASSERT_EQ(values.size(), key->Values().size()) << what << ": " << path.toStdString();
        for (std::size_t i = 0; i < values.size(); ++i) {
            EXPECT_EQ(values[i].name, key->Values()[i].name);
            EXPECT_EQ(values[i].type, key->Values()[i].type);
            EXPECT_EQ(values[i].data, key->Values()[i].data);
        }
        EXPECT_FALSE(indexed.index->Contains(path + "\\absent")) << what;
    }
}

}  // namespace

TEST_F(RegistryTest, HostileNamesAndValuesRoundTripThroughTheHiveFile)
{
    RegKey keep;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Keep", 0, KEY_ALL_ACCESS, keep.ReleaseAndGetAddressOf()),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetStringValue(keep.Get(), "", "registration"), ERROR_SUCCESS);

    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Hostile", 0, KEY_ALL_ACCESS, key.ReleaseAndGetAddressOf()),
              ERROR_SUCCESS);
    for (const QString& text : Hostile)
        ASSERT_EQ(RegSetStringValue(key.Get(), text, text), ERROR_SUCCESS) << text.toStdString();
    ASSERT_EQ(RegSetStringValue(key.Get(), "", "\n"), ERROR_SUCCESS);
    ASSERT_EQ(RegSetStringValue(key.Get(), "empty", ""), ERROR_SUCCESS);
    for (const QString& name : KeyNames()) {
        RegKey sub;
        ASSERT_EQ(RegCreateKeyEx(key.Get(), name, 0, KEY_ALL_ACCESS, sub.ReleaseAndGetAddressOf()), ERROR_SUCCESS)
            << name.toStdString();
        ASSERT_EQ(RegSetStringValue(sub.Get(), "", name), ERROR_SUCCESS);
    }
    // The hive stays writable, and every write after reads back too.
    ASSERT_EQ(RegSetStringValue(keep.Get(), "after", "still written"), ERROR_SUCCESS);

    // What the file holds, read on its own.
    const auto parsed = ParseHive(FileText(UserHivePath()), UserRoot);
    ASSERT_TRUE(parsed.hive) << "line " << parsed.line << ": " << parsed.reason.toStdString();
    const registry::Key* onDisk = parsed.hive->Find("Software\\Hostile");
    ASSERT_TRUE(onDisk);
    for (const QString& text : Hostile) {
        const registry::Value* v = onDisk->FindValue(text);
        ASSERT_TRUE(v) << text.toStdString();
        EXPECT_EQ(v->name, text);
        EXPECT_EQ(v->data, Stored(text)) << text.toStdString();
    }
    EXPECT_EQ(onDisk->FindValue("")->data, Stored("\n"));
    EXPECT_EQ(onDisk->FindValue("empty")->data, Stored(""));
    for (const QString& name : KeyNames()) {
        const registry::Key* sub = onDisk->FindSubkey(name);
        ASSERT_TRUE(sub) << name.toStdString();
        EXPECT_EQ(sub->FindValue("")->data, Stored(name));
    }
    EXPECT_EQ(int(onDisk->Subkeys().size()), KeyNames().size());
    EXPECT_EQ(parsed.hive->Find("Software\\Keep")->FindValue("")->data, Stored("registration"));
    EXPECT_EQ(parsed.hive->Find("Software\\Keep")->FindValue("after")->data, Stored("still written"));

    // And through the calls, with the names as enumerated.
    QStringList names;
    QString name;
    for (DWORD i = 0; RegEnumKeyEx(key.Get(), i, &name) == ERROR_SUCCESS; ++i)
        names << name;
    const QStringList keyNames = KeyNames();
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()), QSet<QString>(keyNames.begin(), keyNames.end()));
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "Software\\Hostile", "bad\nname"), "bad\nname");
    const QString marked = QStringLiteral(u"\uFEFFmark first");
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "Software\\Hostile", marked), marked);
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "Software\\Hostile\\" + marked, ""), marked);
}

TEST_F(RegistryTest, TextWithoutAUtf8FormIsRefusedAndNothingIsWritten)
{
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Plain", 0, KEY_ALL_ACCESS, key.ReleaseAndGetAddressOf()),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetStringValue(key.Get(), "a", "b"), ERROR_SUCCESS);
    const QByteArray before = FileText(UserHivePath());

    const QString lone = QStringLiteral("half ") + QChar(0xD800) + QStringLiteral(" a pair");
    HKEY h = 0;
    EXPECT_EQ(RegSetStringValue(key.Get(), lone, "x"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetStringValue(key.Get(), "x", lone), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueEx(key.Get(), lone, REG_BINARY, reinterpret_cast<const uint8_t*>("1"), 1),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyEx(key.Get(), lone, 0, KEY_ALL_ACCESS, &h), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(FileText(UserHivePath()), before);
}

TEST_F(RegistryTest, HiveWrittenByEarlierReleasesReadsAsBefore)
{
    // Every key written out, escapes of quotes and backslashes, long hex lists
    // over several lines, CR LF line ends and comments.
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/config/registry"));
    WriteFile(UserHivePath(),
              "Registry Hive Text Version 1.00\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Classes]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\{C7B9CEA0-6549-4D38-BD4C-7DC4B0760342}]\r\n"
              "@=\"RoamwellDLL.clsRoamwell\"\r\n\r\n"
              "; kept as written\r\n"
              "[HKEY_CURRENT_USER\\Software\\Tools]\r\n"
              "\"Path\"=\"C:\\\\tools \\\"quoted\\\" \xc3\xa9\"\r\n"
              "\"Lines\"=hex(1):61,0a,62,00\r\n"
              "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
              "  17,18\r\n"
              "\"Count\"=dword:0000000a\r\n"
              "\"Count\"=dword:0000000b\r\n"
              "[HKEY_CURRENT_USER\\Software\\Empty]\r\n");
    EXPECT_EQ(RegGetStringValue(HKEY_CLASSES_ROOT, "CLSID\\{C7B9CEA0-6549-4D38-BD4C-7DC4B0760342}", ""),
              "RoamwellDLL.clsRoamwell");
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "SOFTWARE\\tools", "path"), "C:\\tools \"quoted\" \u00e9");
    EXPECT_EQ(RegGetStringValue(HKEY_CURRENT_USER, "Software\\Tools", "Lines"), "a\nb");
    EXPECT_EQ(Query(HKEY_CURRENT_USER, "Software\\Tools", "Blob")->size(), 25);
    EXPECT_EQ(RegGetDwordValue(HKEY_CURRENT_USER, "Software\\Tools", "Count"), 11u) << "the last one stands";
    HKEY h = 0;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Empty", 0, KEY_READ, &h), ERROR_SUCCESS);
    RegCloseKey(h);

    // Rewritten, it says the same in fewer sections.
    ASSERT_EQ(RegSetDwordValue(HKEY_CURRENT_USER, "touched", 1), ERROR_SUCCESS);
    const QByteArray text = FileText(UserHivePath());
    EXPECT_FALSE(text.contains("[HKEY_CURRENT_USER\\Software]\n")) << "implied by the keys below it";
    EXPECT_TRUE(text.contains("[HKEY_CURRENT_USER\\Software\\Empty]\n"));
    EXPECT_TRUE(text.contains("\"Path\"=\"C:\\\\tools \\\"quoted\\\" \xc3\xa9\"\n"));
    EXPECT_EQ(RegGetDwordValue(HKEY_CURRENT_USER, "Software\\Tools", "Count"), 11u);
}

TEST(HiveText, EveryHiveReadsBackFromItsOwnText)
{
    Hive hive;
    for (const QString& name : KeyNames()) {
        registry::Key& key = hive.Create("Software\\" + name);
        for (const QString& text : Hostile)
            key.SetValue({text, REG_SZ, Stored(text)});
        key.SetValue({"bytes", REG_BINARY, QByteArray("\0\n\r\"\\", 5)});
        key.SetValue({"odd type", 0x7fff1234, QByteArray(200, '\n')});
        key.SetValue({"no nul", REG_SZ, "x"});
        key.SetValue({"bad utf-8", REG_SZ, QByteArray("\xff\xfe\0", 3)});
    }
    hive.root.SetValue({"", REG_DWORD, QByteArray("\x01\x00\x00\x00", 4)});
    const QByteArray text = hive.ToText(UserRoot);

    const auto parsed = ParseHive(text, UserRoot);
    ASSERT_TRUE(parsed.hive) << "line " << parsed.line << ": " << parsed.reason.toStdString();
    EXPECT_EQ(parsed.hive->ToText(UserRoot), text);
    const registry::Key* key = parsed.hive->Find("Software\\bad\nname");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->FindValue("cr\rand lf\r\n")->data, Stored("cr\rand lf\r\n"));
    EXPECT_EQ(key->FindValue("bytes")->data, QByteArray("\0\n\r\"\\", 5));
    EXPECT_EQ(key->FindValue("bad utf-8")->data, QByteArray("\xff\xfe\0", 3));
    EXPECT_EQ(key->FindValue("odd type")->type, 0x7fff1234u);
    ExpectIndexAgreesWithTree(text, "hostile names");
}

TEST(HiveText, IndexTellsNamesApartAsTheTreeDoes)
{
    // Letters whose case folding is not plain ASCII.
    const QStringList letters = {"k", "K", "\u212A", "s", "S", "\u017F", "\u03C3", "\u03C2", "\u03A3", "ss",
                                 "\u00DF", "i", "I", "\u0130", "\u0131", "\U0001041C", "\U00010444"};
    Hive hive;
    for (const char* name : {"k", "s", "\u03C3", "\u00DF", "i", "\U00010444"})
        hive.Create(QString("Letters\\") + QString::fromUtf8(name)).SetValue({"", REG_SZ, Stored(name)});
    const auto indexed = IndexOf(hive.ToText(UserRoot));
    ASSERT_TRUE(indexed.index);
    for (const QString& letter : letters)
        EXPECT_EQ(indexed.index->Contains("Letters\\" + letter), hive.Find("Letters\\" + letter) != nullptr)
            << letter.toStdString();
}

TEST(HiveText, DamagedTextIsCorruptAtItsLine)
{
    struct Case {
        const char* text;
        int line;
        const char* reason;
    };
    const Case cases[] = {
        // A line break written raw inside a name, as earlier releases did.
        {"Registry Hive Text Version 1.00\n[HKEY_CURRENT_USER\\A]\n\"bad\nname\"=\"x\"\n", 3,
         "unterminated quoted text"},
        {"Registry Hive Text Version 1.00\n[HKEY_CURRENT_USER\\A]\n\"a\\x4\"=\"x\"\n", 3, "bad escape"},
        {"Registry Hive Text Version 1.00\n[HKEY_CURRENT_USER\\A]\n\"a\\q\"=\"x\"\n", 3, "bad escape"},
        {"Registry Hive Text Version 1.00\n[\"HKEY_CURRENT_USER\\\\A\"\n", 2, "unterminated section"},
        {"Registry Hive Text Version 1.00\n[HKEY_LOCAL_MACHINE\\A]\n", 2, "section outside"},
        {"Registry Hive Text Version 1.00\n[HKEY_CURRENT_USER\\\xff]\n", 2, "not UTF-8"},
        {"Registry Hive Text Version 1.00\n[HKEY_CURRENT_USER\\A]\n\"a\"=hex:01,\\", 3, "runs past the end"},
        {"Registry Hive Text Version 1.00\n[HKEY_CURRENT_USER\\A]\n\"a\"=hex:1,,2\n", 3, "bad byte"},
        {"Registry Hive Text Version 1.00\n[HKEY_CURRENT_USER\\A]\n\"a\"=\"\xed\xa0\x80\"\n", 3, "not UTF-8"},
        {"Registry Hive Text Version 1.00\n\"a\"=\"b\"\n", 2, "before the first section"},
        {"\n\nRegistry Hive Text Version 1.00\n", 1, "missing header"},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseHive(QByteArray(c.text), UserRoot);
        EXPECT_FALSE(parsed.hive) << c.text;
        EXPECT_EQ(parsed.line, c.line) << c.text;
        EXPECT_TRUE(parsed.reason.contains(c.reason)) << c.text << " -> " << parsed.reason.toStdString();
        ExpectIndexAgreesWithTree(c.text, c.text);
    }
}

TEST(HiveText, SeedsOfTheFuzzCorpusReadOrFailCleanlyWholeAndByIndex)
{
    int seeds = 0;
    for (QDirIterator it(QStringLiteral(HIVE_CORPUS_DIR), QDir::Files); it.hasNext(); ++seeds) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray seed = file.readAll();
        ExpectIndexAgreesWithTree(seed, file.fileName().toStdString());
        const auto parsed = ParseHive(seed, UserRoot);
        if (!parsed.hive) {
            EXPECT_GT(parsed.line, 0) << file.fileName().toStdString();
            continue;
        }
        const QByteArray text = parsed.hive->ToText(UserRoot);
        const auto again = ParseHive(text, UserRoot);
        ASSERT_TRUE(again.hive) << file.fileName().toStdString();
        EXPECT_EQ(again.hive->ToText(UserRoot), text) << file.fileName().toStdString();
    }
    EXPECT_GE(seeds, 5);
}
