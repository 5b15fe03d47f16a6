#pragma once

// Capture through the Windows waveform-audio input: the wave mapper (or the
// device selected by name) opened for 8000 Hz mono 8-bit PCM with no callback. The driver fills the one queued
// buffer by itself; the owner polls the position and the header's done bit.

#include <memory>
#include <string>

#include "capture/CaptureDevice.h"

class TWaveInCapture : public TCaptureDevice {
public:
  TWaveInCapture();
  ~TWaveInCapture() override;
  TWaveInCapture(const TWaveInCapture&) = delete;
  TWaveInCapture& operator=(const TWaveInCapture&) = delete;

  // An open device is closed first, so a repeated open never leaks a handle.
  // A selected device that no longer exists is reported through
  // OnInputMissing, and the wave mapper is opened instead.
  bool Open() override;
  // A buffer still queued from before is returned and unprepared first.
  bool AddBuffer(uint8_t* data, int size) override;
  bool Start() override;
  // Bytes recorded into the queued buffer, 0..its size; 0 with none queued.
  int Position() override;
  bool BufferDone() override;
  // The position query failed: the device is gone. (A device that merely
  // stops counting is caught by the sensor's stall check.)
  bool Failed() override;
  // Returns the buffer and unprepares its header, so the caller may free it.
  void Reset() override;
  // Returns any queued buffer before the device is closed.
  void Close() override;

  // A name from TWaveInInputs; empty for the wave mapper.
  void SelectInput(const std::string& name) override;
  // The opened device's name; for the wave mapper its preferred device's.
  std::string InputInUse() const override;

private:
  struct TWaveIn;  // the device handle and the wave-buffer header
  std::unique_ptr<TWaveIn> in_;
  std::string selected_;
  std::string inUse_;
};

std::unique_ptr<TCaptureDevice> CreateWaveInCaptureDevice();
