#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "capture/FakeCaptureDevice.h"
#include "sensor/Sens.h"

namespace {

// A sensor over a scripted device the test keeps a handle to.
struct SensorRig {
  SensorRig() {
    auto device = std::make_unique<TFakeCaptureDevice>();
    fake = device.get();
    sensor = std::make_unique<TAudioSensor_OneRun>(nullptr, std::move(device));
  }
  TFakeCaptureDevice* fake;
  std::unique_ptr<TAudioSensor_OneRun> sensor;
};

}  // namespace

TEST(Sensor, ConstructionSetsTheScaleAndOpensNothing) {
  SensorRig rig;
  EXPECT_EQ(rig.sensor->Minimum, 0.0);
  EXPECT_EQ(rig.sensor->Maximum, 1.0);
  EXPECT_EQ(rig.sensor->Step, 0.1);
  EXPECT_EQ(rig.sensor->Reading, 0.0);
  EXPECT_FALSE(rig.sensor->Invert);
  EXPECT_FALSE(rig.sensor->NoSensor);
  EXPECT_FALSE(rig.sensor->IsRunning());
  EXPECT_EQ(rig.sensor->BufferSize(), 0);
  EXPECT_EQ(rig.fake->OpenCount, 0);
}

TEST(Sensor, BufferHoldsOnePeriodOfSamples) {
  SensorRig rig;
  ASSERT_TRUE(rig.sensor->Start(100));
  EXPECT_TRUE(rig.sensor->IsRunning());
  EXPECT_EQ(rig.sensor->Period(), 100);
  EXPECT_EQ(rig.sensor->BufferSize(), 800);
  EXPECT_EQ(rig.fake->QueuedSize(), 800);
  EXPECT_EQ(rig.fake->QueuedData(), rig.sensor->BufferData());
  EXPECT_EQ(rig.fake->StartCount, 1);

  ASSERT_TRUE(rig.sensor->Start(20000));
  EXPECT_EQ(rig.sensor->BufferSize(), 160000);
  ASSERT_TRUE(rig.sensor->Start(1999));  // 1999 × 8000 / 1000 truncates
  EXPECT_EQ(rig.sensor->BufferSize(), 15992);
}

TEST(Sensor, SamePeriodReusesAndZerosTheBuffer) {
  SensorRig rig;
  ASSERT_TRUE(rig.sensor->Start(100));
  const uint8_t* first = rig.sensor->BufferData();
  rig.fake->DeliverFill(200, 800);
  ASSERT_TRUE(rig.sensor->Start(100));
  EXPECT_EQ(rig.sensor->BufferData(), first);
  for (int i = 0; i < rig.sensor->BufferSize(); ++i) ASSERT_EQ(first[i], 0) << i;
  EXPECT_EQ(rig.sensor->ScanStart(), 0);
  EXPECT_EQ(rig.sensor->ScanEnd(), 0);

  ASSERT_TRUE(rig.sensor->Start(200));
  EXPECT_EQ(rig.sensor->BufferSize(), 1600);
  EXPECT_EQ(rig.fake->QueuedData(), rig.sensor->BufferData());
  EXPECT_EQ(rig.fake->QueuedSize(), 1600);
}

TEST(Sensor, ReadsOnePollBehindTheDevice) {
  SensorRig rig;
  ASSERT_TRUE(rig.sensor->Start(1000));
  rig.fake->Deliver({128, 160, 128});  // peak 32
  ASSERT_TRUE(rig.sensor->Read());
  EXPECT_EQ(rig.sensor->Reading, 0.0) << "the first read after a start examines nothing";

  rig.fake->Deliver({128, 138});  // arrives after the first read: peak 10
  ASSERT_TRUE(rig.sensor->Read());
  EXPECT_DOUBLE_EQ(rig.sensor->Reading, 32.0 / 128.0) << "bytes before the first read";

  ASSERT_TRUE(rig.sensor->Read());
  EXPECT_DOUBLE_EQ(rig.sensor->Reading, 10.0 / 128.0);

  ASSERT_TRUE(rig.sensor->Read());
  EXPECT_EQ(rig.sensor->Reading, 0.0) << "nothing arrived";
}

TEST(Sensor, PeakAmplitudeScaling) {
  struct Case {
    std::vector<uint8_t> bytes;
    double reading;
  };
  const std::vector<Case> cases = {
      {{128, 128, 128}, 0.0},
      {{128, 255, 128}, 0.9921875},
      {{1}, 0.9921875},
      {{0, 0, 0}, 0.0},             // zero fill: never written, never counted
      {{0, 129, 0}, 1.0 / 128.0},
      {{100, 190, 64}, 64.0 / 128.0},
  };
  for (const auto& c : cases) {
    SensorRig rig;
    ASSERT_TRUE(rig.sensor->Start(100));
    rig.fake->Deliver(c.bytes);
    rig.sensor->Read();
    rig.sensor->Read();
    EXPECT_DOUBLE_EQ(rig.sensor->Reading, c.reading) << int(c.bytes[0]);
  }
}

