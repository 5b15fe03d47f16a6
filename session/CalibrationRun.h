#pragma once
// One run of the calibration assistant: the operator rests for RestPolls
// polls, then is prompted ReactionCount times to react, ReactionPolls polls
// apart. The sensor is read at every tick of the run's timer (every kTickMs,
// only outside a session); when the last window is complete the readings
// are analysed into a proposal (Calibration.h).
//
// The run owns the capture: it starts it at Begin and stops it on Cancel,
// at the end and when the run is destroyed. What is shown of a run (its
// step, its result) is read from here; a listener hears of every change.

#include <functional>

#include "session/Calibration.h"

class TSensor;
class TTickTimer;

enum class TCalibrationPhase {
  Idle,    // not begun, or cancelled
  Rest,    // the operator sits still
  React,   // the first half of a reaction's window: the prompt stands
  Settle,  // the second half: the operator settles before the next prompt
  Done,    // complete; Proposal() holds the result
};

// Where a run stands, for display.
struct TCalibrationStep {
  TCalibrationPhase Phase = TCalibrationPhase::Idle;
  int Reaction = 0;   // 1..Reactions while reacting or settling; 0 otherwise
  int Reactions = 0;  // how many reactions a run asks for
  int PollsLeft = 0;  // until the phase ends (Rest, React, Settle)
};

class TCalibrationRun {
public:
  // Polls at rest, and per reaction.
  static constexpr int RestPolls = 200;
  static constexpr int ReactionPolls = 75;
  static constexpr int ReactionCount = 3;
  static constexpr int TotalPolls = RestPolls + ReactionCount * ReactionPolls;

  // Neither is owned. The timer's tick handler must call Tick(); the sensor
  // must not be polled by a session meanwhile.
  TCalibrationRun(TSensor& sensor, TTickTimer& timer, const TCalibrationChain& chain);
  // Stops a capture still running; the listener is not told.
  ~TCalibrationRun();
  TCalibrationRun(const TCalibrationRun&) = delete;
  TCalibrationRun& operator=(const TCalibrationRun&) = delete;

  // Called after every change of the step, the recording or the result.
  void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }

  // Starts the capture and the polls; a run under way starts over.
  void Begin();
  // Stops the capture and the polls; nothing is proposed.
  void Cancel();
  // One poll: a reading, and the proposal once the last window is complete.
  void Tick();

  bool Measuring() const { return measuring_; }
  TCalibrationStep Step() const;
  const TCalibrationRecording& Recording() const { return recording_; }
  // Valid in the Done phase.
  const TCalibrationProposal& Proposal() const { return proposal_; }

private:
  void Stop();
  void Changed();

  TSensor& sensor_;
  TTickTimer& timer_;
  TCalibrationChain chain_;
  TCalibrationRecording recording_;
  TCalibrationProposal proposal_;
  bool measuring_ = false;
  bool done_ = false;
  std::function<void()> listener_;
};
