// Hands-free sessions in the main window: after a stop symbol the window
// waits (notice, prompt, nothing recorded) and a reaction starts the next
// session; the call symbol's alarm holds the drum until Esc or the button
// silences it.
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>
#include <cstdio>

#include "MainFixture.h"
#include "recording/Instrecord.h"
#include "session/SessionModel.h"
#include "session/SessionSpeaker.h"
#include "speech/FakeAlarm.h"
#include "speech/FakeSpeech.h"
#include "windows/Main.h"
#include "windows/MainSemaphore.h"
#include "windows/OptionsInForce.h"
#include "windows/Settings.h"

namespace {

class HandsFree : public MainFixture {
protected:
  void SetUp() override {
    MainFixture::SetUp();
    TFMain::SetSpeechFactory([this] {
      auto speech = std::make_unique<TFakeSpeech>();
      Speech = speech.get();
      return speech;
    });
    TSessionModel::SetAlarmFactory([this] {
      auto alarm = std::make_unique<TFakeAlarm>();
      alarm->Missing = AlarmMissing;
      Alarm = alarm.get();
      return alarm;
    });
  }
  void TearDown() override {
    MainFixture::TearDown();
    TFMain::SetSpeechFactory({});
    TSessionModel::SetAlarmFactory({});
  }
  void Use(const THandsFreeOptions& options) { OptionsInForce().Set(options); }
  static bool Key(int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    return FMain->FormKeyDown(&press);
  }
  bool Noticed(const QString& text) const {
    return FMain->LNotice->isVisibleTo(FMain) && FMain->LNotice->text().contains(text);
  }

