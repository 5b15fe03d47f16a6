#include "SessionEngine.h"

#include <algorithm>
#include <cmath>

#include "LetterModel.h"
#include "SessionRules.h"
#include "TickTimer.h"
#include "sensor/Inst.h"
#include "sensor/Sens.h"

TSessionEngine::TSessionEngine(TSessionHost& host, TTickTimer& drumTimer, TTickTimer& pollTimer)
    : host_(host), drumTimer_(drumTimer), pollTimer_(pollTimer) {}

void TSessionEngine::AddListener(TSessionListener* listener) {
  if (listener && !listeners_.contains(listener)) listeners_.append(listener);
}

void TSessionEngine::RemoveListener(TSessionListener* listener) { listeners_.removeAll(listener); }

template <class F>
void TSessionEngine::Publish(F&& call) {
  // A copy: a listener may add or remove listeners while it is told.
  const QList<TSessionListener*> listeners = listeners_;
  for (TSessionListener* l : listeners)
    if (listeners_.contains(l)) call(*l);
}

void TSessionEngine::ShowLight(TSessionLight light) {
  Publish([light](TSessionListener& l) { l.LightChanged(light); });
}

namespace {

// A paused drum's capture is started anew this often.
constexpr int kPausedCaptureMs = 10000;

}  // namespace

void TSessionEngine::StartCapture() {
  restTailPending_ = false;
  if (paused_)
    host_.Sensor()->Start(kPausedCaptureMs);
  else if (fastMode_)
    host_.Sensor()->Rearm(symbolPeriodMs_);
  else
    host_.Sensor()->Start(restMs_);
}

int TSessionEngine::BeginRest() {
  // The host may lengthen a slow rest (by its cue); the capture covers it.
  restMs_ = fastMode_ ? kTickMs : symbolPeriodMs_ + std::max(host_.RestExtraMs(*this), 0);
  if (selectedSinceRest_ && !fastMode_) restMs_ += switchOptions_.FirstRestExtraMs;
  selectedSinceRest_ = false;
  ++restsUnanswered_;
  const int loops = switchOptions_.ScanLoops;
  // A turn of the group scan is a turn of its groups.
  const int turn = groupScan_ && !groups_.isEmpty() ? int(groups_.size()) : int(symbols_.size());
  if (loops > 0 && restsUnanswered_ > loops * turn) {
    paused_ = true;
    pausedBySymbol_ = false;
  }
  StartCapture();
  return paused_ ? kPausedCaptureMs : restMs_;
}

void TSessionEngine::Resume() {
  paused_ = false;
  pausedBySymbol_ = false;
  restsUnanswered_ = 0;
  drumTimer_.Stop();
  host_.Sensor()->Stop();
  const int next = BeginRest();
  host_.DrawDrum();
  Publish([this](TSessionListener& l) { l.PauseChanged(*this); });
  drumTimer_.Start(next, true);
}

void TSessionEngine::ShowReady() {
  if (readyShown_) return;
  ShowLight(TSessionLight::Ready);
  readyShown_ = true;
}

void TSessionEngine::StopCapture() {
  TSensor* sensor = host_.Sensor();
  if (stepPhase_ == 1) {
    sensor->Drain();
    restTailPending_ = true;
  }
  sensor->Stop();
}

