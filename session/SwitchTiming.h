#pragma once
// The switch's timing: when a reading of recorded samples fires a selection
// and when the switch is armed again. Time is counted in polls (40 ms each)
// on the poll timeline, so a busy machine stretches it with the readings.
//
// A firing is latched: the probe's level is held from then on, and the
// switch re-arms once the value is back below the off level on the side the
// reaction went: one reaction, one symbol, however long it is held. With the
// maximum hold set, a reaction held longer lets the level go (so it follows
// a baseline that moved meanwhile and the panel shows where it went) and is
// judged against the level from before it: still only its real end re-arms.

#include "Options.h"

class TSwitchTiming {
public:
  enum class TVerdict {
    None,       // nothing changes
    Fire,       // a reaction counts: select
    Armed,      // armed again (no reaction was held)
    Ended,      // armed again at the end of a held reaction
    StuckEnded  // armed again at the end of a reaction held past the maximum hold
  };

  // At session start: latched until the value has once been below the off level.
  void Begin(const TSwitchOptions& options, double onLevel, double offLevel);
  // Every poll, before its reading: a held reaction grows older.
  void PollPassed();
  // Whether the probe's level is to stay where it is for the next reading:
  // while a reaction is being accepted, and while one is held (up to the
  // maximum hold, when it is set).
  bool HoldsLevel() const { return acceptPolls_ > 0 || (reacting_ && !stuck_); }
  // Whether a held reaction's level has been let go (past the maximum
  // hold): its end is then judged against the level from before it.
  bool Stuck() const { return reacting_ && stuck_; }
  // A reading of recorded samples: inst is the instrument value, fromRest
  // the same against the level from before the reaction (only read while
  // Stuck()).
  TVerdict Reading(double inst, double fromRest);
  // Whether a firing is latched (the next one does not count yet).
  bool Latched() const { return latched_; }

private:
  double on_ = 0.0;
  double off_ = 0.0;
  int acceptNeeded_ = 1;   // polls above the on level that fire
  int releaseNeeded_ = 1;  // polls below the off level that re-arm
  int holdPolls_ = 0;      // polls a reaction holds the level; 0 for as long as it lasts

  bool latched_ = true;
  bool reacting_ = false;  // a firing is held (latched by a reaction)
  bool stuck_ = false;     // ... past the maximum hold
  double sign_ = 1.0;      // the side the reaction went
  int heldPolls_ = 0;
  int acceptPolls_ = 0;
  int releasePolls_ = 0;
};
