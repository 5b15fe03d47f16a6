#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <string>

#include "tests/support/ScriptedSensor.h"
#include "ScriptedClock.h"
#include "recording/Instrecord.h"
#include "sensor/Inst.h"
#include "sensor/Sens.h"

namespace fs = std::filesystem;

namespace {

// Sensor, probe and gauge with the level held where the test puts it.
struct Chain {
  Chain() : probe(sensor), gauge(probe, nullptr) {}
  void Hold(double sensorValue, double level) {
    sensor.NextReading = sensorValue;
    probe.LevelMode = TProbe::LevelFixed;
    probe.SetLevel(0.0, level);
  }
  TScriptedSensor sensor;
  TProbe probe;
  TGaugePM100 gauge;
};

}  // namespace

TEST(Instrument, GaugeScaleAndRecordDefaults) {
  TScriptedClock clock;
  clock.now = {2026, 3, 14, 12, 0, 0, 0};
  Chain c;
  EXPECT_EQ(c.gauge.Minimum, -100.0);
  EXPECT_EQ(c.gauge.Maximum, 100.0);
  EXPECT_EQ(c.gauge.Offset, 0.0);
  EXPECT_EQ(c.gauge.Step, 10.0);
  EXPECT_EQ(c.gauge.Gain(), 100.0);
  EXPECT_EQ(c.gauge.Data().Tag, -1);
  EXPECT_EQ(c.gauge.Data().Inst, 0.0);
  EXPECT_GT(c.gauge.Data().Time, 1.0) << "date and time until the first measurement";
  EXPECT_DOUBLE_EQ(c.gauge.Data().Time, LocalDateTimeDays());
  EXPECT_EQ(&c.gauge.Probe(), &c.probe);
  EXPECT_EQ(c.gauge.NeedleChannel().Depth(), 1);
  ASSERT_TRUE(c.gauge.Measure());
  EXPECT_DOUBLE_EQ(c.gauge.Data().Time, 0.5);
}

TEST(Instrument, SetGainClamps) {
  Chain c;
  c.gauge.SetGain(0.5);
  EXPECT_EQ(c.gauge.Gain(), 1.0);
  c.gauge.SetGain(5000);
  EXPECT_EQ(c.gauge.Gain(), 1000.0);
  c.gauge.SetGain(250);
  EXPECT_EQ(c.gauge.Gain(), 250.0);
  c.gauge.SetGain(std::nan(""));
  EXPECT_EQ(c.gauge.Gain(), 1.0);
  c.gauge.SetGain(-INFINITY);
  EXPECT_EQ(c.gauge.Gain(), 1.0);
  c.gauge.SetGain(INFINITY);
  EXPECT_EQ(c.gauge.Gain(), 1000.0);
}

TEST(Instrument, AmplifiedDifference) {
  Chain c;
  c.Hold(0.6, 0.3);
  ASSERT_TRUE(c.gauge.Measure());
  EXPECT_DOUBLE_EQ(c.gauge.Data().Sensor, 0.6);
  EXPECT_DOUBLE_EQ(c.gauge.Data().Level, 0.3);
  EXPECT_NEAR(c.gauge.Data().Inst, 30.0, 1e-9);
  EXPECT_EQ(c.gauge.Data().Gain, 100.0);
  EXPECT_EQ(c.gauge.Data().Tag, -1);

  c.gauge.Offset = 5.0;
  c.gauge.Measure();
  EXPECT_NEAR(c.gauge.Data().Inst, 35.0, 1e-9);
}

TEST(Instrument, ClampsToTheScale) {
  Chain c;
  c.gauge.SetGain(1000);
  c.Hold(0.5, 0.0);
  c.probe.LevelMode = TProbe::LevelAuto;  // no re-centring
  c.probe.SetLevel(0.0, 0.0);
  c.probe.LevelChannel().SetDepth(1024);  // the level barely moves
  c.gauge.Measure();
  EXPECT_EQ(c.gauge.Data().Inst, 100.0);

  c.sensor.NextReading = 0.0;
  c.probe.SetLevel(0.0, 0.5);
  c.gauge.Measure();
  EXPECT_EQ(c.gauge.Data().Inst, -100.0);
}

