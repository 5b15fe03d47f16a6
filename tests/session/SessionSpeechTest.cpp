// A session that speaks: the engine's events through the speaker to a
// scripted speech engine, on timers ticked by hand.
#include <gtest/gtest.h>

#include "SessionRig.h"
#include "session/SessionSpeaker.h"
#include "speech/FakeSpeech.h"

namespace {

struct TSpeakingRig : TSessionRig {
  explicit TSpeakingRig(const TSpeechOptions& options) {
    Speaker.SetOptions(options);
    Host.Speaker = &Speaker;
    Host.Options.Symbols = {QStringLiteral("Ж"), QStringLiteral("q"), QStringLiteral(" "),
                            QStringLiteral("<"), QStringLiteral(".")};
  }
  void NextSymbols(int count) { Frames(6 * count); }

  TFakeSpeech Speech;
  TSessionSpeaker Speaker{Speech};
};

TSpeechOptions Scanning() {
  TSpeechOptions o;
  o.AuditoryScanning = true;
  return o;
}

TEST(SessionSpeech, EachRestIsNamedAndTheCueIsCutWhenTheDrumMovesOn) {
  TSpeakingRig rig(Scanning());
  rig.Engine.Start(QStringLiteral("1"));
  EXPECT_EQ(rig.Speech.Prepared, (std::vector<std::string>{"жэ", "ку", "пробел", "стереть", "точка"}));
  std::vector<std::string> heard;
  // Two turns of the drum: a long cue sounds through its rest and never into
  // a move frame.
  for (int tick = 0; tick < 6 * 10; ++tick) {
    if (rig.Engine.StepPhase() == 0) {
      ASSERT_FALSE(rig.Speech.CueSounding.empty()) << "tick " << tick;
      if (heard.empty() || heard.back() != rig.Speech.CueSounding) heard.push_back(rig.Speech.CueSounding);
    } else {
      ASSERT_TRUE(rig.Speech.CueSounding.empty()) << "still sounding at frame " << rig.Engine.StepPhase();
    }
    rig.Engine.DrumTick();
  }
  EXPECT_EQ(heard, (std::vector<std::string>{"жэ", "ку", "пробел", "стереть", "точка",
                                             "жэ", "ку", "пробел", "стереть", "точка"}));
  rig.Engine.Stop();
  EXPECT_EQ(rig.Speech.Log.back(), "cut");
}

TEST(SessionSpeech, SelectionsAreSaidAndAFullStopReadsTheLine) {
  TSpeechOptions o;
  o.SaySelected = true;
  o.ReadLines = true;
  TSpeakingRig rig(o);
  rig.Host.Options.StopSymbols = QStringLiteral("");
  rig.Engine.Start(QStringLiteral("1"));
  rig.Engine.SelectSymbol();  // Ж
  rig.NextSymbols(1);
  rig.Engine.SelectSymbol();  // q
  rig.NextSymbols(2);
  rig.Engine.SelectSymbol();  // <
  rig.NextSymbols(1);
  rig.Engine.SelectSymbol();  // .
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- Ж.")});
  std::vector<std::string> said;
  for (const std::string& s : rig.Speech.Log)
    if (s.rfind("main:", 0) == 0) said.push_back(s.substr(5));
  EXPECT_EQ(said, (std::vector<std::string>{"жэ", "ку", "стереть", "Ж."}));
  EXPECT_TRUE(rig.Speech.Prepared.empty()) << "no cues without auditory scanning";
}

TEST(SessionSpeech, WhileSpeakingOnlyTheSensorIsIgnored) {
  TSpeakingRig rig(Scanning());
  rig.Engine.Start(QStringLiteral("1"));
  rig.Speech.SpeakingNow = true;
  rig.Poll(0.0);
  rig.Poll(0.5);
  EXPECT_TRUE(rig.Host.Tape.isEmpty()) << "speech reaching the sensor selects nothing";
  rig.Engine.SelectSymbol();  // F9 and the test signal
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- Ж")});

  // Blocking off, or silence: the sensor selects again.
  rig.NextSymbols(1);
  TSpeechOptions open = Scanning();
  open.BlockSensor = false;
  rig.Speaker.SetOptions(open);
  rig.Poll(0.0);
  rig.Poll(0.0);
  rig.Poll(0.5);
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- Жq")});
}

}  // namespace
