#pragma once
// The session engine: Start and Stop, the drum step, the poll and the
// selection step. It holds the session's state and reaches everything
// outside it through a host (the main window in the program, a script in
// tests) and two tick timers.

#include <QString>
#include <QList>
#include <QStringList>

#include "Options.h"
#include "SwitchTiming.h"
#include "sensor/InstData.h"

class TInstrument;
class TLetterModel;
class TSensor;
class TTickTimer;
enum class TSymbolAction;

// The session indicator's state.
enum class TSessionLight { Idle, Armed, Ready };

class TSessionEngine;

// What a session needs answered or done at once: the chain, the options it
// copies, the tape and the drum. The main window in the program, a script in
// tests.
class TSessionHost {
public:
  virtual ~TSessionHost() = default;

  // The measurement chain; both exist while a session runs.
  virtual TSensor* Sensor() = 0;
  virtual TInstrument* Model() = 0;

  // The options a session copies at Start.
  virtual TSessionOptions StartOptions() = 0;
  virtual TSpeedOptions StartSpeed() = 0;
  // The switch timing; all off unless the host says otherwise.
  virtual TSwitchOptions StartSwitch() { return {}; }
  // The fast/slow option, read again at each selection.
  virtual bool FastSlowOption() = 0;
  virtual void DrawDrum() = 0;

  // The tape's lines; an empty tape has none.
  virtual QStringList TapeLines() = 0;
  virtual void AddTapeLine(const QString& line) = 0;
  virtual void ReplaceLastTapeLine(const QString& line) = 0;

  // A plain message with an OK button.
  virtual void Message(const QString& text) = 0;
  // Whether the sensor's readings are to be ignored now (F9 and the test
  // signal still select); by default nothing is blocked.
  virtual bool SensorBlocked() { return false; }
  // How much longer than the time per symbol the rest beginning now is to
  // be (the cue voice's name of its symbol); by default none.
  virtual int RestExtraMs(const TSessionEngine& /*engine*/) { return 0; }
  // Whether the program's speech may be reaching the sensor now: a reading
  // then neither fires nor moves the level, and one below the off level
  // still re-arms, so a reaction still going when the speech has died away
  // fires then. By default never.
  virtual bool SensorBlanked() { return false; }

  // Hands-free sessions: the options a session copies at Start (all off
  // unless the host says otherwise).
  virtual THandsFreeOptions StartHandsFree() { return {}; }
  // A reaction (or F9) while waiting after a stop symbol: start a new
  // session as the Start button does. The waiting has ended already.
  virtual void StartByReaction() {}
  // Something the user must know that must not stop anything (a waiting
  // ended by a fault); by default nothing.
  virtual void Notice(const QString& /*text*/) {}
};

// What happens in a session, told to every listener in the order they were
// added (the recorder first, then the panel, the graph, the statistics, the
// speech). Each call has the engine in the state it describes.
class TSessionListener {
public:
  virtual ~TSessionListener() = default;
  // A session began (the settings are locked until it ends).
  virtual void SessionStarted(const TSessionEngine& /*engine*/) {}
  // The session ended, whatever ended it.
  virtual void SessionEnded(const TSessionEngine& /*engine*/) {}
  virtual void LightChanged(TSessionLight /*light*/) {}
  // The drum has come to rest on the symbol at DrumPosition().
  virtual void RestBegan(const TSessionEngine& /*engine*/) {}
  // The rest is over: the drum moves on, or the session stopped.
  virtual void RestEnded(const TSessionEngine& /*engine*/) {}
  // A poll took this reading (after any selection it caused).
  virtual void ReadingTaken(const TInstData& /*record*/) {}
  // A selection took this symbol (as typed) and did this with it.
  virtual void SymbolTaken(const TSessionEngine& /*engine*/, const QString& /*symbol*/,
                           TSymbolAction /*action*/) {}
  // The drum paused after the scan loops without a reaction, or went on
  // (engine.Paused() tells which); also when a session ends paused.
  virtual void PauseChanged(const TSessionEngine& /*engine*/) {}
  // With the group scan, a selection picked the group at rest: the next
  // rests offer its members (engine.Level() is 2 from the next rest on).
  virtual void GroupTaken(const TSessionEngine& /*engine*/) {}
  // The engine began or stopped waiting for a reaction to start the next
  // session (engine.Waiting() tells which).
  virtual void WaitingChanged(const TSessionEngine& /*engine*/) {}
};

// How the group scan groups the model's ranking at its first level: the
// likeliest Singles letters alone, then groups of GroupSize, the backspace
// symbol alone at its place (UndoPlace(), after a selection; 0: among the
// letters). A picked group's members are offered MemberLoops times, then the
// first level comes again. Frequency: the letters in the model's overall
// order, the same groups after every letter. The defaults measured fastest.
struct TGroupLayout {
  int Singles = 1;
  int GroupSize = 4;
  int MemberLoops = 1;
  bool Frequency = false;
};

