// On Windows the platform's default capture back end is wave input.

#include <gtest/gtest.h>

#include "capture/DefaultCaptureDevice.h"
#include "capture/WaveInCapture.h"
#include "sensor/Sens.h"

namespace {

TEST(WaveInFactory, DefaultDeviceIsWaveInput) {
  auto device = CreateDefaultCaptureDevice();
  ASSERT_TRUE(device);
  EXPECT_NE(dynamic_cast<TWaveInCapture*>(device.get()), nullptr);
}

TEST(WaveInFactory, SensorWithoutDeviceUsesWaveInput) {
  TAudioSensor_OneRun sensor(nullptr);
  EXPECT_NE(dynamic_cast<TWaveInCapture*>(&sensor.Device()), nullptr);
}

TEST(WaveInFactory, FactoryMakesFreshDevices) {
  auto a = CreateWaveInCaptureDevice();
  auto b = CreateWaveInCaptureDevice();
  ASSERT_TRUE(a && b);
  EXPECT_NE(a.get(), b.get());
}

}  // namespace
