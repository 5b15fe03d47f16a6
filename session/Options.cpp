#include "Options.h"

#include <tuple>

QStringList TSessionOptions::DesignSymbols() {
  QStringList symbols;
  for (char c = 'A'; c <= 'Z'; ++c) symbols << QString(QLatin1Char(c));
  symbols << QStringLiteral(" ") << QStringLiteral(".");
  return symbols;
}

namespace {
auto Tie(const TSessionOptions& o) {
  return std::tie(o.LevelText, o.SymbolPeriodText, o.Symbols, o.FixedSelected, o.FastSlowMode,
                  o.FastSymbol, o.StopSymbols, o.BackspaceSymbol, o.OnLevel, o.OffLevel,
                  o.NoSensorMode, o.OperatorLogo, o.SpiritLogo);
}
auto Tie(const TSpeechOptions& o) {
  return std::tie(o.AuditoryScanning, o.SaySelected, o.ReadLines, o.BlockSensor, o.Cue.Volume,
                  o.Cue.Rate, o.Main.Volume, o.Main.Rate, o.OpenTime, o.EchoMs);
}
}  // namespace

bool operator==(const TSessionOptions& a, const TSessionOptions& b) { return Tie(a) == Tie(b); }
bool operator==(const TSignalOptions& a, const TSignalOptions& b) {
  return std::tie(a.DataAccDepth, a.LevelAccDepth, a.InvertSensorData) ==
         std::tie(b.DataAccDepth, b.LevelAccDepth, b.InvertSensorData);
}
bool operator==(const TNeedleOptions& a, const TNeedleOptions& b) {
  return std::tie(a.SpringDump, a.SpringSpeed, a.SpringEnabled, a.Gain) ==
         std::tie(b.SpringDump, b.SpringSpeed, b.SpringEnabled, b.Gain);
}
bool operator==(const TSpeechOptions& a, const TSpeechOptions& b) { return Tie(a) == Tie(b); }
bool operator==(const TSpeedOptions& a, const TSpeedOptions& b) {
  return a.RestartAfterSelection == b.RestartAfterSelection && a.PredictNextLetter == b.PredictNextLetter &&
         a.UndoPlace == b.UndoPlace && a.ShowComingOrder == b.ShowComingOrder &&
         a.GroupScan == b.GroupScan;
}
bool operator==(const TKeyOptions& a, const TKeyOptions& b) {
  return std::tie(a.SelectKey, a.StartKey, a.StopKey) == std::tie(b.SelectKey, b.StartKey, b.StopKey);
}
bool operator==(const TCaptureOptions& a, const TCaptureOptions& b) { return a.Device == b.Device; }
bool operator==(const TTapeOptions& a, const TTapeOptions& b) { return a.FontSize == b.FontSize; }
bool operator==(const TSwitchOptions& a, const TSwitchOptions& b) {
  return std::tie(a.AcceptanceMs, a.ReleaseMs, a.FirstRestExtraMs, a.ScanLoops, a.MaxHoldMs) ==
         std::tie(b.AcceptanceMs, b.ReleaseMs, b.FirstRestExtraMs, b.ScanLoops, b.MaxHoldMs);
}

bool operator==(const TCalibrationOptions& a, const TCalibrationOptions& b) {
  return a.LevelMode == b.LevelMode && a.RestLevel == b.RestLevel;
}

bool operator==(const THandsFreeOptions& a, const THandsFreeOptions& b) {
  return std::tie(a.StartByReaction, a.PauseSymbol, a.CallSymbol, a.ReadLineSymbol) ==
         std::tie(b.StartByReaction, b.PauseSymbol, b.CallSymbol, b.ReadLineSymbol);
}
