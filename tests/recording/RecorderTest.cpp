// Paging, cursor and read-back behaviour of the recorder.
#include "recording/Instrecord.h"

#include "RecorderTestSupport.h"

using Recorder = RecorderFolder;

TEST_F(Recorder, EmptyAtStart) {
  TInstDataRecorder r(path, 1000, false);
  EXPECT_TRUE(r.IsOpen());
  EXPECT_EQ(r.PageSize(), 1000);
  EXPECT_EQ(r.Count(), 0);
  EXPECT_EQ(r.Cursor(), 0);
  TInstData out = Rec(77);
  EXPECT_FALSE(r.ReadNext(out));
  EXPECT_EQ(out.Sensor, 77.0) << "record untouched";
  EXPECT_EQ(r.ElapsedSeconds(), 0.0);
}

TEST_F(Recorder, FirstWriteSetsStartAndEnd) {
  TInstDataRecorder r(path, 1000, false);
  ASSERT_TRUE(r.Write(Rec(1, 0.25)));
  EXPECT_EQ(r.Count(), 1);
  EXPECT_EQ(r.Cursor(), 1);
  EXPECT_EQ(r.StartTime(), 0.25);
  EXPECT_EQ(r.EndTime(), 0.25);
  EXPECT_EQ(r.ElapsedSeconds(), 0.0);
  ASSERT_TRUE(r.Write(Rec(2, 0.25 + 90.0 / 86400)));
  EXPECT_NEAR(r.ElapsedSeconds(), 90.0, 1e-6);
}

TEST_F(Recorder, DurationAcrossMidnightCountsTheDay) {
  TInstDataRecorder r(path, 1000, false);
  r.Write(Rec(0, 1.0 - 30.0 / 86400));  // 23:59:30
  r.Write(Rec(1, 15.0 / 86400));        // 00:00:15
  EXPECT_NEAR(r.ElapsedSeconds(), 45.0, 1e-6);
  EXPECT_EQ(r.EndTime(), 15.0 / 86400) << "stored times stay times of day";
}

TEST_F(Recorder, ReadBackEverythingAcrossPages) {
  TInstDataRecorder r(path, 10, false);
  for (int i = 0; i < 35; ++i) ASSERT_TRUE(r.Write(Rec(i)));
  r.Seek(0);
  TInstData out;
  for (int i = 0; i < 35; ++i) {
    ASSERT_TRUE(r.ReadNext(out)) << i;
    EXPECT_EQ(out.Sensor, i);
    EXPECT_EQ(out.Inst, -i);
  }
  EXPECT_FALSE(r.ReadNext(out));
  r.Seek(r.Count());
  ASSERT_TRUE(r.Write(Rec(35)));
  r.Seek(30);
  for (int i = 30; i <= 35; ++i) {
    ASSERT_TRUE(r.ReadNext(out));
    EXPECT_EQ(out.Sensor, i);
  }
}

TEST_F(Recorder, SeekBeyondTheEndStopsAtCount) {
  TInstDataRecorder r(path, 10, false);
  for (int i = 0; i < 5; ++i) r.Write(Rec(i));
  r.Seek(1000);
  EXPECT_EQ(r.Cursor(), 5);
  r.Seek(-4);
  EXPECT_EQ(r.Cursor(), 0);
}

TEST_F(Recorder, WritingInsideOverwrites) {
  TInstDataRecorder r(path, 10, false);
  for (int i = 0; i < 25; ++i) r.Write(Rec(i));
  r.Seek(3);
  ASSERT_TRUE(r.Write(Rec(300)));
  EXPECT_EQ(r.Count(), 25);
  EXPECT_EQ(r.Cursor(), 4);
  r.Seek(3);
  TInstData out;
  ASSERT_TRUE(r.ReadNext(out));
  EXPECT_EQ(out.Sensor, 300);
  ASSERT_TRUE(r.ReadNext(out));
  EXPECT_EQ(out.Sensor, 4);
}

TEST_F(Recorder, ClearThenWriteOverwritesRecordZero) {
  TInstDataRecorder r(path, 10, false);
  for (int i = 0; i < 25; ++i) r.Write(Rec(i, 0.5));
  r.Clear();
  EXPECT_EQ(r.Count(), 0);
  EXPECT_EQ(r.Cursor(), 0);
  EXPECT_EQ(r.ElapsedSeconds(), 0.0);
  EXPECT_EQ(r.StartTime(), 0.0);
  ASSERT_TRUE(r.Write(Rec(900, 0.1)));
  EXPECT_EQ(r.Count(), 1);
  EXPECT_EQ(r.StartTime(), 0.1);
  r.Seek(0);
  TInstData out;
  ASSERT_TRUE(r.ReadNext(out));
  EXPECT_EQ(out.Sensor, 900);
  EXPECT_FALSE(r.ReadNext(out)) << "no stale record beyond the count";
}

