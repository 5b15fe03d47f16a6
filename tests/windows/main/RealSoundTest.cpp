// A session with real sound: the real chain over the platform's capture back
// end, recording from the virtual source of the PulseAudio server that
// scripts/pulse-start.sh starts, with the Qt event loop and the real timers.
// A tone burst is played into the virtual sink whenever the drum rests on the
// next symbol of the word.
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <cstdlib>

#include "MainFixture.h"
#include "capture/CaptureInputs.h"
#include "windows/Main.h"

namespace {

class RealSound : public MainFixture {
protected:
  void SetUp() override {
    MainFixture::SetUp();
    TFMain::SetSensorFactory({});  // the platform's capture device
  }
  void TearDown() override {
    if (Player.state() != QProcess::NotRunning) Player.waitForFinished(5000);
    MainFixture::TearDown();
  }
  QProcess Player;
};

TEST_F(RealSound, SpellsAWordFromToneBursts) {
  ASSERT_TRUE(std::getenv("PULSE_SERVER") || std::getenv("XDG_RUNTIME_DIR"))
      << "no sound server: run eval \"$(scripts/pulse-start.sh)\" first";
  std::vector<TCaptureInput> inputs;
  ASSERT_TRUE(CreateDefaultCaptureInputs()->List(inputs) && !inputs.empty())
      << "no audio input: the PulseAudio server of scripts/pulse-start.sh is not running";

  const QString word = QStringLiteral("HI");
  LiveTimers = true;
  Launch(true, false);
  Start(QStringLiteral("1.5"));
  ASSERT_TRUE(FMain->Running);

  int playedAt = 0;  // the drum position a burst was played for, 0: none
  int bursts = 0;
  RunWhile(
      [&] {
        if (!FMain->Running || Written() == word) {
          return false;
        }
        if (FMain->StepPhase != 0) {
          playedAt = 0;
          return true;
        }
        const QString want = word.mid(Written().size(), 1);
        if (playedAt == 0 && !FMain->SelectedThisStep &&
            FMain->Symbols.value(FMain->DrumPosition - 1) == want &&
            Player.state() == QProcess::NotRunning) {
          playedAt = FMain->DrumPosition;
          ++bursts;
          Player.start(QStringLiteral("sh"), {QStringLiteral(QUILLORA_PLAY_BURST), QStringLiteral("0.8"),
                                              QStringLiteral("0.5")});
        }
        return true;
      },
      60000);
  const bool wasRunning = FMain->Running;
  FMain->BStopClick();

  EXPECT_TRUE(wasRunning) << "the session ended by itself: " << FMain->TapeLines().join('|').toStdString();
  EXPECT_EQ(FMain->TapeLines(), QStringList{QStringLiteral("- ") + word});
  EXPECT_EQ(bursts, word.size()) << "one burst per symbol";
  EXPECT_TRUE(Dialogs->Messages.isEmpty()) << Dialogs->Messages.join('|').toStdString();
}

}  // namespace
