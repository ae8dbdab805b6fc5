#include "Velmor/GameSettings.h"

#include "Velmor/modVelmor.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Numeric.h"
#include "platform/runtime/Settings.h"

#include <cstdio>

namespace GameSettings {

namespace {
template <class Convert>
auto Read(const QString& section, const QString& key, const QString& defaultText, Convert convert)
{
    const QString text = plat::GetSetting(modVelmor::AppName, section, key, defaultText);
    try {
        return convert(text);
    } catch (const plat::RuntimeError&) {
        ReportUnusable(section, key, text);
        return convert(defaultText);
    }
}
}  // namespace

void ReportUnusable(const QString& section, const QString& key, const QString& text)
{
    std::fprintf(stderr, "%s: setting [%s] %s = \"%s\" cannot be used; using its default\n",
                 modVelmor::AppName, qPrintable(section), qPrintable(key), qPrintable(text));
}

int16_t ReadInt16(const QString& section, const QString& key, const QString& defaultText)
{
    return Read(section, key, defaultText, [](const QString& t) { return plat::CInt(t); });
}

int32_t ReadInt32(const QString& section, const QString& key, const QString& defaultText)
{
    return Read(section, key, defaultText, [](const QString& t) { return plat::CLng(t); });
}

float ReadSingle(const QString& section, const QString& key, const QString& defaultText)
{
    return Read(section, key, defaultText, [](const QString& t) { return plat::CSng(t); });
}

int16_t ReadInt16Plus(const QString& section, const QString& key, const QString& defaultText, double offset)
{
    return Read(section, key, defaultText, [offset](const QString& t) { return plat::CInt(plat::CDbl(t) + offset); });
}

QString ReadText(const QString& section, const QString& key, const QString& defaultText)
{
    return plat::GetSetting(modVelmor::AppName, section, key, defaultText);
}

void Write(const QString& section, const QString& key, const QString& value)
{
    plat::SaveSetting(modVelmor::AppName, section, key, value);
}

}  // namespace GameSettings
