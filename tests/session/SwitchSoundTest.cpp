// The switch with real sound: a sensor's rest (hum, hum with drift) played
// through the virtual source of scripts/pulse-start.sh, the calibration
// assistant run over it with the operator reacting at its prompts, and its
// proposal spelling a short word with reactions of 0.15 at random points of
// the rests (300..800 ms, fixed seeds), at 1 s and 0.5 s per symbol; and
// five minutes without a reaction that write nothing. No window: the session
// engine runs on the program's timers (tests/support/SwitchTrial.h).
//
// Each reaction is judged by where its tone landed on the capture's own
// timeline. A session in which a reaction did not begin inside its rest
// (clear of the rest's last kLandingTailMs) proves nothing about the switch
// and is played again.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "capture/CaptureInputs.h"
#include "tests/support/SwitchTrial.h"

namespace {

void RequireSound() {
  ASSERT_TRUE(std::getenv("PULSE_SERVER") || std::getenv("XDG_RUNTIME_DIR"))
      << "no sound server: run eval \"$(scripts/pulse-start.sh)\" first";
  std::vector<TCaptureInput> inputs;
  ASSERT_TRUE(CreateDefaultCaptureInputs()->List(inputs) && !inputs.empty())
      << "no audio input: the PulseAudio server of scripts/pulse-start.sh is not running";
}

// The assistant's proposal over the rig's sound, put in force.
TCalibrationProposal Calibrated(TSwitchRig& rig, const TOperator& op) {
  const TCalibrationProposal p = rig.Calibrate(op, 1000);
  std::printf(
      "proposal: gain %d, on %d, off %d, mode %d, level depth %d (rest %.3f ± %.3f, caught %d, "
      "rest firings %d)\n",
      p.Gain, p.OnLevel, p.OffLevel, int(p.LevelMode), p.LevelDepth, p.RestLevel, p.RestNoise,
      p.Caught, p.RestFirings);
  EXPECT_TRUE(rig.CalibrationLanded())
      << "in 3 calibrations the reactions never landed in their windows";
  if (p.Result == TCalibrationResult::Proposed) rig.Apply(SettingOf(p));
  return p;
}

// Spells the word (up to three sessions while a reaction did not land
// inside its rest): every letter written, nothing else.
void ExpectSpelled(TSwitchRig& rig, const QString& word, const QString& period, TOperator op) {
  TTrialResult r;
  for (int attempt = 1; attempt <= 3; ++attempt, op.Seed += 100) {
    r = rig.Spell(word, period, op, 60000);
    std::printf("%s s: wanted %s, written \"%s\"; landed %d/%d: %s\n", qPrintable(period),
                qPrintable(word), qPrintable(r.Tape), r.Landed, r.Reactions, r.Landings.c_str());
    if (r.Landed == r.Wanted) break;
    std::printf("a reaction did not land inside its rest; played again\n");
  }
  ASSERT_EQ(r.Landed, r.Wanted)
      << "in 3 sessions the reactions never all landed inside their rests";
  EXPECT_EQ(r.Written, r.Wanted) << period.toStdString()
                                 << " s per symbol: " << r.Tape.toStdString();
  EXPECT_EQ(r.Strays, 0) << period.toStdString() << " s per symbol: " << r.Tape.toStdString();
}

// Four letters three to seven places apart: a late reaction cannot pass
// for the next one.
const QString kWord = TrialText(4, 7);

TEST(SwitchSound, TheProposalSpellsOnTheHumSensorAtOneAndAtHalfASecond) {
  ASSERT_NO_FATAL_FAILURE(RequireSound());
  TSwitchRig rig(TSensorRest::HumOnly());
  ASSERT_TRUE(rig.SoundReady()) << "no playback stream on the sound server";
  const TOperator op;
  ASSERT_EQ(Calibrated(rig, op).Result, TCalibrationResult::Proposed);
  ExpectSpelled(rig, kWord, QStringLiteral("1"), op);
  ExpectSpelled(rig, kWord, QStringLiteral("0.5"), op);
}

TEST(SwitchSound, TheProposalSpellsOnTheHumAndDriftSensorAtOneAndAtHalfASecond) {
  ASSERT_NO_FATAL_FAILURE(RequireSound());
  // The drift rises from the calibration on: the sessions meet a baseline
  // up to 0.05 higher than the one calibrated.
  TSwitchRig rig(TSensorRest::HumAndDrift());
  ASSERT_TRUE(rig.SoundReady()) << "no playback stream on the sound server";
  const TOperator op;
  ASSERT_EQ(Calibrated(rig, op).Result, TCalibrationResult::Proposed);
  ExpectSpelled(rig, kWord, QStringLiteral("1"), op);
  ExpectSpelled(rig, kWord, QStringLiteral("0.5"), op);
}

TEST(SwitchSound, FiveMinutesWithoutAReactionOnTheHumSensorWriteNothing) {
  ASSERT_NO_FATAL_FAILURE(RequireSound());
  TSwitchRig rig(TSensorRest::HumOnly());
  ASSERT_TRUE(rig.SoundReady()) << "no playback stream on the sound server";
  ASSERT_EQ(Calibrated(rig, TOperator()).Result, TCalibrationResult::Proposed);
  const TTrialResult r = rig.Idle(QStringLiteral("1"), 5 * 60 * 1000);
  std::printf("%d rests, written \"%s\"\n", r.Rests, qPrintable(r.Tape));
  EXPECT_GE(r.Rests, 200) << "the drum did not turn for five minutes";
  EXPECT_EQ(r.Tape, QString());
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
