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

// 10 s of polls.
constexpr int kMaxHeldPolls = 250;

}  // namespace

void TSessionEngine::StartCapture() {
  restTailPending_ = false;
  // The host may lengthen a slow rest (by its cue); the capture covers it.
  restMs_ = fastMode_ ? kTickMs : symbolPeriodMs_ + std::max(host_.RestExtraMs(*this), 0);
  if (fastMode_)
    host_.Sensor()->Rearm(symbolPeriodMs_);
  else
    host_.Sensor()->Start(restMs_);
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
  onLevel_ = LevelFromText(options.OnLevel);
  offLevel_ = LevelFromText(options.OffLevel);
  const TSpeedOptions speed = host_.StartSpeed();
  restartAfterSelection_ = speed.RestartAfterSelection;
  predictNextLetter_ = speed.PredictNextLetter;
  scanAhead_.clear();
  writtenCount_ = 0;
  undoneCount_ = 0;
  if (predictNextLetter_) {
    PlanScan();
    if (!scanAhead_.isEmpty()) drumPosition_ = scanAhead_.takeFirst();
  }

  selectLatch_ = true;
  readyShown_ = false;
  reactionHeld_ = false;
  blankedBefore_ = false;
  Publish([this](TSessionListener& l) { l.SessionStarted(*this); });
  ShowLight(TSessionLight::Armed);

  StartCapture();
  Publish([this](TSessionListener& l) { l.RestBegan(*this); });
  drumTimer_.Start(restMs_, false);
  pollTimer_.Start(kTickMs, false);
}

void TSessionEngine::Stop() {
  if (!running_) return;
  drumTimer_.Stop();
  pollTimer_.Stop();
  host_.Sensor()->Stop();
  running_ = false;
  Publish([this](TSessionListener& l) { l.RestEnded(*this); });
  // A hosted session without a model (the entry simulator) holds no level.
  if (TInstrument* model = host_.Model()) model->Probe().HoldLevel = false;
  host_.DrawDrum();
  Publish([this](TSessionListener& l) { l.SessionEnded(*this); });
  ShowLight(TSessionLight::Idle);
}

void TSessionEngine::DrumTick() {
  drumTimer_.Stop();
  if (!running_) return;
  int next = kTickMs;
  if (stepPhase_ == kMoveFrames) {
    drumPosition_ = NextPosition();
    if (!scanAhead_.isEmpty()) scanAhead_.removeFirst();
    stepPhase_ = 0;
    host_.DrawDrum();
    StartCapture();
    selectedThisStep_ = false;
    next = restMs_;
    Publish([this](TSessionListener& l) { l.RestBegan(*this); });
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
  if (!running_) return;
  TInstrument* model = host_.Model();
  if (reactionHeld_ && ++heldPolls_ > kMaxHeldPolls) reactionHeld_ = false;
  // The level is held only while a firing is latched. Readings of no
  // samples during a move still pull it down: held there, a level that had
  // crept up along a slowly rising tone that never fired would make the
  // tone's end fire on the next symbol.
  // Nor does speech that may be reaching the sensor move it. A reading
  // examines the samples recorded up to the previous poll, however late
  // this one is: blanked when speech may have reached the sensor then or now.
  const bool blankedNow = host_.SensorBlanked();
  const bool blanked = blankedNow || blankedBefore_;
  blankedBefore_ = blankedNow;
  model->Probe().HoldLevel = reactionHeld_ || blanked;
  if (!model->Measure()) {
    host_.AddTapeLine(QStringLiteral("Ошибка при подключении к датчику. Сеанс остановлен."));
    Stop();
    return;
  }
  const TInstData& record = model->Data();
  // A reading of no samples (the capture stopped for a move, or just
  // restarted) is no signal: it neither fires nor re-arms. Without a sensor
  // nothing is ever recorded and every reading is the signal at rest, so it
  // is compared like any other: the light turns green and F9 selects.
  const TSensor* sensor = host_.Sensor();
  if ((sensor->SamplesRead() || sensor->NoSensor) && !host_.SensorBlocked()) {
    // Speech only adds to a reading: one below the off level still proves
    // the sensor quiet, and re-arms.
    if (!blanked) {
      CompareWithLevels(record.Inst);
    } else if (std::fabs(record.Inst) < offLevel_) {
      if (!readyShown_) {
        ShowLight(TSessionLight::Ready);
        readyShown_ = true;
      }
      selectLatch_ = false;
    }
  }
  restTailPending_ = false;
  Publish([&record](TSessionListener& l) { l.ReadingTaken(record); });
  // A stop symbol taken above has ended the session: nothing more to poll.
  if (running_) pollTimer_.Start(kTickMs, true);
}

void TSessionEngine::CompareWithLevels(double inst) {
  const double v = std::fabs(inst);
  if (v > onLevel_ && !selectLatch_) {
    // A reading of the last samples of the rest that has just ended takes
    // that rest's symbol.
    takingRested_ = restTailPending_ && host_.Sensor()->DrainedRead();
    SelectSymbol();
    takingRested_ = false;
    selectLatch_ = true;
    reactionHeld_ = true;
    reactionSign_ = inst < 0 ? -1.0 : 1.0;
    heldPolls_ = 0;
  } else if (reactionHeld_ ? inst * reactionSign_ < offLevel_ : v < offLevel_) {
    if (!readyShown_) {
      ShowLight(TSessionLight::Ready);
      readyShown_ = true;
    }
    selectLatch_ = false;
    if (reactionHeld_) {
      reactionHeld_ = false;
      // The level may have crept toward the reaction before it fired; from
      // the present value a swing the other way is no new reaction.
      TInstrument* model = host_.Model();
      TProbe& probe = model->Probe();
      if (probe.LevelMode != TProbe::LevelFixed) probe.SetLevel(model->Offset, probe.SensorValue());
    }
  }
}

void TSessionEngine::SelectSymbol() {
  if (!Selectable()) return;
  if (fastMode_) {
    fastMode_ = false;
    host_.DrawDrum();
    return;
  }
  if (selectedThisStep_) return;
  selectedThisStep_ = true;

  TSymbolRules rules;
  rules.FastSymbol = fastSymbol_;
  rules.BackspaceSymbol = backspaceSymbol_;
  rules.StopSymbols = stopSymbols_;
  rules.FastSlowOption = host_.FastSlowOption();

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
  if (after.size() > before.size())
    host_.AddTapeLine(after.last());
  else if (!after.isEmpty() && after.last() != before.last())
    host_.ReplaceLastTapeLine(after.last());
  Publish([&](TSessionListener& l) { l.SymbolTaken(*this, symbol, action); });
  if (action == TSymbolAction::WrittenStop) {
    Stop();
    return;
  }
  PlanScan();
}

int TSessionEngine::NextPosition() const {
  if (!scanAhead_.isEmpty()) return scanAhead_.first();
  return (drumPosition_ >= symbols_.size()) ? 1 : drumPosition_ + 1;
}

void TSessionEngine::PlanScan() {
  scanAhead_.clear();
  if (predictNextLetter_) {
    const TLetterModel& model = letterModel_ ? *letterModel_ : TLetterModel::Builtin();
    // The letters of the tape's line so far; a line about to start counts as
    // one after ".", which is how the model saw the start of every line.
    QString history = QStringLiteral(".");
    const QStringList lines = host_.TapeLines();
    if (!newLinePending_ && !lines.isEmpty() && lines.last().startsWith(QLatin1String("- ")))
      history += lines.last().mid(2);
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
  } else if (restartAfterSelection_) {
    scanAhead_ << 1;
  }
}
