#pragma once

// Capture through PulseAudio's client library (served by PipeWire too): one
// connection with its own thread, kept from one capture to the next while it
// is good, and one record stream per capture. The stream's thread copies the
// samples into the one fixed buffer as they arrive; the owner only polls the
// position. A server that goes away or a stream that fails is reported by
// Failed(); the next Open then connects anew, so a server that is back is
// found by the next capture.

#include <atomic>
#include <memory>
#include <string>

#include "capture/CaptureDevice.h"
#include "capture/CaptureInputs.h"

struct pa_stream;
struct TPulseLink;

class TPulseCapture : public TCaptureDevice {
public:
  TPulseCapture();
  ~TPulseCapture() override;
  TPulseCapture(const TPulseCapture&) = delete;
  TPulseCapture& operator=(const TPulseCapture&) = delete;

  // Connects to the server (never starts one). A selected device that the
  // server does not have is replaced by the default and reported.
  bool Open() override;
  bool AddBuffer(uint8_t* data, int size) override;
  // Connects the record stream and waits until it runs or fails.
  bool Start() override;
  int Position() override;
  bool BufferDone() override;
  bool Failed() override;
  // Disconnects the stream: no byte is written into the buffer after it.
  void Reset() override;
  // Disconnects the stream; the connection is kept for the next Open
  // unless it failed.
  void Close() override;
  void SelectInput(const std::string& name) override;
  std::string InputInUse() const override;

private:
  static void StreamState(pa_stream* stream, void* self);
  static void StreamReadable(pa_stream* stream, size_t bytes, void* self);

  std::unique_ptr<TPulseLink> link_;
  pa_stream* stream_ = nullptr;
  std::string selected_;  // the device asked for; empty: the default
  std::string target_;    // the device the stream is connected to; empty: the default
  std::string inUse_;     // the device the server connected the stream to
  uint8_t* data_ = nullptr;
  int size_ = 0;
  std::atomic<int> position_{0};
  std::atomic<bool> streamFailed_{false};
};

// PulseAudio's sources, the monitors of its outputs left out.
class TPulseInputs : public TCaptureInputs {
public:
  bool List(std::vector<TCaptureInput>& inputs) override;
};