TEST_F(Recorder, PageSizeChangeKeepsTheRecords) {
  TInstDataRecorder r(path, 10, false);
  for (int i = 0; i < 25; ++i) r.Write(Rec(i));
  r.SetPageSize(4);
  EXPECT_EQ(r.PageSize(), 4);
  r.SetPageSize(4);
  r.Seek(0);
  TInstData out;
  for (int i = 0; i < 25; ++i) {
    ASSERT_TRUE(r.ReadNext(out));
    EXPECT_EQ(out.Sensor, i);
  }
  r.SetPageSize(0);
  EXPECT_EQ(r.PageSize(), 1);
}

TEST_F(Recorder, DestructionFlushesThePageInMemory) {
  {
    TInstDataRecorder r(path, 1000, false);
    for (int i = 0; i < 1234; ++i) r.Write(Rec(i));
    EXPECT_EQ(Bytes().size(), 8u + 48u * 1000);
  }
  const std::vector<uint8_t> b = Bytes();
  ASSERT_EQ(b.size(), 8u + 48u * 1234);
  EXPECT_EQ(RecordInFile(1233).Sensor, 1233);
  TInstDataRecorder again(path, 1000, true);
  EXPECT_EQ(again.Count(), 1234);
}

TEST_F(Recorder, CloseFlushesAndStopsFileTraffic) {
  TInstDataRecorder r(path, 1000, false);
  for (int i = 0; i < 3; ++i) r.Write(Rec(i));
  r.Close();
  EXPECT_FALSE(r.IsOpen());
  EXPECT_EQ(Bytes().size(), 8u + 48u * 3);
  r.Close();  // twice is harmless
}

TEST(RecorderWithoutFile, WorksOnItsPageAndNeverReadsAnotherRecord) {
  std::vector<std::string> reports;
  TInstDataRecorder r("/nonexistent-quillora-dir/sub/instrec.data", 10, false,
                      [&](const std::string& m) { reports.push_back(m); });
  EXPECT_FALSE(r.IsOpen());
  ASSERT_EQ(reports.size(), 1u) << "reported once";
  EXPECT_NE(reports[0].find("/nonexistent-quillora-dir/sub/instrec.data"), std::string::npos);

  for (int i = 0; i < 25; ++i) ASSERT_TRUE(r.Write(Rec(i, i / 86400.0)));
  EXPECT_EQ(r.Count(), 25);
  EXPECT_EQ(r.Cursor(), 25);
  EXPECT_NEAR(r.ElapsedSeconds(), 24.0, 1e-6);

  // Records 0..14 were overwritten in memory by 10..24 and exist nowhere.
  r.Seek(0);
  TInstData out = Rec(-1);
  EXPECT_FALSE(r.ReadNext(out));
  EXPECT_EQ(out.Sensor, -1) << "not another record's data";
  EXPECT_EQ(r.Cursor(), 0);

  // The last page's records are still in memory.
  r.Seek(20);
  for (int i = 20; i < 25; ++i) {
    ASSERT_TRUE(r.ReadNext(out)) << i;
    EXPECT_EQ(out.Sensor, i);
  }
  EXPECT_EQ(reports.size(), 1u);
}

TEST(RecorderWithoutFile, DefaultReportGoesToStderr) {
  ::testing::internal::CaptureStderr();
  TInstDataRecorder r("/nonexistent-quillora-dir/instrec.data", 10, false);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("/nonexistent-quillora-dir/instrec.data"), std::string::npos);
}

#ifdef __linux__
// /dev/full opens but refuses every write: the failed writes are reported,
// once, and the recorder goes on.
TEST(RecorderFailingDisk, WriteFailureReportedOnce) {
  std::vector<std::string> reports;
  TInstDataRecorder r("/dev/full", 10, false, [&](const std::string& m) { reports.push_back(m); });
  ASSERT_TRUE(r.IsOpen());
  for (int i = 0; i < 35; ++i) ASSERT_TRUE(r.Write(Rec(i)));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("/dev/full"), std::string::npos);
  EXPECT_EQ(r.Count(), 35);
}
#endif

TEST_F(Recorder, ClockSetBackIsNoDayOfRecording) {
  TInstDataRecorder r(path, 1000, false);
  r.Write(Rec(0, 0.5));                  // 12:00:00
  r.Write(Rec(1, 0.5 - 600.0 / 86400));  // 11:50:00, the clock set back
  EXPECT_EQ(r.ElapsedSeconds(), 0.0);
}
