// A capture that is lost is reopened once and otherwise makes the read fail;
// it never reads as silence for longer than the loss takes to notice.
#include <gtest/gtest.h>

#include <memory>

#include "capture/FakeCaptureDevice.h"
#include "sensor/Sens.h"
#include "tests/sensor/ScriptedClock.h"

namespace {

class CaptureLoss : public ::testing::Test {
protected:
  CaptureLoss() {
    auto device = std::make_unique<TFakeCaptureDevice>();
    fake = device.get();
    sensor = std::make_unique<TAudioSensor_OneRun>(nullptr, std::move(device));
  }
  // Moves the clock on by ms (within the minute the tests run in).
  void Pass(int ms) {
    elapsed += ms;
    clock.Set(12, 0, elapsed / 1000, elapsed % 1000);
  }

  TScriptedClock clock;
  int elapsed = 0;
  TFakeCaptureDevice* fake;
  std::unique_ptr<TAudioSensor_OneRun> sensor;
};

}  // namespace

TEST_F(CaptureLoss, BrokenCaptureIsReopenedAtOnceOrTheReadFails) {
  ASSERT_TRUE(sensor->Start(5000));
  fake->Deliver({200});
  ASSERT_TRUE(sensor->Read());

  // The stream breaks; the reopen works: the capture goes on.
  fake->Broken = true;
  EXPECT_TRUE(sensor->Read());
  EXPECT_EQ(fake->OpenCount, 2);
  EXPECT_TRUE(sensor->IsRunning());
  EXPECT_DOUBLE_EQ(sensor->Reading, 72.0 / 128.0) << "the bytes before the break still count";

  // It delivers, then breaks again and the server is gone: the read fails,
  // and keeps failing, without asking the device again.
  fake->Deliver({140});
  EXPECT_TRUE(sensor->Read());
  fake->Broken = true;
  fake->FailOpen = true;
  EXPECT_FALSE(sensor->Read());
  EXPECT_EQ(sensor->Reading, sensor->Minimum);
  EXPECT_FALSE(sensor->Read());
  EXPECT_EQ(fake->OpenCount, 3);

  // The server is back: the next start captures again.
  fake->FailOpen = false;
  sensor->Stop();
  ASSERT_TRUE(sensor->Start(5000));
  fake->Deliver({130});
  EXPECT_TRUE(sensor->Read());
  EXPECT_TRUE(sensor->Read());
  EXPECT_DOUBLE_EQ(sensor->Reading, 2.0 / 128.0);
}

TEST_F(CaptureLoss, CaptureStandingStillForASecondIsLost) {
  ASSERT_TRUE(sensor->Start(5000));
  fake->DeliverFill(128, 80);
  sensor->Read();
  Pass(999);
  EXPECT_TRUE(sensor->Read());
  EXPECT_EQ(fake->OpenCount, 1) << "not yet a second without samples";
  Pass(1);
  EXPECT_TRUE(sensor->Read());
  EXPECT_EQ(fake->OpenCount, 2) << "reopened";

  // The reopened capture delivers: all is well again, for good.
  Pass(40);
  fake->DeliverFill(128, 320);
  EXPECT_TRUE(sensor->Read());
  Pass(1000);
  EXPECT_TRUE(sensor->Read());
  EXPECT_EQ(fake->OpenCount, 3) << "a second stall is a new loss, reopened once more";

  // A reopened capture that never delivers fails the read.
  Pass(1000);
  EXPECT_FALSE(sensor->Read());
}

TEST_F(CaptureLoss, AFullBufferIsNoStall) {
  ASSERT_TRUE(sensor->Start(100));
  fake->DeliverFill(128, 800);
  for (int i = 0; i < 5; ++i) {
    Pass(1000);
    EXPECT_TRUE(sensor->Read());
  }
  EXPECT_EQ(fake->OpenCount, 1);
}

TEST_F(CaptureLoss, FailedStartIsTriedAgainAtTheNextRestOrAfterASecond) {
  fake->FailOpen = true;
  EXPECT_FALSE(sensor->Start(1000));
  EXPECT_TRUE(sensor->Read());
  // In the pause between rests nothing is opened.
  sensor->Stop();
  Pass(2000);
  EXPECT_TRUE(sensor->Read());
  EXPECT_EQ(fake->OpenCount, 1);

  // The next rest opens it again; that the open failed for over a second
  // already makes the read try once more and then fail.
  EXPECT_FALSE(sensor->Start(1000));
  EXPECT_FALSE(sensor->Read());
  EXPECT_EQ(fake->OpenCount, 3);

  // A device that opens at the next rest takes the failure back.
  fake->FailOpen = false;
  EXPECT_TRUE(sensor->Start(1000));
  EXPECT_TRUE(sensor->Read());
}

TEST_F(CaptureLoss, FailedStartWithinASessionFailsTheReadASecondLater) {
  fake->FailStart = true;
  EXPECT_FALSE(sensor->Start(20000));
  Pass(960);
  EXPECT_TRUE(sensor->Read());
  Pass(40);
  EXPECT_FALSE(sensor->Read());
  EXPECT_EQ(fake->StartCount, 2);
}

TEST_F(CaptureLoss, NoSensorModeNeverFails) {
  sensor->NoSensor = true;
  fake->FailOpen = true;
  EXPECT_FALSE(sensor->Start(1000));
  for (int i = 0; i < 3; ++i) {
    Pass(1000);
    EXPECT_TRUE(sensor->Read());
  }
  EXPECT_EQ(fake->OpenCount, 0);
}
