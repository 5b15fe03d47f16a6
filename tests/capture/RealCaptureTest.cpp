// Capture from a real sound server: the PulseAudio server of
// scripts/pulse-start.sh, whose default source "vin" records what is played
// into its sink "v". Reads go through the sensor and the PulseAudio back end, polled
// every 40 ms by a timer with the event loop running, as the program does.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "capture/PulseCapture.h"
#include "sensor/Sens.h"

namespace {

std::unique_ptr<TAudioSensor_OneRun> MakeSensor() {
  return std::make_unique<TAudioSensor_OneRun>(nullptr, std::make_unique<TPulseCapture>());
}

// Runs the event loop for `polls` ticks of 40 ms, reading the sensor at each;
// `atPoll` (if given) runs before the read of that poll number.
std::vector<double> Poll(TAudioSensor_OneRun& sensor, int polls,
                         const std::function<void(int)>& atPoll = {}) {
  std::vector<double> readings;
  QEventLoop loop;
  QTimer timer;
  timer.setTimerType(Qt::PreciseTimer);
  timer.setInterval(40);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (atPoll) atPoll(static_cast<int>(readings.size()));
    sensor.Read();
    readings.push_back(sensor.Reading);
    if (static_cast<int>(readings.size()) >= polls) loop.quit();
  });
  timer.start();
  loop.exec();
  return readings;
}

double Max(const std::vector<double>& v, std::size_t from = 0, std::size_t to = SIZE_MAX) {
  double m = 0.0;
  for (std::size_t i = from; i < std::min(to, v.size()); ++i) m = std::max(m, v[i]);
  return m;
}

class RealCapture : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(std::getenv("XDG_RUNTIME_DIR") || std::getenv("PULSE_SERVER"))
        << "no sound server environment: run eval \"$(scripts/pulse-start.sh)\" first";
    std::vector<TCaptureInput> inputs;
    ASSERT_TRUE(TPulseInputs().List(inputs) && !inputs.empty())
        << "no audio input: the PulseAudio server of scripts/pulse-start.sh is not running";
  }

  // Plays a 440 Hz burst into the virtual sink, in the background.
  void PlayBurst(double amplitude, double seconds) {
    player.start("sh", {QUILLORA_PLAY_BURST, QString::number(amplitude), QString::number(seconds)});
  }
  void TearDown() override {
    if (player.state() != QProcess::NotRunning) player.waitForFinished(5000);
  }

  QProcess player;
};

}  // namespace

TEST_F(RealCapture, SilenceReadsNearZero) {
  auto sensor = MakeSensor();
  ASSERT_TRUE(sensor->Start(4000));
  const std::vector<double> r = Poll(*sensor, 25);  // 1 s
  RecordProperty("bytes_after_1s", sensor->Device().Position());
  // Samples have arrived (about 7,900 per second, first after ~55 ms) ...
  EXPECT_GT(sensor->Device().Position(), 4000);
  EXPECT_LT(sensor->Device().Position(), 12000);
  // ... and silence is the mid-scale value 128, give or take one step.
  EXPECT_LE(Max(r), 1.0 / 128.0);
  sensor->Stop();
}

// A 0.5 amplitude burst is a peak of 64 around 128 and an amplitude of 0.25
// one of 32. The tolerance of ±4 (of 128) covers the 8-bit quantisation
// (±1), samples taken beside the crest (18 samples per 440 Hz cycle; over
// 0.5 s some land within 0.3 % of it) and the server's resampling from
// 44.1 kHz to 8 kHz (passband ripple well under 5 %).
TEST_F(RealCapture, BurstReadsThePeakItsAmplitudePredicts) {
  for (const double amplitude : {0.5, 0.25}) {
    auto sensor = MakeSensor();
    ASSERT_TRUE(sensor->Start(5000));
    const std::vector<double> r =
        Poll(*sensor, 60, [&](int poll) { if (poll == 10) PlayBurst(amplitude, 0.5); });
    player.waitForFinished(5000);
    const double expected = amplitude;  // peak amplitude × 128 steps, read as / 128
    RecordProperty(amplitude == 0.5 ? "peak_half" : "peak_quarter", QString::number(Max(r) * 128).toStdString());
    EXPECT_LE(Max(r, 0, 10), 1.0 / 128.0) << "silence before the burst";
    EXPECT_NEAR(Max(r), expected, 4.0 / 128.0) << "amplitude " << amplitude;
    // The burst is over well before the last polls.
    EXPECT_LE(Max(r, 55), 1.0 / 128.0) << "amplitude " << amplitude;
    sensor->Stop();
  }
}