class TSessionEngine {
public:
  // None is owned.
  TSessionEngine(TSessionHost& host, TTickTimer& drumTimer, TTickTimer& pollTimer);

  // Listeners are told in the order they were added; none is owned, and a
  // listener removes itself before it goes.
  void AddListener(TSessionListener* listener);
  void RemoveListener(TSessionListener* listener);

  // Starts a session with the time per symbol as typed (seconds); refused
  // with a message when out of range.
  void Start(const QString& periodText);
  // Ends the session, or the waiting after it.
  void Stop();
  // The drum timer's tick: a new rest or the next frame of a move.
  void DrumTick();
  // The poll timer's tick: a reading, compared with the levels.
  void PollTick();
  // Takes the symbol at rest (the poll, F9, the test signal).
  void SelectSymbol();
  // Whether a selection could take effect now (at rest, or in fast mode).
  bool Selectable() const {
    return waiting_ || (running_ && (stepPhase_ == 0 || fastMode_ || takingRested_));
  }
  // The symbol (1-based) the drum's next rest is on.
  int NextPosition() const;

  // Session state.
  bool Running() const { return running_; }
  int SymbolPeriodMs() const { return symbolPeriodMs_; }
  // The length of the present rest: the time per symbol and what the host
  // added (40 ms in fast mode).
  int RestMs() const { return restMs_; }
  int DrumPosition() const { return drumPosition_; }  // 1-based, in the selection window
  int StepPhase() const { return stepPhase_; }  // 0 at rest, 1..5 moving to the next symbol
  bool SelectedThisStep() const { return selectedThisStep_; }
  bool FastMode() const { return fastMode_; }
  bool NewLinePending() const { return newLinePending_; }
  double OnLevel() const { return onLevel_; }
  double OffLevel() const { return offLevel_; }
  bool SelectLatch() const { return switch_.Latched(); }
  bool ReadyShown() const { return readyShown_; }
  const QStringList& Symbols() const { return symbols_; }
  const QString& FastSymbol() const { return fastSymbol_; }
  const QString& BackspaceSymbol() const { return backspaceSymbol_; }
  const QStringList& StopSymbols() const { return stopSymbols_; }
  bool RestartAfterSelection() const { return restartAfterSelection_; }
  bool PredictNextLetter() const { return predictNextLetter_; }
  // With prediction, the place of the backspace symbol in every scan after a
  // selection (1-based); 0: in table order.
  int UndoPlace() const { return undoPlace_; }
  // The symbols (1-based) of the next rests when they do not follow table
  // order; after the last one the drum goes on in table order.
  const QList<int>& ScanAhead() const { return scanAhead_; }
  // The group scan: 0 without it, 1 at a rest on a group, 2 at a rest on a
  // member of the group picked.
  int Level() const { return !groupScan_ ? 0 : restGroup_ >= 0 ? 1 : 2; }
  // The symbols (1-based) of the group at rest (level 1), its first in the
  // window; empty at level 2 and without the group scan.
  QList<int> RestGroup() const { return restGroup_ >= 0 ? groups_.value(restGroup_) : QList<int>(); }
  // The groups of the next rests while they are at level 1, as ScanAhead()
  // gives their first symbols; a rest at level 2 gives an empty group.
  QList<QList<int>> GroupsAhead() const;
  // This session's selections: symbols written, characters the backspace
  // symbol removed.
  int WrittenCount() const { return writtenCount_; }
  int UndoneCount() const { return undoneCount_; }
  // Characters this session wrote that are still on the tape: the backspace
  // symbol's own selections and what it removed are not among them, nor is
  // anything it removed from before the session.
  int KeptCount() const { return keptCount_; }
  // The switch timing copied at Start.
  const TSwitchOptions& SwitchOptions() const { return switchOptions_; }
  // The drum stands after the scan loops without a reaction; the capture
  // goes on, and the next reaction lets it turn again, taking nothing.
  bool Paused() const { return paused_; }

  // Hands-free: after a stop symbol with "start by reaction" on, no session
  // runs but the capture goes on; readings are compared, not recorded, and
  // the next reaction (or F9) asks the host to start a new session.
  bool Waiting() const { return waiting_; }
  // The drum stands because the pause or the call symbol was taken (not
  // after the scan loops).
  bool PausedBySymbol() const { return paused_ && pausedBySymbol_; }
  // The hands-free symbols copied (trimmed) at Start; empty for none.
  const QString& PauseSymbol() const { return pauseSymbol_; }
  const QString& CallSymbol() const { return callSymbol_; }
  const QString& ReadLineSymbol() const { return readLineSymbol_; }

