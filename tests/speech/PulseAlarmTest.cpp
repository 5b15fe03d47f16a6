// The call alarm as real sound: played into the virtual sink of the
// PulseAudio server of scripts/pulse-start.sh and recorded from its monitor.
// Judged on the monitor's own timeline: the alarm repeats, and once silenced
// it stays silent.
#include <gtest/gtest.h>
#include <pulse/simple.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "speech/PulseAlarm.h"
#include "tests/support/SinkMonitor.h"

namespace {

constexpr uint32_t kRate = 16000;
constexpr size_t kPiece = kRate / 100;  // 10 ms
constexpr int kLoud = 1000;

// The loudest sample of the monitor's next 10 ms; -1 when the stream fails.
int NextPeak(pa_simple* monitor) {
  std::vector<int16_t> piece(kPiece);
  if (pa_simple_read(monitor, piece.data(), piece.size() * 2, nullptr) < 0) return -1;
  int peak = 0;
  for (int16_t s : piece) peak = std::max(peak, std::abs(static_cast<int>(s)));
  return peak;
}

TEST(PulseAlarm, RepeatsUntilSilencedAndThenStaysSilent) {
  ASSERT_TRUE(std::getenv("PULSE_SERVER"))
      << "no sound server: run eval \"$(scripts/pulse-start.sh)\" first";
  pa_simple* monitor = OpenSinkMonitor(kRate, kPiece);
  ASSERT_NE(monitor, nullptr);
  TPulseAlarm alarm;
  ASSERT_TRUE(alarm.Start()) << alarm.Error();
  EXPECT_TRUE(alarm.Sounding());
  // Tone bursts begin in the monitor's time: two periods' worth of sound
  // holds at least four bursts, counted as quiet-to-loud edges.
  int bursts = 0;
  bool loud = false;
  int quietRun = 0;
  for (int i = 0; i < 1000 && bursts < 4; ++i) {
    const int peak = NextPeak(monitor);
    ASSERT_GE(peak, 0);
    const bool now = peak > kLoud;
    if (now && !loud && quietRun >= 5) ++bursts;
    quietRun = now ? 0 : quietRun + 1;
    loud = now;
  }
  EXPECT_GE(bursts, 4) << "the alarm does not repeat";
  alarm.Stop();
  EXPECT_FALSE(alarm.Sounding());
  // What was recorded before the silencing may still be read: the silence
  // begins with the first quiet second (the alarm's gaps are 0.5 s), and
  // the second after it holds no sound either.
  quietRun = 0;
  int read = 0;
  for (; read < 3000 && quietRun < 100; ++read) {
    const int peak = NextPeak(monitor);
    ASSERT_GE(peak, 0);
    quietRun = peak > kLoud ? 0 : quietRun + 1;
  }
  ASSERT_EQ(quietRun, 100) << "no quiet second after the silencing";
  for (int i = 0; i < 100; ++i)
    EXPECT_LE(NextPeak(monitor), kLoud) << "sound 1 s after silence, piece " << i;
  pa_simple_free(monitor);
}

TEST(PulseAlarm, WithoutAServerItSaysSo) {
  const char* saved = std::getenv("PULSE_SERVER");
  const std::string server = saved ? saved : "";
  setenv("PULSE_SERVER", "unix:/nonexistent/quillora-no-server", 1);
  TPulseAlarm alarm;
  EXPECT_FALSE(alarm.Start());
  EXPECT_FALSE(alarm.Sounding());
  EXPECT_NE(alarm.Error().find("нет связи со звуковым сервером"), std::string::npos)
      << alarm.Error();
  if (saved)
    setenv("PULSE_SERVER", server.c_str(), 1);
  else
    unsetenv("PULSE_SERVER");
}

}  // namespace