// While a tone lasts, every poll finds new samples and reads it: a poll that
// found no new bytes would read silence and make the needle flicker.
TEST_F(RealCapture, EveryPollDuringASustainedToneReadsIt) {
  auto sensor = MakeSensor();
  ASSERT_TRUE(sensor->Start(6000));
  const std::vector<double> r =
      Poll(*sensor, 75, [&](int poll) { if (poll == 5) PlayBurst(0.3, 2.0); });
  player.waitForFinished(5000);
  // The tone arrives within half a second and lasts 2 s: polls 25 to 50
  // lie well inside it.
  int silent = 0;
  for (int i = 25; i < 50; ++i)
    if (r[static_cast<std::size_t>(i)] < 0.15) ++silent;
  EXPECT_EQ(silent, 0) << "polls that read silence in the middle of the tone";
  sensor->Stop();
}

TEST_F(RealCapture, OneRunBufferFillsThenRearmRestarts) {
  auto sensor = MakeSensor();
  ASSERT_TRUE(sensor->Start(300));  // 2400 bytes, full after ~0.3 s
  Poll(*sensor, 25);
  EXPECT_TRUE(sensor->Device().BufferDone());
  EXPECT_EQ(sensor->Device().Position(), 2400);
  EXPECT_TRUE(sensor->IsRunning());
  const std::vector<double> afterFull = Poll(*sensor, 2);
  EXPECT_EQ(afterFull.back(), sensor->Minimum);

  sensor->Rearm(1000);  // restarts with the stored period
  EXPECT_EQ(sensor->BufferSize(), 2400);
  EXPECT_FALSE(sensor->Device().BufferDone());
  Poll(*sensor, 5);
  EXPECT_GT(sensor->Device().Position(), 0);
  sensor->Stop();
  EXPECT_FALSE(sensor->IsRunning());
}

// The list has the virtual source first, as the default, and no monitor of
// an output; a chosen source is recorded from, a gone one is replaced by the
// default and reported.
TEST_F(RealCapture, ChosenSourceIsUsedAndAGoneOneFallsBackToTheDefault) {
  std::vector<TCaptureInput> inputs;
  ASSERT_TRUE(TPulseInputs().List(inputs));
  ASSERT_FALSE(inputs.empty());
  EXPECT_EQ(inputs.front().Name, "vin");
  for (const TCaptureInput& i : inputs) EXPECT_NE(i.Name, "v.monitor");

  auto device = std::make_unique<TPulseCapture>();
  TPulseCapture* pulse = device.get();
  std::vector<std::string> missing;
  pulse->OnInputMissing = [&](const std::string& name) { missing.push_back(name); };
  TAudioSensor_OneRun sensor(nullptr, std::move(device));
  pulse->SelectInput("vin");
  ASSERT_TRUE(sensor.Start(1000));
  EXPECT_EQ(pulse->InputInUse(), "vin");
  sensor.Stop();
  pulse->SelectInput("quillora-no-such-source");
  ASSERT_TRUE(sensor.Start(1000));
  EXPECT_EQ(pulse->InputInUse(), "vin");
  Poll(sensor, 5);
  EXPECT_GT(pulse->Position(), 0);
  sensor.Stop();
  EXPECT_EQ(missing, std::vector<std::string>{"quillora-no-such-source"});
}

namespace {
int RunTests(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
} // namespace

int main(int argc, char** argv) { return RunTests(argc, argv); }
