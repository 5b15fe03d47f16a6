// Wave input recording for real: a tone burst played into a virtual sink
// comes back through the default input (the sink's monitor) and is read by
// the sensor polling every 40 ms, as the session does. The player is a Unix
// process that starts when the machine lets it, so each poll is judged by
// where the bursts landed in the capture buffer, not by its number.

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
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

  bool Matches(double reading) const {
    return reading >= amplitude - kTolerance && reading <= amplitude + kTolerance;
  }
};

struct TPoll {
  double reading;
  int32_t scanEnd;
  bool done;
  int32_t from, to;  // the bytes of the buffer it examined
};

// The loud stretches of a buffer, [first, end) in bytes: runs of 5 ms blocks
// holding a byte 8 or more counts from mid-scale (0 is the zero fill).
std::vector<std::pair<int, int>> LoudSpans(const uint8_t* data, int size) {
  constexpr int kBlock = 40;
  std::vector<std::pair<int, int>> spans;
  bool loud = false;
  for (int b = 0; b < size; b += kBlock) {
    const int end = std::min(size, b + kBlock);
    bool blockLoud = false;
    for (int i = b; i < end && !blockLoud; ++i)
      blockLoud = data[i] != 0 && std::abs(int(data[i]) - 128) >= 8;
    if (blockLoud && !loud) spans.push_back({b, end});
    if (blockLoud) spans.back().second = end;
    loud = blockLoud;
  }
  return spans;
}

std::string Describe(const std::vector<TPoll>& polls) {
  std::string text;
  char line[64];
  for (size_t i = 0; i < polls.size(); ++i) {
    std::snprintf(line, sizeof line, "%zu: %.4f (%d counts) bytes %d..%d%s\n", i, polls[i].reading,
                  int(polls[i].reading * 128 + 0.5), polls[i].from, polls[i].to,
                  polls[i].done ? " done" : "");
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
  // Half a second of silence, half a second at 0.5, silence, half a second
  // at 0.25, silence until the buffer is full and a little beyond.
  const TBurst bursts[] = {{0.5, 12}, {0.25, 40}};
  const int pollCount = 3000 / kPollMs + 12;
  // A capture in which the bursts did not arrive as two whole, separate
  // stretches (a late player, a broken-up tone) proves nothing: run again.
  for (int attempt = 1; attempt <= 3; ++attempt) {
    TAudioSensor_OneRun sensor(nullptr, CreateWaveInCaptureDevice());
    ASSERT_TRUE(sensor.Start(3000));
    ASSERT_EQ(sensor.BufferSize(), 24000);
    std::vector<TPoll> polls;
    for (int k = 0; k < pollCount; ++k) {
      for (const TBurst& burst : bursts) {
        if (k == burst.startAt) {
          ASSERT_TRUE(StartUnixBurst(burst.amplitude, 0.5)) << "cannot start the player";
        }
      }
      Sleep(kPollMs);
      const int32_t from = sensor.ScanStart(), to = std::min(sensor.ScanEnd(), sensor.BufferSize());
      ASSERT_TRUE(sensor.Read());
      polls.push_back({sensor.Reading, sensor.ScanEnd(), sensor.Device().BufferDone(), from, to});
    }
    SCOPED_TRACE(Describe(polls));
    const std::vector<std::pair<int, int>> spans =
        LoudSpans(sensor.BufferData(), sensor.BufferSize());
    std::printf("attempt %d: bursts at bytes", attempt);
    for (const auto& [first, end] : spans) std::printf(" %d..%d", first, end);
    std::printf("\n");
    // 0.5 s are 4000 bytes; a block either way for the edges of the tone.
    bool whole = spans.size() == 2;
    for (const auto& [first, end] : spans)
      whole = whole && end - first >= 3900 && end - first <= 4100 && end < 24000;
    if (!whole) {
      std::printf("%s", Describe(polls).c_str());
      Sleep(2000);  // a late player may still be playing
      continue;
    }

    // The first read examines nothing; the capture ran before the burst,
    // which was played 12 polls (480 ms or more) after the start.
    EXPECT_EQ(polls[0].reading, sensor.Minimum);
    EXPECT_GE(spans[0].first, 2000) << "the device recorded too little before the burst";

    // A poll whose bytes lie inside a burst reads its amplitude; one that
    // holds only some of its samples (a 440 Hz cycle is 18) may read less;
    // one that holds none reads silence.
    double quietHigh = 0;
    int inside[2] = {0, 0};
    for (std::size_t k = 0; k < polls.size(); ++k) {
      const TPoll& p = polls[k];
      if (p.from >= p.to) {
        EXPECT_EQ(p.reading, sensor.Minimum) << "poll " << k << " examined no bytes";
        continue;
      }
      bool touched = false;
      for (int j = 0; j < 2; ++j) {
        const auto& [first, end] = spans[std::size_t(j)];
        if (p.to <= first || p.from >= end) continue;
        touched = true;
        if (p.from >= first && p.to <= end) {
          ++inside[j];
          EXPECT_TRUE(bursts[j].Matches(p.reading))
              << "poll " << k << " inside burst " << j << " reads " << p.reading;
        } else {
          EXPECT_LE(p.reading, bursts[j].amplitude + kTolerance)
              << "poll " << k << " at an edge of burst " << j;
        }
      }
      if (!touched) {
        EXPECT_LE(p.reading, kQuietMax) << "poll " << k << " between the bursts";
        quietHigh = std::max(quietHigh, p.reading);
      }
    }
    std::printf("silence up to %.4f (%d counts); polls inside the bursts: %d, %d\n", quietHigh,
                int(quietHigh * 128 + 0.5), inside[0], inside[1]);
    // 500 ms are 12.5 polls; even a busy machine polls a few times inside.
    EXPECT_GE(inside[0], 3);
    EXPECT_GE(inside[1], 3);

    // The buffer filled and the device stopped: the position stays at its
    // size and reads after that give the minimum.
    EXPECT_TRUE(polls.back().done);
    EXPECT_EQ(polls.back().scanEnd, 24000);
    EXPECT_EQ(polls.back().reading, sensor.Minimum);
    sensor.Stop();
    EXPECT_FALSE(sensor.IsRunning());
    EXPECT_TRUE(sensor.Read());
    EXPECT_EQ(sensor.Reading, sensor.Minimum);
    return;
  }
  ADD_FAILURE() << "in 3 captures the bursts never arrived as two whole, separate stretches";
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
  for (int k = 0; k < 50 && sensor.ScanEnd() == 0; ++k) {
    Sleep(kPollMs);
    ASSERT_TRUE(sensor.Read());
  }
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
