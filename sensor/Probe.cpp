#include "sensor/Probe.h"

#include <algorithm>
#include <cmath>

#include "sensor/Sens.h"

namespace {

constexpr int kMinDepth = 1;
constexpr int kMaxDepth = 1024;

// Spring constants: output scale, mass, stiffness.
constexpr double kSpringScale = 10.0;
constexpr double kSpringMass = 0.5;
constexpr double kSpringStiffness = 5.0;

constexpr double kDefaultDamping = 3.1;
constexpr double kDefaultTimeStep = 0.22;
// Damping beyond the lower stability edge 5·dt.
constexpr double kDampingMargin = 0.5;
// Largest magnitude of the step's negative eigenvalue at the upper edge.
constexpr double kFlipFactor = 0.5;

}  // namespace

TSpringParameters SpringInEffect(double damping, double timeStep) {
  TSpringParameters r;
  r.TimeStep = std::isnan(timeStep) ? kDefaultTimeStep
                                    : std::clamp(timeStep, MinSpringTimeStep, MaxSpringTimeStep);
  const double dt = r.TimeStep;
  // Lower edge: the step's characteristic polynomial has |det| = 1 at
  // damping 5·dt. Upper edge: it has the root -kFlipFactor at the damping
  // below (-1 would be the stability limit 1/dt + 2.5·dt).
  r.MinDamping = kSpringStiffness / kSpringMass / 2.0 * dt + kDampingMargin;
  const double f = 1.0 + kFlipFactor;
  r.MaxDamping = f / (2.0 * dt) + 5.0 * dt / f;
  r.Damping = std::isnan(damping) ? kDefaultDamping : damping;
  r.Damping = std::clamp(r.Damping, r.MinDamping, r.MaxDamping);
  return r;
}

TSignalChannel::TSignalChannel(bool windowed) : windowed_(windowed) {}

TSignalChannel::~TSignalChannel() = default;

void TSignalChannel::SetDepth(int depth) {
  const int n = std::clamp(depth, kMinDepth, kMaxDepth);
  const double average = sum_ / depth_;
  sum_ = n * average;
  depth_ = n;
  if (windowed_ && depth_ > 1)
    window_.assign(static_cast<std::size_t>(depth_), average);
  else
    window_.clear();
}

void TSignalChannel::SetWindowed(bool on) {
  windowed_ = on;
  if (on)
    SetDepth(depth_);
  else
    window_.clear();
}

void TSignalChannel::SetSpringState(double position, double velocity) {
  springPosition_ = position;
  springVelocity_ = velocity;
}

double TSignalChannel::Spring(double x) {
  if (!SpringEnabled) return x;
  const double p = springPosition_;
  const double v = springVelocity_;
  const TSpringParameters in = SpringInEffect(Damping, TimeStep);
  const double a = x - (kSpringStiffness * p + in.Damping * v) / kSpringMass;
  double np = p + v * in.TimeStep;
  double nv = v + a * in.TimeStep;

  // A last guard for inputs far beyond the scale. Should the step leave the
  // bound, the needle is put at rest at the input (held within the bound):
  // clamping position and velocity one by one instead would let a swing that
  // hits the bound keep itself going for ever.
  const double limit = std::isfinite(SpringLimit) && SpringLimit > 0.0 ? SpringLimit : 1.0e6;
  const double maxPosition = limit / kSpringScale;
  const double maxVelocity = limit;
  if (!(std::fabs(np) <= maxPosition && std::fabs(nv) <= maxVelocity)) {
    np = std::isnan(x) ? 0.0 : std::clamp(x / kSpringScale, -maxPosition, maxPosition);
    nv = 0.0;
  }
  springPosition_ = np;
  springVelocity_ = nv;
  return springPosition_ * kSpringScale;
}

double TSignalChannel::Average(double x) {
  if (depth_ < 2) return x;
  if (!windowed_ || window_.size() != static_cast<std::size_t>(depth_)) {
    sum_ = sum_ - sum_ / depth_ + x;
    return sum_ / depth_;
  }
  double s = 0.0;
  for (int i = 0; i + 1 < depth_; ++i) {
    window_[i] = window_[i + 1];
    s += window_[i];
  }
  window_[depth_ - 1] = x;
  sum_ = s + x;
  return sum_ / depth_;
}

double TSignalChannel::Filter(double x) { return Average(Spring(x)); }

TProbe::TProbe(TSensor& sensor, bool windowed)
    : sensor_(sensor), dataChannel_(windowed), levelChannel_(windowed) {
  levelChannel_.SetDepth(5);
}

TProbe::~TProbe() = default;

bool TProbe::Measure() {
  if (!sensor_.Read()) {
    levelHeld_ = false;
    sensorValue_ = 0.0;
    Level = 0.0;
    return false;
  }
  const double reading = sensor_.Reading;
  sensorValue_ = dataChannel_.Filter(reading);

  const double savedSum = levelChannel_.Sum();
  double y = levelChannel_.Spring(reading);
  if (LevelMode == LevelTracking) {
    // A depth-5 exponential average whatever the channel's own depth, kept in
    // the channel's sum so its average stays the level.
    const int depth = levelChannel_.Depth();
    double s = levelChannel_.Sum() / depth * 5.0;
    s = s - s / 5.0 + y;
    y = s / 5.0;
    levelChannel_.SetSum(y * depth);
  } else {
    y = levelChannel_.Average(y);
  }

  levelHeld_ = HoldLevel;
  if (LevelMode == LevelFixed || levelHeld_)
    levelChannel_.SetSum(savedSum);
  else
    Level = y;
  return true;
}

void TProbe::SetLevel(double position, double value) {
  Level = value;
  levelChannel_.SetSum(levelChannel_.Depth() * value);
  if (resetFilter_) levelChannel_.SetSpringState(position * 0.1, 0.0);
}
