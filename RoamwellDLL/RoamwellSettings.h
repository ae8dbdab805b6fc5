#pragma once
// The component's settings: application "Roamwell" in the per-user store.
//
// section       key              default                      read as
// Preferences   HomeAddress      MakerSite                    text
// Preferences   SearchAddress    SearchSite                   text
// Preferences   SitepinFile      DefaultSitepinFile()         text
// Preferences   Pacedial         "0"                          "0" circle, else bar
// Browser       Top / Left       "400" / "100"                single, twips
// Browser       Height / Width   "7000" / "9000"              single, twips
// Browser       Windowstate      "0"                          16-bit, 0 normal 1 min 2 max

#include "RoamwellDLL/modRoamwel.h"

#include <QString>

namespace RoamwellSettings {

inline const QString App = QStringLiteral("Roamwell");
inline const QString PreferencesSection = QStringLiteral("Preferences");
inline const QString BrowserSection = QStringLiteral("Browser");

inline const QString HomeAddress = QStringLiteral("HomeAddress");
inline const QString SearchAddress = QStringLiteral("SearchAddress");
inline const QString SitepinFile = QStringLiteral("SitepinFile");
inline const QString Pacedial = QStringLiteral("Pacedial");

// The maker's web site: the first page by default, and where a click on
// the loading indicator leads.
inline const QString MakerSite = QStringLiteral("https://www.roamwell.invalid/");
// The outside search site the "Search" button opens by default.
inline const QString SearchSite = QStringLiteral("https://search.roamwell.invalid/");

// The saved-sites page shipped beside the component.
inline QString DefaultSitepinFile()
{
    return modRoamwel::ComponentFolder() + QStringLiteral("/sitepin.htm");
}

}  // namespace RoamwellSettings
