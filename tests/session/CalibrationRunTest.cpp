// A calibration run polled by hand: its steps and prompts tick by tick, the
// proposal at the end, and the capture stopped however the run ends.
#include <gtest/gtest.h>

#include <memory>

#include "SessionRig.h"
#include "session/CalibrationRun.h"

namespace {

using TPhase = TCalibrationPhase;

struct CalibrationRunTest : ::testing::Test {
  // A quiet rest, then a reaction of 0.14 from 5 to 15 polls after each
  // prompt; one tick.
  void Tick() {
    const int n = static_cast<int>(Run.Recording().Readings.size());
    const auto& prompts = Run.Recording().Prompts;
    const int since = prompts.empty() ? -1 : n - prompts.back();
    Sensor.NextReading = (since >= 5 && since < 15) ? 0.14 : 0.02;
    Run.Tick();
  }
  void Tick(int count) {
    for (int i = 0; i < count; ++i) Tick();
  }

  TScriptedSensor Sensor;
  TManualTickTimer Timer;
  TCalibrationRun Run{Sensor, Timer, {}};
  int Heard = 0;
};

TEST_F(CalibrationRunTest, AWholeRunStepsThroughRestAndPromptsToAProposal) {
  Run.SetListener([this] { ++Heard; });
  EXPECT_EQ(Run.Step().Phase, TPhase::Idle);
  Run.Begin();
  EXPECT_EQ(Sensor.Calls, std::vector<std::string>{"Start 20000"})
      << "one capture outlasts the run";
  EXPECT_TRUE(Timer.Pending());
  EXPECT_EQ(Timer.Interval(), 40);
  EXPECT_EQ(Run.Step().Phase, TPhase::Rest);
  EXPECT_EQ(Run.Step().PollsLeft, 200);

  Tick(199);
  EXPECT_EQ(Run.Step().Phase, TPhase::Rest);
  EXPECT_EQ(Run.Step().PollsLeft, 1);
  EXPECT_TRUE(Run.Recording().Prompts.empty());
  // Each window's prompt stands for its first half.
  const struct {
    int Ticks;
    TPhase Phase;
    int Reaction, PollsLeft;
  } steps[] = {{1, TPhase::React, 1, 37},  {36, TPhase::React, 1, 1}, {1, TPhase::Settle, 1, 38},
               {37, TPhase::Settle, 1, 1}, {1, TPhase::React, 2, 37}, {75, TPhase::React, 3, 37},
               {74, TPhase::Settle, 3, 1}};
  for (const auto& s : steps) {
    Tick(s.Ticks);
    const TCalibrationStep step = Run.Step();
    SCOPED_TRACE(testing::Message() << "after " << Run.Recording().Readings.size() << " polls");
    EXPECT_EQ(step.Phase, s.Phase);
    EXPECT_EQ(step.Reaction, s.Reaction);
    EXPECT_EQ(step.Reactions, 3);
    EXPECT_EQ(step.PollsLeft, s.PollsLeft);
    EXPECT_TRUE(Run.Measuring());
    EXPECT_TRUE(Timer.Pending());
  }
  EXPECT_EQ(Run.Recording().Prompts, (std::vector<int>{200, 275, 350}));
  EXPECT_EQ(Sensor.Calls.size(), 1) << "the capture runs through the whole run";

  Tick();
  EXPECT_EQ(Run.Step().Phase, TPhase::Done);
  EXPECT_FALSE(Run.Measuring());
  EXPECT_FALSE(Timer.Pending());
  EXPECT_EQ(Sensor.Calls.back(), "Stop");
  EXPECT_EQ(Run.Recording().Readings.size(), 425u);
  EXPECT_EQ(Run.Recording().RestCount, 200);
  ASSERT_EQ(Run.Proposal().Result, TCalibrationResult::Proposed);
  EXPECT_EQ(Run.Proposal().Caught, 3);
  EXPECT_EQ(Run.Proposal().RestFirings, 0);
  EXPECT_EQ(Heard, 1 + 425) << "the listener hears the start and every poll";

  // Ticks after the end read nothing; a new run starts afresh.
  Tick();
  EXPECT_EQ(Run.Recording().Readings.size(), 425u);
  Run.Begin();
  EXPECT_EQ(Run.Step().Phase, TPhase::Rest);
  EXPECT_TRUE(Run.Recording().Readings.empty());
  EXPECT_EQ(Run.Proposal().Result, TCalibrationResult::TooShort);
}

TEST_F(CalibrationRunTest, CancelRestartAndDestructionStopTheCapture) {
  Run.Begin();
  Tick(250);
  Run.Begin();
  EXPECT_EQ(Sensor.Calls, (std::vector<std::string>{"Start 20000", "Stop", "Start 20000"}))
      << "a new run stops the capture of the one under way";
  Tick(250);
  Run.SetListener([this] { ++Heard; });
  Run.Cancel();
  EXPECT_EQ(Sensor.Calls.back(), "Stop");
  EXPECT_EQ(Heard, 1);
  EXPECT_FALSE(Run.Measuring());
  EXPECT_FALSE(Timer.Pending());
  EXPECT_EQ(Run.Step().Phase, TPhase::Idle);
  Tick();
  Run.Cancel();
  EXPECT_EQ(Run.Recording().Readings.size(), 250u) << "a cancelled run reads no more";
  EXPECT_EQ(Sensor.Calls.size(), 4);
  EXPECT_EQ(Heard, 1);

  TScriptedSensor sensor;
  auto run = std::make_unique<TCalibrationRun>(sensor, Timer, TCalibrationChain{});
  run->Begin();
  run->Tick();
  run.reset();
  EXPECT_EQ(sensor.Calls.back(), "Stop") << "destroyed mid-run";
  EXPECT_FALSE(Timer.Pending());
}

TEST_F(CalibrationRunTest, AFailedReadCountsAsTheSensorsMinimum) {
  Sensor.Minimum = 0.01;
  Run.Begin();
  Tick();
  Sensor.FailRead = true;
  Tick();
  EXPECT_EQ(Run.Recording().Readings, (std::vector<double>{0.02, 0.01}));
  EXPECT_TRUE(Run.Measuring()) << "the run goes on";
}

}  // namespace