void TSessionEngine::Start(const QString& periodText) {
  if (running_) return;
  EndWaiting();
  const int periodMs = SymbolPeriodMsFromText(periodText);
  if (periodMs < kMinSymbolPeriodMs) {
    host_.Message(QStringLiteral("Время на символ слишком маленькое."));
    return;
  }
  if (periodMs > kMaxSymbolPeriodMs) {
    host_.Message(QStringLiteral("Время на символ слишком большое."));
    return;
  }
  const TSessionOptions options = host_.StartOptions();
  symbolPeriodMs_ = periodMs;

  running_ = true;
  newLinePending_ = true;
  drumPosition_ = 1;
  stepPhase_ = 0;
  // A mark left by the previous session must not block its first rest.
  selectedThisStep_ = false;

  fastMode_ = options.FastSlowMode;
  symbols_ = options.Symbols;
  fastSymbol_ = TrimBlanks(options.FastSymbol);
  stopSymbols_ = ParseStopSymbols(options.StopSymbols);
  backspaceSymbol_ = TrimBlanks(options.BackspaceSymbol);
  const THandsFreeOptions handsFree = host_.StartHandsFree();
  startByReaction_ = handsFree.StartByReaction;
  pauseSymbol_ = TrimBlanks(handsFree.PauseSymbol);
  callSymbol_ = TrimBlanks(handsFree.CallSymbol);
  readLineSymbol_ = TrimBlanks(handsFree.ReadLineSymbol);
  onLevel_ = LevelFromText(options.OnLevel);
  offLevel_ = LevelFromText(options.OffLevel);
  switchOptions_ = host_.StartSwitch();
  const TSpeedOptions speed = host_.StartSpeed();
  restartAfterSelection_ = speed.RestartAfterSelection;
  predictNextLetter_ = speed.PredictNextLetter;
  undoPlace_ = std::max(0, speed.UndoPlace);
  scanAhead_.clear();
  groupScan_ = predictNextLetter_ && speed.GroupScan;
  groups_.clear();
  aheadGroups_.clear();
  restGroup_ = -1;
  writtenCount_ = 0;
  undoneCount_ = 0;
  keptCount_ = 0;
  keptInLine_ = 0;
  ownLineValid_ = false;
  if (predictNextLetter_) {
    PlanScan(false);
    if (!scanAhead_.isEmpty()) drumPosition_ = scanAhead_.takeFirst();
    AdvanceGroup();
  }

  switch_.Begin(switchOptions_, onLevel_, offLevel_);
  readyShown_ = false;
  selectedSinceRest_ = false;
  restsUnanswered_ = 0;
  paused_ = false;
  blankedBefore_ = false;
  Publish([this](TSessionListener& l) { l.SessionStarted(*this); });
  ShowLight(TSessionLight::Armed);

  const int first = BeginRest();
  Publish([this](TSessionListener& l) { l.RestBegan(*this); });
  drumTimer_.Start(first, false);
  pollTimer_.Start(kTickMs, false);
}

void TSessionEngine::Stop() {
  if (!running_) {
    EndWaiting();
    return;
  }
  drumTimer_.Stop();
  pollTimer_.Stop();
  host_.Sensor()->Stop();
  running_ = false;
  Publish([this](TSessionListener& l) { l.RestEnded(*this); });
  if (paused_) {
    paused_ = false;
    Publish([this](TSessionListener& l) { l.PauseChanged(*this); });
  }
  // A hosted session without a model (the entry simulator) holds no level.
  if (TInstrument* model = host_.Model()) model->Probe().HoldLevel = false;
  host_.DrawDrum();
  Publish([this](TSessionListener& l) { l.SessionEnded(*this); });
  ShowLight(TSessionLight::Idle);
}

void TSessionEngine::DrumTick() {
  drumTimer_.Stop();
  if (waiting_) {
    // The capture goes on while the engine waits for a reaction.
    host_.Sensor()->Start(kPausedCaptureMs);
    drumTimer_.Start(kPausedCaptureMs, true);
    return;
  }
  if (!running_) return;
  int next = kTickMs;
  if (paused_) {
    // The drum stands; the capture goes on.
    StartCapture();
    next = kPausedCaptureMs;
  } else if (stepPhase_ == kMoveFrames) {
    drumPosition_ = NextPosition();
    if (!scanAhead_.isEmpty()) scanAhead_.removeFirst();
    AdvanceGroup();
    stepPhase_ = 0;
    host_.DrawDrum();
    next = BeginRest();
    selectedThisStep_ = false;
    Publish([this](TSessionListener& l) { l.RestBegan(*this); });
    if (paused_) Publish([this](TSessionListener& l) { l.PauseChanged(*this); });
  } else {
    ++stepPhase_;
    host_.DrawDrum();
    StopCapture();
    if (stepPhase_ == 1) Publish([this](TSessionListener& l) { l.RestEnded(*this); });
  }
  drumTimer_.Start(next, true);
}

