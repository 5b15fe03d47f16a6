// The session engine of the main window: Start and Stop, the drum timer, the
// poll timer and the selection step.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "Display.h"
#include "Graph.h"
#include "ImageView.h"
#include "Main.h"
#include "MainSemaphore.h"
#include "MainSessionRules.h"
#include "Settings.h"
#include "UserDialogs.h"
#include "recording/Instrecord.h"
#include "sensor/Inst.h"
#include "sensor/Sens.h"

#if __has_include("windows/DrumPainter.h")
#include "windows/DrumPainter.h"
#define QUILLORA_HAVE_DRUM_PAINTER 1
#endif

namespace {

QString TextOf(const QLineEdit* edit, const QString& fallback) {
  return edit ? edit->text() : fallback;
}

bool Checked(const QCheckBox* box) { return box && box->isChecked(); }

}  // namespace

// --- timers -------------------------------------------------------------

namespace {

QElapsedTimer& Monotonic() {
  static QElapsedTimer clock;
  if (!clock.isValid()) clock.start();
  return clock;
}

// The delay of a one-shot timer whose ticks keep to a schedule: `due` (ms on
// the monotonic clock) is the time the tick now ending was due; the next one
// is due `ms` later, so the time the handler took is not added to every
// interval. A tick more than one interval late starts a new schedule.
int ScheduledDelay(qint64& due, int ms, bool fromTick) {
  const qint64 now = Monotonic().elapsed();
  if (!fromTick || now - due > ms) due = now;
  due += ms;
  return static_cast<int>(std::max<qint64>(0, due - now));
}

}  // namespace

void TFMain::StartRunTimer(int ms, bool fromTick) {
  RunTimerInterval = ms;
  RunPending = true;
  if (TimersLive) RunTimer->start(ScheduledDelay(RunDue, ms, fromTick));
}

void TFMain::StartPollTimer(int ms, bool fromTick) {
  PollTimerInterval = ms;
  PollPending = true;
  if (TimersLive) PollTimer->start(ScheduledDelay(PollDue, ms, fromTick));
}

void TFMain::StopRunTimer() {
  RunPending = false;
  RunTimer->stop();
}

void TFMain::StopPollTimer() {
  PollPending = false;
  PollTimer->stop();
}

// --- drum ---------------------------------------------------------------

void TFMain::DrawDrum() {
  if (DrumFrozen) return;
#ifdef QUILLORA_HAVE_DRUM_PAINTER
  TDrumScene scene;
  if (FSettings) {
    const int n = FSettings->SymbolCount();
    for (int k = 1; k <= n; ++k) scene.Symbols << FSettings->Symbol(k);
  }
  scene.Position = DrumPosition;
  scene.Phase = StepPhase;
  scene.Running = Running;
  scene.FastMode = FastMode;
  scene.FixedWindow = FSettings && Checked(FSettings->CBFixedSelected);
  scene.Background = palette().color(QPalette::Window);
  const QSize size = IDrum->PixelSize();
  if (size.isEmpty()) return;
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(IDrum->PixelRatio());
  PaintDrum(image, scene);
  IDrum->SetImage(image);
#endif
}

// --- Start and Stop -----------------------------------------------------

void TFMain::BStartClick() {
  if (Running) return;
  const int periodMs = SymbolPeriodMsFromText(ESymbolPeriod->text());
  if (periodMs < kMinSymbolPeriodMs) {
    Dialogs().Message(this, QStringLiteral("Время на символ слишком маленькое."));
    return;
  }
  if (periodMs > kMaxSymbolPeriodMs) {
    Dialogs().Message(this, QStringLiteral("Время на символ слишком большое."));
    return;
  }
  if (!SoundSensor) BuildChain();  // Start before the first activation
  SymbolPeriodMs = periodMs;

  if (FSettings) FSettings->EnableSessionControls(false);
  Running = true;
  NewLinePending = true;
  DrumPosition = 1;
  StepPhase = 0;
  // A mark left by the previous session must not block its first rest.
  SelectedThisStep = false;

  FastMode = FSettings && Checked(FSettings->CBFastSlowMode);
  Symbols.clear();
  if (FSettings) {
    const int n = FSettings->SymbolCount();
    for (int k = 1; k <= n; ++k) Symbols << FSettings->Symbol(k);
  }
  FastSymbol = TrimBlanks(TextOf(FSettings ? FSettings->EFastModeSymbol : nullptr, QStringLiteral("--")));
  StopSymbols = ParseStopSymbols(TextOf(FSettings ? FSettings->EStopSymbol : nullptr, QStringLiteral(".")));
  BackspaceSymbol = TrimBlanks(TextOf(FSettings ? FSettings->EBackspaceSymbol : nullptr, QStringLiteral("<")));
  OnLevel = LevelFromText(TextOf(FSettings ? FSettings->EOnLevel : nullptr, QStringLiteral("30")));
  OffLevel = LevelFromText(TextOf(FSettings ? FSettings->EOffLevel : nullptr, QStringLiteral("20")));

  SelectLatch = true;
  ReadyShown = false;
  SSemaphore->SetColor(ArmedColor());

  if (FastMode)
    SoundSensor->Rearm(SymbolPeriodMs);
  else
    SoundSensor->Start(SymbolPeriodMs);
  StartRunTimer(FastMode ? kTickMs : SymbolPeriodMs);
  StartPollTimer(kTickMs);
}

