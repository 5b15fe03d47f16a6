#include "capture/FakeCaptureDevice.h"

#include <algorithm>
#include <cstring>

void TFakeCaptureDevice::Deliver(const uint8_t* bytes, int count) {
  if (!started_ || !data_ || count <= 0) return;
  const int n = std::min(count, size_ - recorded_);
  if (n <= 0) return;
  std::memcpy(data_ + recorded_, bytes, static_cast<std::size_t>(n));
  recorded_ += n;
}

void TFakeCaptureDevice::Deliver(const std::vector<uint8_t>& bytes) {
  Deliver(bytes.data(), static_cast<int>(bytes.size()));
}

void TFakeCaptureDevice::Deliver(std::initializer_list<uint8_t> bytes) {
  Deliver(std::vector<uint8_t>(bytes));
}

void TFakeCaptureDevice::DeliverFill(uint8_t value, int count) {
  if (count > 0) Deliver(std::vector<uint8_t>(static_cast<std::size_t>(count), value));
}

void TFakeCaptureDevice::QueueOnPosition(std::vector<uint8_t> chunk) {
  onPosition_.push_back(std::move(chunk));
}

void TFakeCaptureDevice::SetAutoDeliver(std::vector<uint8_t> pattern) {
  autoPattern_ = std::move(pattern);
}

bool TFakeCaptureDevice::Open() {
  ++OpenCount;
  open_ = !FailOpen;
  return open_;
}

bool TFakeCaptureDevice::AddBuffer(uint8_t* data, int size) {
  ++AddBufferCount;
  if (!open_ || FailAddBuffer) return false;
  data_ = data;
  size_ = size;
  recorded_ = 0;
  return true;
}

bool TFakeCaptureDevice::Start() {
  ++StartCount;
  if (!open_ || !data_ || FailStart) return false;
  started_ = true;
  Broken = false;  // a new capture, a new stream
  recorded_ = 0;
  return true;
}

int TFakeCaptureDevice::Position() {
  ++PositionCount;
  if (!onPosition_.empty()) {
    Deliver(onPosition_.front());
    onPosition_.pop_front();
  } else if (!autoPattern_.empty()) {
    Deliver(autoPattern_);
  }
  return ForcedPosition >= 0 ? ForcedPosition : recorded_;
}

bool TFakeCaptureDevice::BufferDone() {
  return ForceDone || (data_ && size_ > 0 && recorded_ >= size_);
}

bool TFakeCaptureDevice::Failed() { return Broken && started_; }

void TFakeCaptureDevice::Reset() {
  ++ResetCount;
  started_ = false;
  data_ = nullptr;
  size_ = 0;
}

void TFakeCaptureDevice::Close() {
  ++CloseCount;
  open_ = false;
  started_ = false;
  data_ = nullptr;
  size_ = 0;
}
