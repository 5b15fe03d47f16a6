// The session engine driven through its handlers, with the sensor's readings
// set by the test (instrument value = reading × 100).
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "session/SessionModel.h"
#include "indicators/DrumPainter.h"
#include "recording/Instrecord.h"
#include "sensor/Probe.h"

#include "MainFixture.h"
#include "windows/Display.h"
#include "windows/Graph.h"
#include "windows/ImageView.h"
#include "windows/Main.h"
#include "windows/MainSemaphore.h"
#include "windows/Settings.h"

namespace {

// Counts one kind of event reaching an object.
class TEventCounter : public QObject {
public:
  TEventCounter(QObject* target, QEvent::Type type, int* count) : Type(type), Count(count) {
    target->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == Type) ++*Count;
    return false;
  }

private:
  QEvent::Type Type;
  int* Count;
};

class Session : public MainFixture {};

TEST_F(Session, TimePerSymbolOutOfRangeIsRefusedWithItsMessage) {
  Launch();
  Start(QStringLiteral("0.09"));
  EXPECT_FALSE(FMain->Running());
  Start(QStringLiteral("20.5"));
  EXPECT_FALSE(FMain->Running());
  EXPECT_EQ(Dialogs->Messages, (QStringList{QStringLiteral("Время на символ слишком маленькое."),
                                            QStringLiteral("Время на символ слишком большое.")}));
  EXPECT_TRUE(Sensor->Calls.isEmpty());
  EXPECT_FALSE(FMain->RunTimerPending());
  EXPECT_TRUE(FSettings->EOnLevel->isEnabled()) << "a refused Start must not lock the settings";
}

TEST_F(Session, TimePerSymbolAcceptedAtTheEdgesAndForNonNumbers) {
  Launch();
  const std::vector<std::pair<QString, int>> cases = {
      {QStringLiteral("0.1"), 100},  {QStringLiteral("20"), 20000}, {QStringLiteral("0,25"), 250},
      {QStringLiteral("abc"), 100},  {QString(), 100}};
  for (const auto& c : cases) {
    Sensor->Calls.clear();
    Start(c.first);
    ASSERT_TRUE(FMain->Running()) << c.first.toStdString();
    EXPECT_EQ(FMain->Engine().SymbolPeriodMs(), c.second) << c.first.toStdString();
    EXPECT_EQ(FMain->RunTimerInterval(), c.second);
    EXPECT_EQ(FMain->PollTimerInterval(), 40);
    EXPECT_EQ(Sensor->Calls.value(0), QStringLiteral("Start %1").arg(c.second));
    FMain->BStopClick();
  }
  EXPECT_TRUE(Dialogs->Messages.isEmpty());
}

TEST_F(Session, StartTakesCopiesAndLocksTheSettings) {
  Preset({{QStringLiteral("Stop Symbol"), QStringLiteral(" . ; ;X;")},
          {QStringLiteral("Fast Symbol"), QStringLiteral("  --  ")},
          {QStringLiteral("Backspace Symbol"), QStringLiteral(" < ")},
          {QStringLiteral("On Level"), QStringLiteral("250")},
          {QStringLiteral("Off Level"), QStringLiteral("x")}});
  Launch();
  Start();
  EXPECT_EQ(FMain->Engine().Symbols().size(), 28);
  EXPECT_EQ(FMain->Engine().Symbols().first(), QStringLiteral("A"));
  EXPECT_EQ(FMain->Engine().Symbols().last(), QStringLiteral("."));
  EXPECT_EQ(FMain->Engine().StopSymbols(),
            (QStringList{QStringLiteral("."), QString(), QStringLiteral("X"), QString()}));
  EXPECT_EQ(FMain->Engine().FastSymbol(), QStringLiteral("--"));
  EXPECT_EQ(FMain->Engine().BackspaceSymbol(), QStringLiteral("<"));
  EXPECT_EQ(FMain->Engine().OnLevel(), 100.0);
  EXPECT_EQ(FMain->Engine().OffLevel(), 0.0);
  EXPECT_TRUE(FMain->Engine().NewLinePending());
  EXPECT_TRUE(FMain->Engine().SelectLatch());
  EXPECT_EQ(FMain->Engine().DrumPosition(), 1);
  EXPECT_EQ(FMain->Engine().StepPhase(), 0);
  EXPECT_FALSE(FSettings->EOnLevel->isEnabled());
  EXPECT_EQ(FMain->SSemaphore->Color(), TFMain::ArmedColor());
  FMain->BStopClick();
  EXPECT_TRUE(FSettings->EOnLevel->isEnabled());
  EXPECT_EQ(FMain->SSemaphore->Color(), TFMain::IdleColor());
  EXPECT_FALSE(FMain->RunTimerPending());
  EXPECT_FALSE(FMain->PollTimerPending());
  EXPECT_EQ(Sensor->Calls.last(), QStringLiteral("Stop"));
}

