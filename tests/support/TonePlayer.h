#pragma once
// A tone generator for real-sound tests: keeps a playback stream open on the
// default output (the virtual sink of scripts/pulse-start.sh), so a burst
// starts a steady time after it was asked for.

#include <pthread.h>
#include <pulse/simple.h>
#include <sched.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/support/SensorSignal.h"

// A sensor's rest (silence by default), and a 440 Hz tone on top from the
// moment Begin() is called, written in
// 5 ms pieces to a playback stream on the default output whose buffer is
// kept at 400 ms, so a tone starts a steady time after it was asked for, and
// a busy machine must hold the feeding thread off that long to break a tone.
class TTonePlayer {
public:
  explicit TTonePlayer(const TSensorRest& rest = TSensorRest::Clean()) : rest_(rest, kRate) {
    const pa_sample_spec spec{PA_SAMPLE_S16LE, kRate, 1};
    pa_buffer_attr attr;
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = kRate * 2 * 4 / 10;
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(-1);
    stream_ = pa_simple_new(nullptr, "quillora-test", PA_STREAM_PLAYBACK, nullptr, "tone", &spec,
                            nullptr, &attr, nullptr);
    if (stream_) thread_ = std::thread([this] { Feed(); });
  }
  ~TTonePlayer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (stream_) pa_simple_free(stream_);
  }
  bool Open() const { return stream_ != nullptr; }

  // The tone fades in linearly over `rise` seconds.
  void Begin(double amplitude, double seconds, double rise) {
    std::lock_guard<std::mutex> lock(mutex_);
    amplitude_ = amplitude;
    start_ = pos_;
    end_ = pos_ + int64_t(seconds * kRate);
    rise_ = rise * kRate;
  }
  // The buffer's length: a tone leaves the output this long after Playing().
  static constexpr int BufferMs = 400;
  bool Playing() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pos_ < end_;
  }

private:
  void Feed() {
    // Ahead of CPU-bound processes where the system allows it (as root): a
    // feeder held off longer than the buffer breaks a tone into two.
    sched_param priority{};
    priority.sched_priority = 10;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
    std::vector<int16_t> out(kRate / 200);
    while (!stop_) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        for (int16_t& sample : out) {
          double v = rest_.Next();
          if (pos_ >= start_ && pos_ < end_) {
            const double t = double(pos_ - start_);
            const double a = (rise_ > 0 && t < rise_) ? amplitude_ * t / rise_ : amplitude_;
            v += a * std::sin(2.0 * M_PI * 440.0 * t / kRate);  // on top of the rest
          }
          sample = int16_t(std::lround(std::fmax(-1.0, std::fmin(1.0, v)) * 32767.0));
          ++pos_;
        }
      }
      // Blocks while the stream's buffer is full.
      if (pa_simple_write(stream_, out.data(), out.size() * 2, nullptr) < 0) break;
    }
  }

  static constexpr uint32_t kRate = 48000;
  pa_simple* stream_ = nullptr;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  TSensorRestSignal rest_;
  double amplitude_ = 0.0;
  int64_t pos_ = 0;
  int64_t start_ = 0;
  int64_t end_ = 0;
  double rise_ = 0.0;
};
