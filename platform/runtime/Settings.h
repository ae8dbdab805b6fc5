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

// Starts reading and parsing the application's settings file on another
// thread, so that a large file is ready by the time the program asks for its
// first value (which waits for it) instead of after.
void ReadSettingsAhead(const QString& app);

// ${XDG_CONFIG_HOME:-$HOME/.config}/appsettings/<app>.ini
QString SettingsFilePath(const QString& app);

}  // namespace plat
