// A session that speaks: the engine's events through the speaker to a
// scripted speech engine, on timers ticked by hand.
#include <gtest/gtest.h>

#include "SessionRig.h"
#include "session/SessionSpeaker.h"
#include "speech/FakeSpeech.h"

namespace {

struct TSpeakingRig : TSessionRig {
  explicit TSpeakingRig(const TSpeechOptions& options, TRigLevel level = TRigLevel::HeldAtZero)
      : TSessionRig(level), Voice(Host, options) {
    Host.Options.Symbols = {QStringLiteral("Ж"), QStringLiteral("q"), QStringLiteral(" "),
                            QStringLiteral("<"), QStringLiteral(".")};
  }
  void NextSymbols(int count) { Frames(6 * count); }

  TRigVoice Voice;
  TFakeSpeech& Speech = Voice.Speech;
  TSessionSpeaker& Speaker = Voice.Speaker;
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

// Open time after the cue: the names' lengths as the engine would report them.
struct TOpenTimeRig : TSpeakingRig {
  explicit TOpenTimeRig(const TSpeechOptions& options, TRigLevel level = TRigLevel::HeldAtZero)
      : TSpeakingRig(options, level) {
    Speech.CueLengths = {{"жэ", 300}, {"ку", 250}, {"пробел", 400}, {"стереть", 500}, {"точка", 350}};
  }
};

TSpeechOptions OpenTime(bool block = true) {
  TSpeechOptions o = Scanning();
  o.OpenTime = true;
  o.BlockSensor = block;
  o.EchoMs = 100;
  return o;
}

TEST(SessionSpeech, OpenTimeLengthensEachSlowRestByItsCueAndTheCaptureCoversIt) {
  struct TCase {
    const char* what;
    TSpeechOptions options;
    bool fast;
    int firstRest, secondRest, echo;
  };
  TSpeechOptions saying = OpenTime();
  saying.AuditoryScanning = false;
  saying.SaySelected = true;
  const TCase cases[] = {
      {"open time, blocking", OpenTime(), false, 1000 + 300 + 100 + 40, 1000 + 250 + 100 + 40, 100},
      {"open time, no blocking", OpenTime(false), false, 1000 + 300, 1000 + 250, 100},
      {"no cue voice", saying, false, 1000, 1000, TSpeech::DefaultEchoMs},
      {"open time off", Scanning(), false, 1000, 1000, TSpeech::DefaultEchoMs},
      {"fast mode", OpenTime(), true, 40, 40, 100},
  };
  for (const TCase& c : cases) {
    TOpenTimeRig rig(c.options);
    rig.Host.Options.FastSlowMode = c.fast;
    rig.Engine.Start(QStringLiteral("1"));
    EXPECT_EQ(rig.Engine.RestMs(), c.firstRest) << c.what;
    EXPECT_EQ(rig.DrumTimer.Interval(), c.firstRest) << c.what;
    rig.NextSymbols(1);
    EXPECT_EQ(rig.DrumTimer.Interval(), c.secondRest) << c.what;
    EXPECT_EQ(rig.Sensor.Calls.front(), c.fast ? "Rearm 1000" : "Start " + std::to_string(c.firstRest)) << c.what;
    EXPECT_EQ(rig.Sensor.Calls.back(), c.fast ? "Rearm 1000" : "Start " + std::to_string(c.secondRest)) << c.what;
    EXPECT_EQ(rig.Speech.EchoMs, c.echo) << c.what;
  }
}

// The probe's own level, as most sensors run: it follows the readings unless
// held. Readings are the sensor's and the speech's sound together.
TEST(SessionSpeech, WithOpenTimeTheBlankHoldsTheLevelAndAReactionStillGoingAfterItCounts) {
  TOpenTimeRig rig(OpenTime(), TRigLevel::Automatic);
  rig.Engine.Start(QStringLiteral("1"));
  const auto quiet = [&rig](int polls) {
    rig.Speech.SpeakingNow = false;
    for (int i = 0; i < polls; ++i) rig.Poll(0.1);
  };
  const auto blanked = [&rig](std::initializer_list<double> readings) {
    rig.Speech.SpeakingNow = true;
    for (double r : readings) rig.Poll(r);
  };
  quiet(10);
  ASSERT_EQ(rig.Host.Light, TSessionLight::Ready);

  // Speech loud in the sensor, then gone: the level never followed it, so its
  // end is no reaction.
  blanked({0.9, 0.9, 0.8, 0.9, 0.9, 0.9, 0.7, 0.9});
  quiet(10);
  EXPECT_TRUE(rig.Host.Tape.isEmpty()) << rig.Host.Tape.join('|').toStdString();

  // A reaction that began under the cue and goes on after it: taken when the
  // blank ends, a poll after the speech (that reading's samples are from the
  // poll before).
  rig.NextSymbols(1);
  blanked({0.9, 0.9, 0.9, 0.6, 0.6, 0.6, 0.6, 0.6});
  quiet(0);
  rig.Poll(0.6);
  EXPECT_TRUE(rig.Host.Tape.isEmpty());
  rig.Poll(0.6);
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- q")});

  // Still going at the next rest, then a pause under the cue and a new
  // reaction: the quiet reading under the cue re-armed the selection.
  rig.NextSymbols(1);
  blanked({0.6, 0.6, 0.1, 0.1, 0.9, 0.6, 0.6, 0.6});
  quiet(0);
  rig.Poll(0.6);
  rig.Poll(0.6);
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- q ")});
}

}  // namespace
