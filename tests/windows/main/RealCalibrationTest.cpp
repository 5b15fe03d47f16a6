// The calibration assistant over real sound: the panel's assistant records
// from the virtual source of scripts/pulse-start.sh while a tone burst is
// played at each of its prompts, its proposal is applied, and a session with
// those settings spells from the next bursts.
//
// With QUILLORA_CATCH_TABLE set, a second test prints which bursts of three
// amplitudes and three rise times the assistant's settings catch.
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "MainFixture.h"
#include "capture/CaptureInputs.h"
#include "windows/CalibrationDialog.h"
#include "windows/Display.h"
#include "windows/Main.h"
#include "windows/Settings.h"

namespace {

class RealCalibration : public MainFixture {
protected:
  void SetUp() override {
    MainFixture::SetUp();
    TFMain::SetSensorFactory({});  // the platform's capture device
  }
  void TearDown() override {
    TFDisplay::SetCalibrationRunner({});
    if (Player.state() != QProcess::NotRunning) Player.waitForFinished(5000);
    MainFixture::TearDown();
  }

  void Play(double amplitude, double seconds, double fadeIn) {
    if (Player.state() != QProcess::NotRunning) Player.waitForFinished(5000);
    Player.start(QStringLiteral("sh"), {QStringLiteral(QUILLORA_PLAY_BURST), QString::number(amplitude),
                                        QString::number(seconds), QString::number(fadeIn)});
  }

  // Runs the event loop, calling step every 10 ms until it returns false or
  // a minute has passed.
  static void RunWhile(const std::function<bool()>& step) { MainFixture::RunWhile(step, 60000); }

  // The panel's assistant with a burst at each prompt; the proposal is
  // applied when there is one.
  TCalibrationProposal Calibrate(double amplitude, double fadeIn) {
    TCalibrationProposal shown;
    TFDisplay::SetCalibrationRunner([&](TCalibrationDialog& d) {
      d.Begin(true);
      std::size_t prompts = 0;
      RunWhile([&] {
        if (d.Recording().Prompts.size() > prompts) {
          prompts = d.Recording().Prompts.size();
          Play(amplitude, 0.6, fadeIn);
        }
        return d.Measuring();
      });
      shown = d.Proposal();
      SaveRecording(d.Recording());
      (shown.Result == TCalibrationResult::Proposed ? d.BApply : d.BCancel)->click();
      return d.result();
    });
    FDisplay->BCalibrateClick();
    TFDisplay::SetCalibrationRunner({});
    std::printf("calibration: %s\n", TCalibrationDialog::ResultText(shown).toLocal8Bit().constData());
    return shown;
  }

  // With QUILLORA_CALIBRATION_RECORD set: the readings, one a line, after a
  // line with the rest count and the prompts.
  static void SaveRecording(const TCalibrationRecording& r) {
    const QByteArray path = qgetenv("QUILLORA_CALIBRATION_RECORD");
    if (path.isEmpty()) return;
    QFile f(QString::fromLocal8Bit(path));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    QByteArray head = QByteArray::number(r.RestCount);
    for (int p : r.Prompts) head += ' ' + QByteArray::number(p);
    f.write(head + '\n');
    for (double x : r.Readings) f.write(QByteArray::number(x, 'g', 8) + '\n');
  }


  void CheckSoundServer() {
    ASSERT_TRUE(std::getenv("PULSE_SERVER") || std::getenv("XDG_RUNTIME_DIR"))
        << "no sound server: run eval \"$(scripts/pulse-start.sh)\" first";
    std::vector<TCaptureInput> inputs;
    ASSERT_TRUE(CreateDefaultCaptureInputs()->List(inputs) && !inputs.empty())
        << "no audio input: the PulseAudio server of scripts/pulse-start.sh is not running";
  }

