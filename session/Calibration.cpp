#include "session/Calibration.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "session/SessionRules.h"
#include "sensor/Probe.h"
#include "sensor/Utils.h"

namespace {

// One step of the sound-card reading (a peak of 1 of 128): the smallest
// noise a rest can be said to have.
constexpr double kReadingStep = 1.0 / 128.0;
// The weakest reaction is brought to this deflection, percent.
constexpr double kTargetDeflection = 70.0;
// In fixed mode the model re-centres the level at ±90 %; the strongest
// reaction, and the swing down to 0 while the drum moves, stay within this.
constexpr double kFixedCeiling = 85.0;
// The weakest reaction must stand this many times above the rest's swing
// (the largest swing of two minutes of rest with the drift carried on).
constexpr double kMinSeparation = 2.0;
// The rest the settings must stand without a firing: the recorded one,
// repeated for two minutes, with its drift carried on for one minute and
// back.
constexpr int kLongRestPolls = 120 * 1000 / kTickMs;
// Settings are judged at this time per symbol or a shorter one: the longer
// the rests, the less the drum's moves pull a following level down, so
// what stands at 0.5 s stands at any slower pace.
constexpr int kLongestJudgedPeriodMs = 500;
// A drift is taken as real beyond this many standard errors of its estimate.
constexpr double kDriftErrors = 2.0;
// The automatic level's depths tried beside tracking (depth 5).
constexpr int kAutoDepths[] = {25, 50};

struct TWindow {
  int Begin = 0;
  int End = 0;
};

// The rest's straight-line trend: level at its middle, slope per poll, the
// slope's standard error and the residuals' standard deviation.
struct TTrend {
  double Mean = 0.0;
  double Slope = 0.0;
  double SlopeError = 0.0;
  double Spread = 0.0;
  double Middle = 0.0;
};

TTrend FitTrend(const std::vector<double>& readings, int begin, int end) {
  TTrend t;
  const int n = end - begin;
  t.Middle = (begin + end - 1) / 2.0;
  double sxx = 0.0;
  double sxy = 0.0;
  for (int k = begin; k < end; ++k) t.Mean += readings[k] / n;
  for (int k = begin; k < end; ++k) {
    sxx += (k - t.Middle) * (k - t.Middle);
    sxy += (k - t.Middle) * (readings[k] - t.Mean);
  }
  t.Slope = sxx > 0.0 ? sxy / sxx : 0.0;
  double ss = 0.0;
  for (int k = begin; k < end; ++k) {
    const double r = readings[k] - t.Mean - t.Slope * (k - t.Middle);
    ss += r * r;
  }
  t.Spread = std::sqrt(ss / std::max(1, n - 2));
  t.SlopeError = sxx > 0.0 ? t.Spread / std::sqrt(sxx) : 0.0;
  return t;
}

// The recorded rest without its trend, repeated, with the trend's real part
// carried on up for half of it and back.
std::vector<double> LongRest(const std::vector<double>& readings, int begin, int end, const TTrend& t) {
  const double slope = std::max(0.0, std::fabs(t.Slope) - kDriftErrors * t.SlopeError);
  const int n = end - begin;
  std::vector<double> rest(kLongRestPolls);
  for (int k = 0; k < kLongRestPolls; ++k) {
    // Back and forth through the recording, so its ends meet without a step.
    const int cycle = k % (2 * n);
    const int i = begin + (cycle < n ? cycle : 2 * n - 1 - cycle);
    const double flat = readings[i] - t.Slope * (i - t.Middle);
    const int up = k < kLongRestPolls / 2 ? k : kLongRestPolls - k;
    rest[k] = std::clamp(flat + slope * up, 0.0, 1.0);
  }
  return rest;
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

struct TJudged {
  const TCalibrationRecording& Rec;
  const std::vector<TWindow>& Windows;
  TSessionReadings Session;   // the recording as a session polls it
  TSessionReadings Long;      // the long rest as a session polls it
  double RestLevel = 0.0;
};

// What a level mode with a level depth makes of the recording.
TLevelModeProposal JudgeMode(const TJudged& j, TCalibrationChain chain, uint8_t mode, int depth) {
  chain.LevelDepth = depth;
  TLevelModeProposal m;
  m.LevelMode = mode;
  m.LevelDepth = depth;
  TSwitchLevels probe{mode, 1.0, 1.0e9, -1.0, j.RestLevel};
  std::vector<double> inst;
  ReplayFirings(j.Session, chain, probe, &inst);
  const auto& index = j.Session.Index;
  m.Floor = kReadingStep;
  double extreme = 0.0;  // the largest swing of any poll, compared or not
  for (int k = index[kCalibrationSettle]; k < index[j.Rec.RestCount - 1]; ++k)
    if (j.Session.Samples[k]) m.Floor = std::max(m.Floor, std::fabs(inst[k]));
  for (int k = index[kCalibrationSettle]; k < static_cast<int>(inst.size()); ++k)
    extreme = std::max(extreme, std::fabs(inst[k]));
  m.Weakest = 1.0e9;
  for (const TWindow& w : j.Windows) {
    const int end = w.End < static_cast<int>(index.size()) ? index[w.End] : static_cast<int>(inst.size());
    double peak = 0.0;
    for (int k = index[w.Begin]; k < end; ++k)
      if (j.Session.Samples[k]) peak = std::max(peak, inst[k]);
    m.Weakest = std::min(m.Weakest, peak);
    m.Strongest = std::max(m.Strongest, peak);
  }
  ReplayFirings(j.Long, chain, probe, &inst);
  for (std::size_t k = 0; k < inst.size(); ++k) {
    if (j.Long.Samples[k]) m.Floor = std::max(m.Floor, std::fabs(inst[k]));
    extreme = std::max(extreme, std::fabs(inst[k]));
  }

  double gain = kTargetDeflection / std::max(m.Weakest, 1.0e-6);
  if (mode == TProbe::LevelFixed)
    gain = std::min(gain, kFixedCeiling / std::max({m.Strongest, extreme, 1.0e-6}));
  m.Gain = std::clamp(RoundToInt(gain), 1, 1000);

  // The on level halfway between the rest's swing and the weakest reaction,
  // the off level halfway between the swing and the on level.
  const double swing = m.Gain * m.Floor;
  const double weakest = m.Gain * m.Weakest;
  m.OnLevel = RoundToInt((swing + weakest) / 2.0);
  m.OffLevel = std::max(RoundToInt((swing + m.OnLevel) / 2.0), static_cast<int>(swing) + 1);
  m.OnLevel = std::clamp(std::max(m.OnLevel, m.OffLevel + 1), 1, 99);
  m.OffLevel = std::clamp(m.OffLevel, 0, m.OnLevel - 1);

  // The session's comparison over a replay with the proposal.
  const TSwitchLevels levels{mode, double(m.Gain), double(m.OnLevel), double(m.OffLevel), j.RestLevel};
  std::vector<bool> fired(j.Windows.size(), false);
  for (int k : ReplayFirings(j.Session, chain, levels)) {
    if (k < index[kCalibrationSettle]) continue;
    if (k < index[j.Rec.RestCount - 1] + 1) ++m.RestFirings;
    for (std::size_t i = 0; i < j.Windows.size(); ++i) {
      const int end = j.Windows[i].End < static_cast<int>(index.size()) ? index[j.Windows[i].End]
                                                                         : static_cast<int>(j.Session.Readings.size());
      if (k >= index[j.Windows[i].Begin] && k < end) fired[i] = true;
    }
  }
  m.Caught = static_cast<int>(std::count(fired.begin(), fired.end(), true));
  m.LongRestFirings = static_cast<int>(ReplayFirings(j.Long, chain, levels).size());
  m.Works = m.Separation() >= kMinSeparation && m.RestFirings == 0 && m.LongRestFirings == 0;
  return m;
}

// Whether a is the better of two proposals: one that works, then the wider
// separation.
bool Better(const TLevelModeProposal& a, const TLevelModeProposal& b) {
  if (a.Works != b.Works) return a.Works;
  return a.Separation() > b.Separation();
}

}  // namespace

TCalibrationProposal WithLevelMode(const TCalibrationProposal& proposal, std::size_t mode) {
  TCalibrationProposal p = proposal;
  if (mode >= p.Modes.size()) return p;
  const TLevelModeProposal& m = p.Modes[mode];
  p.Chosen = mode;
  p.LevelMode = m.LevelMode;
  p.LevelDepth = m.LevelDepth;
  p.Gain = m.Gain;
  p.OnLevel = m.OnLevel;
  p.OffLevel = m.OffLevel;
  p.Caught = m.Caught;
  p.RestFirings = m.RestFirings;
  p.Result = m.Works ? TCalibrationResult::Proposed : TCalibrationResult::NoReaction;
  return p;
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
  const TTrend trend = FitTrend(rec.Readings, kCalibrationSettle, rec.RestCount);
  p.RestSpread = trend.Spread;
  p.RestDrift = trend.Slope * 1000.0 / kTickMs;
  for (const TWindow& w : windows) {
    const double peak = *std::max_element(rec.Readings.begin() + w.Begin, rec.Readings.begin() + w.End) -
                        p.RestLevel;
    p.Reactions.push_back(peak);
    p.RiseMs.push_back(RiseMs(rec.Readings, w, p.RestLevel, peak));
  }

  const int period = std::clamp(chain.SymbolPeriodMs, kMinSymbolPeriodMs, kLongestJudgedPeriodMs);
  const TJudged judged{rec, windows, WithDrumMoves(rec.Readings, period),
                       WithDrumMoves(LongRest(rec.Readings, kCalibrationSettle, rec.RestCount, trend), period),
                       p.RestLevel};
  TLevelModeProposal following = JudgeMode(judged, chain, TProbe::LevelTracking, chain.LevelDepth);
  for (int depth : kAutoDepths) {
    const TLevelModeProposal automatic = JudgeMode(judged, chain, TProbe::LevelAuto, depth);
    if (Better(automatic, following)) following = automatic;
  }
  p.Modes = {following, JudgeMode(judged, chain, TProbe::LevelFixed, chain.LevelDepth)};
  return WithLevelMode(p, Better(p.Modes[1], p.Modes[0]) ? 1 : 0);
}
