#include "sensor/Sens.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "capture/DefaultCaptureDevice.h"
#include "sensor/Utils.h"

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

bool TAudioSensor_OneRun::Start(int periodMs) {
  wanted_ = true;
  reopened_ = false;
  return StartCapture(periodMs);
}

void TAudioSensor_OneRun::Stop() {
  wanted_ = false;
  StopCapture();
}

void TAudioSensor_OneRun::Rearm(int periodMs) {
  wanted_ = true;
  if (!running_) {
    reopened_ = false;
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

  const bool queued = device_->AddBuffer(buffer_.data(), n);
  if (!queued || !device_->Start()) {
    if (queued) device_->Reset();
    CloseDevice();
    if (!lost_) {
      // The read gives it one more try after a while, unless the next rest
      // does first.
      lost_ = true;
      lostAtMs_ = NowMs();
      retryAfterMs_ = LossMs;
    }
    return false;
  }
  running_ = true;
  lost_ = false;
  failed_ = false;
  lastPosition_ = 0;
  progressAtMs_ = NowMs();
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

// Whole milliseconds: the clock has no finer resolution, and rounding keeps
// the day fractions from turning 1000 ms into 999.99.
double TAudioSensor_OneRun::NowMs() { return std::round(LocalDateTimeDays() * 86400000.0); }

bool TAudioSensor_OneRun::CaptureBroke(int p) {
  if (device_->Failed()) return true;
  const double now = NowMs();
  if (p != lastPosition_) {
    lastPosition_ = p;
    progressAtMs_ = now;
    reopened_ = false;  // the reopened capture delivers
    return false;
  }
  if (device_->BufferDone()) return false;
  if (now < progressAtMs_) progressAtMs_ = now;  // the clock was set back
  return now - progressAtMs_ >= LossMs;
}

void TAudioSensor_OneRun::LoseCapture() {
  StopCapture();
  lost_ = true;
  lostAtMs_ = NowMs();
  retryAfterMs_ = 0;
  if (reopened_) failed_ = true;  // reopening did not bring the samples back
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
    // The bytes seen so far count; a capture that broke is dropped after.
    if (CaptureBroke(p)) LoseCapture();
  }
  if (!NoSensor && lost_ && wanted_ && !running_ && !failed_) {
    const double now = NowMs();
    if (now < lostAtMs_) lostAtMs_ = now;  // the clock was set back
    if (now - lostAtMs_ >= retryAfterMs_) {
      if (StartCapture(period_))
        reopened_ = true;
      else
        failed_ = true;
    }
  }
  drainedRead_ = drained_;
  if (drained_) {
    peak = std::max(peak, drainedPeak_);
    examined = true;
    drained_ = false;
  }
  samplesRead_ = examined;
  Reading = Minimum + (Maximum - Minimum) * peak * 0.0078125;
  if (failed_ && !NoSensor) {
    Reading = Minimum;
    return false;
  }
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
