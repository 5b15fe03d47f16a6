// Aids for the operator: the tape follows its newest character, switch keys
// act from every window, and the calibration assistant on the panel.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTextCursor>
#include <QToolButton>

#include "session/SessionModel.h"
#include "MainFixture.h"
#include "inifile/IniFile.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "speech/FakeSpeech.h"
#include "tests/support/ManualTickTimer.h"
#include "windows/CalibrationDialog.h"
#include "windows/Display.h"
#include "windows/Graph.h"
#include "windows/Main.h"
#include "windows/Settings.h"

namespace {

// A key pressed and released on a widget, through the application as a
// keyboard would deliver it.
void Press(QWidget* w, int key, const QString& text = QString()) {
  QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(w, &down);
  QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(w, &up);
}

void Choose(QComboBox* box, const QString& keyName) {
  const int i = box->findData(keyName);
  ASSERT_GE(i, 0) << keyName.toStdString();
  box->setCurrentIndex(i);
}

class OperatorAids : public MainFixture {};

TEST_F(OperatorAids, TheTapeShowsItsNewestCharacterAfterALongLineAtAnySize) {
  Launch();
  FMain->show();
  FMain->resize(633, 553);
  Start(QStringLiteral("0.1"));
  MoveTo(QStringLiteral("M"));
  Fire();
  // The line grows to 200 characters; the session writes the last one.
  FMain->MTape->moveCursor(QTextCursor::Start);
  FMain->ReplaceLastTapeLine(QStringLiteral("- ") + QString(197, QLatin1Char('W')));
  FMain->MTape->moveCursor(QTextCursor::Start);
  FMain->MTape->horizontalScrollBar()->setValue(0);
  NextSymbol();
  Fire();
  ASSERT_EQ(Tape().last().size(), 2 + 198);
  const auto lastCharacterShown = [] {
    QTextCursor end(FMain->MTape->document());
    end.movePosition(QTextCursor::End);
    const QRect caret = FMain->MTape->cursorRect(end);
    return FMain->MTape->viewport()->rect().contains(caret.center());
  };
  EXPECT_GT(FMain->MTape->horizontalScrollBar()->value(), 0);
  EXPECT_TRUE(lastCharacterShown());

  FSettings->ETapeFontSize->setValue(30);
  EXPECT_EQ(FMain->MTape->font().pixelSize(), 30);
  MoveTo(QStringLiteral("M"));
  Fire();
  EXPECT_TRUE(lastCharacterShown()) << "larger letters, still at the end";
}

TEST_F(OperatorAids, TheChosenKeySelectsFromEveryWindowAndNeitherTypesNorPresses) {
  Launch();
  Choose(FSettings->DDSelectKey, QStringLiteral("Space"));
  Start(QStringLiteral("1"));
  Poll(0.0);
  const std::vector<QWidget*> targets{FMain->MTape, FMain->BClear, FSettings->EDataAccDepth,
                                      FDisplay->EGaugeAmp, FGraph};
  QString written;
  for (QWidget* w : targets) {
    NextSymbol();
    written += FMain->Engine().Symbols().value(FMain->Engine().DrumPosition() - 1);
    Press(w, Qt::Key_Space, QStringLiteral(" "));
    ASSERT_EQ(Tape(), QStringList{QStringLiteral("- ") + written}) << w->objectName().toStdString();
  }
  EXPECT_TRUE(Dialogs->Questions.isEmpty()) << "the focused clear button was not pressed";
  EXPECT_EQ(FDisplay->EGaugeAmp->text(), QStringLiteral("100"));
  EXPECT_EQ(FSettings->EDataAccDepth->text(), QStringLiteral("1"));

  FMain->RunTimerTimer();  // the drum moves: consumed, nothing taken
  Press(FMain->MTape, Qt::Key_Space, QStringLiteral(" "));
  EXPECT_EQ(Tape(), QStringList{QStringLiteral("- ") + written});
  Press(FMain->MTape, Qt::Key_F9);  // F9 as ever
  FMain->BStopClick();
  Press(FMain->ESymbolPeriod, Qt::Key_Space, QStringLiteral(" "));
  EXPECT_EQ(Tape(), QStringList{QStringLiteral("- ") + written}) << "outside a session the key is a key";
}

TEST_F(OperatorAids, StartAndStopKeysWorkFromAnyWindowAndNameThemselvesInTheHints) {
  Launch();
  EXPECT_EQ(FMain->BStart->toolTip(), QStringLiteral("Начать сеанс"));
  Choose(FSettings->DDStartKey, QStringLiteral("F5"));
  Choose(FSettings->DDStopKey, QStringLiteral("F6"));
  EXPECT_EQ(FMain->BStart->toolTip(), QStringLiteral("Начать сеанс (F5)"));
  EXPECT_EQ(FMain->BStop->toolTip(), QStringLiteral("Закончить сеанс (F6)"));
  FMain->ESymbolPeriod->setText(QStringLiteral("1"));
  Press(FDisplay->EGaugeAmp, Qt::Key_F5);
  EXPECT_TRUE(FMain->Running());
  Press(FGraph, Qt::Key_F6);
  EXPECT_FALSE(FMain->Running());

  // Space to start does not start while it types into a field.
  Choose(FSettings->DDStartKey, QStringLiteral("Space"));
  Press(FSettings->EStopSymbol, Qt::Key_Space, QStringLiteral(" "));
  EXPECT_FALSE(FMain->Running());
  Press(FMain, Qt::Key_Space, QStringLiteral(" "));
  EXPECT_TRUE(FMain->Running());
}

TEST_F(OperatorAids, KeysAndTapeSizeGoToTheirOwnSectionsOnlyOnceChosen) {
  Launch();
  Shutdown();
  {
    const TIniFile ini(IniPath().toStdString());
    EXPECT_FALSE(ini.SectionExists("Keys"));
    EXPECT_FALSE(ini.SectionExists("Tape"));
  }
  Launch();
  Choose(FSettings->DDSelectKey, QStringLiteral("Return"));
  FSettings->ETapeFontSize->setValue(20);
  Shutdown();
  {
    const TIniFile ini(IniPath().toStdString());
    EXPECT_EQ(ini.ReadString("Keys", "Select Key", "?"), "Return");
    EXPECT_EQ(ini.ReadString("Keys", "Start Key", "?"), "");
    EXPECT_EQ(ini.ReadInteger("Tape", "Font Size", 0), 20);
  }
  Launch();
  EXPECT_EQ(FSettings->SelectKey(), int(Qt::Key_Return));
  EXPECT_TRUE(TFSettings::IsKey(Qt::Key_Enter, FSettings->SelectKey())) << "the number pad's Enter too";
  EXPECT_EQ(FMain->MTape->font().pixelSize(), 20);
}

// The assistant run by a script on its dialog's buttons: a quiet rest, then
// a reaction of 0.12 at each prompt, polled by hand.
int ScriptedRun(TCalibrationDialog& dialog, TScriptedSensor& sensor, bool apply) {
  TCalibrationRun& run = dialog.Run();
  dialog.BBegin->click();
  EXPECT_TRUE(dialog.LStep->text().startsWith(QStringLiteral("Покой")));
  EXPECT_FALSE(dialog.BBegin->isEnabled());
  int sincePrompt = -1;
  while (run.Measuring()) {
    const int n = static_cast<int>(run.Recording().Readings.size());
    if (!run.Recording().Prompts.empty() && run.Recording().Prompts.back() == n) {
      sincePrompt = 0;
      EXPECT_TRUE(dialog.LStep->text().endsWith(QStringLiteral("реагируйте!"))) << n;
    }
    sensor.NextReading = (sincePrompt >= 5 && sincePrompt < 15) ? 0.14 : 0.02;
    if (sincePrompt >= 0) ++sincePrompt;
    run.Tick();
  }
  (apply ? dialog.BApply : dialog.BCancel)->click();
  return dialog.result();
}

TEST_F(OperatorAids, TheAssistantProposesWhatItMeasuredAndAppliesOnlyWhenAsked) {
  Launch(true, false);
  TCalibrationDialog::SetTickTimerFactory([](QObject*, const char*, std::function<void()>) {
    return std::make_unique<TManualTickTimer>();
  });
  TFDisplay::SetCalibrationRunner([this](TCalibrationDialog& d) { return ScriptedRun(d, *Sensor, false); });
  FDisplay->BCalibrateClick();
  EXPECT_EQ(FDisplay->EGaugeAmp->text(), QStringLiteral("100")) << "cancelled: nothing changes";
  EXPECT_EQ(FSettings->EOnLevel->text(), QStringLiteral("30"));

  TCalibrationProposal shown;
  TFDisplay::SetCalibrationRunner([this, &shown](TCalibrationDialog& d) {
    const int result = ScriptedRun(d, *Sensor, true);
    shown = d.Proposal();
    EXPECT_TRUE(d.LResult->text().contains(QStringLiteral("усиление %1").arg(shown.Gain)));
    return result;
  });
  FDisplay->BCalibrateClick();
  TFDisplay::SetCalibrationRunner({});
  TCalibrationDialog::SetTickTimerFactory({});
  ASSERT_EQ(shown.Result, TCalibrationResult::Proposed);
  EXPECT_EQ(shown.Caught, 3);
  EXPECT_EQ(FDisplay->EGaugeAmp->text(), QString::number(shown.Gain));
  EXPECT_EQ(SessionModel->Gauge()->Gain(), shown.Gain);
  EXPECT_EQ(FSettings->EOnLevel->text(), QString::number(shown.OnLevel));
  EXPECT_EQ(FSettings->EOffLevel->text(), QString::number(shown.OffLevel));
  EXPECT_EQ(SessionModel->Probe()->LevelMode, shown.LevelMode);
  FDisplay->show();
  EXPECT_EQ(FDisplay->LevelModeGroup->checkedButton(),
            shown.LevelMode == TProbe::LevelFixed      ? FDisplay->BLevelFixed
            : shown.LevelMode == TProbe::LevelTracking ? FDisplay->BLevelFind
                                                       : FDisplay->BLevelAuto);

  // The applied settings select a reaction like those measured.
  Start(QStringLiteral("1"));
  for (int i = 0; i < 10; ++i) Poll(0.02);
  Poll(0.14);
  EXPECT_EQ(Tape(), QStringList{QStringLiteral("- A")});

  FDisplay->BCalibrateClick();
  EXPECT_EQ(Dialogs->Messages.value(0),
            QStringLiteral("Калибровка возможна только вне сеанса. Остановите сеанс и повторите."));
}

// The panel's second button runs the assistant at once; with speech on its
// prompts are spoken; the accepted level mode comes back after a restart,
// and so does one chosen by hand afterwards.
TEST_F(OperatorAids, OneClickRunsTheAssistantSpeaksItsPromptsAndItsLevelModeComesBack) {
  TFakeSpeech* speech = nullptr;
  TFMain::SetSpeechFactory([&speech] {
    auto s = std::make_unique<TFakeSpeech>();
    speech = s.get();
    return s;
  });
  Launch(true, false);
  FSettings->CBReadLines->setChecked(true);
  ASSERT_TRUE(speech);
  FDisplay->BLevelFind->click();
  TCalibrationDialog::SetTickTimerFactory([](QObject*, const char*, std::function<void()>) {
    return std::make_unique<TManualTickTimer>();
  });
  bool startedAtOnce = false;
  TFDisplay::SetCalibrationRunner([this, &startedAtOnce](TCalibrationDialog& d) {
    startedAtOnce = d.Run().Measuring();
    TCalibrationRun& run = d.Run();
    int sincePrompt = -1;
    while (run.Measuring()) {
      const int n = static_cast<int>(run.Recording().Readings.size());
      if (!run.Recording().Prompts.empty() && run.Recording().Prompts.back() == n) sincePrompt = 0;
      Sensor->NextReading = (sincePrompt >= 5 && sincePrompt < 15) ? 0.14 : 0.02;
      if (sincePrompt >= 0) ++sincePrompt;
      run.Tick();
    }
    d.BApply->click();
    return d.result();
  });
  FDisplay->BCalibrateRun->click();
  TFDisplay::SetCalibrationRunner({});
  TCalibrationDialog::SetTickTimerFactory({});
  EXPECT_TRUE(startedAtOnce);
  EXPECT_EQ(speech->Log, (std::vector<std::string>{
                             "main:Покой: не реагируйте…", "main:Реакция 1 из 3: реагируйте!",
                             "main:Реакция 2 из 3: реагируйте!", "main:Реакция 3 из 3: реагируйте!",
                             "main:Готово"}));
  const uint8_t mode = SessionModel->Probe()->LevelMode;
  EXPECT_NE(mode, TProbe::LevelTracking) << "a rest this steady needs no tracking";
  Shutdown();
  {
    const TIniFile ini(IniPath().toStdString());
    EXPECT_EQ(ini.ReadInteger("Calibration", "Level Mode", -1), mode);
    // Written with a point whatever the locale.
    EXPECT_NEAR(QString::fromStdString(ini.ReadString("Calibration", "Rest Level", "")).toDouble(), 0.02, 0.001);
  }

  Launch(true, false);
  EXPECT_EQ(SessionModel->Probe()->LevelMode, mode);
  // What the carer sets by hand afterwards is what comes back; a fixed
  // level at the rest measured.
  FDisplay->BLevelFixed->click();
  Shutdown();
  Launch(true, false);
  EXPECT_EQ(SessionModel->Probe()->LevelMode, TProbe::LevelFixed);
  EXPECT_NEAR(SessionModel->Probe()->Level, 0.02, 0.001);
  FDisplay->show();
  EXPECT_TRUE(FDisplay->BLevelFixed->isChecked());
  TFMain::SetSpeechFactory({});
}

}  // namespace
