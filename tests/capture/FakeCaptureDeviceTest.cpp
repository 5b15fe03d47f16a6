// The fake behaves like a one-run device, so tests built on it mean something.
#include <gtest/gtest.h>

#include <vector>

#include "capture/FakeCaptureDevice.h"

TEST(FakeCaptureDevice, FillsTheQueuedBufferAndStopsWhenFull) {
  std::vector<uint8_t> buffer(4, 0);
  TFakeCaptureDevice d;
  ASSERT_TRUE(d.Open());
  ASSERT_TRUE(d.AddBuffer(buffer.data(), 4));
  d.Deliver({1, 2});
  EXPECT_EQ(d.Recorded(), 0) << "nothing is recorded before Start";
  ASSERT_TRUE(d.Start());
  d.Deliver({1, 2, 3});
  EXPECT_EQ(d.Position(), 3);
  EXPECT_FALSE(d.BufferDone());
  d.Deliver({4, 5, 6});
  EXPECT_EQ(d.Position(), 4);
  EXPECT_TRUE(d.BufferDone());
  EXPECT_EQ(buffer, (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(FakeCaptureDevice, ScriptedChunksArriveOnePerPoll) {
  std::vector<uint8_t> buffer(100, 0);
  TFakeCaptureDevice d;
  d.Open();
  d.AddBuffer(buffer.data(), 100);
  d.Start();
  d.QueueOnPosition({7, 7});
  d.QueueOnPosition({8});
  d.SetAutoDeliver({9, 9, 9});
  EXPECT_EQ(d.Position(), 2);
  EXPECT_EQ(d.Position(), 3);
  EXPECT_EQ(d.Position(), 6);
  EXPECT_EQ(d.Position(), 9);
  EXPECT_EQ(buffer[2], 8);
  EXPECT_EQ(buffer[8], 9);
  EXPECT_EQ(d.PositionCount, 4);
}

TEST(FakeCaptureDevice, ScriptedFailures) {
  std::vector<uint8_t> buffer(8, 0);
  TFakeCaptureDevice d;
  d.FailOpen = true;
  EXPECT_FALSE(d.Open());
  EXPECT_FALSE(d.AddBuffer(buffer.data(), 8)) << "a device that did not open takes no buffer";
  EXPECT_FALSE(d.Start());
  d.FailOpen = false;
  d.FailAddBuffer = true;
  EXPECT_TRUE(d.Open());
  EXPECT_FALSE(d.AddBuffer(buffer.data(), 8));
  d.FailAddBuffer = false;
  d.FailStart = true;
  EXPECT_TRUE(d.AddBuffer(buffer.data(), 8));
  EXPECT_FALSE(d.Start());
  EXPECT_EQ(d.OpenCount, 2);
  EXPECT_EQ(d.AddBufferCount, 3);
  EXPECT_EQ(d.StartCount, 2);
}

TEST(FakeCaptureDevice, ResetAndCloseGiveTheBufferBack) {
  std::vector<uint8_t> buffer(8, 0);
  TFakeCaptureDevice d;
  d.Open();
  d.AddBuffer(buffer.data(), 8);
  d.Start();
  d.Reset();
  EXPECT_EQ(d.QueuedData(), nullptr);
  EXPECT_FALSE(d.IsStarted());
  EXPECT_TRUE(d.IsOpen());
  d.Deliver({1});
  EXPECT_EQ(buffer[0], 0) << "no writes into a returned buffer";
  d.Close();
  EXPECT_FALSE(d.IsOpen());
  EXPECT_EQ(d.ResetCount, 1);
  EXPECT_EQ(d.CloseCount, 1);
}
