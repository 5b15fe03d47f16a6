#include "session/Calibration.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "session/SessionRules.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "sensor/Utils.h"

namespace {

// One step of the sound-card reading (a peak of 1 of 128): the smallest
// noise a rest can be said to have.
constexpr double kReadingStep = 1.0 / 128.0;
// The weakest reaction is brought to this deflection, percent.
constexpr double kTargetDeflection = 70.0;
// In fixed mode the model re-centres the level at 90 %; the strongest
// reaction stays below that.
constexpr double kFixedCeiling = 85.0;
// The weakest reaction must stand this many times above the rest's swing.
constexpr double kMinSeparation = 2.5;
// Tracking follows slow drifts of the rest; it is chosen while it keeps at
// least this share of the separation fixed mode would give.
constexpr double kTrackingShare = 0.6;

// Plays recorded readings back, one per Read().
class TReplaySensor : public TSensor {
public:
  explicit TReplaySensor(const std::vector<double>& readings) : readings_(readings) {
    Maximum = 1.0;
  }
  bool Read() override {
    Reading = next_ < readings_.size() ? readings_[next_++] : 0.0;
    return true;
  }

private:
  const std::vector<double>& readings_;
  std::size_t next_ = 0;
};

struct TModeResponse {
  double Floor = 0.0;      // what the rest swings the needle by, at gain 1
  double Weakest = 0.0;    // the smallest reaction peak, at gain 1
  double Strongest = 0.0;  // the largest
  double Separation() const { return Weakest / Floor; }
};

struct TWindow {
  int Begin = 0;
  int End = 0;
};

TModeResponse Response(const TCalibrationRecording& rec, const std::vector<TWindow>& windows,
                       const TCalibrationChain& chain, uint8_t mode, double restLevel) {
  const std::vector<double> inst = ReplayInstrument(rec.Readings, chain, mode, 1.0, restLevel);
  TModeResponse r;
  // Between two rests the sensor is stopped and reads 0, so the needle also
  // swings by the rest level itself, once per symbol.
  r.Floor = std::max(restLevel, kReadingStep);
  for (int k = kCalibrationSettle; k < rec.RestCount; ++k) r.Floor = std::max(r.Floor, std::fabs(inst[k]));
  r.Weakest = 1.0e9;
  for (const TWindow& w : windows) {
    const double peak = *std::max_element(inst.begin() + w.Begin, inst.begin() + w.End);
    r.Weakest = std::min(r.Weakest, peak);
    r.Strongest = std::max(r.Strongest, peak);
  }
  return r;
}

// The rise of a reaction from 10 % to 90 % of its peak, in ms.
int RiseMs(const std::vector<double>& readings, const TWindow& w, double base, double peak) {
  int k10 = -1;
  int k90 = -1;
  for (int k = w.Begin; k < w.End && k90 < 0; ++k) {
    const double above = readings[k] - base;
    if (k10 < 0 && above >= 0.1 * peak) k10 = k;
    if (above >= 0.9 * peak) k90 = k;
  }
  return (k10 < 0 || k90 < 0) ? 0 : (k90 - k10) * kTickMs;
}

}  // namespace

std::vector<double> ReplayInstrument(const std::vector<double>& readings, const TCalibrationChain& chain,
                                     uint8_t levelMode, double gain, double startLevel) {
  TReplaySensor sensor(readings);
  TProbe probe(sensor, false);
  probe.DataChannel().SetDepth(chain.DataDepth);
  probe.DataChannel().SetSum(probe.DataChannel().Depth() * startLevel);
  probe.LevelChannel().SetDepth(chain.LevelDepth);
  probe.SetLevel(0.0, startLevel);
  probe.LevelMode = levelMode;
  TGaugePM100 model(probe, nullptr);
  model.SetGain(gain);
  TSignalChannel& needle = model.NeedleChannel();
  needle.Damping = chain.Damping;
  needle.TimeStep = chain.TimeStep;
  needle.SpringEnabled = chain.SpringEnabled;

  std::vector<double> inst;
  inst.reserve(readings.size());
  for (std::size_t k = 0; k < readings.size(); ++k) {
    model.Measure();
    inst.push_back(model.Data().Inst);
  }
  return inst;
}

