#pragma once
// The program's options as typed values, one value type per group, with the
// design defaults. Texts the user types are kept as typed (a level "30,5"
// stays "30,5" in the settings file); whoever uses a number parses it.
// OptionsFile reads and writes them; TOptionsModel holds the ones in force.

#include <QString>
#include <QStringList>

#include "speech/Speech.h"

// Session options: the symbol table, the special symbols, the levels, the
// main window's two fields and the logos.
struct TSessionOptions {
  QString LevelText = QStringLiteral("5.000");         // "V Level", shown only
  QString SymbolPeriodText = QStringLiteral("1.000");  // "Char Period", seconds
  QStringList Symbols = DesignSymbols();  // symbol 1 first, as typed
  bool FixedSelected = false;
  bool FastSlowMode = false;
  QString FastSymbol = QStringLiteral("--");
  QString StopSymbols = QStringLiteral(".");  // entries separated by ";"
  QString BackspaceSymbol = QStringLiteral("<");
  QString OnLevel = QStringLiteral("30");  // percent texts
  QString OffLevel = QStringLiteral("20");
  bool NoSensorMode = false;
  QString OperatorLogo = QStringLiteral("Оп:");
  QString SpiritLogo = QStringLiteral("Дух:");

  // The design table: "A" to "Z", a blank and a full stop.
  static QStringList DesignSymbols();
  static constexpr int MinSymbols = 2;
  static constexpr int MaxSymbols = 100;
};

// The probe's channels and the sensor.
struct TSignalOptions {
  QString DataAccDepth = QStringLiteral("1");  // 1..1024 as typed
  QString LevelAccDepth = QStringLiteral("5");
  bool InvertSensorData = true;
};

// The instrument model: its needle channel and the gain.
struct TNeedleOptions {
  QString SpringDump = QStringLiteral("3.1");
  QString SpringSpeed = QStringLiteral("0.22");
  bool SpringEnabled = false;
  QString Gain = QStringLiteral("100");  // "Gauge Amp" as typed, 1..1000
};

// What the program says, and its two voices (all off as designed, the
// blocking on).
struct TSpeechOptions {
  bool AuditoryScanning = false;  // the cue voice names each symbol at rest
  bool SaySelected = false;       // the main voice says each symbol taken
  bool ReadLines = false;         // a line is read when "." ends it; "Сказать"
  bool BlockSensor = true;        // the sensor selects nothing while speech plays
  TVoiceSettings Cue{40, 220};
  TVoiceSettings Main{100, 170};
  // Cue timing (off as designed): each rest is lengthened by its cue, so the
  // whole time per symbol is open listening after the name; the blocking then
  // lasts only while speech can reach the sensor (its sound and EchoMs after
  // it), holds the level, and a reaction still going when it ends counts.
  bool OpenTime = false;
  int EchoMs = 80;
  static constexpr int MinEchoMs = 0;
  static constexpr int MaxEchoMs = 1000;
  // The ranges the settings window offers; values read are held to them.
  static constexpr int MinVolume = 0;
  static constexpr int MaxVolume = 100;
  static constexpr int MinRate = 80;
  static constexpr int MaxRate = 450;
  bool Speaks() const { return AuditoryScanning || SaySelected || ReadLines; }
};

// Faster entry (both off as designed): after a selection the next rest is
// on symbol 1; or the next rests offer the letters the model ranks first.
struct TSpeedOptions {
  bool RestartAfterSelection = false;
  bool PredictNextLetter = false;
  // With prediction, the place (1-based) in every scan after a selection at
  // which the backspace symbol is offered; 0 leaves it in table order.
  int UndoPlace = DefaultUndoPlace;
  static constexpr int DefaultUndoPlace = 5;
  static constexpr int MaxUndoPlace = 20;
  // The drum marks the symbols of the next few rests (off by default).
  bool ShowComingOrder = false;
  // With prediction, two levels: the rests offer groups of the model's
  // ranking, a reaction picks a group and the next rests offer its members
  // (off by default).
  bool GroupScan = false;
};

