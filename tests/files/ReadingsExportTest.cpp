// The readings export: midnight against a clock set back, and an existing
// file that survives a failed export.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "files/ReadingsExport.h"
#include "tests/support/Tmpfs.h"

namespace {

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TExportResult Export(const QString& path, const std::vector<double>& times) {
  return TReadingsExport::Write(path, int(times.size()), [&](int i, TInstData& r) {
    r.Time = times[std::size_t(i)];
    r.Sensor = 0.5;
    return true;
  });
}

constexpr double kSecond = 1.0 / 86400.0;

TEST(ReadingsExport, OnlyARealMidnightAddsADay) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("e.txt"));
  // 12:00:00, the clock set back 30 min, then 23:59:59 to 00:00:01.
  const double noon = 0.5;
  const double lateNight = 1.0 - kSecond;
  ASSERT_EQ(Export(path, {noon, noon - 1800 * kSecond, lateNight, kSecond}), TExportResult::Written);
  const QList<QByteArray> lines = Bytes(path).split('\n');
  ASSERT_GE(lines.size(), 6);
  EXPECT_EQ(lines[2], "0\t0.5\r");
  EXPECT_EQ(lines[3], "-1800\t0.5\r") << "a clock set back is not midnight";
  EXPECT_EQ(lines[4], "43199\t0.5\r");
  EXPECT_EQ(lines[5], "43201\t0.5\r") << "midnight counts the day";
}

TEST(ReadingsExport, ExistingFileSurvivesAFullDisk) {
  TTmpfs fs(64);
  REQUIRE_TMPFS(fs);
  const QString path = QString::fromStdString(fs.Path("export.txt"));
  std::vector<double> few(100, 0.5);
  ASSERT_EQ(Export(path, few), TExportResult::Written);
  const QByteArray old = Bytes(path);
  fs.Fill("filler");

  std::vector<double> many(20000, 0.5);
  EXPECT_EQ(Export(path, many), TExportResult::WriteFailed);
  EXPECT_EQ(Bytes(path), old);
  EXPECT_EQ(QDir(QString::fromStdString(fs.Dir())).entryList(QDir::Files | QDir::Hidden),
            (QStringList{QStringLiteral("export.txt"), QStringLiteral("filler")}))
      << "no partial file left behind";
}

// Small exports whose last bytes are still in a buffer when the file is
// finished: the failure of that last write must be seen as well.
class ReadingsExportFullDisk : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(ReadingsExportFullDisk, FailsAndKeepsTheOldFile) {
  const auto [freeKb, readings] = GetParam();
  TTmpfs fs(256);
  REQUIRE_TMPFS(fs);
  const QString path = QString::fromStdString(fs.Path("export.txt"));
  ASSERT_EQ(Export(path, std::vector<double>(2000, 0.5)), TExportResult::Written);
  const QByteArray old = Bytes(path);
  const QString filler = QString::fromStdString(fs.Path("filler"));
  ASSERT_TRUE(QFile::resize(filler, fs.Fill("filler") - qint64(freeKb) * 1024));

  // 40 ms apart, about 11 bytes a line: 7000 readings are 79 kB, one
  // 64 kB piece and a tail.
  std::vector<double> times;
  for (int i = 0; i < readings; ++i) times.push_back(0.5 + i * 0.04 * kSecond);
  EXPECT_EQ(Export(path, times), TExportResult::WriteFailed);
  EXPECT_TRUE(Bytes(path) == old) << "replaced by " << Bytes(path).size() << " bytes";
  EXPECT_EQ(QDir(QString::fromStdString(fs.Dir())).entryList(QDir::Files | QDir::Hidden),
            (QStringList{QStringLiteral("export.txt"), QStringLiteral("filler")}));
}

INSTANTIATE_TEST_SUITE_P(FreeKbAndReadings, ReadingsExportFullDisk,
                         ::testing::Values(std::pair{0, 300}, std::pair{76, 7000}));

TEST(ReadingsExport, CancelledOrUnreadableExportLeavesTheOldFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("e.txt"));
  ASSERT_EQ(Export(path, {0.5}), TExportResult::Written);
  const QByteArray old = Bytes(path);
  auto source = [](int i, TInstData& r) {
    r.Time = 0.5;
    r.Sensor = 0.1;
    return i < 5000;
  };
  EXPECT_EQ(TReadingsExport::Write(path, 6000, source), TExportResult::ReadFailed);
  EXPECT_EQ(Bytes(path), old);
  EXPECT_EQ(TReadingsExport::Write(path, 6000, source, [](int) { return false; }),
            TExportResult::Cancelled);
  EXPECT_EQ(Bytes(path), old);
}

}  // namespace
