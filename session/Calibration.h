#pragma once
// The calibration assistant's analysis: sensor readings taken while the
// operator rests and then reacts when asked, in; a gain, the on and off
// levels and a level mode that separate the reactions from the rest, out.
//
// The readings are replayed through the real probe and instrument model, so
// the level modes, the averaging depths and the needle spring act on them as
// they do in a session.

#include <cstdint>
#include <vector>

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
};

enum class TCalibrationResult {
  Proposed,
  TooShort,     // too few readings at rest or no reaction window
  NoReaction,   // a reaction did not rise clearly above the rest
};

struct TCalibrationProposal {
  TCalibrationResult Result = TCalibrationResult::TooShort;

  // Measured, in sensor units (0..1).
  double RestLevel = 0.0;        // mean reading at rest
  double RestNoise = 0.0;        // largest deviation from it at rest
  std::vector<double> Reactions; // each reaction's peak above the rest level
  std::vector<int> RiseMs;       // each reaction's rise from 10 % to 90 % of its peak

  // Proposed.
  int Gain = 100;
  int OnLevel = 30;
  int OffLevel = 20;
  uint8_t LevelMode = 1;         // TProbe::LevelTracking or TProbe::LevelFixed

  // The proposal replayed over the recording with the session's comparison:
  // reaction windows with a firing, and firings while the operator rested.
  int Caught = 0;
  int RestFirings = 0;
};

// Readings at the start of the rest that are left out: the first read after
// a capture starts examines nothing, and the level settles.
constexpr int kCalibrationSettle = 5;

TCalibrationProposal ProposeCalibration(const TCalibrationRecording& recording,
                                        const TCalibrationChain& chain);

// The instrument values of a replay of readings through a fresh probe and
// model with the given settings; the level starts at startLevel.
std::vector<double> ReplayInstrument(const std::vector<double>& readings, const TCalibrationChain& chain,
                                     uint8_t levelMode, double gain, double startLevel);