  TFakeSpeech* Speech = nullptr;
  TFakeAlarm* Alarm = nullptr;
  std::string AlarmMissing;
};

TEST_F(HandsFree, AfterAStopSymbolTheWindowWaitsAndAReactionStartsTheNextSession) {
  Launch();
  THandsFreeOptions options;
  options.StartByReaction = true;
  Use(options);
  Start();
  MoveTo(QStringLiteral("."));
  Fire();
  ASSERT_TRUE(FMain->Engine().Waiting());
  EXPECT_FALSE(FMain->Running());
  EXPECT_TRUE(FSettings->GBHandsFree->isEnabled()) << "the settings are open between sessions";
  EXPECT_TRUE(Noticed(TFMain::WaitingNotice()));
  ASSERT_TRUE(Speech);
  EXPECT_EQ(Speech->Log.back(), "main:" + TSessionSpeaker::WaitingPrompt().toStdString());
  const int recorded = SessionModel->Recorder()->Count();
  for (int i = 0; i < 10; ++i) Poll(0.0);
  EXPECT_EQ(SessionModel->Recorder()->Count(), recorded)
      << "readings while waiting are not recorded";
  EXPECT_EQ(FMain->SSemaphore->Color(), TFMain::ReadyColor()) << "the sensor is listened to";
  Poll(0.5);
  ASSERT_TRUE(FMain->Running());
  EXPECT_FALSE(FMain->Engine().Waiting());
  EXPECT_FALSE(FMain->LNotice->text().contains(TFMain::WaitingNotice()));
  EXPECT_EQ(Tape(), QStringList{QStringLiteral("- .")});

  // F9 starts it too, and Stop ends the waiting.
  MoveTo(QStringLiteral("."));
  Fire();
  ASSERT_TRUE(FMain->Engine().Waiting());
  EXPECT_TRUE(Key(Qt::Key_F9));
  EXPECT_TRUE(FMain->Running());
  MoveTo(QStringLiteral("."));
  Fire();
  FMain->BStopClick();
  EXPECT_FALSE(FMain->Engine().Waiting());
  EXPECT_FALSE(FMain->RunTimerPending());
  EXPECT_FALSE(FMain->PollTimerPending());
  EXPECT_FALSE(Noticed(TFMain::WaitingNotice()));
}

TEST_F(HandsFree, TheCallAlarmHoldsTheDrumUntilEscOrTheButtonSilencesIt) {
  Launch();
  THandsFreeOptions options;
  options.CallSymbol = QStringLiteral("C");
  Use(options);
  Start();
  EXPECT_TRUE(FMain->BSilenceCall->isHidden());
  MoveTo(QStringLiteral("C"));
  Fire();
  ASSERT_TRUE(Alarm);
  EXPECT_TRUE(Alarm->SoundingNow);
  EXPECT_TRUE(FMain->BSilenceCall->isVisibleTo(FMain));
  EXPECT_TRUE(Noticed(TFMain::CallNotice()));
  EXPECT_TRUE(FMain->Engine().PausedBySymbol());
  // The alarm may reach the sensor: no reaction, nor F9, wakes the drum.
  for (int i = 0; i < 3; ++i) {
    Fire();
    ASSERT_TRUE(FMain->Engine().Paused()) << "reaction " << i;
  }
  EXPECT_TRUE(Key(Qt::Key_F9));
  EXPECT_TRUE(FMain->Engine().Paused());
  EXPECT_TRUE(Key(Qt::Key_Escape));
  EXPECT_FALSE(Alarm->SoundingNow);
  EXPECT_TRUE(FMain->BSilenceCall->isHidden());
  EXPECT_FALSE(FMain->LNotice->text().contains(TFMain::CallNotice()));
  EXPECT_TRUE(FMain->Engine().Paused()) << "silenced, the drum waits for a reaction";
  Fire();
  EXPECT_FALSE(FMain->Engine().Paused());
  EXPECT_TRUE(Tape().isEmpty());

  MoveTo(QStringLiteral("C"));
  Fire();
  EXPECT_TRUE(Alarm->SoundingNow);
  FMain->BSilenceCall->click();
  EXPECT_FALSE(Alarm->SoundingNow);
  EXPECT_FALSE(Key(Qt::Key_Escape)) << "Esc is no key of the window without an alarm";
}

TEST_F(HandsFree, AnAlarmThatCannotSoundIsToldOnTheNoticeLine) {
  AlarmMissing = "Сигнал вызова не звучит: проверка.";
  Launch();
  THandsFreeOptions options;
  options.CallSymbol = QStringLiteral("C");
  Use(options);
  Start();
  MoveTo(QStringLiteral("C"));
  Fire();
  EXPECT_TRUE(Noticed(QStringLiteral("Сигнал вызова не звучит: проверка.")));
  EXPECT_TRUE(FMain->BSilenceCall->isVisibleTo(FMain)) << "the call stands until it is seen";
  FMain->BSilenceCall->click();

  // One that stops sounding by itself (the server went away) is told too.
  Alarm->Missing.clear();
  Fire();  // wakes the drum, standing on the call symbol
  Fire();
  ASSERT_TRUE(Alarm->SoundingNow);
  Alarm->SoundingNow = false;
  Alarm->Missing = "Сигнал вызова прервался: проверка.";
  SessionModel->WatchAlarm();
  EXPECT_TRUE(Noticed(QStringLiteral("Сигнал вызова прервался: проверка.")));
  // Tried again while the call stands: it sounds once it can.
  Alarm->Missing.clear();
  SessionModel->WatchAlarm();
  EXPECT_TRUE(Alarm->SoundingNow);
}

TEST_F(HandsFree, ThePauseSymbolIsToldAndTheReadLineSymbolWithoutSpeechToo) {
  Launch();
  THandsFreeOptions options;
  options.PauseSymbol = QStringLiteral("P");
  options.ReadLineSymbol = QStringLiteral("R");
  Use(options);
  ASSERT_TRUE(Speech);
  Speech->Missing = "Речь недоступна: проверка.";
  Start();
  MoveTo(QStringLiteral("P"));
  Fire();
  EXPECT_TRUE(Noticed(TFMain::HeldNotice()));
  EXPECT_FALSE(FMain->LNotice->text().contains(TFMain::PausedNotice()));
  Fire();
  EXPECT_FALSE(FMain->LNotice->text().contains(TFMain::HeldNotice()));
  MoveTo(QStringLiteral("R"));
  Fire();
  EXPECT_TRUE(Noticed(QStringLiteral("Строку некому прочитать")));
  EXPECT_TRUE(Tape().isEmpty());
}

// A whole hands-free session, event by event: what the tape, the drum and
// the speaker did. With QUILLORA_TRANSCRIPT set it is printed.
TEST_F(HandsFree, SessionTranscript) {
  PresetSymbols({QStringLiteral("Д"), QStringLiteral("А"), QStringLiteral("||"), QStringLiteral("!!"),
                 QStringLiteral("="), QStringLiteral(" "), QStringLiteral(".")});
  Launch();
  THandsFreeOptions options{true, QStringLiteral("||"), QStringLiteral("!!"), QStringLiteral("=")};
  Use(options);
  TSpeechOptions speech;
  speech.SaySelected = true;
  OptionsInForce().Set(speech);
  QStringList transcript;
  size_t heard = 0;
  const auto note = [&](const QString& event) {
    const TSessionEngine& e = FMain->Engine();
    QStringList said;
    for (; Speech && heard < Speech->Log.size(); ++heard)
      said << QString::fromStdString(Speech->Log[heard]);
    QString drum = QStringLiteral("%1").arg(
        e.Symbols().isEmpty() ? QString() : e.Symbols().value(e.DrumPosition() - 1));
    if (e.Paused()) drum += QStringLiteral(" paused");
    if (e.Waiting()) drum += QStringLiteral(" waiting");
    if (!e.Running() && !e.Waiting()) drum += QStringLiteral(" idle");
    transcript << QStringLiteral("%1 | tape: %2 | drum: %3 | speech: %4 | alarm: %5")
                      .arg(event.leftJustified(22),
                           Tape().join(QStringLiteral(" / ")).leftJustified(14),
                           drum.leftJustified(13), said.join(QStringLiteral("; ")),
                           SessionModel->AlarmOn() ? QStringLiteral("on") : QStringLiteral("off"));
  };
  const auto take = [&](const QString& symbol) {
    MoveTo(symbol);
    Fire();
    note(QStringLiteral("take ") + symbol);
    Poll(0.0);
  };
  Start(QStringLiteral("1"));
  note(QStringLiteral("Start"));
  take(QStringLiteral("Д"));
  take(QStringLiteral("А"));
  take(QStringLiteral("||"));
  FMain->RunTimerTimer();
  note(QStringLiteral("10 s later"));
  Fire();
  note(QStringLiteral("reaction (resume)"));
  Poll(0.0);
  take(QStringLiteral("!!"));
  Fire();
  note(QStringLiteral("reaction (blocked)"));
  Poll(0.0);
  Key(Qt::Key_Escape);
  note(QStringLiteral("Esc"));
  Fire();
  note(QStringLiteral("reaction (resume)"));
  Poll(0.0);
  take(QStringLiteral("="));
  take(QStringLiteral("."));
  Fire();
  note(QStringLiteral("reaction (new session)"));
  if (!qEnvironmentVariableIsEmpty("QUILLORA_TRANSCRIPT"))
    for (const QString& line : transcript) std::printf("%s\n", line.toUtf8().constData());
  EXPECT_EQ(Tape(), QStringList{QStringLiteral("- ДА.")});
  EXPECT_TRUE(FMain->Running());
  ASSERT_TRUE(Speech);
  const std::vector<std::string>& log = Speech->Log;
  EXPECT_NE(std::find(log.begin(), log.end(), "main:ДА"), log.end()) << "the line was read";
  EXPECT_NE(std::find(log.begin(), log.end(), "main:пауза"), log.end()) << "the pause named by its role";
  EXPECT_NE(
      std::find(log.begin(), log.end(), "main:" + TSessionSpeaker::WaitingPrompt().toStdString()),
      log.end());
}

// The waiting drum, the alarm button and the settings window's group, off
// screen; with QUILLORA_SHOTS set to a folder they are saved there.
TEST_F(HandsFree, WaitingDrumAndAlarmPictures) {
  Launch(false);
  FMain->show();
  FMain->FormActivate();
  FMain->resize(633, 553);
  HoldLevel();
  THandsFreeOptions options;
  options.StartByReaction = true;
  options.CallSymbol = QStringLiteral("C");
  options.PauseSymbol = QStringLiteral("Z");
  options.ReadLineSymbol = QStringLiteral("Ж");
  Use(options);
  Start(QStringLiteral("1"));
  const QImage session = FMain->grab().toImage();
  MoveTo(QStringLiteral("C"));
  Fire();
  const QImage call = FMain->grab().toImage();
  Key(Qt::Key_Escape);
  Fire();
  MoveTo(QStringLiteral("."));
  Fire();
  ASSERT_TRUE(FMain->Engine().Waiting());
  const QImage waiting = FMain->grab().toImage();
  EXPECT_NE(waiting, session);
  FSettings->show();
  const QImage settings = FSettings->grab().toImage();
  const QByteArray folder = qgetenv("QUILLORA_SHOTS");
  if (folder.isEmpty()) return;
  const QDir dir(QString::fromLocal8Bit(folder));
  QDir().mkpath(dir.path());
  EXPECT_TRUE(call.save(dir.filePath(QStringLiteral("hands-call.png"))));
  EXPECT_TRUE(waiting.save(dir.filePath(QStringLiteral("hands-waiting.png"))));
  EXPECT_TRUE(settings.save(dir.filePath(QStringLiteral("hands-settings.png"))));
}

}  // namespace
