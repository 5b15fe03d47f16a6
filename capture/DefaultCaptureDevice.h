#pragma once

#include <memory>

#include "capture/CaptureDevice.h"

// The platform's capture back end: wave input on Windows, Qt Multimedia
// elsewhere; a device that never opens in a build without Qt.
std::unique_ptr<TCaptureDevice> CreateDefaultCaptureDevice();
