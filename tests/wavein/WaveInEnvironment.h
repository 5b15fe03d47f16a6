#pragma once

// What the environment promises the wave-input tests, from variables the
// test run sets:
//   QUILLORA_WAVEIN_LOOPBACK=1   the default output is looped back into the
//                                default input (a virtual sink's monitor)
//   QUILLORA_WAVEIN_NO_DEVICE=1  no wave-input device exists
// Without them the tests that need that set-up skip themselves.

#include <cstdlib>
#include <cstring>

inline bool WaveInEnvironmentSays(const char* name) {
  const char* value = std::getenv(name);
  return value && std::strcmp(value, "1") == 0;
}
