#pragma once
// A sensor as people have them, as sound: mains hum, white noise and a slow
// drift of the rest, with reactions as a tone on top. Qt-free, so the same
// signal can be played through the virtual source (TonePlayer.h) or turned
// into the sensor's readings offline (PollReadings).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

// The rest of a sensor; all amplitudes are shares of full scale.
struct TSensorRest {
  double Hum = 0.0;          // 50 Hz sine
  double HumHz = 50.0;
  double Noise = 0.0;        // white noise, Gaussian with a standard deviation of Noise / 2
  double Drift = 0.0;        // the hum's amplitude rises by this much and back
  double DriftRampS = 60.0;  // each way
  uint32_t Seed = 1;

  // The named sensors of the tests and of the switch trials.
  static TSensorRest Clean() { return {}; }
  static TSensorRest HumOnly() { return {0.05, 50.0, 0.02, 0.0, 60.0, 1}; }
  static TSensorRest HumAndDrift() { return {0.05, 50.0, 0.02, 0.1, 60.0, 1}; }
  static TSensorRest NoiseOnly() { return {0.0, 50.0, 0.03, 0.0, 60.0, 1}; }
};

// The rest as samples, one after another from time 0.
class TSensorRestSignal {
public:
  TSensorRestSignal(const TSensorRest& rest, int rate) : rest_(rest), rate_(rate), random_(rest.Seed) {}

  double Next() {
    const double t = double(n_++) / rate_;
    double amplitude = rest_.Hum;
    if (rest_.Drift > 0.0 && rest_.DriftRampS > 0.0) {
      // A triangle: 0 → Drift in DriftRampS, back to 0 in as long.
      const double phase = std::fmod(t, 2.0 * rest_.DriftRampS) / rest_.DriftRampS;
      amplitude += rest_.Drift * (phase <= 1.0 ? phase : 2.0 - phase);
    }
    double v = amplitude * std::sin(2.0 * M_PI * rest_.HumHz * t);
    if (rest_.Noise > 0.0) v += 0.5 * rest_.Noise * normal_(random_);
    return v;
  }
  int64_t Position() const { return n_; }

private:
  TSensorRest rest_;
  int rate_;
  int64_t n_ = 0;
  std::mt19937 random_;
  std::normal_distribution<double> normal_{0.0, 1.0};
};

// A reaction: a 440 Hz tone from Start for Length seconds.
struct TSensorReaction {
  double Start = 0.0;
  double Length = 0.5;
  double Amplitude = 0.15;
};

// What the sound-card sensor reads each 40 ms poll of the signal: the peak
// distance from mid-scale of its 8-bit samples, over 128.
inline std::vector<double> PollReadings(const TSensorRest& rest, const std::vector<TSensorReaction>& reactions,
                                        int polls, int rate = 44100) {
  TSensorRestSignal signal(rest, rate);
  const int perPoll = rate * 40 / 1000;
  std::vector<double> readings;
  readings.reserve(polls);
  for (int p = 0; p < polls; ++p) {
    int peak = 0;
    for (int i = 0; i < perPoll; ++i) {
      const double t = double(signal.Position()) / rate;
      double v = signal.Next();
      for (const TSensorReaction& r : reactions)
        if (t >= r.Start && t < r.Start + r.Length) v += r.Amplitude * std::sin(2.0 * M_PI * 440.0 * (t - r.Start));
      const long byte = std::lround(128.0 + 127.0 * std::fmax(-1.0, std::fmin(1.0, v)));
      if (byte != 0) peak = std::max(peak, int(std::labs(byte - 128)));
    }
    readings.push_back(peak / 128.0);
  }
  return readings;
}
