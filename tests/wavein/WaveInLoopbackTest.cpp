// Wave input recording for real: a tone burst played into a virtual sink
// comes back through the default input (the sink's monitor) and is read by
// the sensor polling every 40 ms, as the session does.

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "UnixBurst.h"
#include "WaveInEnvironment.h"
#include "capture/WaveInCapture.h"
#include "sensor/Sens.h"

namespace {

constexpr int kPollMs = 40;
constexpr double kCount = 1.0 / 128;  // one 8-bit count as a reading

// Silence is the mid-scale byte 128 exactly; allow a count or two for the
// sample-format conversions on the way.
constexpr double kQuietMax = 2 * kCount;

// A burst of amplitude a (16-bit samples) peaks at a * 128 counts: 64 for
// 0.5, 32 for 0.25. Resampling 44100 -> 8000 Hz misses the sine's exact crest
// and truncation to 8 bits drops up to a count; the resampler's ripple can
// overshoot slightly. Four counts either way covers both with room, keeps
// the two bursts apart and is far from silence.
constexpr double kTolerance = 4 * kCount;

struct TBurst {
  double amplitude;
  int startAt;  // the poll before which the player starts
  // What the polls showed.
  int first = -1, last = -1, loud = 0;
  double low = 1, high = 0;

  bool Matches(double reading) const {
    return reading >= amplitude - kTolerance && reading <= amplitude + kTolerance;
  }
};

struct TPoll {
  double reading;
  int32_t scanEnd;
  bool done;
};

std::string Describe(const std::vector<TPoll>& polls) {
  std::string text;
  char line[64];
  for (size_t i = 0; i < polls.size(); ++i) {
    std::snprintf(line, sizeof line, "%zu: %.4f (%d counts) end=%d%s\n", i,
                  polls[i].reading, int(polls[i].reading * 128 + 0.5),
                  polls[i].scanEnd, polls[i].done ? " done" : "");
    text += line;
  }
  return text;
}

class WaveInLoopback : public ::testing::Test {
protected:
  void SetUp() override {
    if (!WaveInEnvironmentSays("QUILLORA_WAVEIN_LOOPBACK"))
      GTEST_SKIP() << "no output looped back into the input";
    ASSERT_GT(waveInGetNumDevs(), 0u) << "loop-back promised, but no input device";
  }