void TSessionEngine::PollTick() {
  pollTimer_.Stop();
  if (!running_ && !waiting_) return;
  // A reading taken while waiting belongs to no session: it is not told.
  const bool wasWaiting = waiting_;
  TInstrument* model = host_.Model();
  switch_.PollPassed();
  // The level is held only while a firing is latched (or being accepted).
  // Readings of no samples during a move still pull it down: held there, a
  // level that had crept up along a slowly rising tone that never fired
  // would make the tone's end fire on the next symbol.
  // Nor does speech that may be reaching the sensor move it. A reading
  // examines the samples recorded up to the previous poll, however late
  // this one is: blanked when speech may have reached the sensor then or now.
  const bool blankedNow = host_.SensorBlanked();
  const bool blanked = blankedNow || blankedBefore_;
  blankedBefore_ = blankedNow;
  model->Probe().HoldLevel = switch_.HoldsLevel() || blanked;
  if (!model->Measure()) {
    if (wasWaiting) {
      // The operator may be alone: the waiting goes on, and the capture is
      // tried again at every drum tick, so it resumes once the sound is back.
      if (!waitingFailureTold_)
        host_.Notice(QStringLiteral("Ошибка при подключении к датчику. Ожидание реакции продолжается: "
                                    "сеанс начнётся, когда датчик снова заработает."));
      waitingFailureTold_ = true;
      pollTimer_.Start(kTickMs, true);
      return;
    }
    host_.AddTapeLine(QStringLiteral("Ошибка при подключении к датчику. Сеанс остановлен."));
    Stop();
    return;
  }
  waitingFailureTold_ = false;
  const TInstData& record = model->Data();
  // A reading of no samples (the capture stopped for a move, or just
  // restarted) is no signal: it neither fires nor re-arms. Without a sensor
  // nothing is ever recorded and every reading is the signal at rest, so it
  // is compared like any other: the light turns green and F9 selects.
  const TSensor* sensor = host_.Sensor();
  // Speech only adds to a reading: while blanked, one below the off level
  // still proves the sensor quiet, and re-arms; nothing else is compared.
  if ((sensor->SamplesRead() || sensor->NoSensor) && !host_.SensorBlocked() &&
      (!blanked || std::fabs(record.Inst) < offLevel_))
    CompareWithLevels(record.Inst);
  restTailPending_ = false;
  if (!wasWaiting) Publish([&record](TSessionListener& l) { l.ReadingTaken(record); });
  // A stop symbol taken above has ended the session: nothing more to poll,
  // unless the engine now waits for a reaction.
  if (running_ || waiting_) pollTimer_.Start(kTickMs, true);
}

void TSessionEngine::CompareWithLevels(double inst) {
  TInstrument* model = host_.Model();
  TProbe& probe = model->Probe();
  // A stuck reaction's level has been let go: its end is judged against the
  // level from before it.
  const double fromRest =
      switch_.Stuck() ? (probe.SensorValue() - restLevel_) * model->Data().Gain + model->Offset : inst;
  switch (switch_.Reading(inst, fromRest)) {
    case TSwitchTiming::TVerdict::None:
      break;
    case TSwitchTiming::TVerdict::Fire:
      // A reading of the last samples of the rest that has just ended takes
      // that rest's symbol.
      takingRested_ = restTailPending_ && host_.Sensor()->DrainedRead();
      SelectSymbol();
      takingRested_ = false;
      restLevel_ = probe.Level;
      break;
    case TSwitchTiming::TVerdict::Armed:
      ShowReady();
      break;
    case TSwitchTiming::TVerdict::Ended:
    case TSwitchTiming::TVerdict::StuckEnded:
      ShowReady();
      // The level may have crept toward the reaction before it fired; from
      // the present value a swing the other way is no new reaction. A fixed
      // level that followed a stuck reaction goes back to where it stood.
      if (probe.LevelMode != TProbe::LevelFixed)
        probe.SetLevel(model->Offset, probe.SensorValue());
      else if (probe.Level != restLevel_)
        probe.SetLevel(model->Offset, restLevel_);
      break;
  }
}

