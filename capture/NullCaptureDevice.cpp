#include "capture/NullCaptureDevice.h"

bool TNullCaptureDevice::Open() { return false; }
bool TNullCaptureDevice::AddBuffer(uint8_t*, int) { return false; }
bool TNullCaptureDevice::Start() { return false; }
int TNullCaptureDevice::Position() { return 0; }
bool TNullCaptureDevice::BufferDone() { return false; }
void TNullCaptureDevice::Reset() {}
void TNullCaptureDevice::Close() {}