TEST_F(Session, DrumCycleRestsThenMovesInFiveFramesWithTheCaptureStopped) {
  Launch();
  Start(QStringLiteral("0.5"));
  Sensor->Calls.clear();
  for (int phase = 1; phase <= 5; ++phase) {
    FMain->RunTimerTimer();
    EXPECT_EQ(FMain->Engine().StepPhase(), phase);
    EXPECT_EQ(FMain->Engine().DrumPosition(), 1);
    EXPECT_EQ(FMain->RunTimerInterval(), 40);
  }
  FMain->RunTimerTimer();
  EXPECT_EQ(FMain->Engine().StepPhase(), 0);
  EXPECT_EQ(FMain->Engine().DrumPosition(), 2);
  EXPECT_EQ(FMain->RunTimerInterval(), 500);
  EXPECT_EQ(Sensor->Calls, (QStringList{"Stop", "Stop", "Stop", "Stop", "Stop", "Start 500"}));
  // From the last symbol back to the first.
  for (int i = 2; i < 28; ++i) NextSymbol();
  EXPECT_EQ(FMain->Engine().DrumPosition(), 28);
  NextSymbol();
  EXPECT_EQ(FMain->Engine().DrumPosition(), 1);
}

TEST_F(Session, AMinimisedWindowSkipsTheDrumAndShowsItAsItStandsWhenRestored) {
  Launch();
  FMain->show();
  Start(QStringLiteral("0.5"));
  const QImage atRest = FMain->IDrum->Image().copy();
  FMain->setWindowState(Qt::WindowMinimized);
  for (int i = 0; i < 8; ++i) FMain->RunTimerTimer();  // the next rest, then two move frames
  EXPECT_EQ(FMain->IDrum->Image(), atRest) << "drawn while minimised";
  FMain->setWindowState(Qt::WindowNoState);

  TDrumScene scene;
  for (int k = 1; k <= FSettings->SymbolCount(); ++k) scene.Symbols << FSettings->Symbol(k);
  scene.Position = FMain->Engine().DrumPosition();
  scene.Phase = FMain->Engine().StepPhase();
  scene.Running = true;
  scene.Target = FMain->Engine().NextPosition();
  scene.Background = FMain->palette().color(QPalette::Window);
  ASSERT_EQ(scene.Phase, 2);
  QImage whole(FMain->IDrum->Image().size(), TDrumPainter::Format);
  PaintDrum(whole, scene);
  EXPECT_EQ(FMain->IDrum->Image(), whole);
}

TEST_F(Session, TimersDoNothingOnceStopped) {
  Launch();
  Start();
  FMain->BStopClick();
  FMain->RunTimerTimer();
  Poll(0.5);
  EXPECT_FALSE(FMain->RunTimerPending());
  EXPECT_FALSE(FMain->PollTimerPending());
  EXPECT_TRUE(Tape().isEmpty());
}

