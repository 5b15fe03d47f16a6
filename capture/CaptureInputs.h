#pragma once

// The system's recording devices, for the user to choose from.

#include <memory>
#include <string>
#include <vector>

struct TCaptureInput {
  std::string Name;         // what TCaptureDevice::SelectInput takes
  std::string Description;  // what the user sees
};

class TCaptureInputs {
public:
  virtual ~TCaptureInputs();
  // The recording devices, the system's default first. False (and an empty
  // list) when the sound system cannot be asked.
  virtual bool List(std::vector<TCaptureInput>& inputs) = 0;
};

// The platform's list: the wave-input devices on Windows, PulseAudio's
// sources (without the monitors of its outputs) on Linux; none elsewhere.
std::unique_ptr<TCaptureInputs> CreateDefaultCaptureInputs();
