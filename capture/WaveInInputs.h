#pragma once

// The system's wave-input devices by name (waveInGetNumDevs,
// waveInGetDevCapsW), the preferred one first, and the device number a name
// stands for at the moment of an open.

#include <string>
#include <vector>

#include "capture/CaptureInputs.h"

class TWaveInInputs : public TCaptureInputs {
public:
  // Always answers: with no device the list is empty.
  bool List(std::vector<TCaptureInput>& inputs) override;
};

// The devices' names in device-number order. A name repeats when two devices
// of one make are installed; the second and later then get " (2)", " (3)", ...
std::vector<std::string> WaveInDeviceNames();
// The device number of the wave mapper's preferred input, or -1 when the
// system does not say.
int PreferredWaveInDevice();
// The device number of name, or -1 when no such device exists now.
int WaveInDeviceNumber(const std::string& name);