  // How many of the model's likeliest letters prediction offers before table
  // order resumes; 0 (the default) offers every letter the model knows.
  void SetPredictedLetters(int count) { predictedLetters_ = count; }
  // The model prediction ranks with; the built-in one when none is set.
  void SetLetterModel(const TLetterModel* model) { letterModel_ = model; }
  // The group scan's grouping; the default is the program's.
  void SetGroupLayout(const TGroupLayout& layout) { groupLayout_ = layout; }

private:
  // Starts (slow mode) or re-arms (fast mode) the capture for a new rest
  // of restMs_.
  void StartCapture();
  // A new rest has begun: how long it lasts, and whether the drum pauses
  // on it.
  int BeginRest();
  // Lets a paused drum turn again from a fresh rest on the same symbol.
  void Resume();
  void ShowReady();
  // Stops the capture for a frame of a move. At the first frame the samples
  // recorded since the rest's last poll are examined first, and the next
  // poll's reading counts for the symbol that has just rested.
  void StopCapture();
  // Compares a reading of recorded samples (the signed instrument value)
  // with the levels: fires the selection or re-arms it.
  void CompareWithLevels(double inst);
  // Plans the next rests after a selection (or at Start) as the options say.
  // After a selection the backspace symbol may be offered at its fixed place.
  void PlanScan(bool afterSelection);
  // The group scan's first level: the groups of a ranking (after a
  // selection with the backspace symbol at its place), queued from the
  // next rest on.
  void PlanGroups(const QList<int>& ranked, bool afterSelection);
  // Queues the first level's groups once more after what is queued.
  void QueueGroups();
  // The rest the drum moves to now takes its group from the queue, and the
  // first level comes again when the queue has run out.
  void AdvanceGroup();
  // Counts what a selection changed on the last tape line.
  void CountKept(const QStringList& before, const QStringList& after);
  void ShowLight(TSessionLight light);
  // The drum stands on the symbol just taken, as after the scan loops.
  void PauseHere();
  void BeginWaiting();
  void EndWaiting();
  template <class F>
  void Publish(F&& call);

  bool running_ = false;
  int symbolPeriodMs_ = 0;
  int restMs_ = 0;
  int drumPosition_ = 1;
  int stepPhase_ = 0;
  bool selectedThisStep_ = false;
  bool fastMode_ = false;
  bool newLinePending_ = false;
  double onLevel_ = 0.0;
  double offLevel_ = 0.0;
  bool readyShown_ = false;
  QStringList symbols_;
  QString fastSymbol_;
  QString backspaceSymbol_;
  QStringList stopSymbols_;
  bool restartAfterSelection_ = false;
  bool predictNextLetter_ = false;
  int undoPlace_ = 0;
  QList<int> scanAhead_;
  int writtenCount_ = 0;
  int undoneCount_ = 0;
  int keptCount_ = 0;
  // How many characters at the end of the last tape line are this session's,
  // valid while that line is still as the session left it.
  int keptInLine_ = 0;
  QString ownLine_;
  bool ownLineValid_ = false;
  int predictedLetters_ = 0;
  const TLetterModel* letterModel_ = nullptr;
  // The group scan: the first level's groups, the group of each queued rest
  // (-1: a member rest) and of the present rest.
  bool groupScan_ = false;
  TGroupLayout groupLayout_;
  QList<QList<int>> groups_;
  QList<int> aheadGroups_;
  int restGroup_ = -1;

  // The host blanked the sensor at the previous poll.
  bool blankedBefore_ = false;
  // The next poll reads the samples of the rest that has just ended.
  bool restTailPending_ = false;
  // Set only while that reading takes the symbol that has just rested.
  bool takingRested_ = false;
  // A firing is latched: the probe's level holds still until the value
  // has come back below the off level on the side the reaction went, and
  // then starts again from the present sensor value, so the reaction's own
  // end is not a second reaction (see TSwitchTiming for long reactions).
  TSwitchTiming switch_;
  TSwitchOptions switchOptions_;
  // The probe's level when the latched reaction fired.
  double restLevel_ = 0.0;
  // The next rest is the first after a selection.
  bool selectedSinceRest_ = false;
  // Rests since Start or the last reaction, this one included.
  int restsUnanswered_ = 0;
  bool paused_ = false;

  // Hands-free.
  bool startByReaction_ = false;
  bool waiting_ = false;
  // A failed reading while waiting has been told; cleared by a good one.
  bool waitingFailureTold_ = false;
  bool pausedBySymbol_ = false;
  QString pauseSymbol_;
  QString callSymbol_;
  QString readLineSymbol_;

  TSessionHost& host_;
  TTickTimer& drumTimer_;
  TTickTimer& pollTimer_;
  QList<TSessionListener*> listeners_;
};
