#pragma once
// UTF-8 paths and the wide (UTF-16) file API of Windows: the one conversion
// that the settings file, the recording file and the executable's folder
// share. Windows only.

#ifdef _WIN32

#include <string>

// The wide form of a UTF-8 text. False for an empty text or one that is not
// valid UTF-8 (nothing is replaced, so no other file is ever named).
bool WideFromUtf8(const std::string& utf8, std::wstring& wide);

// The UTF-8 form of a wide text (unpaired surrogates become U+FFFD).
std::string Utf8FromWide(const std::wstring& wide);

#endif
