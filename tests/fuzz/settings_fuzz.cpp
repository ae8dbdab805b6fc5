// Fuzz target: the settings file's text (plat::ini::IniDocument).
//
// Input: the bytes of a settings file, then optionally an edit. After the
// first NUL byte come three NUL-separated UTF-8 fields: a section, a key and
// a value to set ("file\0section\0key\0value"); the file part itself thus
// holds no NUL byte.
//
// Checks: any file reads; an untouched file is written back byte for byte
// (ending in a line break); a value set under a non-empty section and key (as
// SaveSetting allows) reads back exactly from the rewritten file, rewriting
// that file changes nothing, and once removed the key is gone.

#include "platform/runtime/IniDocument.h"
#include "tests/fuzz/FuzzCheck.h"

using plat::ini::IniDocument;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QList<QByteArray> fields = fuzz::Fields(fuzz::Bytes(data, size), 4);
    const QByteArray& file = fields[0];

    IniDocument doc = IniDocument::Parse(file);
    const QByteArray same = doc.Serialize();
    fuzz::Expect(same == file || same == file + '\n', "an untouched file is written back as it was");

    if (fields.size() < 4)
        return 0;
    const QString section = fuzz::Text(fields[1]);
    const QString key = fuzz::Text(fields[2]);
    const QString value = fuzz::Text(fields[3]);
    if (section.isEmpty() || key.isEmpty())
        return 0;

    doc.SetValue(section, key, value);
    const QByteArray written = doc.Serialize();
    IniDocument reread = IniDocument::Parse(written);
    const std::optional<QString> back = reread.Value(section, key);
    const QString entry = QStringLiteral("[%1] %2").arg(fuzz::Shown(section), fuzz::Shown(key));
    fuzz::Expect(back.has_value(), "a key is found after it was written", entry);
    fuzz::Expect(*back == value, "a value reads back as written",
                 QStringLiteral("%1 reads \"%2\", not \"%3\"").arg(entry, fuzz::Shown(*back), fuzz::Shown(value)));
    fuzz::Expect(reread.Serialize() == written, "a written file is written again unchanged");

    reread.Remove(section, key);
    fuzz::Expect(!IniDocument::Parse(reread.Serialize()).Value(section, key).has_value(),
                 "a removed key is gone", entry);
    return 0;
}