TEST(Instrument, FixedModeRecentresAtTheMargin) {
  Chain c;
  c.gauge.SetGain(180);
  c.Hold(0.5, 0.0);
  ASSERT_TRUE(c.gauge.Measure());
  EXPECT_EQ(c.gauge.Data().Inst, 90.0);
  EXPECT_EQ(c.probe.Level, 0.5) << "level jumps to the sensor value at exactly 90";
  EXPECT_DOUBLE_EQ(c.probe.LevelChannel().CurrentAverage(), 0.5);
  c.gauge.Measure();
  EXPECT_EQ(c.gauge.Data().Inst, 0.0) << "driven back toward the offset";

  Chain d;
  d.gauge.SetGain(179.8);
  d.Hold(0.5, 0.0);
  d.gauge.Measure();
  EXPECT_DOUBLE_EQ(d.gauge.Data().Inst, 89.9);
  EXPECT_EQ(d.probe.Level, 0.0) << "no re-centring at 89.9";

  Chain e;
  e.gauge.SetGain(180);
  e.Hold(0.0, 0.5);
  e.gauge.Measure();
  EXPECT_EQ(e.gauge.Data().Inst, -90.0);
  EXPECT_EQ(e.probe.Level, 0.0);
}

TEST(Instrument, OtherModesNeverRecentre) {
  for (uint8_t mode : {TProbe::LevelAuto, TProbe::LevelTracking}) {
    Chain c;
    c.gauge.SetGain(1000);
    c.probe.LevelMode = mode;
    c.sensor.NextReading = 1.0;
    c.gauge.Measure();
    EXPECT_EQ(c.gauge.Data().Inst, 100.0);
    EXPECT_DOUBLE_EQ(c.probe.Level, 0.2) << int(mode);
  }
}

TEST(Instrument, NeedleSpringShapesTheValue) {
  Chain c;
  c.Hold(0.5, 0.0);
  c.gauge.NeedleChannel().SpringEnabled = true;
  c.gauge.Measure();
  EXPECT_NEAR(c.gauge.Data().Inst, 0.0, 1e-12);
  c.gauge.Measure();
  EXPECT_NEAR(c.gauge.Data().Inst, 24.2, 1e-9);
  c.gauge.Measure();
  EXPECT_NEAR(c.gauge.Data().Inst, 39.5912, 1e-9);
}

// Damping 10 with time step 0.22 would let the needle run away; it must stay
// a finite value on the scale and settle once the parameters are sane again.
TEST(Instrument, UnstableNeedleStaysOnTheScaleAndRecovers) {
  Chain c;
  c.Hold(0.3, 0.0);  // 30 percent
  TSignalChannel& needle = c.gauge.NeedleChannel();
  needle.SpringEnabled = true;
  needle.Damping = 10.0;
  needle.TimeStep = 0.22;
  for (int i = 0; i < 5000; ++i) {
    c.gauge.Measure();
    const double inst = c.gauge.Data().Inst;
    ASSERT_TRUE(std::isfinite(inst)) << i;
    ASSERT_GE(inst, -100.0);
    ASSERT_LE(inst, 100.0);
    ASSERT_TRUE(std::isfinite(needle.SpringPosition()));
    ASSERT_TRUE(std::isfinite(needle.SpringVelocity()));
  }
  needle.Damping = 3.1;
  needle.TimeStep = 0.22;
  for (int i = 0; i < 300; ++i) c.gauge.Measure();
  // Settled on its input again (the swing may have re-centred the level).
  const TInstData& d = c.gauge.Data();
  EXPECT_NEAR(d.Inst, (d.Sensor - d.Level) * d.Gain, 1e-6);
  EXPECT_LT(std::fabs(needle.SpringVelocity()), 1e-6);
}

// Typed spring parameters outside the stable region run clamped into it: the
// needle settles on a steady input instead of swinging between the scale's
// ends, and then falls back below the off level when the input goes.
TEST(Instrument, NeedleSettlesForAnyTypedSpring) {
  for (const double damping : {1.0, 10.0, -4.0, 1e9}) {
    SCOPED_TRACE(damping);
    Chain c;
    c.Hold(0.3, 0.0);  // 30 percent
    TSignalChannel& needle = c.gauge.NeedleChannel();
    needle.SpringEnabled = true;
    needle.Damping = damping;
    needle.TimeStep = 0.22;
    for (int i = 0; i < 200; ++i) c.gauge.Measure();
    for (int i = 0; i < 50; ++i) {
      c.gauge.Measure();
      ASSERT_NEAR(c.gauge.Data().Inst, 30.0, 0.3) << i;
    }
    c.sensor.NextReading = 0.0;
    for (int i = 0; i < 200; ++i) c.gauge.Measure();
    EXPECT_LT(std::fabs(c.gauge.Data().Inst), 0.3);
  }
}