void TSessionEngine::SelectSymbol() {
  if (waiting_) {
    EndWaiting();
    host_.StartByReaction();
    return;
  }
  if (!running_) return;
  restsUnanswered_ = 0;
  if (paused_) {
    // The reaction that wakes the drum takes nothing.
    Resume();
    return;
  }
  if (!Selectable()) return;
  if (fastMode_) {
    fastMode_ = false;
    host_.DrawDrum();
    return;
  }
  if (selectedThisStep_) return;
  selectedThisStep_ = true;
  selectedSinceRest_ = true;

  if (restGroup_ >= 0 && groups_.at(restGroup_).size() > 1) {
    // A group picked: its members come next, a few times round, then the
    // groups again.
    const QList<int> members = groups_.at(restGroup_);
    scanAhead_.clear();
    aheadGroups_.clear();
    for (int loop = 0; loop < std::max(1, groupLayout_.MemberLoops); ++loop) {
      scanAhead_ << members;
      for (int i = 0; i < members.size(); ++i) aheadGroups_ << -1;
    }
    QueueGroups();
    Publish([this](TSessionListener& l) { l.GroupTaken(*this); });
    return;
  }

  TSymbolRules rules;
  rules.FastSymbol = fastSymbol_;
  rules.BackspaceSymbol = backspaceSymbol_;
  rules.StopSymbols = stopSymbols_;
  rules.FastSlowOption = host_.FastSlowOption();
  rules.PauseSymbol = pauseSymbol_;
  rules.CallSymbol = callSymbol_;
  rules.ReadLineSymbol = readLineSymbol_;

  const QStringList before = host_.TapeLines();
  QStringList after = before;
  const QString symbol = symbols_.value(drumPosition_ - 1);
  const TSymbolAction action = ApplySymbol(after, symbol, rules, newLinePending_);
  if (action == TSymbolAction::EnterFastMode) {
    fastMode_ = true;
    Publish([&](TSessionListener& l) { l.SymbolTaken(*this, symbol, action); });
    return;
  }
  const bool undone = action == TSymbolAction::Backspace && after.last() != before.last();
  if (action == TSymbolAction::Written || action == TSymbolAction::WrittenStop) ++writtenCount_;
  if (undone) ++undoneCount_;
  CountKept(before, after);
  if (after.size() > before.size())
    host_.AddTapeLine(after.last());
  else if (!after.isEmpty() && after.last() != before.last())
    host_.ReplaceLastTapeLine(after.last());
  Publish([&](TSessionListener& l) { l.SymbolTaken(*this, symbol, action); });
  if (action == TSymbolAction::WrittenStop) {
    Stop();
    if (startByReaction_) BeginWaiting();
    return;
  }
  PlanScan(true);
  // The call symbol stands the drum too: the alarm could reach the sensor,
  // and whoever comes finds the drum on it.
  if (action == TSymbolAction::Pause || action == TSymbolAction::Call) PauseHere();
}

void TSessionEngine::PauseHere() {
  drumTimer_.Stop();
  host_.Sensor()->Stop();
  // Taken from the rest that has just ended: the drum goes back to it.
  stepPhase_ = 0;
  paused_ = true;
  pausedBySymbol_ = true;
  // The fresh rest after it may take its symbol again.
  selectedThisStep_ = false;
  StartCapture();
  host_.DrawDrum();
  Publish([this](TSessionListener& l) { l.PauseChanged(*this); });
  drumTimer_.Start(kPausedCaptureMs, true);
}

void TSessionEngine::BeginWaiting() {
  waiting_ = true;
  // Readings between sessions are no session's record.
  if (TInstrument* model = host_.Model()) model->SetRecording(false);
  // The light turns green once the reaction that took the stop symbol has
  // ended and the next one would start a session.
  readyShown_ = false;
  ShowLight(TSessionLight::Armed);
  // Taken by F9 with the switch armed: a reaction would start a session now.
  if (!switch_.Latched()) ShowReady();
  host_.Sensor()->Start(kPausedCaptureMs);
  drumTimer_.Start(kPausedCaptureMs, true);
  pollTimer_.Start(kTickMs, true);
  host_.DrawDrum();
  Publish([this](TSessionListener& l) { l.WaitingChanged(*this); });
}

void TSessionEngine::EndWaiting() {
  if (!waiting_) return;
  waiting_ = false;
  drumTimer_.Stop();
  pollTimer_.Stop();
  host_.Sensor()->Stop();
  if (TInstrument* model = host_.Model()) {
    model->Probe().HoldLevel = false;
    model->SetRecording(true);
  }
  ShowLight(TSessionLight::Idle);
  host_.DrawDrum();
  Publish([this](TSessionListener& l) { l.WaitingChanged(*this); });
}

