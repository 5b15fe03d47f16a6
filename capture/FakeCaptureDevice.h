#pragma once

// A scripted capture device for tests: it records the calls made to it, can be
// told to fail its open, queue or start, and "records" the bytes the test
// hands it into the queued buffer.

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "capture/CaptureDevice.h"
#include "capture/CaptureInputs.h"

class TFakeCaptureDevice : public TCaptureDevice {
public:
  // Failures to script.
  bool FailOpen = false;
  bool FailAddBuffer = false;
  bool FailStart = false;

  // Calls received.
  int OpenCount = 0;
  int AddBufferCount = 0;
  int StartCount = 0;
  int PositionCount = 0;
  int ResetCount = 0;
  int CloseCount = 0;

  // Present state.
  bool IsOpen() const { return open_; }
  bool IsStarted() const { return started_; }
  uint8_t* QueuedData() const { return data_; }
  int QueuedSize() const { return size_; }
  // Bytes recorded into the queued buffer since Start.
  int Recorded() const { return recorded_; }

  // Records bytes now (only while started; bytes beyond the buffer are
  // dropped, as a full buffer stops the device).
  void Deliver(const uint8_t* bytes, int count);
  void Deliver(const std::vector<uint8_t>& bytes);
  void Deliver(std::initializer_list<uint8_t> bytes);
  void DeliverFill(uint8_t value, int count);

  // Chunks recorded one per Position() call, before the position is taken:
  // the bytes that arrive between two polls.
  void QueueOnPosition(std::vector<uint8_t> chunk);
  // A pattern recorded at every Position() call once the queue is empty
  // (empty: nothing).
  void SetAutoDeliver(std::vector<uint8_t> pattern);

  // When >= 0, Position() reports this instead of the bytes recorded.
  int ForcedPosition = -1;
  // When set, BufferDone() reports true whatever was recorded.
  bool ForceDone = false;
  // When set, the started capture reports itself broken (Failed()); the
  // next Start clears it.
  bool Broken = false;

  bool Open() override;
  bool AddBuffer(uint8_t* data, int size) override;
  bool Start() override;
  int Position() override;
  bool BufferDone() override;
  bool Failed() override;
  void Reset() override;
  void Close() override;
  // Remembers the name; the fake records from nothing in particular.
  void SelectInput(const std::string& name) override { SelectedInput = name; }
  std::string SelectedInput;

private:
  bool open_ = false;
  bool started_ = false;
  uint8_t* data_ = nullptr;
  int size_ = 0;
  int recorded_ = 0;
  std::deque<std::vector<uint8_t>> onPosition_;
  std::vector<uint8_t> autoPattern_;
};

// A device list the test writes.
class TFakeCaptureInputs : public TCaptureInputs {
public:
  bool Listable = true;  // false: as without a sound server
  std::vector<TCaptureInput> Inputs;
  bool List(std::vector<TCaptureInput>& inputs) override {
    inputs = Listable ? Inputs : std::vector<TCaptureInput>{};
    return Listable;
  }
};