// Full-scale swings at the largest gain, for time steps and dampings at and
// beyond the ends of what the spring accepts: once the input rests, the
// needle comes to rest at it.
TEST(Instrument, NeedleSettlesAfterFullScaleSwingsForEveryAcceptedSpring) {
  for (const double timeStep : {0.01, 0.22, 0.5, 3.0}) {
    const TSpringParameters edges = SpringInEffect(3.1, timeStep);
    for (const double damping : {-1.0, (edges.MinDamping + edges.MaxDamping) / 2, 1e9}) {
      SCOPED_TRACE(testing::Message() << "time step " << timeStep << ", damping " << damping);
      Chain c;
      c.Hold(0.0, 0.0);
      c.probe.HoldLevel = true;  // no re-centring: the needle sees every swing
      c.gauge.SetGain(1000.0);
      TSignalChannel& needle = c.gauge.NeedleChannel();
      needle.SpringEnabled = true;
      needle.Damping = damping;
      needle.TimeStep = timeStep;
      for (int i = 0; i < 60; ++i) {
        c.sensor.NextReading = i < 30 ? 1.0 : (i % 2) * 1.0;
        c.gauge.Measure();
      }
      c.sensor.NextReading = 0.0;
      for (int i = 0; i < 30000; ++i) c.gauge.Measure();
      for (int i = 0; i < 20; ++i) {
        c.gauge.Measure();
        ASSERT_LT(std::fabs(c.gauge.Data().Inst), 1e-3) << i;
      }
    }
  }
}

TEST(Instrument, DefaultNeedleKeepsItsSwing) {
  Chain c;
  c.Hold(0.5, 0.0);
  c.gauge.NeedleChannel().SpringEnabled = true;
  const double expected[] = {0, 24.2, 39.59, 46.48, 49.01, 49.79, 49.99, 50.02};
  for (double e : expected) {
    c.gauge.Measure();
    EXPECT_NEAR(c.gauge.Data().Inst, e, 0.005);
  }
  const TSpringParameters in = SpringInEffect(3.1, 0.22);
  EXPECT_EQ(in.Damping, 3.1);
  EXPECT_EQ(in.TimeStep, 0.22);
}

TEST(Instrument, EveryMeasureRefreshesTheTime) {
  TScriptedClock clock;
  Chain c;
  clock.Set(8, 30, 0, 0);
  c.gauge.Measure();
  const double t0 = c.gauge.Data().Time;
  clock.Set(8, 30, 0, 40);
  c.gauge.Measure();
  EXPECT_NEAR(c.gauge.Data().Time - t0, 40.0 / 86400000.0, 1e-15);
  EXPECT_LT(c.gauge.Data().Time, 1.0);
}

TEST(Instrument, FailedMeasureStillRecordsZeros) {
  const fs::path file =
      fs::temp_directory_path() /
      fs::u8path("quillora-inst-failed-запись-" + std::to_string(std::random_device{}()) + ".data");
  fs::remove(file);
  TInstDataRecorder recorder(file.u8string(), 10, false);
  TScriptedSensor s;
  TProbe p(s);
  TGaugePM100 g(p, &recorder);
  s.NextReading = 0.7;
  ASSERT_TRUE(g.Measure());
  EXPECT_EQ(recorder.Count(), 1);
  s.FailRead = true;
  EXPECT_FALSE(g.Measure());
  EXPECT_EQ(g.Data().Sensor, 0.0);
  EXPECT_EQ(g.Data().Level, 0.0);
  EXPECT_EQ(recorder.Count(), 2);
  recorder.Seek(0);
  TInstData r;
  ASSERT_TRUE(recorder.ReadNext(r));
  EXPECT_EQ(r.Sensor, 0.7);
  ASSERT_TRUE(recorder.ReadNext(r));
  EXPECT_EQ(r.Sensor, 0.0);
  EXPECT_EQ(r.Tag, -1);
  recorder.Close();
  fs::remove(file);
}
