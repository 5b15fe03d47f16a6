#pragma once

// Capture through Qt Multimedia: the default audio input, 8000 Hz mono
// unsigned 8-bit, pushed into the one fixed buffer. Data arrive through the
// Qt event loop, so the owner must let the loop run between polls.

#include <memory>

#include "capture/CaptureDevice.h"

class QAudioSource;
class TBufferSink;

class TQtAudioCapture : public TCaptureDevice {
public:
  TQtAudioCapture();
  ~TQtAudioCapture() override;

  bool Open() override;
  bool AddBuffer(uint8_t* data, int size) override;
  bool Start() override;
  int Position() override;
  bool BufferDone() override;
  void Reset() override;
  void Close() override;

private:
  std::unique_ptr<QAudioSource> source_;
  std::unique_ptr<TBufferSink> sink_;
};
