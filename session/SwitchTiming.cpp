#include "SwitchTiming.h"

#include <algorithm>
#include <cmath>

#include "SessionRules.h"

namespace {

// Polls that cover ms: a poll reads 40 ms of samples; at least one.
int PollsFor(int ms) { return std::max(1, (ms + kTickMs - 1) / kTickMs); }

}  // namespace

void TSwitchTiming::Begin(const TSwitchOptions& options, double onLevel, double offLevel) {
  on_ = onLevel;
  off_ = offLevel;
  acceptNeeded_ = PollsFor(options.AcceptanceMs);
  releaseNeeded_ = PollsFor(options.ReleaseMs);
  holdPolls_ = options.MaxHoldMs > 0 ? PollsFor(options.MaxHoldMs) : 0;
  latched_ = true;
  reacting_ = false;
  stuck_ = false;
  sign_ = 1.0;
  heldPolls_ = 0;
  acceptPolls_ = 0;
  releasePolls_ = 0;
}

void TSwitchTiming::PollPassed() {
  if (reacting_ && !stuck_ && holdPolls_ > 0 && ++heldPolls_ > holdPolls_) stuck_ = true;
}

TSwitchTiming::TVerdict TSwitchTiming::Reading(double inst, double fromRest) {
  const double v = std::fabs(inst);
  if (!latched_) {
    if (v <= on_) {
      acceptPolls_ = 0;
      return TVerdict::None;
    }
    if (++acceptPolls_ < acceptNeeded_) return TVerdict::None;
    acceptPolls_ = 0;
    releasePolls_ = 0;
    latched_ = true;
    reacting_ = true;
    stuck_ = false;
    heldPolls_ = 0;
    sign_ = inst < 0 ? -1.0 : 1.0;
    return TVerdict::Fire;
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
  if (!ended) {
    releasePolls_ = 0;
    return TVerdict::None;
  }
  if (++releasePolls_ < releaseNeeded_) return TVerdict::None;
  releasePolls_ = 0;
  latched_ = false;
  reacting_ = false;
  stuck_ = false;
  return verdict;
}
