#pragma once
// Per-user settings store addressed by application, section and key. Every
// value is text. One INI file per application under the XDG config folder;
// each save is written through to disk at once, atomically and under a lock.

#include <QString>

namespace plat {

QString GetSetting(const QString& app, const QString& section, const QString& key,
                   const QString& defaultValue = {});
void SaveSetting(const QString& app, const QString& section, const QString& key,
                 const QString& value);
// Without a key the whole section goes. Deleting what is not there does nothing.
void DeleteSetting(const QString& app, const QString& section, const QString& key = {});

// ${XDG_CONFIG_HOME:-$HOME/.config}/appsettings/<app>.ini
QString SettingsFilePath(const QString& app);

}  // namespace plat
