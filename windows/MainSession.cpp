// The main window as the session engine's host and listener: the session
// handlers, the drum picture, the options a session copies, the light and
// the statistics.
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <algorithm>

#include "ImageView.h"
#include "Main.h"
#include "MainSemaphore.h"
#include "OptionsInForce.h"
#include "Settings.h"
#include "indicators/DrumPainter.h"
#include "seams/UserDialogs.h"
#include "sensor/Inst.h"
#include "sensor/Sens.h"
#include "sensor/Utils.h"
#include "session/ComingOrder.h"
#include "session/SessionModel.h"
#include "session/TickTimer.h"

namespace {

// The symbol table in force.
const QStringList& SettingsSymbols() { return OptionsInForce().Session().Symbols; }

}  // namespace

// The drum's picture and the painter that keeps it up to date; the view
// shows the picture's pixels without a copy of its own.
struct TDrumCanvas {
  QImage Picture;
  TDrumPainter Painter;
};

// --- handlers ------------------------------------------------------------

void TFMain::BStartClick() {
  if (Running()) return;
  BuildChain();  // Start before the first activation
  sessionStartDays_ = LocalDateTimeDays();
  Engine().Start(ESymbolPeriod->text());
  if (!Running()) return;
  sessionMinutes_ = 0.0;
  UpdateStats();
}

void TFMain::BStopClick() { Engine().Stop(); }

double TFMain::MinutesSinceStart() const {
  return std::max(0.0, (LocalDateTimeDays() - sessionStartDays_) * 24 * 60);
}

void TFMain::UpdateStats() {
  UnstatedPolls = 0;
  if (!LStats) return;
  if (Running()) sessionMinutes_ = MinutesSinceStart();
  // The tape as it ends up: undone characters and the backspace symbol's
  // own selections are not text.
  const int net = Engine().KeptCount();
  // Less than a few seconds says nothing about a rate.
  const double perMinute = sessionMinutes_ > 0.05 ? net / sessionMinutes_ : 0.0;
  const QString text = QStringLiteral("Символов: %1\nСимв/мин: %2\nОтменено: %3")
                           .arg(net)
                           .arg(QLocale().toString(perMinute, 'f', 1))
                           .arg(Engine().UndoneCount());
  if (LStats->text() != text) LStats->setText(text);
}
void TFMain::RunTimerTimer() { Engine().DrumTick(); }
void TFMain::PollTimerTimer() { Engine().PollTick(); }
void TFMain::SelectSymbol() {
  // While the call alarm is on nothing selects: it is silenced first.
  if (model_.AlarmOn()) return;
  Engine().SelectSymbol();
  UpdateStats();
}

int TFMain::RunTimerInterval() const { return model_.DrumTimer()->Interval(); }
int TFMain::PollTimerInterval() const { return model_.PollTimer()->Interval(); }
bool TFMain::RunTimerPending() const { return model_.DrumTimer()->Pending(); }
bool TFMain::PollTimerPending() const { return model_.PollTimer()->Pending(); }

// --- drum ----------------------------------------------------------------

void TFMain::DrawDrum() {
  if (DrumFrozen) return;
  // Nobody sees the drum of a hidden or minimised window: it is drawn as it
  // then stands when the window is seen again.
  DrumStale = !isVisible() || isMinimized();
  if (DrumStale) return;
  const QSize size = IDrum->PixelSize();
  if (size.isEmpty()) return;
  TDrumScene scene;
  // A session keeps the table it started with (the settings window's is
  // locked meanwhile), without reading the grid at every frame.
  scene.Symbols = Running() ? Engine().Symbols() : SettingsSymbols();
  scene.Position = Engine().DrumPosition();
  scene.Phase = Engine().StepPhase();
  scene.Running = Running();
  scene.FastMode = Engine().FastMode();
  scene.Target = Running() ? Engine().NextPosition() : 0;
  scene.FixedWindow = OptionsInForce().Session().FixedSelected;
  if (Running() && Engine().Level() > 0) {
    // The group scan always shows its groups: without them no group can be
    // chosen.
    scene.Group = Engine().RestGroup();
    scene.ComingGroups = ComingGroups(Engine(), DrumComingMarks);
  } else if (Running() && OptionsInForce().Speed().ShowComingOrder) {
    scene.Coming = ComingOrder(Engine(), DrumComingMarks);
  }
  scene.Background = palette().color(QPalette::Window);
  if (!DrumCanvas) DrumCanvas = std::make_shared<TDrumCanvas>();
  // The dimmed drum while waiting is painted whole, and so is the first
  // picture after it.
  const bool veiled = Engine().Waiting();
  if (veiled || drumVeiled_) DrumCanvas->Painter.Invalidate();
  drumVeiled_ = veiled;
  QImage& picture = DrumCanvas->Picture;
  const qreal ratio = IDrum->PixelRatio();
  if (picture.size() != size || picture.devicePixelRatio() != ratio) {
    picture = QImage(size, TDrumPainter::Format);
    picture.setDevicePixelRatio(ratio);
  }
  // Only what moved since the last frame is painted and copied to the screen.
  QRegion changed = DrumCanvas->Painter.Paint(picture, scene);
  if (veiled) changed = VeilDrum(picture);
  IDrum->ShowBuffer(picture, changed);
}

