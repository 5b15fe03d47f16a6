// Wave input with no input device at all: every capture fails at once and the
// sensor reads its minimum.

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <mmsystem.h>

#include <chrono>

#include "WaveInEnvironment.h"
#include "capture/WaveInCapture.h"
#include "sensor/Sens.h"

namespace {

class WaveInNoDevice : public ::testing::Test {
protected:
  void SetUp() override {
    if (waveInGetNumDevs() == 0) return;
    if (WaveInEnvironmentSays("QUILLORA_WAVEIN_NO_DEVICE"))
      FAIL() << "promised no input device, but " << waveInGetNumDevs() << " exist";
    GTEST_SKIP() << "an input device is present";
  }
};

TEST_F(WaveInNoDevice, DeviceRefusesEveryStep) {
  TWaveInCapture device;
  uint8_t buffer[800] = {};
  EXPECT_FALSE(device.Open());
  EXPECT_FALSE(device.AddBuffer(buffer, sizeof buffer));
  EXPECT_FALSE(device.Start());
  EXPECT_EQ(device.Position(), 0);
  EXPECT_FALSE(device.BufferDone());
  device.Reset();
  device.Close();
  device.Close();
}

TEST_F(WaveInNoDevice, StartFailsQuicklyAndReadsGiveMinimum) {
  TAudioSensor_OneRun sensor(nullptr, CreateWaveInCaptureDevice());
  const auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(sensor.Start(1000));
  const auto took = std::chrono::steady_clock::now() - before;
  // A missing server must not make the open wait for long.
  EXPECT_LT(took, std::chrono::seconds(5));
  EXPECT_FALSE(sensor.IsRunning());
  for (int i = 0; i < 3; ++i) {
    Sleep(40);
    EXPECT_TRUE(sensor.Read());
    EXPECT_EQ(sensor.Reading, sensor.Minimum);
  }
  sensor.Rearm(1000);  // not running: a new capture, which fails again
  EXPECT_FALSE(sensor.IsRunning());
  EXPECT_TRUE(sensor.Read());
  EXPECT_EQ(sensor.Reading, sensor.Minimum);
  sensor.Stop();
  EXPECT_FALSE(sensor.IsRunning());
}

}  // namespace
