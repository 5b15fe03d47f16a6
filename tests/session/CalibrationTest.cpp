// The calibration assistant's analysis: what it proposes for rests and
// reactions of different kinds, and whether the proposal catches them.
#include <gtest/gtest.h>

#include "sensor/Probe.h"
#include "session/Calibration.h"

namespace {

constexpr int kRest = 100;
constexpr int kWindow = 75;

// A rest of 100 polls with a small deterministic ripple, then three windows
// of 75 polls, each with a reaction that rises linearly over risePolls to
// restLevel + peak, holds for 10 polls and falls back at once.
TCalibrationRecording Recording(double restLevel, double ripple, double peak, int risePolls) {
  TCalibrationRecording rec;
  auto rest = [&](int k) { return restLevel + ripple * (((k * 7) % 5) - 2) / 2.0; };
  for (int k = 0; k < kRest; ++k) rec.Readings.push_back(k == 0 ? 0.0 : rest(k));
  rec.RestCount = kRest;
  for (int i = 0; i < 3; ++i) {
    rec.Prompts.push_back(static_cast<int>(rec.Readings.size()));
    for (int k = 0; k < kWindow; ++k) {
      const int into = k - 10;
      double r = rest(k);
      if (into >= 0 && into < risePolls) r += peak * (into + 1) / risePolls;
      else if (into >= risePolls && into < risePolls + 10) r += peak;
      rec.Readings.push_back(r);
    }
  }
  return rec;
}

TEST(Calibration, QuickReactionsGetTrackingAndAreAllCaught) {
  const TCalibrationProposal p = ProposeCalibration(Recording(0.02, 0.004, 0.12, 1), {});
  ASSERT_EQ(p.Result, TCalibrationResult::Proposed);
  EXPECT_NEAR(p.RestLevel, 0.02, 0.002);
  EXPECT_NEAR(p.RestNoise, 0.004, 0.001);
  ASSERT_EQ(p.Reactions.size(), 3u);
  EXPECT_NEAR(p.Reactions[0], 0.12, 0.01);
  EXPECT_EQ(p.RiseMs[0], 0);
  EXPECT_EQ(p.LevelMode, TProbe::LevelTracking);
  // A reaction of 0.12 does not reach the design's on level at gain 100.
  EXPECT_GT(p.Gain, 300);
  EXPECT_LT(p.OffLevel, p.OnLevel);
  EXPECT_GT(p.OffLevel, p.Gain * 0.02) << "the rest level itself stays below the off level";
  EXPECT_EQ(p.Caught, 3);
  EXPECT_EQ(p.RestFirings, 0);
}

TEST(Calibration, SlowReactionsGetAFixedLevelBelowTheReCentring) {
  // Rising over half a second: a tracking level would follow them.
  const TCalibrationProposal p = ProposeCalibration(Recording(0.02, 0.004, 0.2, 12), {});
  ASSERT_EQ(p.Result, TCalibrationResult::Proposed);
  EXPECT_EQ(p.LevelMode, TProbe::LevelFixed);
  EXPECT_NEAR(p.RiseMs[1], 0.8 * 12 * 40, 41);
  EXPECT_LT(p.Gain * (p.Reactions[0] + p.RestNoise), 90.0) << "the model re-centres at 90 %";
  EXPECT_EQ(p.Caught, 3);
  EXPECT_EQ(p.RestFirings, 0);

  // The tracking level with the same numbers misses what fixed catches.
  const std::vector<double> inst =
      ReplayInstrument(Recording(0.02, 0.004, 0.2, 12).Readings, {}, TProbe::LevelTracking, p.Gain, p.RestLevel);
  EXPECT_LT(*std::max_element(inst.begin() + kRest, inst.end()), p.OnLevel);
}

TEST(Calibration, ReactionsLostInTheNoiseOrTooShortARecordingGiveNoProposal) {
  EXPECT_EQ(ProposeCalibration(Recording(0.05, 0.04, 0.05, 1), {}).Result, TCalibrationResult::NoReaction);
  TCalibrationRecording shortRest = Recording(0.02, 0.004, 0.2, 1);
  shortRest.RestCount = 10;
  EXPECT_EQ(ProposeCalibration(shortRest, {}).Result, TCalibrationResult::TooShort);
  TCalibrationRecording none = Recording(0.02, 0.004, 0.2, 1);
  none.Prompts.clear();
  EXPECT_EQ(ProposeCalibration(none, {}).Result, TCalibrationResult::TooShort);
}

TEST(Calibration, TheReplayUsesTheChainsOptions) {
  // A data depth of 8 smooths a one-poll spike to an eighth.
  const std::vector<double> spike{0.0, 0.0, 0.8, 0.0};
  TCalibrationChain deep;
  deep.DataDepth = 8;
  EXPECT_DOUBLE_EQ(ReplayInstrument(spike, {}, TProbe::LevelFixed, 100, 0.0)[2], 80.0);
  EXPECT_DOUBLE_EQ(ReplayInstrument(spike, deep, TProbe::LevelFixed, 100, 0.0)[2], 10.0);
}

}  // namespace