void TSessionEngine::CountKept(const QStringList& before, const QStringList& after) {
  if (after.isEmpty()) return;
  QString was;
  if (after.size() > before.size()) {
    keptInLine_ = 0;  // a new line: "- " is not text
    was = after.last().left(2);
  } else {
    was = before.last();
    // A line the session did not leave so (an earlier session's, a time
    // stamp) holds none of its characters.
    if (!ownLineValid_ || was != ownLine_) keptInLine_ = 0;
  }
  const int change = after.last().size() - was.size();
  if (change > 0) {
    keptInLine_ += change;
    keptCount_ += change;
  } else {
    const int removed = std::min(-change, keptInLine_);
    keptInLine_ -= removed;
    keptCount_ -= removed;
  }
  ownLine_ = after.last();
  ownLineValid_ = true;
}

int TSessionEngine::NextPosition() const {
  if (!scanAhead_.isEmpty()) return scanAhead_.first();
  return (drumPosition_ >= symbols_.size()) ? 1 : drumPosition_ + 1;
}

void TSessionEngine::PlanScan(bool afterSelection) {
  scanAhead_.clear();
  if (predictNextLetter_) {
    const TLetterModel& model = letterModel_ ? *letterModel_ : TLetterModel::Builtin();
    // The letters of the tape's line so far; a line about to start counts as
    // one after ".", which is how the model saw the start of every line.
    QString history = QStringLiteral(".");
    const QStringList lines = host_.TapeLines();
    if (!newLinePending_ && !lines.isEmpty() && lines.last().startsWith(QLatin1String("- ")))
      history += lines.last().mid(2);
    // Fixed groups: the overall order, whatever was written.
    if (groupScan_ && groupLayout_.Frequency) history.clear();
    QList<bool> offered(symbols_.size(), false);
    for (const QString& letter : model.Rank(history)) {
      const int index = symbols_.indexOf(letter);
      if (index < 0 || offered.at(index)) continue;
      offered[index] = true;
      scanAhead_ << index + 1;
      if (scanAhead_.size() == predictedLetters_) break;
    }
    // Then the rest in table order, so every symbol comes once in a turn.
    for (int i = 0; i < symbols_.size(); ++i)
      if (!offered.at(i)) scanAhead_ << i + 1;
    if (groupScan_) {
      PlanGroups(scanAhead_, afterSelection);
      return;
    }
    // The model never ranks the backspace symbol, so in table order it would
    // come after every letter: a mistake would cost most of a turn. Offered
    // at a fixed early place, an operator knows when to expect it.
    const int undo = backspaceSymbol_.isEmpty() ? -1 : symbols_.indexOf(backspaceSymbol_) + 1;
    if (afterSelection && undoPlace_ > 0 && undo > 0) {
      scanAhead_.removeOne(undo);
      scanAhead_.insert(std::min<int>(undoPlace_ - 1, scanAhead_.size()), undo);
    }
  } else if (restartAfterSelection_) {
    scanAhead_ << 1;
  }
}

void TSessionEngine::PlanGroups(const QList<int>& ranked, bool afterSelection) {
  const TGroupLayout& layout = groupLayout_;
  QList<int> letters = ranked;
  const int undo = backspaceSymbol_.isEmpty() ? -1 : symbols_.indexOf(backspaceSymbol_) + 1;
  // Fixed groups keep the backspace symbol at its place from the start.
  const bool undoPlaced = (afterSelection || layout.Frequency) && undoPlace_ > 0 && undo > 0;
  if (undoPlaced) letters.removeOne(undo);
  groups_.clear();
  for (int i = 0; i < letters.size();) {
    const int size = groups_.size() < layout.Singles ? 1 : std::max(1, layout.GroupSize);
    groups_ << letters.mid(i, size);
    i += size;
  }
  if (undoPlaced) groups_.insert(std::min<int>(undoPlace_ - 1, groups_.size()), QList<int>{undo});
  scanAhead_.clear();
  aheadGroups_.clear();
  QueueGroups();
}

void TSessionEngine::QueueGroups() {
  for (int g = 0; g < groups_.size(); ++g) {
    scanAhead_ << groups_.at(g).first();
    aheadGroups_ << g;
  }
}

void TSessionEngine::AdvanceGroup() {
  if (!groupScan_) return;
  restGroup_ = aheadGroups_.isEmpty() ? -1 : aheadGroups_.takeFirst();
  if (scanAhead_.isEmpty()) QueueGroups();
}

QList<QList<int>> TSessionEngine::GroupsAhead() const {
  QList<QList<int>> ahead;
  for (const int g : aheadGroups_) ahead << (g >= 0 ? groups_.at(g) : QList<int>());
  return ahead;
}
