#pragma once

#include <memory>

#include "capture/CaptureDevice.h"

// The platform's capture back end: wave input on Windows, PulseAudio
// elsewhere; a device that never opens in a build without either.
std::unique_ptr<TCaptureDevice> CreateDefaultCaptureDevice();
