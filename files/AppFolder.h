#pragma once
// The folder of the settings file and the recording file: the executable's
// folder when it can be written and the program is not installed, else the
// user's own configuration folder.

#include <QString>

// With a trailing separator.
QString AppDataFolder();
// AppDataFolder() + "Quillora.ini".
QString SettingsFilePath();
// Makes AppDataFolder() return folder (with a trailing separator added when
// missing); an empty folder restores the normal choice. For tests.
void SetAppDataFolder(const QString& folder);

// The AppStream id that the installed program's desktop entry, icon and
// metadata carry.
inline constexpr const char* kAppStreamId = "org.quillora.Quillora";

// The executable's folder exeDir is one a package or an installer put it in:
// a system folder (under /usr, /opt, /bin, /sbin or /snap on Unix, under
// Program Files on Windows), or a "bin" folder whose prefix holds the
// program's AppStream metadata (share/metainfo), as `cmake --install` to any
// prefix leaves it. Such a folder is shared by every user of the machine and
// writable for root or an administrator, so the program never keeps its
// files there.
bool IsInstalledProgramFolder(const QString& exeDir);
