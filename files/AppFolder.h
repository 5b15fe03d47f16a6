#pragma once
// The folder of the settings file and the recording file: the executable's
// folder when it can be written, else the user's own configuration folder.

#include <QString>

// With a trailing separator.
QString AppDataFolder();
// AppDataFolder() + "Quillora.ini".
QString SettingsFilePath();
// Makes AppDataFolder() return folder (with a trailing separator added when
// missing); an empty folder restores the normal choice. For tests.
void SetAppDataFolder(const QString& folder);
