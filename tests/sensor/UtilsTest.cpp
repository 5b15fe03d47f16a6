#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>

#include "ScriptedClock.h"
#include "sensor/Utils.h"

namespace fs = std::filesystem;

TEST(RoundToInt, AddsHalfAndTruncatesTowardZero) {
  EXPECT_EQ(RoundToInt(2.5), 3);
  EXPECT_EQ(RoundToInt(2.49), 2);
  EXPECT_EQ(RoundToInt(0.0), 0);
  // Truncation toward zero of x + 0.5, not rounding to nearest.
  EXPECT_EQ(RoundToInt(-0.7), 0);
  EXPECT_EQ(RoundToInt(-1.5), -1);
  EXPECT_EQ(RoundToInt(-2.6), -2);
}

TEST(RoundToInt, NonFiniteAndHugeValuesStayDefined) {
  EXPECT_EQ(RoundToInt(std::nan("")), 0);
  EXPECT_EQ(RoundToInt(1e300), std::numeric_limits<int>::max());
  EXPECT_EQ(RoundToInt(-1e300), std::numeric_limits<int>::min());
}

TEST(ParseDecimal, AcceptsPointAndComma) {
  double v = 0;
  ASSERT_TRUE(ParseDecimal("3.1", v));
  EXPECT_DOUBLE_EQ(v, 3.1);
  ASSERT_TRUE(ParseDecimal("3,1", v));
  EXPECT_DOUBLE_EQ(v, 3.1);
  ASSERT_TRUE(ParseDecimal("1.000", v));
  EXPECT_DOUBLE_EQ(v, 1.0);
  ASSERT_TRUE(ParseDecimal("  -0,22 ", v));
  EXPECT_DOUBLE_EQ(v, -0.22);
  ASSERT_TRUE(ParseDecimal("+7", v));
  EXPECT_DOUBLE_EQ(v, 7.0);
  ASSERT_TRUE(ParseDecimal(".5", v));
  EXPECT_DOUBLE_EQ(v, 0.5);
  ASSERT_TRUE(ParseDecimal("2.", v));
  EXPECT_DOUBLE_EQ(v, 2.0);
  ASSERT_TRUE(ParseDecimal("1,5e2", v));
  EXPECT_DOUBLE_EQ(v, 150.0);
}

TEST(ParseDecimal, RejectsAnythingButOneNumber) {
  double v = 42.0;
  for (const char* text : {"", "   ", "abc", "1.2.3", "1,2,3", "1 2", "3.1x", "-", ".", "e5", "1e",
                           "inf", "nan", "0x10", "1e999", "--1"}) {
    EXPECT_FALSE(ParseDecimal(text, v)) << '"' << text << '"';
  }
  EXPECT_EQ(v, 42.0);  // untouched on failure
}

TEST(ParseDecimal, IgnoresTheProcessLocale) {
  // A locale with a comma separator must not change how a point is read.
  const char* ru = std::setlocale(LC_NUMERIC, "ru_RU.UTF-8");
  double v = 0;
  EXPECT_TRUE(ParseDecimal("0.22", v));
  EXPECT_DOUBLE_EQ(v, 0.22);
  EXPECT_TRUE(ParseDecimal("0,22", v));
  EXPECT_DOUBLE_EQ(v, 0.22);
  if (ru) std::setlocale(LC_NUMERIC, "C");
}

TEST(ParseInteger, DecimalWithSign) {
  int v = 0;
  ASSERT_TRUE(ParseInteger(" 20 ", v));
  EXPECT_EQ(v, 20);
  ASSERT_TRUE(ParseInteger("-3", v));
  EXPECT_EQ(v, -3);
  ASSERT_TRUE(ParseInteger("+5000", v));
  EXPECT_EQ(v, 5000);
  v = 9;
  for (const char* text : {"", "abc", "1.5", "1,5", "12a", "+", "99999999999", "0x1F"})
    EXPECT_FALSE(ParseInteger(text, v)) << text;
  EXPECT_EQ(v, 9);
}

TEST(ParsePercent, ClampsAndDefaultsToZero) {
  EXPECT_DOUBLE_EQ(ParsePercent("30"), 30.0);
  EXPECT_DOUBLE_EQ(ParsePercent("12,5"), 12.5);
  EXPECT_DOUBLE_EQ(ParsePercent("150"), 100.0);
  EXPECT_DOUBLE_EQ(ParsePercent("-5"), 0.0);
  EXPECT_DOUBLE_EQ(ParsePercent("letters"), 0.0);
  EXPECT_DOUBLE_EQ(ParsePercent(""), 0.0);
}

