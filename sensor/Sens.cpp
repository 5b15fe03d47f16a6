#include "sensor/Sens.h"

#include <algorithm>
#include <cstdint>

#include "capture/DefaultCaptureDevice.h"

TSensor::TSensor() = default;
TSensor::~TSensor() = default;

bool TSensor::Start(int periodMs) {
  period_ = periodMs;
  return true;
}

void TSensor::Stop() {}

void TSensor::Rearm(int periodMs) { period_ = periodMs; }

namespace {

constexpr int kSamplesPerSecond = 8000;
// Longest capture buffer: one hour of samples. Periods in use are 0.1..20 s;
// the bound only keeps an absurd period from asking for gigabytes.
constexpr int64_t kMaxBufferBytes = int64_t(kSamplesPerSecond) * 3600;

int BufferBytesFor(int periodMs) {
  const int64_t n = int64_t(periodMs) * kSamplesPerSecond / 1000;
  return static_cast<int>(std::clamp<int64_t>(n, 1, kMaxBufferBytes));
}

}  // namespace

TAudioSensor_OneRun::TAudioSensor_OneRun(void* ownerWindow,
                                         std::unique_ptr<TCaptureDevice> device)
    : ownerWindow_(ownerWindow),
      device_(device ? std::move(device) : CreateDefaultCaptureDevice()) {
  Minimum = 0.0;
  Maximum = 1.0;
  Step = 0.1;
}

TAudioSensor_OneRun::~TAudioSensor_OneRun() {
  // The device must not go on writing into the buffer freed with us.
  StopCapture();
  device_->Close();
}

bool TAudioSensor_OneRun::Start(int periodMs) { return StartCapture(periodMs); }

void TAudioSensor_OneRun::Stop() { StopCapture(); }

void TAudioSensor_OneRun::Rearm(int periodMs) {
  if (!running_) {
    StartCapture(periodMs);
  } else if (NoSensor) {
    period_ = periodMs;
    StopCapture();
  } else if (device_->BufferDone()) {
    StartCapture(period_);
  }
}

bool TAudioSensor_OneRun::StartCapture(int periodMs) {
  period_ = periodMs;
  if (running_) StopCapture();
  if (NoSensor) return false;

  // The open is not checked on its own: a device that did not open refuses
  // the buffer below.
  device_->Open();

  const int n = BufferBytesFor(periodMs);
  if (n != BufferSize()) {
    buffer_ = std::vector<uint8_t>();  // free the old buffer first
    buffer_.resize(static_cast<std::size_t>(n));
  }
  scanEnd_ = 0;
  scanStart_ = 0;
  std::fill(buffer_.begin(), buffer_.end(), uint8_t(0));

  if (!device_->AddBuffer(buffer_.data(), n)) {
    CloseDevice();
    return false;
  }
  if (!device_->Start()) {
    device_->Reset();
    CloseDevice();
    return false;
  }
  running_ = true;
  return true;
}

void TAudioSensor_OneRun::StopCapture() {
  if (!running_) return;
  device_->Reset();
  CloseDevice();
}

void TAudioSensor_OneRun::CloseDevice() {
  device_->Close();
  running_ = false;
}

bool TAudioSensor_OneRun::Read() {
  uint16_t peak = 0;
  bool examined = false;
  if (running_ && !NoSensor) {
    const int p = device_->Position();
    // Only bytes below the position reported one poll earlier are complete;
    // bytes still 0 have not been written by the device.
    const int32_t from = std::max<int32_t>(scanStart_, 0);
    const int32_t to = std::min<int32_t>(scanEnd_, BufferSize());
    const uint8_t* data = buffer_.data();
    for (int32_t i = from; i < to; ++i) {
      const int b = data[i];
      if (b == 0) continue;
      const uint16_t d = static_cast<uint16_t>(b >= 128 ? b - 128 : 128 - b);
      if (d > peak) peak = d;
    }
    examined = from < to;
    scanStart_ = scanEnd_;
    scanEnd_ = p;
  }
  drainedRead_ = drained_;
  if (drained_) {
    peak = std::max(peak, drainedPeak_);
    examined = true;
    drained_ = false;
  }
  samplesRead_ = examined;
  Reading = Minimum + (Maximum - Minimum) * peak * 0.0078125;
  return true;
}

void TAudioSensor_OneRun::Drain() {
  if (!running_ || NoSensor) return;
  // Everything not yet examined: the window the next Read would look at and
  // what the device has recorded since.
  const int32_t p = device_->Position();
  const int32_t from = std::max<int32_t>(scanStart_, 0);
  const int32_t to = std::min<int32_t>(p, BufferSize());
  uint16_t peak = drained_ ? drainedPeak_ : 0;
  for (int32_t i = from; i < to; ++i) {
    const int b = buffer_[i];
    if (b == 0) continue;
    peak = std::max<uint16_t>(peak, static_cast<uint16_t>(b >= 128 ? b - 128 : 128 - b));
  }
  drainedPeak_ = peak;
  drained_ = true;
  scanStart_ = p;
  scanEnd_ = p;
}
