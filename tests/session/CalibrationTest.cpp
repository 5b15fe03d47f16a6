// The calibration assistant's analysis: what it proposes for rests and
// reactions of different kinds, and whether the proposal catches them.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "sensor/Probe.h"
#include "session/Calibration.h"
#include "session/CalibrationRun.h"
#include "tests/support/SensorSignal.h"

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

TEST(Calibration, QuickReactionsOverASteadyRestGetAFixedLevelAndAreAllCaught) {
  const TCalibrationProposal p = ProposeCalibration(Recording(0.02, 0.004, 0.12, 1), {});
  ASSERT_EQ(p.Result, TCalibrationResult::Proposed);
  EXPECT_NEAR(p.RestLevel, 0.02, 0.002);
  EXPECT_NEAR(p.RestNoise, 0.004, 0.001);
  ASSERT_EQ(p.Reactions.size(), 3u);
  EXPECT_NEAR(p.Reactions[0], 0.12, 0.01);
  EXPECT_EQ(p.RiseMs[0], 0);
  // A rest that neither drifts nor swings: nothing beats a fixed level, and
  // a following level is offered beside it.
  EXPECT_EQ(p.LevelMode, TProbe::LevelFixed);
  ASSERT_EQ(p.Modes.size(), 2u);
  EXPECT_NE(p.Modes[0].LevelMode, TProbe::LevelFixed);
  EXPECT_TRUE(p.Modes[0].Works);
  EXPECT_EQ(WithLevelMode(p, 0).LevelMode, p.Modes[0].LevelMode);
  EXPECT_EQ(WithLevelMode(p, 0).Gain, p.Modes[0].Gain);
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
  ASSERT_FALSE(inst.empty());
  EXPECT_LT(*std::max_element(inst.begin() + kRest, inst.end()), p.OnLevel);
}

