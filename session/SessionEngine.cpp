#include "SessionEngine.h"

#include <cmath>

#include "LetterModel.h"
#include "SessionRules.h"
#include "TickTimer.h"
#include "sensor/Inst.h"
#include "sensor/Sens.h"

TSessionEngine::TSessionEngine(TSessionHost& host, TTickTimer& drumTimer, TTickTimer& pollTimer)
    : host_(host), drumTimer_(drumTimer), pollTimer_(pollTimer) {}

namespace {

// 10 s of polls.
constexpr int kMaxHeldPolls = 250;

}  // namespace

void TSessionEngine::StartCapture() {
  restTailPending_ = false;
  if (FastMode)
    host_.Sensor()->Rearm(SymbolPeriodMs);
  else
    host_.Sensor()->Start(SymbolPeriodMs);
}

void TSessionEngine::StopCapture() {
  TSensor* sensor = host_.Sensor();
  if (StepPhase == 1) {
    sensor->Drain();
    restTailPending_ = true;
  }
  sensor->Stop();
}

void TSessionEngine::Start(const QString& periodText) {
  if (Running) return;
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
  SymbolPeriodMs = periodMs;

  host_.LockSettings(true);
  Running = true;
  NewLinePending = true;
  DrumPosition = 1;
  StepPhase = 0;
  // A mark left by the previous session must not block its first rest.
  SelectedThisStep = false;

  FastMode = options.FastSlowMode;
  Symbols = options.Symbols;
  FastSymbol = TrimBlanks(options.FastSymbol);
  StopSymbols = ParseStopSymbols(options.StopSymbols);
  BackspaceSymbol = TrimBlanks(options.BackspaceSymbol);
  OnLevel = LevelFromText(options.OnLevel);
  OffLevel = LevelFromText(options.OffLevel);
  const TSpeedOptions speed = host_.StartSpeed();
  RestartAfterSelection = speed.RestartAfterSelection;
  PredictNextLetter = speed.PredictNextLetter;
  ScanAhead.clear();
  WrittenCount = 0;
  UndoneCount = 0;
  if (PredictNextLetter) {
    PlanScan();
    if (!ScanAhead.isEmpty()) DrumPosition = ScanAhead.takeFirst();
  }

  SelectLatch = true;
  ReadyShown = false;
  reactionHeld_ = false;
  host_.ShowLight(TSessionLight::Armed);

  StartCapture();
  host_.RestBegan();
  drumTimer_.Start(FastMode ? kTickMs : SymbolPeriodMs, false);
  pollTimer_.Start(kTickMs, false);
}

void TSessionEngine::Stop() {
  if (!Running) return;
  drumTimer_.Stop();
  pollTimer_.Stop();
  host_.Sensor()->Stop();
  Running = false;
  host_.RestEnded();
  // A hosted session without a model (the entry simulator) holds no level.
  if (TInstrument* model = host_.Model()) model->Probe().HoldLevel = false;
  host_.DrawDrum();
  host_.LockSettings(false);
  host_.ShowLight(TSessionLight::Idle);
}

void TSessionEngine::DrumTick() {
  drumTimer_.Stop();
  if (!Running) return;
  int next = kTickMs;
  if (StepPhase == kMoveFrames) {
    DrumPosition = NextPosition();
    if (!ScanAhead.isEmpty()) ScanAhead.removeFirst();
    StepPhase = 0;
    host_.DrawDrum();
    StartCapture();
    SelectedThisStep = false;
    next = FastMode ? kTickMs : SymbolPeriodMs;
    host_.RestBegan();
  } else {
    ++StepPhase;
    host_.DrawDrum();
    StopCapture();
    if (StepPhase == 1) host_.RestEnded();
  }
  drumTimer_.Start(next, true);
}