TCalibrationProposal ProposeCalibration(const TCalibrationRecording& rec, const TCalibrationChain& chain) {
  TCalibrationProposal p;
  const int n = static_cast<int>(rec.Readings.size());
  std::vector<TWindow> windows;
  for (std::size_t i = 0; i < rec.Prompts.size(); ++i) {
    const int end = i + 1 < rec.Prompts.size() ? rec.Prompts[i + 1] : n;
    if (rec.Prompts[i] < rec.RestCount || end <= rec.Prompts[i] || end > n) return p;
    windows.push_back({rec.Prompts[i], end});
  }
  if (windows.empty() || rec.RestCount - kCalibrationSettle < 20 || rec.RestCount > n) return p;

  const auto restBegin = rec.Readings.begin() + kCalibrationSettle;
  const auto restEnd = rec.Readings.begin() + rec.RestCount;
  p.RestLevel = std::accumulate(restBegin, restEnd, 0.0) / (rec.RestCount - kCalibrationSettle);
  for (auto it = restBegin; it != restEnd; ++it) p.RestNoise = std::max(p.RestNoise, std::fabs(*it - p.RestLevel));
  for (const TWindow& w : windows) {
    const double peak = *std::max_element(rec.Readings.begin() + w.Begin, rec.Readings.begin() + w.End) -
                        p.RestLevel;
    p.Reactions.push_back(peak);
    p.RiseMs.push_back(RiseMs(rec.Readings, w, p.RestLevel, peak));
  }

  const TModeResponse tracking = Response(rec, windows, chain, TProbe::LevelTracking, p.RestLevel);
  const TModeResponse fixed = Response(rec, windows, chain, TProbe::LevelFixed, p.RestLevel);
  const bool trackingWorks = tracking.Separation() >= kMinSeparation &&
                             tracking.Separation() >= kTrackingShare * fixed.Separation();
  const TModeResponse& chosen = trackingWorks ? tracking : fixed;
  p.LevelMode = trackingWorks ? TProbe::LevelTracking : TProbe::LevelFixed;

  double gain = kTargetDeflection / std::max(chosen.Weakest, 1.0e-6);
  if (!trackingWorks) gain = std::min(gain, kFixedCeiling / std::max(chosen.Strongest, 1.0e-6));
  p.Gain = std::clamp(RoundToInt(gain), 1, 1000);

  // The on level halfway between the rest's swing and the weakest reaction,
  // the off level halfway between the swing and the on level.
  const double swing = p.Gain * chosen.Floor;
  const double weakest = p.Gain * chosen.Weakest;
  p.OnLevel = RoundToInt((swing + weakest) / 2.0);
  p.OffLevel = std::max(RoundToInt((swing + p.OnLevel) / 2.0), static_cast<int>(swing) + 1);
  p.OnLevel = std::clamp(std::max(p.OnLevel, p.OffLevel + 1), 1, 99);
  p.OffLevel = std::clamp(p.OffLevel, 0, p.OnLevel - 1);
  p.Result = chosen.Separation() >= kMinSeparation ? TCalibrationResult::Proposed
                                                    : TCalibrationResult::NoReaction;

  // The session's comparison over a replay with the proposal: armed once the
  // value was below the off level, fired above the on level.
  const std::vector<double> inst = ReplayInstrument(rec.Readings, chain, p.LevelMode, p.Gain, p.RestLevel);
  bool latch = true;
  std::vector<bool> fired(windows.size(), false);
  for (int k = kCalibrationSettle; k < n; ++k) {
    const double v = std::fabs(inst[k]);
    if (v > p.OnLevel && !latch) {
      latch = true;
      if (k < rec.RestCount) ++p.RestFirings;
      for (std::size_t i = 0; i < windows.size(); ++i)
        if (k >= windows[i].Begin && k < windows[i].End) fired[i] = true;
    } else if (v < p.OffLevel) {
      latch = false;
    }
  }
  p.Caught = static_cast<int>(std::count(fired.begin(), fired.end(), true));
  return p;
}
