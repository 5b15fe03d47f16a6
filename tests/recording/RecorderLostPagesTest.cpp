// Pages that could not be written are lost: they are counted and never read
// back as data, and what the file holds in their place is not handed out.
#include "RecorderTestSupport.h"
#include "recording/Instrecord.h"
#include "tests/support/Tmpfs.h"

namespace {

// Reads everything back as the graph window's "save all" does.
std::vector<int> ReadBack(TInstDataRecorder& r) {
  std::vector<int> got;
  r.Seek(0);
  TInstData out;
  while (r.ReadNext(out)) got.push_back(static_cast<int>(out.Sensor));
  r.Seek(r.Count());
  return got;
}

std::vector<int> Range(int from, int to) {
  std::vector<int> v;
  for (int i = from; i < to; ++i) v.push_back(i);
  return v;
}

#ifdef __linux__
// A device that takes no data and reads back zeros.
TEST(RecorderLostPages, DeviceThatTakesNoDataGivesNoZeroRecords) {
  TInstDataRecorder r("/dev/full", 10, false, [](const std::string&) {});
  for (int i = 0; i < 35; ++i) ASSERT_TRUE(r.Write(Rec(i + 1, 0.5)));
  EXPECT_EQ(r.LostCount(), 30);
  EXPECT_TRUE(r.IsLost(0));
  EXPECT_FALSE(r.IsLost(30)) << "the page in memory is not lost";
  // Reading back flushes the last page, which fails as well.
  EXPECT_TRUE(ReadBack(r).empty());
  EXPECT_EQ(r.LostCount(), 35);
  r.Clear();
  EXPECT_EQ(r.LostCount(), 0);
}
#endif

TEST(RecorderLostPages, FullDiskLosesOnlyThePagesThatFailed) {
  TTmpfs fs(128);
  REQUIRE_TMPFS(fs);
  TInstDataRecorder r(fs.Path("instrec.data"), 100, false, [](const std::string&) {});
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(r.Write(Rec(i + 1)));  // page 0 written
  fs.Fill("filler");
  for (int i = 100; i < 300; ++i) ASSERT_TRUE(r.Write(Rec(i + 1)));  // pages 1, 2 fail
  EXPECT_EQ(r.LostCount(), 200);
  ASSERT_EQ(std::remove(fs.Path("filler").c_str()), 0);
  for (int i = 300; i < 450; ++i) ASSERT_TRUE(r.Write(Rec(i + 1)));  // page 3 written
  EXPECT_EQ(r.Count(), 450);

  std::vector<int> expected = Range(1, 101);
  for (int i : Range(301, 451)) expected.push_back(i);
  EXPECT_EQ(ReadBack(r), expected);
  EXPECT_EQ(r.LostCount(), 200);

  // Appending goes on after the read-back; the end page keeps its records.
  for (int i = 450; i < 520; ++i) ASSERT_TRUE(r.Write(Rec(i + 1)));
  expected = Range(1, 101);
  for (int i : Range(301, 521)) expected.push_back(i);
  EXPECT_EQ(ReadBack(r), expected);
}

}  // namespace
