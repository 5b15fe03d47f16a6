// Appending the tape to a file: a failed append leaves the file's bytes as
// they were, whichever step failed.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "files/TapeFile.h"
#include "tests/support/Tmpfs.h"

namespace {

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Put(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray OldContent() {
  QByteArray old;
  for (int i = 0; i < 400; ++i) old += "- ABCDEFGH\r\n";  // 4800 bytes
  return old;
}

QStringList LongTape() {
  QStringList lines;
  for (int i = 0; i < 2000; ++i) lines << QStringLiteral("- ABCDEFGHIJ");
  return lines;
}

class TapeFileFailure : public ::testing::TestWithParam<TTapeFileStep> {
protected:
  void TearDown() override { SetTapeFileFailure(TTapeFileStep::None); }
};

TEST_P(TapeFileFailure, LeavesTheFileAsItWas) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("tape.txt"));
  Put(path, OldContent());
  SetTapeFileFailure(GetParam());
  EXPECT_EQ(AppendLinesToFile(path, LongTape()).Result, TTapeFileResult::WriteFailed);
  EXPECT_EQ(Bytes(path), OldContent());

  SetTapeFileFailure(TTapeFileStep::None);
  EXPECT_EQ(AppendLinesToFile(path, {QStringLiteral("- Z")}).Result, TTapeFileResult::Saved);
  EXPECT_EQ(Bytes(path), OldContent() + "- Z\r\n");
}

INSTANTIATE_TEST_SUITE_P(EachStep, TapeFileFailure,
                         ::testing::Values(TTapeFileStep::Write, TTapeFileStep::Flush,
                                           TTapeFileStep::Close));

// A real full disk: the append gets part of the way and stops.
TEST(TapeFileFullDisk, PartialAppendIsUndoneAndARetryAppendsOnce) {
  TTmpfs fs(64);
  REQUIRE_TMPFS(fs);
  const QString path = QString::fromStdString(fs.Path("tape.txt"));
  Put(path, OldContent());
  fs.Fill("filler");
  EXPECT_EQ(AppendLinesToFile(path, LongTape()).Result, TTapeFileResult::WriteFailed);
  EXPECT_EQ(Bytes(path), OldContent());

  ASSERT_TRUE(QFile::remove(QString::fromStdString(fs.Path("filler"))));
  ASSERT_EQ(AppendLinesToFile(path, LongTape()).Result, TTapeFileResult::Saved);
  EXPECT_EQ(Bytes(path), OldContent() + LongTape().join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
}

// A short tape that no buffer may hide: the file ends on a page boundary,
// so its few bytes need a page the full disk does not have.
TEST(TapeFileFullDisk, ShortTapeIsRefusedAndTheFileKept) {
  TTmpfs fs(64);
  REQUIRE_TMPFS(fs);
  const QString path = QString::fromStdString(fs.Path("tape.txt"));
  const QByteArray old(4096, 'x');
  Put(path, old);
  fs.Fill("filler");
  EXPECT_EQ(AppendLinesToFile(path, {QStringLiteral("- AB")}).Result, TTapeFileResult::WriteFailed);
  EXPECT_EQ(Bytes(path), old);

  // A new file that cannot take the tape is not left behind empty.
  const QString fresh = QString::fromStdString(fs.Path("new.txt"));
  EXPECT_EQ(AppendLinesToFile(fresh, {QStringLiteral("- AB")}).Result, TTapeFileResult::WriteFailed);
  EXPECT_FALSE(QFile::exists(fresh));
}

}  // namespace