TEST(Calibration, ReactionsLostInTheNoiseOrTooShortARecordingGiveNoProposal) {
  EXPECT_EQ(ProposeCalibration(Recording(0.05, 0.04, 0.03, 1), {}).Result, TCalibrationResult::NoReaction);
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

// Reactions of 0.15 lasting 300..800 ms, each 0.3..0.9 s after its prompt
// (seconds from the start of a run) or at a random point of a 1 s rest.
std::vector<TSensorReaction> Reactions(const std::vector<double>& at, std::mt19937& random) {
  std::uniform_real_distribution<double> delay(0.3, 0.9);
  std::uniform_real_distribution<double> length(0.3, 0.8);
  std::vector<TSensorReaction> reactions;
  for (double t : at) reactions.push_back({t + delay(random), length(random), 0.15});
  return reactions;
}

// A run's recording of a sensor: its rest, then a reaction after each prompt.
TCalibrationRecording SensorRun(const TSensorRest& rest, std::mt19937& random) {
  using Run = TCalibrationRun;
  std::vector<double> prompts;
  TCalibrationRecording rec;
  rec.RestCount = Run::RestPolls;
  for (int i = 0; i < Run::ReactionCount; ++i) {
    rec.Prompts.push_back(Run::RestPolls + i * Run::ReactionPolls);
    prompts.push_back(rec.Prompts.back() * 0.04);
  }
  rec.Readings = PollReadings(rest, Reactions(prompts, random), Run::TotalPolls);
  return rec;
}

// The sensors people have: the proposal for each spells what comes after
// the calibration, a reaction per symbol at a random point of its rest, and
// takes nothing in two minutes of rest, a drift ramp included; both as a
// session polls (the drum's moves read nothing). Prints the numbers.
TEST(Calibration, ProposalsForRealSensorsCatchEveryReactionAndNoRest) {
  const struct {
    const char* Name;
    TSensorRest Rest;
  } sensors[] = {{"clean", TSensorRest::Clean()},
                 {"hum", TSensorRest::HumOnly()},
                 {"hum+drift", TSensorRest::HumAndDrift()},
                 {"noise", TSensorRest::NoiseOnly()}};
  for (int periodMs : {1000, 500}) {
    for (const auto& sensor : sensors) {
      SCOPED_TRACE(testing::Message() << sensor.Name << " at " << periodMs << " ms");
      std::mt19937 random(7);
      const TCalibrationRecording rec = SensorRun(sensor.Rest, random);
      TCalibrationChain chain;
      chain.SymbolPeriodMs = periodMs;
      const TCalibrationProposal p = ProposeCalibration(rec, chain);
      std::printf("%-9s %4d ms: rest %.3f spread %.4f drift %+.5f/s; reactions %.3f..%.3f; ", sensor.Name,
                  periodMs, p.RestLevel, p.RestSpread, p.RestDrift,
                  *std::min_element(p.Reactions.begin(), p.Reactions.end()),
                  *std::max_element(p.Reactions.begin(), p.Reactions.end()));
      for (const TLevelModeProposal& m : p.Modes)
        std::printf("[mode %d depth %d: floor %.3f weakest %.3f sep %.1f gain %d on %d off %d caught %d rest %d "
                    "long %d%s] ",
                    m.LevelMode, m.LevelDepth, m.Floor, m.Weakest, m.Separation(), m.Gain, m.OnLevel, m.OffLevel,
                    m.Caught, m.RestFirings, m.LongRestFirings, m.Works ? " works" : "");
      std::printf("-> %zu\n", p.Chosen);
      ASSERT_EQ(p.Result, TCalibrationResult::Proposed);
      EXPECT_EQ(p.Caught, 3);
      EXPECT_EQ(p.RestFirings, 0);

      // After the calibration: three minutes, a reaction in every third
      // rest for the first two, then one of rest only.
      const int rest = periodMs / 40;
      const int polls = 180 * 1000 / 40;
      std::vector<double> at;
      for (int r = 1; (r + 1) * 3 * rest < polls * 2 / 3; ++r) at.push_back(0.04 * r * 3 * rest);
      std::mt19937 later(11);
      std::uniform_real_distribution<double> into(0.0, periodMs / 1000.0 - 0.3);
      std::vector<TSensorReaction> reactions;
      for (double t : at) reactions.push_back({t + into(later), 0.3 + 0.5 * into(later) / (periodMs / 1000.0), 0.15});
      TSensorRest after = sensor.Rest;
      after.Seed = 5;
      const TSessionReadings session = WithDrumMoves(PollReadings(after, reactions, polls, 8000), periodMs);
      const TSwitchLevels levels{p.LevelMode, double(p.Gain), double(p.OnLevel), double(p.OffLevel), p.RestLevel};
      TCalibrationChain sessionChain;
      sessionChain.LevelDepth = p.LevelDepth;
      const std::vector<int> firings = ReplayFirings(session, sessionChain, levels);
      std::vector<int> perReaction(reactions.size(), 0);
      int strays = 0;
      for (int k : firings) {
        // The poll read the 40 ms before its time.
        const double end = 0.04 * (1 + std::distance(session.Index.begin(), std::lower_bound(session.Index.begin(),
                                                                                               session.Index.end(), k)));
        std::size_t i = 0;
        while (i < reactions.size() && !(end > reactions[i].Start && end < reactions[i].Start + reactions[i].Length + 0.3))
          ++i;
        if (i < reactions.size())
          ++perReaction[i];
        else
          ++strays;
      }
      for (std::size_t i = 0; i < reactions.size(); ++i) {
        if (perReaction[i] != 1) ADD_FAILURE() << "reaction at " << reactions[i].Start << " s for " << reactions[i].Length << " s taken " << perReaction[i] << " times";
      }
      EXPECT_EQ(std::count(perReaction.begin(), perReaction.end(), 1), std::ptrdiff_t(reactions.size()));
      EXPECT_EQ(strays, 0);
    }
  }
}

}  // namespace