TEST(Sensor, ScaleFollowsMinimumAndMaximum) {
  SensorRig rig;
  rig.sensor->Minimum = 2.0;
  rig.sensor->Maximum = 4.0;
  ASSERT_TRUE(rig.sensor->Start(100));
  rig.fake->Deliver({192});
  rig.sensor->Read();
  rig.sensor->Read();
  EXPECT_DOUBLE_EQ(rig.sensor->Reading, 2.0 + 2.0 * 64 / 128);
}

TEST(Sensor, OnlyBytesBelowTheReportedPositionCount) {
  SensorRig rig;
  ASSERT_TRUE(rig.sensor->Start(100));
  rig.fake->ForcedPosition = 2;  // the device claims two bytes
  rig.fake->Deliver({130, 131, 250});
  rig.sensor->Read();
  rig.sensor->Read();
  EXPECT_DOUBLE_EQ(rig.sensor->Reading, 3.0 / 128.0);
}

TEST(Sensor, PositionBeyondTheBufferIsHarmless) {
  SensorRig rig;
  ASSERT_TRUE(rig.sensor->Start(100));
  rig.fake->DeliverFill(129, 800);
  rig.fake->ForcedPosition = 5000;
  rig.sensor->Read();
  rig.sensor->Read();
  EXPECT_DOUBLE_EQ(rig.sensor->Reading, 1.0 / 128.0);
  rig.sensor->Read();
  EXPECT_EQ(rig.sensor->Reading, 0.0);
}

TEST(Sensor, FullBufferReadsMinimumFromTheSecondReadOn) {
  SensorRig rig;
  ASSERT_TRUE(rig.sensor->Start(100));
  rig.fake->DeliverFill(140, 800);
  EXPECT_TRUE(rig.fake->BufferDone());
  rig.sensor->Read();
  rig.sensor->Read();
  EXPECT_DOUBLE_EQ(rig.sensor->Reading, 12.0 / 128.0);
  rig.sensor->Read();
  EXPECT_EQ(rig.sensor->Reading, 0.0);
  EXPECT_TRUE(rig.sensor->IsRunning());
}

TEST(Sensor, RearmWhileFillingDoesNothing) {
  SensorRig rig;
  ASSERT_TRUE(rig.sensor->Start(100));
  rig.fake->DeliverFill(140, 300);
  rig.sensor->Rearm(500);
  EXPECT_EQ(rig.fake->OpenCount, 1);
  EXPECT_EQ(rig.fake->ResetCount, 0);
  EXPECT_EQ(rig.sensor->BufferSize(), 800);
  EXPECT_EQ(rig.fake->Recorded(), 300);
}

TEST(Sensor, RearmAfterDoneRestartsWithTheStoredPeriod) {
  SensorRig rig;
  ASSERT_TRUE(rig.sensor->Start(100));
  rig.fake->DeliverFill(140, 800);
  rig.sensor->Rearm(500);
  EXPECT_EQ(rig.fake->OpenCount, 2);
  EXPECT_EQ(rig.fake->ResetCount, 1);
  EXPECT_EQ(rig.fake->CloseCount, 1);
  EXPECT_TRUE(rig.sensor->IsRunning());
  EXPECT_EQ(rig.sensor->BufferSize(), 800) << "the stored period, not the argument";
  EXPECT_EQ(rig.sensor->Period(), 100);
  EXPECT_EQ(rig.sensor->BufferData()[0], 0) << "buffer zeroed for the new run";
}

TEST(Sensor, RearmWhenIdleStartsWithTheArgument) {
  SensorRig rig;
  rig.sensor->Rearm(300);
  EXPECT_TRUE(rig.sensor->IsRunning());
  EXPECT_EQ(rig.sensor->BufferSize(), 2400);
  EXPECT_EQ(rig.sensor->Period(), 300);
}

TEST(Sensor, StartWhileCapturingStopsAndReopens) {
  SensorRig rig;
  ASSERT_TRUE(rig.sensor->Start(100));
  rig.fake->DeliverFill(140, 10);
  ASSERT_TRUE(rig.sensor->Start(100));
  EXPECT_EQ(rig.fake->ResetCount, 1);
  EXPECT_EQ(rig.fake->CloseCount, 1);
  EXPECT_EQ(rig.fake->OpenCount, 2);
  EXPECT_EQ(rig.fake->StartCount, 2);
  EXPECT_TRUE(rig.fake->IsOpen());
  EXPECT_TRUE(rig.sensor->IsRunning());
}

