#pragma once
// The session engine: Start and Stop, the drum step, the poll and the
// selection step. It holds the session's state and reaches everything
// outside it through a host (the main window in the program, a script in
// tests) and two tick timers.

#include <QString>
#include <QStringList>

#include "Options.h"
#include "sensor/InstData.h"

class TInstrument;
class TLetterModel;
class TSensor;
class TTickTimer;
enum class TSymbolAction;

// The session indicator's state.
enum class TSessionLight { Idle, Armed, Ready };

class TSessionHost {
public:
  virtual ~TSessionHost() = default;

  // The measurement chain; both exist while a session runs.
  virtual TSensor* Sensor() = 0;
  virtual TInstrument* Model() = 0;

  // The options a session copies at Start.
  virtual TSessionOptions StartOptions() = 0;
  virtual TSpeedOptions StartSpeed() = 0;
  // The fast/slow option, read again at each selection.
  virtual bool FastSlowOption() = 0;
  // Locks the session's settings while a session runs.
  virtual void LockSettings(bool locked) = 0;
  virtual void ShowLight(TSessionLight light) = 0;
  virtual void DrawDrum() = 0;

  // The tape's lines; an empty tape has none.
  virtual QStringList TapeLines() = 0;
  virtual void AddTapeLine(const QString& line) = 0;
  virtual void ReplaceLastTapeLine(const QString& line) = 0;

  // A poll took this reading: the recorder, the panel and the graph get it.
  virtual void ReadingTaken(const TInstData& record) = 0;
  // A plain message with an OK button.
  virtual void Message(const QString& text) = 0;

  // For speech; by default nothing happens and nothing is blocked.
  // The drum has come to rest on the symbol at DrumPosition.
  virtual void RestBegan() {}
  // The rest is over: the drum moves on, or the session stopped.
  virtual void RestEnded() {}
  // A selection took this symbol (as typed) and did this with it.
  virtual void SymbolTaken(const QString& /*symbol*/, TSymbolAction /*action*/) {}
  // Whether the sensor's readings are to be ignored now (F9 and the test
  // signal still select).
  virtual bool SensorBlocked() { return false; }
};

class TSessionEngine {
public:
  // None is owned.
  TSessionEngine(TSessionHost& host, TTickTimer& drumTimer, TTickTimer& pollTimer);

  // Starts a session with the time per symbol as typed (seconds); refused
  // with a message when out of range.
  void Start(const QString& periodText);
  void Stop();
  // The drum timer's tick: a new rest or the next frame of a move.
  void DrumTick();
  // The poll timer's tick: a reading, compared with the levels.
  void PollTick();
  // Takes the symbol at rest (the poll, F9, the test signal).
  void SelectSymbol();
  // Whether a selection could take effect now (at rest, or in fast mode).
  bool Selectable() const { return Running && (StepPhase == 0 || FastMode || takingRested_); }
  // The symbol (1-based) the drum's next rest is on.
  int NextPosition() const;

  // Session state.
  bool Running = false;
  int SymbolPeriodMs = 0;
  int DrumPosition = 1;  // 1-based index of the symbol in the selection window
  int StepPhase = 0;     // 0 at rest, 1..5 moving to the next symbol
  bool SelectedThisStep = false;
  bool FastMode = false;
  bool NewLinePending = false;
  double OnLevel = 0.0;
  double OffLevel = 0.0;
  bool SelectLatch = false;
  bool ReadyShown = false;
  QStringList Symbols;
  QString FastSymbol;
  QString BackspaceSymbol;
  QStringList StopSymbols;
  bool RestartAfterSelection = false;
  bool PredictNextLetter = false;
  // The symbols (1-based) of the next rests when they do not follow table
  // order; after the last one the drum goes on in table order.
  QList<int> ScanAhead;
  // This session's selections: symbols written, characters the backspace
  // symbol removed.
  int WrittenCount = 0;
  int UndoneCount = 0;
  // How many of the model's likeliest letters prediction offers before table
  // order resumes; 0 offers every letter the model knows.
  int PredictedLetters = 0;
  // The model prediction ranks with; the built-in one when none is set.
  const TLetterModel* LetterModel = nullptr;

private:
  // Starts (slow mode) or re-arms (fast mode) the capture for a new rest.
  void StartCapture();
  // Stops the capture for a frame of a move. At the first frame the samples
  // recorded since the rest's last poll are examined first, and the next
  // poll's reading counts for the symbol that has just rested.
  void StopCapture();
  // Compares a reading of recorded samples (the signed instrument value)
  // with the levels: fires the selection or re-arms it.
  void CompareWithLevels(double inst);

  // The next poll reads the samples of the rest that has just ended.
  bool restTailPending_ = false;
  // Set only while that reading takes the symbol that has just rested.
  bool takingRested_ = false;
  // A firing is latched: the probe's level holds still until the value
  // has come back below the off level on the side the reaction went, and
  // then starts again from the present sensor value, so the reaction's own
  // end is not a second reaction. Released after kMaxHeldPolls as a guard
  // against a baseline that moved while the level was held.
  bool reactionHeld_ = false;
  double reactionSign_ = 1.0;
  int heldPolls_ = 0;
  // Plans the next rests after a selection (or at Start) as the options say.
  void PlanScan();

  TSessionHost& host_;
  TTickTimer& drumTimer_;
  TTickTimer& pollTimer_;
};
