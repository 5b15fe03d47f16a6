#include "SwitchTiming.h"

#include <algorithm>
#include <cmath>

#include "SessionRules.h"

namespace {

// 10 s of polls: how long a reaction holds the level without the option.
constexpr int kDefaultHoldPolls = 250;

// Polls that cover ms: a poll reads 40 ms of samples; at least one.
int PollsFor(int ms) { return std::max(1, (ms + kTickMs - 1) / kTickMs); }

}  // namespace

void TSwitchTiming::Begin(const TSwitchOptions& options, double onLevel, double offLevel) {
  on_ = onLevel;
  off_ = offLevel;
  acceptNeeded_ = PollsFor(options.AcceptanceMs);
  releaseNeeded_ = PollsFor(options.ReleaseMs);
  strictHold_ = options.MaxHoldMs > 0;
  holdPolls_ = strictHold_ ? PollsFor(options.MaxHoldMs) : kDefaultHoldPolls;
  latched_ = true;
  reacting_ = false;
  stuck_ = false;
  sign_ = 1.0;
  heldPolls_ = 0;
  acceptPolls_ = 0;
  releasePolls_ = 0;
  quietPolls_ = 0;
  absorbSign_ = 0.0;
}

void TSwitchTiming::PollPassed() {
  if (reacting_ && !stuck_ && ++heldPolls_ > holdPolls_) stuck_ = true;
}

TSwitchTiming::TVerdict TSwitchTiming::Reading(double inst, double fromRest) {
  const double v = std::fabs(inst);
  if (!latched_) {
    if (v <= on_) {
      acceptPolls_ = 0;
      return TVerdict::None;
    }
    if (++acceptPolls_ < acceptNeeded_) return TVerdict::None;
    return Fired(inst < 0 ? -1.0 : 1.0);
  }

  bool ended = false;
  TVerdict verdict = TVerdict::Armed;
  if (!reacting_) {
    ended = v < off_;
  } else if (!stuck_) {
    ended = inst * sign_ < off_;
    verdict = TVerdict::Ended;
  } else {
    ended = fromRest * sign_ < off_;
    verdict = TVerdict::StuckEnded;
  }
  if (ended) {
    quietPolls_ = 0;
    if (++releasePolls_ < releaseNeeded_) return TVerdict::None;
    return Rearm(verdict);
  }
  releasePolls_ = 0;
  // Without the maximum hold a stuck reaction whose level settled on a
  // baseline that moved for good re-arms after as long again.
  if (reacting_ && stuck_ && !strictHold_ && v < off_) {
    if (++quietPolls_ < holdPolls_) return TVerdict::None;
    absorbSign_ = -sign_;
    return Rearm(TVerdict::StuckGivenUp);
  }
  quietPolls_ = 0;
  return TVerdict::None;
}

TSwitchTiming::TVerdict TSwitchTiming::Fired(double sign) {
  acceptPolls_ = 0;
  releasePolls_ = 0;
  quietPolls_ = 0;
  const bool absorbed = absorbSign_ != 0.0 && sign == absorbSign_;
  absorbSign_ = 0.0;
  latched_ = true;
  // The end of a stuck reaction holds nothing: the level starts again from
  // the present value and the switch re-arms once below the off level.
  reacting_ = !absorbed;
  stuck_ = false;
  heldPolls_ = 0;
  sign_ = sign;
  return absorbed ? TVerdict::Absorb : TVerdict::Fire;
}

TSwitchTiming::TVerdict TSwitchTiming::Rearm(TVerdict verdict) {
  releasePolls_ = 0;
  quietPolls_ = 0;
  latched_ = false;
  reacting_ = false;
  stuck_ = false;
  return verdict;
}
