// The recording file: header, record layout, paging traffic, keep on and off.
#include "recording/Instrecord.h"

#include "RecorderTestSupport.h"

using RecorderFile = RecorderFolder;

namespace {

std::vector<uint8_t> Header() { return {0, 0, 0, 0, 1, 0, 0, 0}; }

// A file of the header, `records` records numbered by Sensor, and `tail`
// extra bytes.
std::vector<uint8_t> FileWith(int records, int tail) {
  std::vector<uint8_t> b = Header();
  for (int i = 0; i < records; ++i) {
    const TInstData r = Rec(i);
    const auto* p = reinterpret_cast<const uint8_t*>(&r);
    b.insert(b.end(), p, p + 48);
  }
  b.insert(b.end(), static_cast<std::size_t>(tail), uint8_t(0xAB));
  return b;
}

}  // namespace

TEST_F(RecorderFile, MissingFileIsCreatedWithTheHeaderOnly) {
  TInstDataRecorder r(path, 1000, false);
  EXPECT_TRUE(r.IsOpen());
  EXPECT_EQ(Bytes(), Header());
}

TEST_F(RecorderFile, ByteExactFirstRecord) {
  {
    TInstDataRecorder r(path, 1000, false);
    TInstData d;
    d.Sensor = 0.5;
    d.Level = 0.25;
    d.Inst = 25;
    d.Gain = 100;
    d.Time = 0.5;
    d.Tag = -1;
    ASSERT_TRUE(r.Write(d));
  }
  const std::vector<uint8_t> expected = {
      0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,  // header
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x3F,  // Sensor 0.5
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD0, 0x3F,  // Level 0.25
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x39, 0x40,  // Inst 25
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x59, 0x40,  // Gain 100
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x3F,  // Time 0.5
      0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00,  // Tag -1, reserved zeros
  };
  EXPECT_EQ(Bytes(), expected);
}

TEST_F(RecorderFile, ReservedBytesAreZeroEvenWhenTheCallerIsNot) {
  {
    TInstDataRecorder r(path, 4, false);
    for (int i = 0; i < 6; ++i) {
      TInstData d = Rec(i);
      std::memset(d.Reserved, 0x5A, sizeof d.Reserved);
      r.Write(d);
    }
  }
  const std::vector<uint8_t> b = Bytes();
  ASSERT_EQ(b.size(), 8u + 48u * 6);
  for (int i = 0; i < 6; ++i)
    for (int k = 44; k < 48; ++k) EXPECT_EQ(b[8 + 48 * i + k], 0) << i << ':' << k;
}

TEST_F(RecorderFile, FiveByteFileIsTreatedAsMissing) {
  WriteBytes({9, 9, 9, 9, 9});
  TInstDataRecorder r(path, 1000, true);
  EXPECT_EQ(r.Count(), 0);
  EXPECT_EQ(r.Cursor(), 0);
  EXPECT_EQ(Bytes(), Header());
}

TEST_F(RecorderFile, KeepOnCountsWholeRecordsAndLoadsTheLastPage) {
  WriteBytes(FileWith(2500, 20));
  TInstDataRecorder r(path, 1000, true);
  EXPECT_EQ(r.Count(), 2500);
  EXPECT_EQ(r.Cursor(), 2500);
  // Page 2 is in memory: moving inside it reads records 2000..2499.
  r.Seek(2000);
  TInstData out;
  ASSERT_TRUE(r.ReadNext(out));
  EXPECT_EQ(out.Sensor, 2000);
  r.Seek(2499);
  ASSERT_TRUE(r.ReadNext(out));
  EXPECT_EQ(out.Sensor, 2499);
  EXPECT_FALSE(r.ReadNext(out));
  r.Seek(5);
  ASSERT_TRUE(r.ReadNext(out));
  EXPECT_EQ(out.Sensor, 5);
  // Appending goes on after the last whole record.
  r.Seek(r.Count());
  r.Write(Rec(2500));
  r.Close();
  EXPECT_EQ(RecordInFile(2500).Sensor, 2500);
  EXPECT_EQ(Bytes().size(), 8u + 48u * 2501);
}

TEST_F(RecorderFile, KeepOffStartsEmptyAndLeavesTheOldBytes) {
  const std::vector<uint8_t> old = FileWith(2500, 20);
  WriteBytes(old);
  {
    TInstDataRecorder r(path, 1000, false);
    EXPECT_EQ(r.Count(), 0);
    EXPECT_EQ(r.Cursor(), 0);
    TInstData out;
    EXPECT_FALSE(r.ReadNext(out));
  }
  EXPECT_EQ(Bytes(), old) << "nothing written, nothing truncated";
  {
    TInstDataRecorder r(path, 1000, false);
    r.Write(Rec(700));
  }
  const std::vector<uint8_t> b = Bytes();
  ASSERT_EQ(b.size(), old.size());
  EXPECT_EQ(RecordInFile(0).Sensor, 700);
  EXPECT_EQ(RecordInFile(1).Sensor, 1) << "stale records stay in place";
}

TEST_F(RecorderFile, AppendOfRecord999WritesTheFirstPage) {
  TInstDataRecorder r(path, 1000, false);
  for (int i = 0; i < 999; ++i) r.Write(Rec(i));
  EXPECT_EQ(Bytes().size(), 8u);
  r.Write(Rec(999));
  EXPECT_EQ(r.Cursor(), 1000);
  EXPECT_EQ(r.Count(), 1000);
  const std::vector<uint8_t> b = Bytes();
  ASSERT_EQ(b.size(), 8u + 48000u);
  EXPECT_EQ(RecordInFile(0).Sensor, 0);
  EXPECT_EQ(RecordInFile(999).Sensor, 999);
  EXPECT_EQ(RecordInFile(999).Tag, -1);
  TInstData out;
  EXPECT_FALSE(r.ReadNext(out)) << "page 1 holds no valid records";
}

TEST_F(RecorderFile, ReadBackDoesNotWrite) {
  TInstDataRecorder r(path, 10, false);
  for (int i = 0; i < 25; ++i) r.Write(Rec(i));
  r.Seek(0);  // writes the page of the end
  const std::vector<uint8_t> afterFlush = Bytes();
  ASSERT_EQ(afterFlush.size(), 8u + 48u * 25);
  TInstData out;
  while (r.ReadNext(out)) {
  }
  r.Seek(r.Count());
  EXPECT_EQ(Bytes(), afterFlush);
}

TEST_F(RecorderFile, ReopenWithKeepSeesAllRecords) {
  {
    TInstDataRecorder r(path, 7, false);
    for (int i = 0; i < 50; ++i) r.Write(Rec(i));
  }
  TInstDataRecorder r(path, 7, false);
  ASSERT_TRUE(r.Open(path, true, 7));
  EXPECT_EQ(r.Count(), 50);
  r.Seek(0);
  TInstData out;
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(r.ReadNext(out));
    EXPECT_EQ(out.Sensor, i);
  }
}