TEST(Clock, TimeOfDayInDaysWithMilliseconds) {
  TScriptedClock clock;
  clock.Set(12, 0, 0, 0);
  EXPECT_DOUBLE_EQ(TimeOfDayDays(), 0.5);
  clock.Set(0, 0, 0, 40);
  EXPECT_DOUBLE_EQ(TimeOfDayDays(), 40.0 / 86400000.0);
  clock.Set(23, 59, 59, 999);
  EXPECT_LT(TimeOfDayDays(), 1.0);
  EXPECT_DOUBLE_EQ(TimeOfDayDays(), 86399999.0 / 86400000.0);
}

TEST(Clock, DateTimeHasADatePart) {
  TScriptedClock clock;
  clock.now = {1970, 1, 2, 6, 0, 0, 0};
  EXPECT_DOUBLE_EQ(LocalDateTimeDays(), 1.25);
  clock.now = {2000, 3, 1, 0, 0, 0, 0};
  EXPECT_DOUBLE_EQ(LocalDateTimeDays(), 11017.0);
}

TEST(Clock, SystemClockIsRestored) {
  {
    TScriptedClock clock;
    clock.now = {1999, 1, 1, 0, 0, 0, 0};
    EXPECT_LT(LocalDateTimeDays(), 11000.0);
  }
  // 2020-01-01 is day 18262; the system clock is later than that.
  EXPECT_GT(LocalDateTimeDays(), 18262.0);
  const double t = TimeOfDayDays();
  EXPECT_GE(t, 0.0);
  EXPECT_LT(t, 1.0);
}

TEST(Folders, ExecutableDirEndsWithSeparatorAndHoldsTheProgram) {
  const std::string dir = ExecutableDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_TRUE(dir.back() == '/' || dir.back() == '\\');
  EXPECT_TRUE(fs::exists(fs::u8path(dir) / "sensor_tests") ||
              fs::exists(fs::u8path(dir) / "sensor_tests.exe"));
}

class DataDirTest : public ::testing::Test {
protected:
  void SetUp() override {
    // Named in Cyrillic: the paths must reach the folder whatever the code page.
    root = fs::temp_directory_path() /
           fs::u8path(std::string("quillora-datadir-папка-") +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                      std::to_string(std::random_device{}()));
    fs::remove_all(root);
    fs::create_directories(root);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  fs::path root;
};

#ifdef _WIN32
const std::string kSep = "\\";
#else
const std::string kSep = "/";
#endif

TEST_F(DataDirTest, PrefersAWritableFolder) {
  const std::string preferred = (root / "exe").u8string();
  fs::create_directories(fs::u8path(preferred));
  EXPECT_TRUE(IsDirWritable(preferred));
  EXPECT_EQ(ChooseDataDir(preferred, (root / "user").u8string()), preferred + kSep);
  EXPECT_FALSE(fs::exists(root / "user"));
  // The write test leaves nothing behind.
  EXPECT_TRUE(fs::is_empty(fs::u8path(preferred)));
}

TEST_F(DataDirTest, FallsBackAndCreatesTheFallback) {
  const std::string missing = (root / "nowhere").u8string();
  EXPECT_FALSE(IsDirWritable(missing));
  const std::string fallback = (root / "user" / "data").u8string() + "/";
  EXPECT_EQ(ChooseDataDir(missing, fallback), fallback);
  EXPECT_TRUE(fs::is_directory(fs::u8path(fallback)));
}

TEST_F(DataDirTest, AFileOrAProtectedFolderIsNotWritable) {
  const fs::path file = root / "plain-file";
  std::ofstream(file) << "x";
  EXPECT_FALSE(IsDirWritable(file.u8string()));
  EXPECT_EQ(ChooseDataDir(file.u8string(), (root / "u").u8string()),
            (root / "u").u8string() + kSep);
#ifdef __linux__
  // No one may create files in /proc, not even the superuser.
  EXPECT_FALSE(IsDirWritable("/proc"));
#endif
}

TEST(Folders, TrailingSeparatorAddedOnce) {
  EXPECT_EQ(WithTrailingSeparator("/a/b"), "/a/b" + kSep);
  EXPECT_EQ(WithTrailingSeparator("/a/b/"), "/a/b/");
  EXPECT_EQ(WithTrailingSeparator(""), "");
}

TEST(DaysBetween, OnlyAFallOfMoreThanHalfADayIsMidnight) {
  const double second = 1.0 / 86400.0;
  EXPECT_NEAR(DaysBetween(1.0 - 30 * second, 15 * second) / second, 45.0, 1e-6);
  // The clock set back an hour (the end of daylight saving) is no new day.
  EXPECT_NEAR(DaysBetween(0.5, 0.5 - 3600 * second) / second, -3600.0, 1e-6);
  EXPECT_FALSE(PassedMidnight(0.5, 0.5 - 3600 * second));
  EXPECT_TRUE(PassedMidnight(0.9, 0.1));
}