void TSessionEngine::PollTick() {
  pollTimer_.Stop();
  if (!Running) return;
  TInstrument* model = host_.Model();
  if (reactionHeld_ && ++heldPolls_ > kMaxHeldPolls) reactionHeld_ = false;
  // The level is held only while a firing is latched. Readings of no
  // samples during a move still pull it down: held there, a level that had
  // crept up along a slowly rising tone that never fired would make the
  // tone's end fire on the next symbol.
  model->Probe().HoldLevel = reactionHeld_;
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
  if ((sensor->SamplesRead() || sensor->NoSensor) && !host_.SensorBlocked())
    CompareWithLevels(record.Inst);
  restTailPending_ = false;
  host_.ReadingTaken(record);
  // A stop symbol taken above has ended the session: nothing more to poll.
  if (Running) pollTimer_.Start(kTickMs, true);
}

void TSessionEngine::CompareWithLevels(double inst) {
  const double v = std::fabs(inst);
  if (v > OnLevel && !SelectLatch) {
    // A reading of the last samples of the rest that has just ended takes
    // that rest's symbol.
    takingRested_ = restTailPending_ && host_.Sensor()->DrainedRead();
    SelectSymbol();
    takingRested_ = false;
    SelectLatch = true;
    reactionHeld_ = true;
    reactionSign_ = inst < 0 ? -1.0 : 1.0;
    heldPolls_ = 0;
  } else if (reactionHeld_ ? inst * reactionSign_ < OffLevel : v < OffLevel) {
    if (!ReadyShown) {
      host_.ShowLight(TSessionLight::Ready);
      ReadyShown = true;
    }
    SelectLatch = false;
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
  if (FastMode) {
    FastMode = false;
    host_.DrawDrum();
    return;
  }
  if (SelectedThisStep) return;
  SelectedThisStep = true;

  TSymbolRules rules;
  rules.FastSymbol = FastSymbol;
  rules.BackspaceSymbol = BackspaceSymbol;
  rules.StopSymbols = StopSymbols;
  rules.FastSlowOption = host_.FastSlowOption();

  const QStringList before = host_.TapeLines();
  QStringList after = before;
  const QString symbol = Symbols.value(DrumPosition - 1);
  const TSymbolAction action = ApplySymbol(after, symbol, rules, NewLinePending);
  if (action == TSymbolAction::EnterFastMode) {
    FastMode = true;
    host_.SymbolTaken(symbol, action);
    return;
  }
  const bool undone = action == TSymbolAction::Backspace && after.last() != before.last();
  if (action == TSymbolAction::Written || action == TSymbolAction::WrittenStop) ++WrittenCount;
  if (undone) ++UndoneCount;
  if (after.size() > before.size())
    host_.AddTapeLine(after.last());
  else if (!after.isEmpty() && after.last() != before.last())
    host_.ReplaceLastTapeLine(after.last());
  host_.SymbolTaken(symbol, action);
  if (action == TSymbolAction::WrittenStop) {
    Stop();
    return;
  }
  PlanScan();
}

int TSessionEngine::NextPosition() const {
  if (!ScanAhead.isEmpty()) return ScanAhead.first();
  return (DrumPosition >= Symbols.size()) ? 1 : DrumPosition + 1;
}

void TSessionEngine::PlanScan() {
  ScanAhead.clear();
  if (PredictNextLetter) {
    const TLetterModel& model = LetterModel ? *LetterModel : TLetterModel::Builtin();
    // The letters of the tape's line so far; a line about to start counts as
    // one after ".", which is how the model saw the start of every line.
    QString history = QStringLiteral(".");
    const QStringList lines = host_.TapeLines();
    if (!NewLinePending && !lines.isEmpty() && lines.last().startsWith(QLatin1String("- ")))
      history += lines.last().mid(2);
    QList<bool> offered(Symbols.size(), false);
    for (const QString& letter : model.Rank(history)) {
      const int index = Symbols.indexOf(letter);
      if (index < 0 || offered.at(index)) continue;
      offered[index] = true;
      ScanAhead << index + 1;
      if (ScanAhead.size() == PredictedLetters) break;
    }
    // Then the rest in table order, so every symbol comes once in a turn.
    for (int i = 0; i < Symbols.size(); ++i)
      if (!offered.at(i)) ScanAhead << i + 1;
  } else if (RestartAfterSelection) {
    ScanAhead << 1;
  }
}