// Switch timing (section "Switch"), every value 0 = off as designed. Times
// are in ms and counted on the poll timeline (40 ms a poll).
struct TSwitchOptions {
  // The value must stay above the on level this long before it selects.
  int AcceptanceMs = 0;
  // After a firing, below the off level this long before the next counts.
  int ReleaseMs = 0;
  // The first rest after a selection is longer by this much.
  int FirstRestExtraMs = 0;
  // Whole turns without a reaction before the drum pauses.
  int ScanLoops = 0;
  // A reaction held longer lets the level go; only its real end re-arms.
  int MaxHoldMs = 0;
  // The ranges the settings window offers; values read are held to them.
  static constexpr int MaxTimeMs = 5000;
  static constexpr int MaxFirstRestExtraMs = 10000;
  static constexpr int MaxScanLoops = 20;
  static constexpr int MaxHoldLimitMs = 60000;
};

// Keys of a switch, by the names the settings file stores ("" for none).
struct TKeyOptions {
  QString SelectKey;
  QString StartKey;
  QString StopKey;
};

// The recording device; empty for the system's default.
struct TCaptureOptions {
  QString Device;
};

// The tape's text size in pixels.
struct TTapeOptions {
  static constexpr int DesignFontSize = 13;
  static constexpr int MinFontSize = 8;  // the range the settings window offers
  static constexpr int MaxFontSize = 72;
  int FontSize = DesignFontSize;
};

// The calibration last accepted (none as designed): the level mode it chose,
// restored into the probe and the panel at start-up, and the rest level it
// measured, against which a session watches the baseline.
struct TCalibrationOptions {
  static constexpr int NoMode = -1;
  int LevelMode = NoMode;  // "Level Mode": 0 auto, 1 tracking, 2 fixed
  QString RestLevel;       // "Rest Level", sensor units with a point; "" none
  bool Accepted() const { return LevelMode != NoMode; }
};

// Hands-free symbols (section "Hands Free", all off as designed). Each names
// a symbol of the table as typed, trimmed at Start; empty for none. None of
// them writes on the tape.
struct THandsFreeOptions {
  // After a stop symbol the capture keeps listening, and the next reaction
  // (or F9) starts a new session as the Start button would.
  bool StartByReaction = false;
  // The drum stands on it; the next reaction lets it turn again.
  QString PauseSymbol;
  // Sounds an alarm until it is silenced on the main window.
  QString CallSymbol;
  // The main voice reads the tape's last line.
  QString ReadLineSymbol;
  // Whether speech is needed for what is on.
  bool Speaks() const { return StartByReaction || !ReadLineSymbol.trimmed().isEmpty(); }
};

struct TOptions {
  TSessionOptions Session;
  TSignalOptions Signal;
  TNeedleOptions Needle;
  TSpeechOptions Speech;
  TSpeedOptions Speed;
  TKeyOptions Keys;
  TCaptureOptions Capture;
  TTapeOptions Tape;
  TSwitchOptions Switch;
  TCalibrationOptions Calibration;
  THandsFreeOptions HandsFree;
};

enum class TOptionGroup {
  Session,
  Signal,
  Needle,
  Speech,
  Speed,
  Keys,
  Capture,
  Tape,
  Switch,
  Calibration,
  HandsFree
};

bool operator==(const TSessionOptions& a, const TSessionOptions& b);
bool operator==(const TSignalOptions& a, const TSignalOptions& b);
bool operator==(const TNeedleOptions& a, const TNeedleOptions& b);
bool operator==(const TSpeechOptions& a, const TSpeechOptions& b);
bool operator==(const TSpeedOptions& a, const TSpeedOptions& b);
bool operator==(const TKeyOptions& a, const TKeyOptions& b);
bool operator==(const TCaptureOptions& a, const TCaptureOptions& b);
bool operator==(const TTapeOptions& a, const TTapeOptions& b);
bool operator==(const TSwitchOptions& a, const TSwitchOptions& b);
bool operator==(const TCalibrationOptions& a, const TCalibrationOptions& b);
bool operator==(const THandsFreeOptions& a, const THandsFreeOptions& b);
