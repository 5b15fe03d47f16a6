#include <cmath>
#include <cstdint>

#include "Alarm.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
}

std::string AlarmPeriodPcm(int sampleRate) {
  // 880 Hz and 660 Hz, 200 ms each with 10 ms ramps (no clicks), then 500 ms
  // of silence: a signal no voice makes.
  struct TPart {
    double Hz;
    int Ms;
  };
  const TPart parts[] = {{880.0, 200}, {0.0, 100}, {660.0, 200}, {0.0, 500}};
  std::string pcm;
  const double amplitude = 0.6 * 32767.0;
  const int ramp = sampleRate / 100;
  for (const TPart& part : parts) {
    const int n = sampleRate * part.Ms / 1000;
    for (int i = 0; i < n; ++i) {
      double v = 0.0;
      if (part.Hz > 0.0) {
        const double edge = std::fmin(1.0, std::fmin(i, n - 1 - i) / double(ramp));
        v = amplitude * edge * std::sin(2.0 * kPi * part.Hz * i / sampleRate);
      }
      const auto sample = static_cast<int16_t>(std::lround(v));
      pcm.push_back(static_cast<char>(sample & 0xff));
      pcm.push_back(static_cast<char>((sample >> 8) & 0xff));
    }
  }
  return pcm;
}
