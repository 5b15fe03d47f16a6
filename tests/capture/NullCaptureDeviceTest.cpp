#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "capture/DefaultCaptureDevice.h"
#include "capture/NullCaptureDevice.h"
#include "sensor/Sens.h"

TEST(NullCaptureDevice, NeverOpensAndTheSensorReadsMinimum) {
  auto device = std::make_unique<TNullCaptureDevice>();
  uint8_t b[4] = {};
  EXPECT_FALSE(device->Open());
  EXPECT_FALSE(device->AddBuffer(b, 4));
  EXPECT_FALSE(device->Start());
  EXPECT_EQ(device->Position(), 0);
  EXPECT_FALSE(device->BufferDone());

  TAudioSensor_OneRun sensor(nullptr, std::move(device));
  EXPECT_FALSE(sensor.Start(100));
  EXPECT_FALSE(sensor.IsRunning());
  EXPECT_TRUE(sensor.Read());
  EXPECT_EQ(sensor.Reading, sensor.Minimum);
}

TEST(DefaultCaptureDevice, ExistsOnEveryPlatform) {
  // Elsewhere than on Windows, without a sound server the default back end
  // refuses to open instead of crashing, hanging or starting a server.
  std::unique_ptr<TCaptureDevice> device = CreateDefaultCaptureDevice();
  ASSERT_NE(device, nullptr);
#ifndef _WIN32
  setenv("PULSE_SERVER", "unix:/nonexistent/quillora-no-server", 1);
  TAudioSensor_OneRun sensor(nullptr);
  EXPECT_FALSE(sensor.Start(100));
  EXPECT_TRUE(sensor.Read());
  EXPECT_EQ(sensor.Reading, 0.0);
#endif
}