TEST_F(Session, LatchAfterStartAndTheIndicator) {
  Launch();
  Start();
  Poll(0.5);  // above the on level, but nothing was quiet yet
  EXPECT_TRUE(Tape().isEmpty());
  EXPECT_EQ(FMain->SSemaphore->Color(), TFMain::ArmedColor());
  Poll(0.0);
  EXPECT_EQ(FMain->SSemaphore->Color(), TFMain::ReadyColor());
  EXPECT_FALSE(FMain->Engine().SelectLatch());
  Poll(0.5);
  EXPECT_EQ(Tape(), QStringList{QStringLiteral("- A")});
  EXPECT_TRUE(FMain->Engine().SelectLatch());
  EXPECT_EQ(FMain->SSemaphore->Color(), TFMain::ReadyColor()) << "never back to red in a session";
}

TEST_F(Session, EverySessionAndEveryForeignLastLineStartsANewLine) {
  Launch();
  Start();
  Fire();
  FMain->BStopClick();
  Start();
  Fire();
  FMain->BTimeStampClick();
  NextSymbol();
  Fire();
  const QStringList tape = Tape();
  ASSERT_EQ(tape.size(), 4);
  EXPECT_EQ(tape[0], QStringLiteral("- A"));
  EXPECT_EQ(tape[1], QStringLiteral("- A"));
  EXPECT_TRUE(tape[2].startsWith(QStringLiteral("---  ")));
  EXPECT_EQ(tape[3], QStringLiteral("- B"));
}

// The live statistics count the tape as it ends up: deleted characters, the
// backspace symbol's own selections and what it took from an earlier
// session's line are not this session's text.
TEST_F(Session, StatisticsCountOnlyTheSessionsTextLeftOnTheTape) {
  PresetSymbols({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("<"), QStringLiteral(".")});
  Launch();
  Start();
  Fire();
  FMain->BStopClick();
  Start();
  MoveTo(QStringLiteral("<"));
  Fire();  // the earlier session's "A"
  for (const char* symbol : {"B", "<", "<", "<"}) {
    NextSymbol();
    MoveTo(QString::fromLatin1(symbol));
    Fire();
  }
  EXPECT_EQ(Tape(), (QStringList{"- ", ""})) << "B, then the blank and the \"-\" of its line deleted";
  NextSymbol();
  MoveTo(QStringLiteral("A"));
  Fire();
  EXPECT_TRUE(FMain->LStats->text().startsWith(QStringLiteral("Символов: 1\n")))
      << FMain->LStats->text().toStdString();
  EXPECT_TRUE(FMain->LStats->text().endsWith(QStringLiteral("Отменено: 4")))
      << FMain->LStats->text().toStdString();
}

TEST_F(Session, FailedMeasureLeavesTheErrorLineLastAndStops) {
  Launch();
  Start();
  Fire();
  Sensor->FailRead = true;
  Poll(0.0);
  EXPECT_EQ(Tape().last(), QStringLiteral("Ошибка при подключении к датчику. Сеанс остановлен."));
  EXPECT_FALSE(FMain->Running());
  EXPECT_FALSE(FMain->PollTimerPending());
  EXPECT_TRUE(FSettings->EOnLevel->isEnabled());
  Sensor->FailRead = false;
  Start();
  Fire();
  EXPECT_EQ(Tape().last(), QStringLiteral("- A")) << "the error line is not a symbol line";
}

TEST_F(Session, PollRecordsEveryReadingTwice) {
  Launch();
  Start();
  const int before = SessionModel->Recorder()->Count();
  Poll(0.0);
  Poll(0.3);
  EXPECT_EQ(SessionModel->Recorder()->Count(), before + 4);
}

