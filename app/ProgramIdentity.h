#pragma once
// The application's name, version, window icon and desktop entry, so that
// the running windows match the program's menu entry and icon.

class QGuiApplication;

// The desktop entry's name without ".desktop"; also the icon's name.
inline constexpr const char* kDesktopId = "org.quillora.Quillora";

void ApplyProgramIdentity(QGuiApplication& app);
