#pragma once
// The one scripted sensor of the tests and benchmarks (no Qt: the sensor
// tests are also built for Windows without it).

#include <string>
#include <vector>

#include "sensor/Sens.h"

// The test's sensor: each Read() gives NextReading; the readings may come
// from no samples (as while the capture is stopped for a move or has just
// restarted); it records the capture calls the session makes.
class TScriptedSensor : public TSensor {
public:
  // The sound-card sensor's scale.
  TScriptedSensor() {
    Minimum = 0.0;
    Maximum = 1.0;
    Step = 0.1;
  }
  bool Start(int periodMs) override {
    Calls.push_back("Start " + std::to_string(periodMs));
    return TSensor::Start(periodMs);
  }
  void Stop() override { Calls.push_back("Stop"); }
  void Rearm(int periodMs) override {
    Calls.push_back("Rearm " + std::to_string(periodMs));
    TSensor::Rearm(periodMs);
  }
  void Drain() override {
    Calls.push_back("Drain");
    drained_ = true;
  }
  bool Read() override {
    ++Reads;
    if (FailRead) return false;
    Reading = NextReading;
    drainedRead_ = drained_;
    drained_ = false;
    return true;
  }
  bool SamplesRead() const override { return Samples; }
  bool DrainedRead() const override { return drainedRead_; }

  double NextReading = 0.0;
  bool FailRead = false;
  bool Samples = true;
  int Reads = 0;
  std::vector<std::string> Calls;  // "Start 100", "Rearm 40", "Drain", "Stop"

private:
  bool drained_ = false;
  bool drainedRead_ = false;
};
