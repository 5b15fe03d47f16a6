#include <gtest/gtest.h>

#include <vector>

#include "tests/support/ScriptedSensor.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"

namespace {

}  // namespace

TEST(Probe, ConstructionDefaults) {
  TScriptedSensor s;
  TProbe p(s);
  EXPECT_EQ(&p.Sensor(), &s);
  EXPECT_EQ(p.SensorValue(), 0.0);
  EXPECT_EQ(p.Level, 0.0);
  EXPECT_EQ(p.LevelMode, TProbe::LevelAuto);
  EXPECT_EQ(p.DataChannel().Depth(), 1);
  EXPECT_EQ(p.LevelChannel().Depth(), 5);
  EXPECT_FALSE(p.DataChannel().Windowed());
  TProbe w(s, true);
  EXPECT_TRUE(w.DataChannel().Windowed());
  EXPECT_TRUE(w.LevelChannel().Windowed());
}

TEST(Probe, AutoModeAveragesReadingAndLevel) {
  TScriptedSensor s;
  TProbe p(s);
  s.NextReading = 1.0;
  ASSERT_TRUE(p.Measure());
  EXPECT_EQ(p.SensorValue(), 1.0) << "data depth 1 gives the raw reading";
  EXPECT_DOUBLE_EQ(p.Level, 0.2);
  ASSERT_TRUE(p.Measure());
  EXPECT_DOUBLE_EQ(p.Level, 0.36);
  ASSERT_TRUE(p.Measure());
  EXPECT_DOUBLE_EQ(p.Level, 0.488);

  // Depth 1 left the data channel's sum at 0: depth 2 starts from 0.
  p.DataChannel().SetDepth(2);
  ASSERT_TRUE(p.Measure());
  EXPECT_DOUBLE_EQ(p.SensorValue(), 0.5);
}

TEST(Probe, AutoModeUsesTheLevelDepth) {
  TScriptedSensor s;
  TProbe p(s);
  p.LevelChannel().SetDepth(10);
  s.NextReading = 1.0;
  p.Measure();
  EXPECT_DOUBLE_EQ(p.Level, 0.1);
}

TEST(Probe, TrackingMovesAFifthWhateverTheDepth) {
  TScriptedSensor s;
  TProbe p(s);
  p.LevelChannel().SetDepth(20);
  p.LevelMode = TProbe::LevelTracking;
  s.NextReading = 1.0;
  double level = 0.0;
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(p.Measure());
    level = level * 0.8 + 0.2;
    EXPECT_NEAR(p.Level, level, 1e-12) << i;
    EXPECT_NEAR(p.LevelChannel().Sum(), 20 * p.Level, 1e-12);
  }
}

TEST(Probe, FixedModeHoldsLevelAndLevelChannel) {
  TScriptedSensor s;
  TProbe p(s);
  s.NextReading = 0.5;
  p.Measure();
  const double level = p.Level;
  const double sum = p.LevelChannel().Sum();
  p.LevelMode = TProbe::LevelFixed;
  for (double r : {1.0, 0.0, 0.7, 0.9}) {
    s.NextReading = r;
    ASSERT_TRUE(p.Measure());
    EXPECT_EQ(p.Level, level);
    EXPECT_EQ(p.LevelChannel().Sum(), sum);
    EXPECT_EQ(p.SensorValue(), r);
  }
}

TEST(Probe, SetLevelRecentresTheLevelChannel) {
  TScriptedSensor s;
  TProbe p(s);
  p.LevelChannel().SpringEnabled = true;  // to see the spring reset
  p.LevelChannel().SetSpringState(3.0, 2.0);
  p.SetLevel(0.0, 0.4);
  EXPECT_EQ(p.Level, 0.4);
  EXPECT_DOUBLE_EQ(p.LevelChannel().Sum(), 5 * 0.4);
  EXPECT_EQ(p.LevelChannel().SpringPosition(), 0.0);
  EXPECT_EQ(p.LevelChannel().SpringVelocity(), 0.0);
  p.SetLevel(20.0, 0.1);
  EXPECT_DOUBLE_EQ(p.LevelChannel().SpringPosition(), 2.0);

  p.LevelChannel().SpringEnabled = false;
  p.SetLevel(0.0, 0.4);
  s.NextReading = 0.9;
  p.Measure();
  EXPECT_DOUBLE_EQ(p.Level, 0.4 * 0.8 + 0.9 * 0.2);
}

TEST(Probe, FailedReadZeroesAndReportsFalse) {
  TScriptedSensor s;
  TProbe p(s);
  s.NextReading = 0.6;
  p.Measure();
  s.FailRead = true;
  EXPECT_FALSE(p.Measure());
  EXPECT_EQ(p.SensorValue(), 0.0);
  EXPECT_EQ(p.Level, 0.0);
}
