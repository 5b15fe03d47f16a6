// One reaction, one symbol: readings of no samples, the level held while a
// firing is latched, and the last samples of a rest counted for that rest.
#include <gtest/gtest.h>

#include <memory>

#include "SessionRig.h"
#include "capture/FakeCaptureDevice.h"

namespace {

// The automatic level, depth 5, and the design table.
struct TLatchRig : TSessionRig {
  TLatchRig() : TSessionRig(TRigLevel::Automatic) {}
};

TEST(ReactionLatch, ReadingsOfNoSamplesNeitherFireNorRearm) {
  TLatchRig rig;
  rig.Engine.Start(QStringLiteral("1"));
  rig.Poll(0.0, false);
  EXPECT_TRUE(rig.Engine.SelectLatch()) << "the first reading after a start examined nothing";
  EXPECT_EQ(rig.Host.Light, TSessionLight::Armed);
  rig.Poll(0.0);
  rig.Poll(0.6);
  EXPECT_EQ(rig.Written(), QStringLiteral("A"));

  // The reaction lasts across the move: the stopped capture reads nothing.
  rig.Frames(1);
  rig.Poll(0.6);  // the rest's last samples, still the same reaction
  for (int i = 0; i < 4; ++i) rig.Poll(0.0, false);
  rig.Frames(5);
  rig.Poll(0.0, false);
  rig.Poll(0.6);
  rig.Poll(0.6);
  EXPECT_EQ(rig.Written(), QStringLiteral("A")) << "one reaction held across a move";
  rig.Poll(0.0);
  rig.Poll(0.6);
  EXPECT_EQ(rig.Written(), QStringLiteral("AB")) << "after it ended the next one counts";

  // Fast mode accepts a firing at any phase, but not from no samples.
  rig.Engine.Stop();
  rig.Host.Options.FastSlowMode = true;
  rig.Engine.Start(QStringLiteral("1"));
  rig.Poll(0.0);
  rig.Frames(1);
  rig.Poll(0.0);
  rig.Poll(0.9, false);
  EXPECT_TRUE(rig.Engine.FastMode());
  EXPECT_FALSE(rig.Engine.SelectLatch());
}

TEST(ReactionLatch, TheLevelHoldsWhileAReactionIsLatchedSoItsEndIsNoSecondReaction) {
  TLatchRig rig;
  rig.Engine.Start(QStringLiteral("20"));
  for (int i = 0; i < 30; ++i) rig.Poll(0.4);  // the level settles on the signal
  ASSERT_NEAR(rig.Probe.Level, 0.4, 1e-3);
  ASSERT_FALSE(rig.Engine.SelectLatch());
  rig.Poll(0.9);  // a long steady tone
  const double held = rig.Probe.Level;
  for (int i = 0; i < 40; ++i) rig.Poll(0.9);
  EXPECT_DOUBLE_EQ(rig.Probe.Level, held) << "held from the firing on";
  EXPECT_TRUE(rig.Engine.SelectLatch());
  rig.Poll(0.4);  // the tone stops at once
  EXPECT_FALSE(rig.Engine.SelectLatch()) << "re-armed";
  EXPECT_DOUBLE_EQ(rig.Probe.Level, 0.4) << "the level starts again from the present value";

  rig.Frames(6);
  EXPECT_EQ(rig.Written(), QStringLiteral("A")) << "the end of the tone selected nothing";
  rig.Poll(0.0);  // a genuine reaction the other way: the signal drops away
  EXPECT_EQ(rig.Written(), QStringLiteral("AB"));
  rig.Engine.Stop();
  EXPECT_FALSE(rig.Probe.HoldLevel);
}

TEST(ReactionLatch, TheLastSamplesOfARestCountForTheSymbolThatRested) {
  TLatchRig rig;
  rig.Engine.Start(QStringLiteral("1"));
  rig.Poll(0.0);
  rig.Sensor.Calls.clear();
  rig.Frames(2);
  EXPECT_EQ(rig.Sensor.Calls, (std::vector<std::string>{"Drain", "Stop", "Stop"}))
      << "the rest's last samples are examined before the capture stops";
  rig.Poll(0.6);  // that reading: the samples of A's rest
  EXPECT_EQ(rig.Written(), QStringLiteral("A"));
  rig.Poll(0.0, false);
  rig.Frames(4);
  rig.Poll(0.0, false);
  rig.Poll(0.0);
  rig.Frames(1);
  rig.Poll(0.0);
  rig.Poll(0.6, true);  // a later poll of the move: not the rest's samples
  EXPECT_EQ(rig.Written(), QStringLiteral("A"));
}

TEST(ReactionLatch, DrainReportsTheSamplesTheStopWouldCut) {
  auto* device = new TFakeCaptureDevice;
  TAudioSensor_OneRun sensor(nullptr, std::unique_ptr<TCaptureDevice>(device));
  ASSERT_TRUE(sensor.Start(1000));
  sensor.Read();
  EXPECT_FALSE(sensor.SamplesRead()) << "the first read after a start examines nothing";
  device->Deliver(std::vector<uint8_t>(320, 128));
  sensor.Read();
  device->Deliver(std::vector<uint8_t>(100, 128 + 64));  // after the last poll
  sensor.Drain();
  sensor.Stop();
  ASSERT_TRUE(sensor.Read());
  EXPECT_TRUE(sensor.SamplesRead());
  EXPECT_DOUBLE_EQ(sensor.Reading, 0.5);
  EXPECT_TRUE(sensor.DrainedRead());
  sensor.Read();
  EXPECT_FALSE(sensor.SamplesRead());
  EXPECT_FALSE(sensor.DrainedRead());
  EXPECT_DOUBLE_EQ(sensor.Reading, 0.0);
}

// Without a sensor nothing is recorded, yet every reading stands for the
// signal at rest: the light turns green at the first poll and F9 selects.
TEST(ReactionLatch, WithoutASensorTheFirstPollShowsReadyAndF9Selects) {
  auto* device = new TFakeCaptureDevice;
  TAudioSensor_OneRun sensor(nullptr, std::unique_ptr<TCaptureDevice>(device));
  sensor.NoSensor = true;
  TProbe probe{sensor};
  TGaugePM100 model{probe, nullptr};
  TScriptedHost host{sensor, model};
  host.Options.Symbols = TSessionOptions::DesignSymbols();
  TManualTickTimer drumTimer, pollTimer;
  TSessionEngine engine{host, drumTimer, pollTimer};
  engine.AddListener(&host);

  engine.Start(QStringLiteral("1"));
  EXPECT_EQ(host.Light, TSessionLight::Armed);
  engine.PollTick();
  EXPECT_EQ(host.Light, TSessionLight::Ready);
  EXPECT_FALSE(engine.SelectLatch());
  EXPECT_FALSE(device->IsOpen());
  engine.SelectSymbol();
  EXPECT_EQ(host.Tape, QStringList{QStringLiteral("- A")});
  for (int i = 0; i < 6; ++i) engine.DrumTick();  // a move reads no samples either
  engine.PollTick();
  EXPECT_TRUE(engine.Running());
  EXPECT_EQ(host.Light, TSessionLight::Ready);
}

}  // namespace
