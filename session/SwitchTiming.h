#pragma once
// The switch's timing: when a reading of recorded samples fires a selection
// and when the switch is armed again. Time is counted in polls (40 ms each)
// on the poll timeline, so a busy machine stretches it with the readings.
//
// A firing is latched: the probe's level is held from then on, and the
// switch re-arms once the value is back below the off level on the side the
// reaction went. A reaction held past the maximum hold (10 s when the option
// is off) counts as stuck: the level is let go, so a baseline that moved
// meanwhile is followed again, and only the reaction's real end (below the
// off level against the level from before it) re-arms; its end, a swing the
// other way against the followed level, takes nothing. With the option off
// the switch also re-arms once the value has stayed below the off level
// against the followed level for another 10 s (the baseline moved for good),
// and the next swing the other way still takes nothing.

#include "Options.h"

class TSwitchTiming {
public:
  enum class TVerdict {
    None,         // nothing changes
    Fire,         // a reaction counts: select
    Absorb,       // the end of a stuck reaction: latched, selects nothing; the
                  // level starts again from the present value
    Armed,        // armed again (no reaction was held)
    Ended,        // armed again at the end of a held reaction
    StuckEnded,   // armed again at the real end of a stuck reaction
    StuckGivenUp  // armed again: a stuck reaction's baseline moved for good
  };

  // At session start: latched until the value has once been below the off level.
  void Begin(const TSwitchOptions& options, double onLevel, double offLevel);
  // Every poll, before its reading: a held reaction grows older.
  void PollPassed();
  // Whether the probe's level is to stay where it is for the next reading:
  // while a reaction is being accepted, and while one is held, up to the
  // maximum hold.
  bool HoldsLevel() const { return acceptPolls_ > 0 || (reacting_ && !stuck_); }
  // Whether a held reaction has been let go (past the maximum hold): its
  // real end is then judged against the level from before it.
  bool Stuck() const { return reacting_ && stuck_; }
  // A reading of recorded samples: inst is the instrument value, fromRest
  // the same against the level from before the reaction (only read while
  // Stuck()).
  TVerdict Reading(double inst, double fromRest);
  // Whether a firing is latched (the next one does not count yet).
  bool Latched() const { return latched_; }

private:
  TVerdict Fired(double sign);
  TVerdict Rearm(TVerdict verdict);

  double on_ = 0.0;
  double off_ = 0.0;
  int acceptNeeded_ = 1;   // polls above the on level that fire
  int releaseNeeded_ = 1;  // polls below the off level that re-arm
  int holdPolls_ = 250;    // polls a reaction holds the level
  bool strictHold_ = false;  // the maximum hold is set: only the real end re-arms

  bool latched_ = true;
  bool reacting_ = false;  // a firing is held (latched by a reaction)
  bool stuck_ = false;     // ... past the maximum hold
  double sign_ = 1.0;      // the side the reaction went
  int heldPolls_ = 0;
  int acceptPolls_ = 0;
  int releasePolls_ = 0;
  int quietPolls_ = 0;      // a stuck reaction's value below the off level, in a row
  double absorbSign_ = 0.0;  // a swing to this side is the end of a stuck reaction
};
