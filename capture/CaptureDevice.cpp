#include "capture/CaptureDevice.h"

TCaptureDevice::~TCaptureDevice() = default;
