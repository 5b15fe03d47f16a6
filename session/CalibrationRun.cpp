#include "CalibrationRun.h"

#include "SessionRules.h"
#include "TickTimer.h"
#include "sensor/Sens.h"

namespace {

// One capture covers the whole run (the longest the sensor is asked for in
// a session as well).
constexpr int kCapturePeriodMs = kMaxSymbolPeriodMs;
static_assert(TCalibrationRun::TotalPolls * kTickMs < kCapturePeriodMs,
              "the capture must outlast the run");

}  // namespace

TCalibrationRun::TCalibrationRun(TSensor& sensor, TTickTimer& timer, const TCalibrationChain& chain)
    : sensor_(sensor), timer_(timer), chain_(chain) {}

TCalibrationRun::~TCalibrationRun() { Stop(); }

void TCalibrationRun::Begin() {
  Stop();
  recording_ = {};
  recording_.RestCount = RestPolls;
  proposal_ = {};
  done_ = false;
  measuring_ = true;
  sensor_.Start(kCapturePeriodMs);
  timer_.Start(kTickMs, false);
  Changed();
}

void TCalibrationRun::Cancel() {
  if (!measuring_) return;
  Stop();
  Changed();
}

void TCalibrationRun::Tick() {
  timer_.Stop();
  if (!measuring_) return;
  // A reading the sensor could not take counts as silence, as the sensor
  // itself reports its minimum then.
  double reading = sensor_.Read() ? sensor_.Reading : sensor_.Minimum;
  if (blocked_ && blocked_() && !recording_.Readings.empty()) reading = recording_.Readings.back();
  recording_.Readings.push_back(reading);
  const int n = static_cast<int>(recording_.Readings.size());
  // The prompt stands from the window's first reading on.
  if (n >= RestPolls && (n - RestPolls) % ReactionPolls == 0 && n < TotalPolls)
    recording_.Prompts.push_back(n);
  if (n >= TotalPolls) {
    Stop();
    proposal_ = ProposeCalibration(recording_, chain_);
    done_ = true;
  } else {
    timer_.Start(kTickMs, true);
  }
  Changed();
}

TCalibrationStep TCalibrationRun::Step() const {
  TCalibrationStep step;
  step.Reactions = ReactionCount;
  if (done_) {
    step.Phase = TCalibrationPhase::Done;
    return step;
  }
  if (!measuring_) return step;
  const int n = static_cast<int>(recording_.Readings.size());
  if (n < RestPolls) {
    step.Phase = TCalibrationPhase::Rest;
    step.PollsLeft = RestPolls - n;
    return step;
  }
  step.Reaction = (n - RestPolls) / ReactionPolls + 1;
  const int into = (n - RestPolls) % ReactionPolls;
  // The prompt stands for the first half of each window, then the operator
  // settles before the next one.
  if (into < ReactionPolls / 2) {
    step.Phase = TCalibrationPhase::React;
    step.PollsLeft = ReactionPolls / 2 - into;
  } else {
    step.Phase = TCalibrationPhase::Settle;
    step.PollsLeft = ReactionPolls - into;
  }
  return step;
}

void TCalibrationRun::Stop() {
  if (!measuring_) return;
  measuring_ = false;
  timer_.Stop();
  sensor_.Stop();
}

void TCalibrationRun::Changed() {
  if (listener_) listener_();
}