  // Polls until the device reports the buffer full, at most limitMs.
  static bool WaitDone(TCaptureDevice& device, int limitMs) {
    for (int waited = 0; waited < limitMs; waited += 10) {
      if (device.BufferDone()) return true;
      Sleep(10);
    }
    return device.BufferDone();
  }
};

TEST_F(WaveInLoopback, ToneBurstsReadTheirAmplitudes) {
  TAudioSensor_OneRun sensor(nullptr, CreateWaveInCaptureDevice());
  ASSERT_TRUE(sensor.Start(3000));
  ASSERT_EQ(sensor.BufferSize(), 24000);

  // Half a second of silence, half a second at 0.5, silence, half a second
  // at 0.25, silence until the buffer is full and a little beyond.
  TBurst bursts[] = {{0.5, 12}, {0.25, 40}};
  const int pollCount = 3000 / kPollMs + 12;
  std::vector<TPoll> polls;
  int32_t endBeforeBurst = 0;
  for (int k = 0; k < pollCount; ++k) {
    for (const TBurst& burst : bursts) {
      if (k != burst.startAt) continue;
      if (k == bursts[0].startAt) endBeforeBurst = sensor.ScanEnd();
      ASSERT_TRUE(StartUnixBurst(burst.amplitude, 0.5)) << "cannot start the player";
    }
    Sleep(kPollMs);
    ASSERT_TRUE(sensor.Read());
    polls.push_back({sensor.Reading, sensor.ScanEnd(), sensor.Device().BufferDone()});
  }
  SCOPED_TRACE(Describe(polls));

  // The first read examines nothing; the capture ran before the burst.
  EXPECT_EQ(polls[0].reading, sensor.Minimum);
  EXPECT_GE(endBeforeBurst, 2000) << "the device recorded too little before the burst";

  // Every reading is silence or one of the bursts' amplitudes, except at a
  // burst's edges: a poll whose bytes hold only the first or last few
  // samples of the tone (a 440 Hz cycle is 18 samples) may catch less than
  // a crest, so a reading below a burst's amplitude is accepted right
  // before or after a poll that reads that burst.
  double quietHigh = 0;
  auto burstAt = [&](int k) -> const TBurst* {
    if (k < 0 || k >= pollCount) return nullptr;
    for (const TBurst& burst : bursts)
      if (burst.Matches(polls[size_t(k)].reading)) return &burst;
    return nullptr;
  };
  for (int k = 0; k < pollCount; ++k) {
    const double r = polls[size_t(k)].reading;
    bool known = r <= kQuietMax;
    if (known) quietHigh = std::max(quietHigh, r);
    for (TBurst& burst : bursts) {
      if (!burst.Matches(r)) continue;
      known = true;
      if (burst.first < 0) burst.first = k;
      burst.last = k;
      ++burst.loud;
      burst.low = std::min(burst.low, r);
      burst.high = std::max(burst.high, r);
    }
    if (!known) {
      for (const TBurst* edge : {burstAt(k - 1), burstAt(k + 1)})
        if (edge && r < edge->amplitude) known = true;
    }
    EXPECT_TRUE(known) << "poll " << k << " reads " << r;
  }
  std::printf("silence up to %.4f (%d counts)\n", quietHigh, int(quietHigh * 128 + 0.5));
  for (const TBurst& burst : bursts) {
    SCOPED_TRACE(testing::Message() << "amplitude " << burst.amplitude);
    ASSERT_GE(burst.first, 0) << "the burst never arrived";
    std::printf("burst %.2f: polls %d..%d (player started before poll %d), %d loud, "
                "readings %.4f..%.4f (%d..%d counts)\n",
                burst.amplitude, burst.first, burst.last, burst.startAt, burst.loud,
                burst.low, burst.high, int(burst.low * 128 + 0.5),
                int(burst.high * 128 + 0.5));
    // A read looks at the bytes up to the previous poll's position, so a
    // burst can show at the earliest one poll after the player started.
    EXPECT_GT(burst.first, burst.startAt);
    // 500 ms are 12.5 polls; a poll or two more for the device's delivery in
    // blocks and for a poll that comes late.
    const int span = burst.last - burst.first + 1;
    EXPECT_GE(span, 11);
    EXPECT_LE(span, 18);
    EXPECT_GE(burst.loud, 9);
  }
  EXPECT_LT(bursts[0].last, bursts[1].first) << "the bursts overlap";
  EXPECT_LT(bursts[1].last, pollCount - 5) << "no silence after the bursts";

  // The buffer filled and the device stopped: the position stays at its size
  // and reads after that give the minimum.
  EXPECT_TRUE(polls.back().done);
  EXPECT_EQ(polls.back().scanEnd, 24000);
  EXPECT_EQ(polls.back().reading, sensor.Minimum);
  sensor.Stop();
  EXPECT_FALSE(sensor.IsRunning());
  EXPECT_TRUE(sensor.Read());
  EXPECT_EQ(sensor.Reading, sensor.Minimum);
}

TEST_F(WaveInLoopback, DeviceFillsEveryByteAndStops) {
  TWaveInCapture device;
  ASSERT_TRUE(device.Open());
  ASSERT_TRUE(device.Open());  // re-open replaces the handle
  std::vector<uint8_t> buffer(800, 0);
  EXPECT_FALSE(device.Start());  // nothing queued yet
  EXPECT_FALSE(device.AddBuffer(nullptr, 800));
  EXPECT_FALSE(device.AddBuffer(buffer.data(), 0));
  ASSERT_TRUE(device.AddBuffer(buffer.data(), int(buffer.size())));
  EXPECT_FALSE(device.BufferDone());
  ASSERT_TRUE(device.Start());
  int previous = 0;
  for (int waited = 0; waited < 3000 && !device.BufferDone(); waited += 10) {
    const int p = device.Position();
    EXPECT_GE(p, previous);
    EXPECT_LE(p, 800);
    previous = p;
    Sleep(10);
  }
  ASSERT_TRUE(device.BufferDone());
  EXPECT_EQ(device.Position(), 800);
  // Silence, written by the device over the zero fill: every byte mid-scale.
  for (size_t i = 0; i < buffer.size(); ++i)
    ASSERT_NEAR(buffer[i], 128, 2) << "byte " << i;
  device.Reset();
  EXPECT_FALSE(device.BufferDone());
  EXPECT_EQ(device.Position(), 0);
  device.Close();
  device.Close();
  EXPECT_FALSE(device.AddBuffer(buffer.data(), int(buffer.size())));
  EXPECT_FALSE(device.Start());
}

TEST_F(WaveInLoopback, RearmRestartsFullBufferWithStoredPeriod) {
  TAudioSensor_OneRun sensor(nullptr, CreateWaveInCaptureDevice());
  ASSERT_TRUE(sensor.Start(200));
  ASSERT_EQ(sensor.BufferSize(), 1600);
  ASSERT_TRUE(WaitDone(sensor.Device(), 3000));
  ASSERT_TRUE(sensor.Read());
  EXPECT_EQ(sensor.ScanEnd(), 1600);

  sensor.Rearm(500);  // full: a new capture with the stored 200 ms
  EXPECT_TRUE(sensor.IsRunning());
  EXPECT_EQ(sensor.Period(), 200);
  EXPECT_EQ(sensor.BufferSize(), 1600);
  EXPECT_EQ(sensor.ScanEnd(), 0);
  EXPECT_FALSE(sensor.Device().BufferDone());

  Sleep(kPollMs);
  ASSERT_TRUE(sensor.Read());
  const int32_t end = sensor.ScanEnd();
  if (!sensor.Device().BufferDone()) {
    sensor.Rearm(500);  // still filling: nothing happens
    EXPECT_EQ(sensor.ScanEnd(), end);
    EXPECT_EQ(sensor.BufferSize(), 1600);
  }
  ASSERT_TRUE(WaitDone(sensor.Device(), 3000));
  ASSERT_TRUE(sensor.Read());
  EXPECT_EQ(sensor.ScanEnd(), 1600);
  sensor.Stop();
  EXPECT_FALSE(sensor.IsRunning());
}

TEST_F(WaveInLoopback, StartWhileCapturingReopens) {
  TAudioSensor_OneRun sensor(nullptr, CreateWaveInCaptureDevice());
  ASSERT_TRUE(sensor.Start(1000));
  Sleep(3 * kPollMs);
  ASSERT_TRUE(sensor.Read());
  EXPECT_GT(sensor.ScanEnd(), 0);
  ASSERT_TRUE(sensor.Start(500));  // stops, closes and opens again
  EXPECT_TRUE(sensor.IsRunning());
  EXPECT_EQ(sensor.BufferSize(), 4000);
  EXPECT_EQ(sensor.ScanEnd(), 0);
  int32_t end = 0;
  for (int k = 0; k < 10 && end == 0; ++k) {
    Sleep(kPollMs);
    ASSERT_TRUE(sensor.Read());
    end = sensor.ScanEnd();
  }
  EXPECT_GT(end, 0) << "the re-opened device records nothing";
  sensor.Stop();
  EXPECT_FALSE(sensor.IsRunning());
}

}  // namespace