  QProcess Player;
};

TEST_F(RealCalibration, TheProposalSpellsAWordFromBurstsTheDesignSettingsMiss) {
  CheckSoundServer();
  LiveTimers = true;
  Launch(true, false);
  // 0.2 of full scale: at gain 100 and on level 30 a jump of 0.375 is needed.
  const TCalibrationProposal p = Calibrate(0.2, 0.0);
  ASSERT_EQ(p.Result, TCalibrationResult::Proposed);
  EXPECT_EQ(p.Caught, 3);
  EXPECT_EQ(p.RestFirings, 0);
  EXPECT_EQ(FDisplay->EGaugeAmp->text(), QString::number(p.Gain));

  const QString word = QStringLiteral("HI");
  FMain->ESymbolPeriod->setText(QStringLiteral("1.5"));
  FMain->BStartClick();
  ASSERT_TRUE(FMain->Running);
  int playedAt = 0;
  RunWhile([&] {
    if (!FMain->Running || Written() == word) return false;
    if (FMain->StepPhase != 0) {
      playedAt = 0;
      return true;
    }
    const QString want = word.mid(Written().size(), 1);
    if (playedAt == 0 && !FMain->SelectedThisStep && FMain->Symbols.value(FMain->DrumPosition - 1) == want &&
        Player.state() == QProcess::NotRunning) {
      playedAt = FMain->DrumPosition;
      Play(0.2, 0.5, 0.0);
    }
    return true;
  });
  const bool wasRunning = FMain->Running;
  FMain->BStopClick();
  EXPECT_TRUE(wasRunning) << FMain->TapeLines().join('|').toStdString();
  EXPECT_EQ(FMain->TapeLines(), QStringList{QStringLiteral("- ") + word});
}

TEST_F(RealCalibration, CatchTable) {
  if (qEnvironmentVariableIsEmpty("QUILLORA_CATCH_TABLE")) GTEST_SKIP() << "a measurement: set QUILLORA_CATCH_TABLE";
  CheckSoundServer();
  LiveTimers = true;
  Launch(true, false);
  const QByteArray calib = qgetenv("QUILLORA_CATCH_TABLE");  // "amplitude,fade-in" of the calibration
  const QList<QByteArray> parts = calib.split(',');
  const TCalibrationProposal p = Calibrate(parts.value(0).toDouble(), parts.value(1).toDouble());
  ASSERT_EQ(p.Result, TCalibrationResult::Proposed);

  struct TKind {
    double Amplitude, FadeIn;
  };
  std::vector<TKind> kinds;
  for (double a : {0.1, 0.2, 0.4})
    for (double f : {0.0, 0.2, 0.5}) kinds.push_back({a, f});

  FMain->ESymbolPeriod->setText(QStringLiteral("3"));
  FMain->BStartClick();
  ASSERT_TRUE(FMain->Running);
  int lastPosition = FMain->DrumPosition;
  int next = -1;  // the kind played in the current rest; -1 none yet
  int tapeBefore = 0;
  std::vector<bool> caught;
  RunWhile([&] {
    if (!FMain->Running) return false;
    if (FMain->StepPhase != 0 || FMain->DrumPosition == lastPosition) return true;
    lastPosition = FMain->DrumPosition;  // a new rest: the burst of the last one is judged
    if (next >= 0) caught.push_back(Written().size() > tapeBefore);
    if (++next >= static_cast<int>(kinds.size())) return false;
    tapeBefore = Written().size();
    Play(kinds[next].Amplitude, 0.8, kinds[next].FadeIn);
    return true;
  });
  FMain->BStopClick();
  ASSERT_EQ(caught.size(), kinds.size());
  std::printf("gain %d, on %d, off %d, mode %d\n", p.Gain, p.OnLevel, p.OffLevel, int(p.LevelMode));
  for (std::size_t i = 0; i < kinds.size(); ++i)
    std::printf("amplitude %.1f rise %.1f s: %s\n", kinds[i].Amplitude, kinds[i].FadeIn,
                caught[i] ? "caught" : "missed");
}

}  // namespace
