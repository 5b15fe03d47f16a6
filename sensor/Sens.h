#pragma once

// The sensor: one reading per poll, the peak amplitude of the sound input
// since the poll before, scaled to Minimum..Maximum.

#include <cstdint>
#include <memory>
#include <vector>

#include "capture/CaptureDevice.h"

class TSensor {
public:
  TSensor();
  virtual ~TSensor();

  bool Invert = false;    // stored and persisted; changes no reading
  bool NoSensor = false;  // no device is opened and every reading is Minimum
  double Minimum = 0.0;
  double Maximum = 0.0;
  double Step = 0.0;
  double Reading = 0.0;   // the last reading

  // Capture period in milliseconds last asked for.
  int32_t Period() const { return period_; }

  virtual bool Start(int periodMs);
  virtual void Stop();
  virtual void Rearm(int periodMs);
  // Takes a reading into Reading; true when one was taken.
  virtual bool Read() = 0;
  // Whether the last Read examined recorded samples. A reading that examined
  // none (the capture stopped, or started since the poll before) tells
  // nothing about the signal.
  virtual bool SamplesRead() const { return true; }
  // Examines now, before the capture stops, the samples recorded since the
  // last Read; the next Read reports them, running or not.
  virtual void Drain() {}
  // Whether the last Read reported samples examined by Drain.
  virtual bool DrainedRead() const { return false; }

protected:
  int32_t period_ = 0;
};

// Records from the sound input into one buffer per capture, long enough for
// one period; the device fills it once and stops. Read() looks at the bytes
// recorded between the two previous polls (one poll behind the device) and
// skips bytes still at the zero fill.
//
// A lost capture is never read as silence. A capture is lost when it could
// not start, when the device reports it broken, or when its position stands
// still for LossMs while the buffer is not full. The sensor then reopens it
// once: at the next Start or Rearm, or at the first read once the capture
// has been lost for LossMs (a broken or stalled one at once). When that
// reopen fails, or the reopened capture is lost again before it delivered,
// Read() fails until a start succeeds. With NoSensor nothing is opened and
// nothing fails.
class TAudioSensor_OneRun : public TSensor {
public:
  // No device given: the platform's default capture back end.
  explicit TAudioSensor_OneRun(void* ownerWindow,
                               std::unique_ptr<TCaptureDevice> device = {});
  ~TAudioSensor_OneRun() override;

  bool Start(int periodMs) override;
  void Stop() override;
  // Not capturing: a new capture. Capturing with the buffer full: a new
  // capture with the stored period. Otherwise nothing.
  void Rearm(int periodMs) override;
  // False once a lost capture could not be reopened (see above).
  bool Read() override;

  // How long a capture may deliver nothing before it counts as lost, and how
  // long after a failed start the read tries once more.
  static constexpr int LossMs = 1000;
  bool SamplesRead() const override { return samplesRead_; }
  void Drain() override;
  bool DrainedRead() const override { return drainedRead_; }

  virtual bool StartCapture(int periodMs);
  virtual void StopCapture();
  virtual void CloseDevice();

  // State, for the tests and the windows.
  bool IsRunning() const { return running_; }
  int BufferSize() const { return static_cast<int>(buffer_.size()); }
  const uint8_t* BufferData() const { return buffer_.data(); }
  int32_t ScanStart() const { return scanStart_; }
  int32_t ScanEnd() const { return scanEnd_; }
  void* OwnerWindow() const { return ownerWindow_; }
  TCaptureDevice& Device() { return *device_; }

private:
  // Position p has not moved for LossMs with room left, or the device
  // reports the capture broken.
  bool CaptureBroke(int p);
  // Drops a broken capture; the next read reopens it.
  void LoseCapture();
  // Milliseconds on the local clock.
  static double NowMs();

  void* ownerWindow_;
  std::unique_ptr<TCaptureDevice> device_;
  std::vector<uint8_t> buffer_;
  int32_t scanEnd_ = 0;
  int32_t scanStart_ = 0;
  bool running_ = false;

  bool wanted_ = false;      // a capture was asked for and not stopped since
  bool lost_ = false;        // the capture broke, stalled or could not start
  bool reopened_ = false;    // the read reopened it; nothing arrived since
  bool failed_ = false;      // the reopen did not help: reads fail
  double lostAtMs_ = 0.0;    // when the capture was lost ...
  double retryAfterMs_ = 0;  // ... and how long after that the read reopens it
  int32_t lastPosition_ = 0;
  double progressAtMs_ = 0.0;  // when the position last moved
  bool samplesRead_ = true;
  // The peak Drain found, reported by the next Read.
  bool drained_ = false;
  uint16_t drainedPeak_ = 0;
  bool drainedRead_ = false;
};
