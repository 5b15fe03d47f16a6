// Capture from a real sound server: the PulseAudio server of
// scripts/pulse-start.sh, whose default source "vin" records what is played
// into its sink "v". Reads go through the sensor and the PulseAudio back end, polled
// every 40 ms by a timer with the event loop running, as the program does.
// Bursts are judged by where they landed in the capture buffer and which
// bytes each poll examined, never by the poll they were expected at: the
// player is a separate process that starts when the machine lets it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
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

// A poll: its reading and the bytes of the capture buffer it examined.
struct TPollRead {
  double Reading = 0.0;
  int From = 0, To = 0;
  bool Examined = false;  // the sensor reported samples read
};

// Polls every 40 ms while `more(polls so far)` holds, at most maxPolls.
std::vector<TPollRead> PollWhile(TAudioSensor_OneRun& sensor,
                                 const std::function<bool(const std::vector<TPollRead>&)>& more,
                                 int maxPolls) {
  std::vector<TPollRead> polls;
  QEventLoop loop;
  QTimer timer;
  timer.setTimerType(Qt::PreciseTimer);
  timer.setInterval(40);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (!more(polls) || static_cast<int>(polls.size()) >= maxPolls) {
      loop.quit();
      return;
    }
    TPollRead p;
    p.From = sensor.ScanStart();
    p.To = std::min(sensor.ScanEnd(), sensor.BufferSize());
    sensor.Read();
    p.Reading = sensor.Reading;
    p.Examined = sensor.SamplesRead();
    polls.push_back(p);
  });
  timer.start();
  loop.exec();
  return polls;
}

// The first and last byte of the capture buffer, below `end`, that lies
// `threshold` or more from the 128 midpoint; -1 when none does.
std::pair<int, int> LoudSpan(const TAudioSensor_OneRun& sensor, int end, int threshold) {
  int first = -1, last = -1;
  const uint8_t* data = sensor.BufferData();
  for (int i = 0; i < std::min(end, sensor.BufferSize()); ++i) {
    if (data[i] == 0 || std::abs(int(data[i]) - 128) < threshold) continue;
    if (first < 0) first = i;
    last = i;
  }
  return {first, last};
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
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(sensor->Start(4000));
  const std::vector<double> r = Poll(*sensor, 25);  // 1 s, or longer on a busy machine
  const int position = sensor->Device().Position();
  const qint64 ms = clock.elapsed();
  RecordProperty("bytes_after_1s", position);
  // Samples have arrived (8 a millisecond, the first after ~55 ms), never
  // more than the time since the start holds, and not a second behind ...
  EXPECT_GT(position, 0);
  EXPECT_LE(position, 8 * ms + 400);
  EXPECT_GE(position, 8 * (ms - 1000));
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
    ASSERT_TRUE(sensor->Start(8000));
    int last = -1;  // the burst's last sample in the buffer
    const std::vector<TPollRead> polls = PollWhile(
        *sensor,
        [&](const std::vector<TPollRead>& done) {
          if (done.size() == 10) PlayBurst(amplitude, 0.5);
          if (done.size() <= 10 || player.state() != QProcess::NotRunning) return true;
          // Until three polls have examined only bytes after the burst.
          last = LoudSpan(*sensor, sensor->ScanStart(), 4).second;
          int after = 0;
          for (const TPollRead& p : done) after += last >= 0 && p.From > last && p.Examined;
          return after < 3;
        },
        190);
    const double expected = amplitude;  // peak amplitude × 128 steps, read as / 128
    double peak = 0.0, before = 0.0, afterBurst = 0.0;
    int after = 0;
    for (std::size_t i = 0; i < polls.size(); ++i) {
      peak = std::max(peak, polls[i].Reading);
      if (i < 10) before = std::max(before, polls[i].Reading);
      if (last >= 0 && polls[i].From > last && polls[i].Examined) {
        afterBurst = std::max(afterBurst, polls[i].Reading);
        ++after;
      }
    }
    RecordProperty(amplitude == 0.5 ? "peak_half" : "peak_quarter",
                   QString::number(peak * 128).toStdString());
    EXPECT_LE(before, 1.0 / 128.0) << "silence before the burst";
    EXPECT_NEAR(peak, expected, 4.0 / 128.0) << "amplitude " << amplitude;
    // The polls after the burst's last sample read silence again.
    ASSERT_GE(after, 3) << "amplitude " << amplitude
                        << ": the burst did not end within the capture";
    EXPECT_LE(afterBurst, 1.0 / 128.0) << "amplitude " << amplitude;
    sensor->Stop();
  }
}

// While a tone lasts, every poll that examined new samples reads it: a poll
// inside the tone that read silence would make the needle flicker.
TEST_F(RealCapture, EveryPollDuringASustainedToneReadsIt) {
  auto sensor = MakeSensor();
  ASSERT_TRUE(sensor->Start(8000));
  std::pair<int, int> tone{-1, -1};  // its first and last sample in the buffer
  const std::vector<TPollRead> polls = PollWhile(
      *sensor,
      [&](const std::vector<TPollRead>& done) {
        if (done.size() == 5) PlayBurst(0.3, 2.0);
        if (done.size() <= 5 || player.state() != QProcess::NotRunning) return true;
        tone = LoudSpan(*sensor, sensor->ScanStart(), 19);
        return tone.second < 0 || done.back().From <= tone.second;
      },
      190);
  ASSERT_GE(tone.first, 0) << "the tone never reached the capture";
  // 2 s are 16,000 bytes; a tone cut short by the sound server proves nothing.
  ASSERT_GE(tone.second - tone.first, 15000) << "the tone did not arrive whole";
  int inside = 0, silent = 0;
  for (const TPollRead& p : polls) {
    if (!p.Examined || p.From < tone.first || p.To > tone.second + 1) continue;
    ++inside;
    if (p.Reading < 0.15) ++silent;
  }
  EXPECT_GE(inside, 10) << "polls that examined bytes of the tone";
  EXPECT_EQ(silent, 0) << "polls that read silence in the middle of the tone";
  sensor->Stop();
}

TEST_F(RealCapture, OneRunBufferFillsThenRearmRestarts) {
  auto sensor = MakeSensor();
  ASSERT_TRUE(sensor->Start(300));  // 2400 bytes, full after ~0.3 s
  // Polls until the device reports the buffer full (4 s at most).
  PollWhile(
      *sensor, [&](const std::vector<TPollRead>&) { return !sensor->Device().BufferDone(); }, 100);
  EXPECT_TRUE(sensor->Device().BufferDone());
  EXPECT_EQ(sensor->Device().Position(), 2400);
  EXPECT_TRUE(sensor->IsRunning());
  const std::vector<double> afterFull = Poll(*sensor, 2);
  EXPECT_EQ(afterFull.back(), sensor->Minimum);

  sensor->Rearm(1000);  // restarts with the stored period
  EXPECT_EQ(sensor->BufferSize(), 2400);
  EXPECT_FALSE(sensor->Device().BufferDone());
  PollWhile(
      *sensor, [&](const std::vector<TPollRead>&) { return sensor->Device().Position() == 0; }, 50);
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
  PollWhile(
      sensor, [&](const std::vector<TPollRead>&) { return pulse->Position() == 0; }, 50);
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
