#pragma once
// The component's settings: application "Roamwell" in the per-user store.
// Every setting the component reads or writes is listed here once, by
// section, with its key, its default and the type its text is read as; the
// code names these entries and never a section, key or default of its own.

#include "RoamwellDLL/modRoamwel.h"
#include "platform/runtime/SettingsTable.h"

#include <QString>

namespace RoamwellDLL::RoamwellSettings {

template <class T>
using Setting = plat::Setting<T>;

inline constexpr char App[] = "Roamwell";

// The maker's web site: the first page by default, and where a click on
// the loading indicator leads.
inline constexpr char MakerSite[] = "https://www.roamwell.invalid/";
// The outside search site the "Search" button opens by default.
inline constexpr char SearchSite[] = "https://search.roamwell.invalid/";

// The saved-sites page shipped beside the component.
inline QString DefaultSitepinFile()
{
    return modRoamwel::ComponentFolder() + QStringLiteral("/sitepin.htm");
}

// The preferences form's choices; the browser window's load reads them into it.
namespace Preferences {
inline constexpr char Section[] = "Preferences";
inline constexpr Setting<QString> HomeAddress{App, Section, "HomeAddress", MakerSite};
inline constexpr Setting<QString> SearchAddress{App, Section, "SearchAddress", SearchSite};
inline constexpr Setting<QString> SitepinFile{
    .app = App, .section = Section, .key = "SitepinFile", .defaultOf = &DefaultSitepinFile};
inline constexpr Setting<QString> Pacedial{App, Section, "Pacedial", "0"};  // "0" circle, any other text bar
}  // namespace Preferences

// The browser window's placement, saved on every close.
namespace Browser {
inline constexpr char Section[] = "Browser";
inline constexpr Setting<float> Top{App, Section, "Top", "400"};  // twips
inline constexpr Setting<float> Left{App, Section, "Left", "100"};
inline constexpr Setting<float> Height{App, Section, "Height", "7000"};
inline constexpr Setting<float> Width{App, Section, "Width", "9000"};
inline constexpr Setting<int16_t> Windowstate{App, Section, "Windowstate", "0"};  // applied unchanged
}  // namespace Browser

}  // namespace RoamwellDLL::RoamwellSettings
