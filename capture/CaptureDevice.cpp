#include "capture/CaptureDevice.h"

TCaptureDevice::~TCaptureDevice() = default;

bool TCaptureDevice::Failed() { return false; }

void TCaptureDevice::SelectInput(const std::string&) {}

std::string TCaptureDevice::InputInUse() const { return {}; }