void TFMain::BStopClick() {
  if (!Running) return;
  StopRunTimer();
  StopPollTimer();
  SoundSensor->Stop();
  Running = false;
  DrawDrum();
  if (FSettings) FSettings->EnableSessionControls(true);
  SSemaphore->SetColor(IdleColor());
}

// --- drum timer ---------------------------------------------------------

void TFMain::RunTimerTimer() {
  StopRunTimer();
  if (!Running) return;
  int next = kTickMs;
  if (StepPhase == kMoveFrames) {
    const int n = Symbols.size();
    DrumPosition = (DrumPosition >= n) ? 1 : DrumPosition + 1;
    StepPhase = 0;
    DrawDrum();
    if (FastMode)
      SoundSensor->Rearm(SymbolPeriodMs);
    else
      SoundSensor->Start(SymbolPeriodMs);
    SelectedThisStep = false;
    next = FastMode ? kTickMs : SymbolPeriodMs;
  } else {
    ++StepPhase;
    DrawDrum();
    SoundSensor->Stop();
  }
  StartRunTimer(next, true);
}

// --- poll ---------------------------------------------------------------

void TFMain::PollTimerTimer() {
  StopPollTimer();
  if (!Running) return;
  if (!GaugeModel->Measure()) {
    AddTapeLine(QStringLiteral("Ошибка при подключении к датчику. Сеанс остановлен."));
    BStopClick();
    return;
  }
  const TInstData& record = GaugeModel->Data();
  const double v = std::fabs(record.Inst);
  if (v > OnLevel && !SelectLatch) {
    SelectSymbol();
    SelectLatch = true;
  } else if (v < OffLevel) {
    if (!ReadyShown) {
      SSemaphore->SetColor(ReadyColor());
      ReadyShown = true;
    }
    SelectLatch = false;
  }

  DataRecorder->Write(record);
  if (FDisplay && FDisplay->isVisible()) FDisplay->DrawIndicators();
  if (FGraph && FGraph->isVisible()) {
    FGraph->AddReading(record);
    FGraph->UpdateCounters();
  }
  // A stop symbol taken above has ended the session: nothing more to poll.
  if (Running) StartPollTimer(kTickMs, true);
}

// --- selection step -----------------------------------------------------

void TFMain::SelectSymbol() {
  if (!Running || (StepPhase != 0 && !FastMode)) return;
  if (FastMode) {
    FastMode = false;
    DrawDrum();
    return;
  }
  if (SelectedThisStep) return;
  SelectedThisStep = true;

  const QString s = Symbols.value(DrumPosition - 1);
  TSymbolRules rules;
  rules.FastSymbol = FastSymbol;
  rules.BackspaceSymbol = BackspaceSymbol;
  rules.StopSymbols = StopSymbols;
  rules.FastSlowOption = FSettings && Checked(FSettings->CBFastSlowMode);

  const QStringList before = TapeLines();
  QStringList after = before;
  const TSymbolAction action = ApplySymbol(after, s, rules, NewLinePending);
  if (action == TSymbolAction::EnterFastMode) {
    FastMode = true;
    return;
  }
  if (after.size() > before.size())
    AddTapeLine(after.last());
  else if (!after.isEmpty() && after.last() != before.last())
    ReplaceLastTapeLine(after.last());
  if (action == TSymbolAction::WrittenStop) BStopClick();
}
