#include "session/CalibrationReplay.h"

#include <cmath>

#include "session/Calibration.h"
#include "session/SessionRules.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"

namespace {

// A firing held longer than this (10 s of polls) lets the level go, as the
// session does.
constexpr int kMaxHeldPolls = 250;

// Plays readings back, one per Read().
class TReplaySensor : public TSensor {
public:
  explicit TReplaySensor(const std::vector<double>& readings) : readings_(readings) { Maximum = 1.0; }
  bool Read() override {
    Reading = next_ < readings_.size() ? readings_[next_++] : 0.0;
    return true;
  }

private:
  const std::vector<double>& readings_;
  std::size_t next_ = 0;
};

// A probe and model as the chain's options set them, the level at start.
struct TReplayChain {
  TReplayChain(const std::vector<double>& readings, const TCalibrationChain& chain, uint8_t levelMode,
               double gain, double startLevel)
      : Sensor(readings), Probe(Sensor, false), Model(Probe, nullptr) {
    Probe.DataChannel().SetDepth(chain.DataDepth);
    Probe.DataChannel().SetSum(Probe.DataChannel().Depth() * startLevel);
    Probe.LevelChannel().SetDepth(chain.LevelDepth);
    Probe.SetLevel(0.0, startLevel);
    Probe.LevelMode = levelMode;
    Model.SetGain(gain);
    TSignalChannel& needle = Model.NeedleChannel();
    needle.Damping = chain.Damping;
    needle.TimeStep = chain.TimeStep;
    needle.SpringEnabled = chain.SpringEnabled;
  }
  TReplaySensor Sensor;
  TProbe Probe;
  TGaugePM100 Model;
};

}  // namespace

TSessionReadings WithDrumMoves(const std::vector<double>& readings, int symbolPeriodMs) {
  const int rest = std::max(1, symbolPeriodMs / kTickMs);
  TSessionReadings s;
  s.Readings.reserve(readings.size() + readings.size() / rest * kDrumMovePolls + kDrumMovePolls);
  for (std::size_t k = 0; k < readings.size(); ++k) {
    if (k > 0 && k % rest == 0) {
      s.Readings.insert(s.Readings.end(), kDrumMovePolls, 0.0);
      s.Samples.insert(s.Samples.end(), kDrumMovePolls, false);
    }
    s.Index.push_back(static_cast<int>(s.Readings.size()));
    s.Readings.push_back(readings[k]);
    s.Samples.push_back(true);
  }
  return s;
}

std::vector<double> ReplayInstrument(const std::vector<double>& readings, const TCalibrationChain& chain,
                                     uint8_t levelMode, double gain, double startLevel) {
  TReplayChain c(readings, chain, levelMode, gain, startLevel);
  std::vector<double> inst;
  inst.reserve(readings.size());
  for (std::size_t k = 0; k < readings.size(); ++k) {
    c.Model.Measure();
    inst.push_back(c.Model.Data().Inst);
  }
  return inst;
}

std::vector<int> ReplayFirings(const TSessionReadings& polls, const TCalibrationChain& chain,
                               const TSwitchLevels& levels, std::vector<double>* inst) {
  TReplayChain c(polls.Readings, chain, levels.LevelMode, levels.Gain, levels.StartLevel);
  if (inst) inst->assign(polls.Readings.size(), 0.0);
  std::vector<int> firings;
  bool latch = true;
  bool held = false;
  double sign = 1.0;
  int heldPolls = 0;
  for (std::size_t k = 0; k < polls.Readings.size(); ++k) {
    if (held && ++heldPolls > kMaxHeldPolls) held = false;
    c.Probe.HoldLevel = held;
    c.Model.Measure();
    const double x = c.Model.Data().Inst;
    if (inst) (*inst)[k] = x;
    if (!polls.Samples[k]) continue;
    const double v = std::fabs(x);
    if (v > levels.OnLevel && !latch) {
      firings.push_back(static_cast<int>(k));
      latch = true;
      held = true;
      sign = x < 0 ? -1.0 : 1.0;
      heldPolls = 0;
    } else if (held ? x * sign < levels.OffLevel : v < levels.OffLevel) {
      latch = false;
      if (held) {
        held = false;
        if (c.Probe.LevelMode != TProbe::LevelFixed) c.Probe.SetLevel(c.Model.Offset, c.Probe.SensorValue());
      }
    }
  }
  return firings;
}
