#pragma once

#include "capture/CaptureDevice.h"

// A capture device that has no input: every open, queue and start fails.
class TNullCaptureDevice : public TCaptureDevice {
public:
  bool Open() override;
  bool AddBuffer(uint8_t* data, int size) override;
  bool Start() override;
  int Position() override;
  bool BufferDone() override;
  void Reset() override;
  void Close() override;
};
