#pragma once

// Signal conditioning: the signal channel (spring filter and averaging) and
// the probe that turns sensor readings into a sensor value and a level.

#include <cstdint>
#include <vector>

class TSensor;

// The spring parameters a step runs with, from the typed ones. The explicit
// step is stable only for 5·dt < damping < 1/dt + 2.5·dt (dt the time step):
// near the lower edge its swing hardly dies away, near the upper one it flips
// sign at every step, and beyond either it grows without bound. So the time
// step is held within 0.01..0.5 and the damping between 5·dt + 0.5 (swings
// fade within seconds) and the value at which the sign-flipping part halves
// at every step. The defaults (3.1, 0.22) lie inside and run unchanged; a
// value that is not a number runs as its default.
struct TSpringParameters {
  double Damping;
  double TimeStep;
  double MinDamping;
  double MaxDamping;
};
TSpringParameters SpringInEffect(double damping, double timeStep);
constexpr double MinSpringTimeStep = 0.01;
constexpr double MaxSpringTimeStep = 0.5;

// A second-order spring filter followed by an averaging stage.
class TSignalChannel {
public:
  explicit TSignalChannel(bool windowed = false);
  virtual ~TSignalChannel();

  // Clamps to 1..1024 and keeps the current average.
  virtual void SetDepth(int depth);
  // Running (false) or windowed (true) averaging.
  virtual void SetWindowed(bool on);
  // One spring step when SpringEnabled, else x unchanged. The step runs with
  // SpringInEffect(Damping, TimeStep).
  virtual double Spring(double x);
  // One averaging step.
  virtual double Average(double x);
  // Average(Spring(x)).
  virtual double Filter(double x);

  double Damping = 3.1;
  double TimeStep = 0.22;
  bool SpringEnabled = false;
  // Largest magnitude of the spring's output and velocity: a last guard for
  // inputs far beyond the scale. A step that would leave it puts the spring
  // at rest at the input, clamped to it (at 0 for an input that is not a
  // number), so the output settles whatever the inputs were.
  double SpringLimit = 1.0e6;

  bool Windowed() const { return windowed_; }
  int Depth() const { return depth_; }
  double Sum() const { return sum_; }
  double CurrentAverage() const { return sum_ / depth_; }
  const std::vector<double>& Window() const { return window_; }
  double SpringPosition() const { return springPosition_; }
  double SpringVelocity() const { return springVelocity_; }

  void SetSum(double sum) { sum_ = sum; }
  void SetSpringState(double position, double velocity);

private:
  bool windowed_;
  int32_t depth_ = 1;
  double sum_ = 0.0;
  std::vector<double> window_;
  double springPosition_ = 0.0;
  double springVelocity_ = 0.0;
};

class TProbe {
public:
  enum : uint8_t { LevelAuto = 0, LevelTracking = 1, LevelFixed = 2 };

  // The sensor is not owned. windowed is passed to both channels.
  explicit TProbe(TSensor& sensor, bool windowed = false);
  virtual ~TProbe();

  // One reading: updates the sensor value and, by LevelMode, the level.
  // False (sensor value and Level zeroed) when the sensor's read fails.
  virtual bool Measure();
  // Re-centres: Level = value, the level channel's average = value, its
  // spring at rest at position × 0.1.
  virtual void SetLevel(double position, double value);

  double Level = 0.0;
  uint8_t LevelMode = LevelAuto;  // 0 auto, 1 tracking, 2 fixed
  // While set, Measure leaves the level where it is in every mode, and the
  // instrument model does not re-centre it: a reaction is judged against the
  // level from before it began.
  bool HoldLevel = false;
  // Whether the last Measure left the level where it was because of it.
  bool LevelHeld() const { return levelHeld_; }

  double SensorValue() const { return sensorValue_; }
  TSensor& Sensor() { return sensor_; }
  const TSensor& Sensor() const { return sensor_; }
  TSignalChannel& DataChannel() { return dataChannel_; }
  TSignalChannel& LevelChannel() { return levelChannel_; }

private:
  TSensor& sensor_;
  TSignalChannel dataChannel_;
  TSignalChannel levelChannel_;
  double sensorValue_ = 0.0;
  bool resetFilter_ = true;
  bool levelHeld_ = false;
};
