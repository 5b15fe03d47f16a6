#include "UnixBurst.h"

#include <cstdio>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

bool StartUnixBurst(double amplitude, double seconds) {
  char command[1024];
  const int n = std::snprintf(command, sizeof command, "/bin/sh \"%s\" %.3f %.3f",
                              QUILLORA_PLAY_BURST, amplitude, seconds);
  if (n <= 0 || n >= static_cast<int>(sizeof command)) return false;
  // The script's path is UTF-8: the wide API takes it whatever the code page.
  wchar_t wide[1024];
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, command, -1, wide, 1024) <= 0)
    return false;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, wide, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return false;
  // Wine gives no usable handle for a Unix process; close what there is.
  if (process.hThread) CloseHandle(process.hThread);
  if (process.hProcess) CloseHandle(process.hProcess);
  return true;
}
