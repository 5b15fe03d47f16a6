// A Russian word spelled with real sound and next-letter prediction on: the
// drum jumps to the likeliest letters, so the word takes a few rests where
// table order would take dozens. Tone bursts are played into the virtual
// sink of scripts/pulse-start.sh whenever the drum rests on the next letter.
#include <QLabel>
#include <QProcess>
#include <cstdlib>

#include "MainFixture.h"
#include "capture/CaptureInputs.h"
#include "windows/Main.h"

namespace {

class RealSoundPredict : public MainFixture {
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

TEST_F(RealSoundPredict, SpellsARussianWordInAFewRests) {
  std::vector<TCaptureInput> inputs;
  ASSERT_TRUE(CreateDefaultCaptureInputs()->List(inputs) && !inputs.empty())
      << "no audio input: the PulseAudio server of scripts/pulse-start.sh is not running";

  QStringList table;
  for (const QChar c : QStringLiteral("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ")) table << QString(c);
  table << QStringLiteral(" ") << QStringLiteral(".");
  PresetSymbols(table);
  WriteIniKeys(IniPath(), QStringLiteral("Speed"), {{QStringLiteral("Predict Next Letter"), QStringLiteral("1")}});

  const QString word = QStringLiteral("НЕТ");
  LiveTimers = true;
  Launch(true, false);
  Start(QStringLiteral("1.5"));
  ASSERT_TRUE(FMain->Running);

  int rests = 1;
  int lastPhase = 0;
  bool played = false;  // a burst was played in this rest
  int bursts = 0;
  RunWhile(
      [&] {
        if (!FMain->Running || Written() == word) {
          return false;
        }
        const int phase = FMain->StepPhase;
        if (phase == 0 && lastPhase != 0) ++rests;
        lastPhase = phase;
        if (phase != 0) {
          played = false;
          return true;
        }
        const QString want = word.mid(Written().size(), 1);
        if (!played && !FMain->SelectedThisStep && FMain->Symbols.value(FMain->DrumPosition - 1) == want &&
            Player.state() == QProcess::NotRunning) {
          played = true;
          ++bursts;
          Player.start(QStringLiteral("sh"), {QStringLiteral(QUILLORA_PLAY_BURST), QStringLiteral("0.8"),
                                              QStringLiteral("0.5")});
        }
        return true;
      },
      40000);
  const bool wasRunning = FMain->Running;
  FMain->BStopClick();

  EXPECT_TRUE(wasRunning) << "the session ended by itself: " << FMain->TapeLines().join('|').toStdString();
  EXPECT_EQ(FMain->TapeLines(), QStringList{QStringLiteral("- ") + word});
  EXPECT_EQ(bursts, word.size()) << "one burst per letter";
  EXPECT_LE(rests, 6) << "Н, Е and Т come among the first rests after each selection";
  EXPECT_TRUE(FMain->LStats->text().startsWith(QStringLiteral("Символов: 3\n"))) << FMain->LStats->text().toStdString();
  EXPECT_TRUE(Dialogs->Messages.isEmpty()) << Dialogs->Messages.join('|').toStdString();
}

}  // namespace