TEST(Sensor, StopResetsAndClosesOnlyWhenRunning) {
  SensorRig rig;
  rig.sensor->Stop();
  EXPECT_EQ(rig.fake->ResetCount, 0);
  EXPECT_EQ(rig.fake->CloseCount, 0);
  ASSERT_TRUE(rig.sensor->Start(100));
  rig.fake->Deliver({200});
  rig.sensor->Stop();
  EXPECT_FALSE(rig.sensor->IsRunning());
  EXPECT_EQ(rig.fake->ResetCount, 1);
  EXPECT_EQ(rig.fake->CloseCount, 1);
  EXPECT_FALSE(rig.fake->IsOpen());
  rig.sensor->Read();
  EXPECT_TRUE(rig.sensor->Read());
  EXPECT_EQ(rig.sensor->Reading, rig.sensor->Minimum);
}

TEST(Sensor, IdleReadGivesMinimum) {
  SensorRig rig;
  rig.sensor->Minimum = 0.25;
  rig.sensor->Reading = 0.9;
  EXPECT_TRUE(rig.sensor->Read());
  EXPECT_EQ(rig.sensor->Reading, 0.25);
  EXPECT_EQ(rig.fake->PositionCount, 0);
}

TEST(Sensor, FailuresLeaveItIdleAndClosed) {
  for (int which = 0; which < 3; ++which) {
    SensorRig rig;
    rig.fake->FailOpen = which == 0;
    rig.fake->FailAddBuffer = which == 1;
    rig.fake->FailStart = which == 2;
    EXPECT_FALSE(rig.sensor->Start(100)) << which;
    EXPECT_FALSE(rig.sensor->IsRunning());
    EXPECT_FALSE(rig.fake->IsOpen()) << "a failed start closes the device";
    EXPECT_FALSE(rig.fake->IsStarted());
    EXPECT_TRUE(rig.sensor->Read());
    EXPECT_EQ(rig.sensor->Reading, 0.0);
  }
}

TEST(Sensor, NoDeviceMeansStartFalseAndMinimum) {
  SensorRig rig;
  rig.fake->FailOpen = true;
  rig.sensor->Minimum = 0.1;
  EXPECT_FALSE(rig.sensor->Start(100));
  rig.sensor->Rearm(100);
  EXPECT_FALSE(rig.sensor->IsRunning());
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(rig.sensor->Read());
    EXPECT_EQ(rig.sensor->Reading, 0.1);
  }
}

TEST(Sensor, NoSensorOpensNothingAndStopsARunningCapture) {
  SensorRig rig;
  rig.sensor->NoSensor = true;
  EXPECT_FALSE(rig.sensor->Start(100));
  EXPECT_EQ(rig.fake->OpenCount, 0);
  rig.sensor->Rearm(100);
  EXPECT_EQ(rig.fake->OpenCount, 0);
  EXPECT_EQ(rig.sensor->Period(), 100);

  rig.sensor->NoSensor = false;
  ASSERT_TRUE(rig.sensor->Start(100));
  rig.fake->Deliver({255});
  rig.sensor->NoSensor = true;
  rig.sensor->Read();
  rig.sensor->Read();
  EXPECT_EQ(rig.sensor->Reading, 0.0) << "every read gives Minimum";
  rig.sensor->Rearm(200);
  EXPECT_FALSE(rig.sensor->IsRunning());
  EXPECT_FALSE(rig.fake->IsOpen());
  EXPECT_EQ(rig.fake->OpenCount, 1);
}

TEST(Sensor, InvertChangesNoReading) {
  SensorRig rig;
  rig.sensor->Invert = true;
  ASSERT_TRUE(rig.sensor->Start(100));
  rig.fake->Deliver({128, 192});
  rig.sensor->Read();
  rig.sensor->Read();
  EXPECT_DOUBLE_EQ(rig.sensor->Reading, 0.5);
}

TEST(Sensor, DestructionStopsTheCapture) {
  // Counts into the test's variables, which outlive the device.
  struct TWitness : TFakeCaptureDevice {
    int* resets = nullptr;
    int* closes = nullptr;
    void Reset() override { ++*resets; TFakeCaptureDevice::Reset(); }
    void Close() override { ++*closes; TFakeCaptureDevice::Close(); }
  };
  int resets = 0, closes = 0;
  {
    auto device = std::make_unique<TWitness>();
    device->resets = &resets;
    device->closes = &closes;
    TAudioSensor_OneRun sensor(nullptr, std::move(device));
    ASSERT_TRUE(sensor.Start(100));
  }
  EXPECT_EQ(resets, 1) << "the device stops writing before the buffer goes";
  EXPECT_GE(closes, 1);
}
