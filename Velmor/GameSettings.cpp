#include "Velmor/GameSettings.h"

#include "platform/runtime/Errors.h"

#include <cstdio>

namespace GameSettings {

template <class T>
void ReportUnusable(const Setting<T>& s, const QString& text)
{
    std::fprintf(stderr, "%s: setting [%s] %s = \"%s\" cannot be used; using its default\n", App, s.section, s.key,
                 qPrintable(text));
}

template <class T>
T Read(const Setting<T>& s, const QString& text)
{
    try {
        return plat::SettingValue(s, text);
    } catch (const plat::RuntimeError&) {
        ReportUnusable(s, text);
        return Default(s);
    }
}

template <class T>
T Read(const Setting<T>& s)
{
    return Read(s, plat::SettingText(s));
}

template int16_t Read(const Setting<int16_t>&);
template int32_t Read(const Setting<int32_t>&);
template float Read(const Setting<float>&);
template QString Read(const Setting<QString>&);
template int16_t Read(const Setting<int16_t>&, const QString&);
template void ReportUnusable(const Setting<int16_t>&, const QString&);

}  // namespace GameSettings
