#pragma once
// The calibration assistant's analysis: sensor readings taken while the
// operator rests and then reacts when asked, in; a gain, the on and off
// levels and a level mode that separate the reactions from the rest, out.
//
// The readings are replayed through the real probe and instrument model as
// a session polls them (CalibrationReplay.h), so the level modes, the
// averaging depths, the needle spring and the polls of no samples while the
// drum moves act on them as they do in a session. The noise floor is what
// the rest's spread and its slow movement make of the needle, not the rest's
// level.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "session/CalibrationReplay.h"

// One calibration run, one sensor reading (0..1) per 40 ms poll.
struct TCalibrationRecording {
  std::vector<double> Readings;
  // The first RestCount readings: the operator at rest.
  int RestCount = 0;
  // Where the operator was asked to react; each reaction's window runs to
  // the next prompt or to the end.
  std::vector<int> Prompts;
};

// The chain's options as the settings window sets them.
struct TCalibrationChain {
  int DataDepth = 1;
  int LevelDepth = 5;
  bool SpringEnabled = false;
  double Damping = 3.1;
  double TimeStep = 0.22;
  // The time per symbol the settings are judged at (the polls of a drum move
  // follow each rest); at most 0.5 s is used, shorter rests being harder.
  int SymbolPeriodMs = 1000;
};

enum class TCalibrationResult {
  Proposed,
  TooShort,     // too few readings at rest or no reaction window
  NoReaction,   // a reaction did not rise clearly above the rest
};

// What one level mode makes of the recording. Needle swings are at gain 1,
// in sensor units.
struct TLevelModeProposal {
  uint8_t LevelMode = 2;  // TProbe::LevelAuto, LevelTracking or LevelFixed
  int LevelDepth = 5;     // the "Level Acc Depth" judged with (auto follows it)
  double Floor = 0.0;     // the rest's largest swing, moves and drift included
  double Weakest = 0.0;   // the smallest reaction peak
  double Strongest = 0.0; // the largest
  double Separation() const { return Floor > 0.0 ? Weakest / Floor : 0.0; }
  int Gain = 100;
  int OnLevel = 30;
  int OffLevel = 20;
  // The replay over the recording, as in TCalibrationProposal, and over a
  // two-minute rest made of the recorded one with its drift carried on.
  int Caught = 0;
  int RestFirings = 0;
  int LongRestFirings = 0;
  bool Works = false;
};

struct TCalibrationProposal {
  TCalibrationResult Result = TCalibrationResult::TooShort;

  // Measured, in sensor units (0..1).
  double RestLevel = 0.0;        // mean reading at rest
  double RestNoise = 0.0;        // largest deviation from it at rest
  std::vector<double> Reactions; // each reaction's peak above the rest level
  std::vector<int> RiseMs;       // each reaction's rise from 10 % to 90 % of its peak
  double RestSpread = 0.0;       // standard deviation of the rest around its trend
  double RestDrift = 0.0;        // the trend, per second

  // Proposed.
  int Gain = 100;
  int OnLevel = 30;
  int OffLevel = 20;
  uint8_t LevelMode = 1;         // TProbe::LevelAuto, LevelTracking or LevelFixed
  int LevelDepth = 5;            // "Level Acc Depth" to go with it

  // The proposal replayed over the recording with the session's comparison:
  // reaction windows with a firing, and firings while the operator rested.
  int Caught = 0;
  int RestFirings = 0;

  // Both kinds of level: Modes[0] follows the rest (automatic or tracking),
  // Modes[1] is fixed. The fields above are those of Modes[Chosen], the
  // better one.
  std::vector<TLevelModeProposal> Modes;
  std::size_t Chosen = 0;
};

// The proposal with the settings of Modes[mode] (Result as that mode's).
TCalibrationProposal WithLevelMode(const TCalibrationProposal& proposal, std::size_t mode);

// Readings at the start of the rest that are left out: the first read after
// a capture starts examines nothing, and the level settles.
constexpr int kCalibrationSettle = 5;

TCalibrationProposal ProposeCalibration(const TCalibrationRecording& recording,
                                        const TCalibrationChain& chain);