// --- the engine's host ---------------------------------------------------

TSensor* TFMain::Sensor() { return model_.Sensor(); }
TInstrument* TFMain::Model() { return model_.Gauge(); }

TSessionOptions TFMain::StartOptions() { return OptionsInForce().Session(); }

TSpeedOptions TFMain::StartSpeed() { return OptionsInForce().Speed(); }

TSwitchOptions TFMain::StartSwitch() { return OptionsInForce().Switch(); }

QString TFMain::PausedNotice() {
  return QStringLiteral("Барабан остановлен: никто не реагировал. Реакция запустит его снова.");
}

void TFMain::PauseChanged(const TSessionEngine& engine) {
  const QString notice = engine.PausedBySymbol() ? HeldNotice() : PausedNotice();
  if (engine.Paused()) {
    ShowNotice(notice);
  } else {
    HideNotice(PausedNotice());
    HideNotice(HeldNotice());
  }
}

bool TFMain::FastSlowOption() { return OptionsInForce().Session().FastSlowMode; }

void TFMain::SessionStarted(const TSessionEngine&) {
  if (FSettings) FSettings->EnableSessionControls(false);
  // The first rest need not be on symbol 1 (prediction), nor look like the
  // drum at no session (fast mode, the coming order).
  DrawDrum();
}

void TFMain::SessionEnded(const TSessionEngine&) {
  if (FSettings) FSettings->EnableSessionControls(true);
  // The session's length as it ended, whatever ended it.
  sessionMinutes_ = MinutesSinceStart();
  UpdateStats();
}

void TFMain::LightChanged(TSessionLight light) {
  switch (light) {
    case TSessionLight::Idle:
      SSemaphore->SetColor(IdleColor());
      break;
    case TSessionLight::Armed:
      SSemaphore->SetColor(ArmedColor());
      break;
    case TSessionLight::Ready:
      SSemaphore->SetColor(ReadyColor());
      break;
  }
}

void TFMain::ReadingTaken(const TInstData&) {
  if (++UnstatedPolls >= StatsPolls) UpdateStats();
}

void TFMain::SymbolTaken(const TSessionEngine&, const QString&, TSymbolAction) {
  UpdateStats();
  // A selection plans the next rests anew once its listeners are told: the
  // coming order is drawn when the selection is over.
  if (OptionsInForce().Speed().ShowComingOrder || Engine().Level() > 0)
    QMetaObject::invokeMethod(this, [this] { DrawDrum(); }, Qt::QueuedConnection);
}

void TFMain::GroupTaken(const TSessionEngine&) {
  // The members come next: drawn once the pick is over.
  QMetaObject::invokeMethod(this, [this] { DrawDrum(); }, Qt::QueuedConnection);
}

void TFMain::Message(const QString& text) { Dialogs().Message(this, text); }

bool TFMain::SensorBlocked() { return model_.SensorBlocked(); }

int TFMain::RestExtraMs(const TSessionEngine& engine) { return model_.RestExtraMs(engine); }

bool TFMain::SensorBlanked() { return model_.SensorBlanked(); }
