#include "capture/WaveInInputs.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <mmsystem.h>
#include <mmddk.h>

#include <algorithm>

namespace {

std::string Utf8(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return std::string();
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
  out.resize(size_t(n - 1));
  return out;
}

}  // namespace

std::vector<std::string> WaveInDeviceNames() {
  std::vector<std::string> names;
  const UINT count = waveInGetNumDevs();
  for (UINT id = 0; id < count; ++id) {
    WAVEINCAPSW caps{};
    std::string name;
    if (waveInGetDevCapsW(id, &caps, sizeof caps) == MMSYSERR_NOERROR) name = Utf8(caps.szPname);
    if (name.empty()) name = "Устройство " + std::to_string(id + 1);
    // The names are what the settings keep: each must pick one device.
    const std::string base = name;
    for (int n = 2; std::find(names.begin(), names.end(), name) != names.end(); ++n)
      name = base + " (" + std::to_string(n) + ")";
    names.push_back(name);
  }
  return names;
}

int PreferredWaveInDevice() {
  DWORD id = 0, flags = 0;
  if (waveInMessage(reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(WAVE_MAPPER)),
                    DRVM_MAPPER_PREFERRED_GET, reinterpret_cast<DWORD_PTR>(&id),
                    reinterpret_cast<DWORD_PTR>(&flags)) != MMSYSERR_NOERROR ||
      id >= waveInGetNumDevs())
    return -1;
  return int(id);
}

int WaveInDeviceNumber(const std::string& name) {
  const std::vector<std::string> names = WaveInDeviceNames();
  const auto it = std::find(names.begin(), names.end(), name);
  return it == names.end() ? -1 : int(it - names.begin());
}

bool TWaveInInputs::List(std::vector<TCaptureInput>& inputs) {
  inputs.clear();
  const std::vector<std::string> names = WaveInDeviceNames();
  const int preferred = PreferredWaveInDevice();
  if (preferred >= 0) inputs.push_back({names[size_t(preferred)], names[size_t(preferred)]});
  for (size_t id = 0; id < names.size(); ++id)
    if (int(id) != preferred) inputs.push_back({names[id], names[id]});
  return true;
}
