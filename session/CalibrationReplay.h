#pragma once
// Readings replayed through a fresh probe and instrument model, as a session
// polls them: the calibration assistant judges its settings by what the real
// chain and the session's comparison make of recorded readings.

#include <cstdint>
#include <vector>

struct TCalibrationChain;

// A session's polls while the drum moves read no samples: the sensor reads
// its minimum (0) and the comparison skips them, but the probe's level in
// the automatic and tracking modes still takes them in. A move is five
// frames of 40 ms; with the first poll of the next rest (which examines
// nothing yet) about six polls of each symbol read nothing.
constexpr int kDrumMovePolls = 6;

// Readings as a session would poll them.
struct TSessionReadings {
  std::vector<double> Readings;
  // False for a poll of no samples: it is measured but not compared.
  std::vector<bool> Samples;
  // Where each input reading went.
  std::vector<int> Index;
};

// The readings with the polls of a drum move after every symbol period's
// worth of them (the rests as long as the period, kDrumMovePolls between).
TSessionReadings WithDrumMoves(const std::vector<double>& readings, int symbolPeriodMs);

// The instrument values of a replay of readings through a fresh probe and
// model with the given settings; the level starts at startLevel.
std::vector<double> ReplayInstrument(const std::vector<double>& readings, const TCalibrationChain& chain,
                                     uint8_t levelMode, double gain, double startLevel);

// The settings a session compares with.
struct TSwitchLevels {
  uint8_t LevelMode = 2;
  double Gain = 100.0;
  double OnLevel = 30.0;
  double OffLevel = 20.0;
  double StartLevel = 0.0;
};

// The polls at which a session with these settings would take a symbol:
// armed once the value was below the off level, fired above the on level;
// while a firing is latched the level is held, and once the value is back
// below the off level it starts again from the present sensor value (the
// engine's poll). inst, when given, receives every poll's instrument value.
std::vector<int> ReplayFirings(const TSessionReadings& polls, const TCalibrationChain& chain,
                               const TSwitchLevels& levels, std::vector<double>* inst = nullptr);