TEST_F(Session, GraphWindowShowsEverySecondPollAndAllAtTheSessionsEnd) {
  Launch();
  FGraph->show();
  Start();
  int paints = 0;
  TEventCounter counter(FGraph->GraphWindow, QEvent::Paint, &paints);
  const auto shown = [] { return FGraph->ERecordCount->text().toInt(); };
  QApplication::processEvents();
  paints = 0;
  // Paints are counted where the platform paints what the program asks for
  // and nothing else; Wine without a display paints at its own pace (a late
  // paint of the window's showing, or none once it counts as hidden).
  const bool countPaints = QGuiApplication::platformName() == QLatin1String("offscreen");
  const int start = SessionModel->Recorder()->Count();
  for (int i = 1; i <= 9; ++i) {
    Poll(0.0);
    QApplication::processEvents();
    if (countPaints) EXPECT_EQ(paints, i / TFGraph::FrameReadings) << "poll " << i;
    const int behind = SessionModel->Recorder()->Count() - shown();
    EXPECT_EQ(behind, i % TFGraph::CounterReadings * 2) << "poll " << i;
  }
  EXPECT_EQ(shown(), start + 16);
  FMain->BStopClick();
  QApplication::processEvents();
  if (countPaints) EXPECT_EQ(paints, 5) << "the last reading shown";
  EXPECT_EQ(shown(), SessionModel->Recorder()->Count());
  EXPECT_EQ(FGraph->ELapsedTime->text(),
            TFGraph::GeneralText5(SessionModel->Recorder()->ElapsedSeconds(), QLocale()));
}

TEST_F(Session, F9SelectsOnlyWhenASelectionIsPossible) {
  Launch();
  QKeyEvent f9(QEvent::KeyPress, Qt::Key_F9, Qt::NoModifier);
  EXPECT_FALSE(FMain->FormKeyDown(&f9)) << "idle";
  Start();
  FMain->RunTimerTimer();  // moving, slow mode
  EXPECT_FALSE(FMain->FormKeyDown(&f9));
  for (int i = 0; i < 5; ++i) FMain->RunTimerTimer();
  QKeyEvent f8(QEvent::KeyPress, Qt::Key_F8, Qt::NoModifier);
  EXPECT_FALSE(FMain->FormKeyDown(&f8));
  EXPECT_TRUE(Tape().isEmpty());
  EXPECT_TRUE(FMain->FormKeyDown(&f9));
  EXPECT_EQ(Tape(), QStringList{QStringLiteral("- B")}) << "F9 ignores the latch";
}

TEST_F(Session, F9FromEveryWindowReachesTheMainWindow) {
  Launch();
  Start();
  const QList<QWidget*> windows = {FMain, FSettings, FDisplay, FGraph};
  QStringList expected;
  QString line = QStringLiteral("- ");
  for (QWidget* w : windows) {
    QKeyEvent f9(QEvent::KeyPress, Qt::Key_F9, Qt::NoModifier);
    QApplication::sendEvent(w, &f9);
    line += FMain->Engine().Symbols().value(FMain->Engine().DrumPosition() - 1);
    EXPECT_EQ(Tape(), QStringList{line}) << w->objectName().toStdString();
    NextSymbol();
  }
  EXPECT_EQ(line, QStringLiteral("- ABCD"));
}

TEST_F(Session, F9InAControlOfAnotherWindowIsConsumed) {
  Launch();
  ASSERT_NE(FDisplay->EGaugeAmp, nullptr);
  const QString gain = FDisplay->EGaugeAmp->text();
  Start();
  QKeyEvent f9(QEvent::KeyPress, Qt::Key_F9, Qt::NoModifier);
  QApplication::sendEvent(FDisplay->EGaugeAmp, &f9);
  EXPECT_EQ(Tape(), QStringList{QStringLiteral("- A")});
  EXPECT_EQ(FDisplay->EGaugeAmp->text(), gain);
  // Other keys reach the control.
  QKeyEvent digit(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
  FDisplay->EGaugeAmp->setCursorPosition(gain.size());
  QApplication::sendEvent(FDisplay->EGaugeAmp, &digit);
  EXPECT_EQ(FDisplay->EGaugeAmp->text(), gain + QStringLiteral("5"));
}

}  // namespace
