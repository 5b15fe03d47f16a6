// The tape: clearing, the time stamp and saving by appending to a file.
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPlainTextEdit>

#include "MainFixture.h"
#include "sensor/Utils.h"
#include "windows/Main.h"
#include "files/TapeFile.h"

namespace {

class Tape : public MainFixture {
protected:
  void SetUp() override {
    MainFixture::SetUp();
    Launch();
    Path = Dir->filePath(QStringLiteral("tape.txt"));
  }
  void SetTape(const QString& text) { FMain->MTape->setPlainText(text); }
  QString TapeText() const { return FMain->MTape->toPlainText(); }
  void SaveAs(const QString& path) {
    Dialogs->FileAnswers.push_back(path);
    FMain->BSaveTapeToFileClick();
  }
  QString Path;
};

TEST_F(Tape, SaveAsAppendsEveryLineWithCrLfAndEmptiesTheTape) {
  SetTape(QStringLiteral("- AB\n---  stamp  ---\n- C"));
  SaveAs(Path);
  EXPECT_EQ(FileBytes(Path), QByteArray("- AB\r\n---  stamp  ---\r\n- C\r\n"));
  EXPECT_TRUE(TapeText().isEmpty());
  EXPECT_EQ(FMain->TapeFileName, Path);
  ASSERT_EQ(Dialogs->FileRequests.size(), 1);
  const TFileDialogRequest& r = Dialogs->FileRequests[0];
  EXPECT_EQ(r.InitialDir, FMain->ProgramDir);
  EXPECT_TRUE(r.FileName.isEmpty());
  EXPECT_EQ(r.DefaultExtension, QStringLiteral("txt"));
  EXPECT_EQ(r.Filters, (QStringList{"Text Files (*.txt)", "AllFiles (*.*)"}));
  EXPECT_TRUE(r.PathMustExist);
  EXPECT_TRUE(r.NoReadOnly);
  EXPECT_FALSE(r.OverwritePrompt);
}

TEST_F(Tape, TwoSavesAppendAndANothingSaveChangesNothing) {
  SetTape(QStringLiteral("- A"));
  SaveAs(Path);
  SetTape(QStringLiteral("- B"));
  FMain->BSaveTapeClick();  // the current file, no dialog
  EXPECT_EQ(Dialogs->FileRequests.size(), 1);
  FMain->BSaveTapeClick();
  EXPECT_EQ(FileBytes(Path), QByteArray("- A\r\n- B\r\n"));
  EXPECT_EQ(Dialogs->FileRequests[0].InitialDir, FMain->ProgramDir);
  SaveAs(Path);
  EXPECT_TRUE(Dialogs->FileRequests[1].InitialDir.isEmpty()) << "the dialog returns to the last folder";
}

TEST_F(Tape, SaveWithoutACurrentFileAsksForOne) {
  SetTape(QStringLiteral("- A"));
  FMain->BSaveTapeClick();  // cancelled
  EXPECT_EQ(Dialogs->FileRequests.size(), 1);
  EXPECT_EQ(TapeText(), QStringLiteral("- A"));
  EXPECT_TRUE(FMain->TapeFileName.isEmpty());
  Dialogs->FileAnswers.push_back(Path);
  FMain->BSaveTapeClick();
  EXPECT_EQ(FileBytes(Path), QByteArray("- A\r\n"));
}

TEST_F(Tape, BlankTapeNeitherCreatesTheFileNorEmptiesTheTape) {
  SetTape(QStringLiteral("  \n\n "));
  SaveAs(Path);
  EXPECT_FALSE(QFile::exists(Path));
  EXPECT_EQ(TapeText(), QStringLiteral("  \n\n "));
}

TEST_F(Tape, ExistingFileIsAppendedWithoutAQuestion) {
  QFile f(Path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("old\r\n");
  f.close();
  SetTape(QStringLiteral("- X"));
  SaveAs(Path);
  EXPECT_EQ(FileBytes(Path), QByteArray("old\r\n- X\r\n"));
  EXPECT_TRUE(Dialogs->Questions.isEmpty());
}

TEST_F(Tape, CyrillicIsWrittenInCp1251) {
  SetTape(QStringLiteral("- ПРИВЕТ ёЁ"));
  SaveAs(Path);
  EXPECT_EQ(FileBytes(Path), QByteArray("- \xCF\xD0\xC8\xC2\xC5\xD2 \xB8\xA8\r\n"));
}

TEST_F(Tape, FileThatCannotBeOpenedKeepsTheTapeAndThePath) {
  const QString path = Dir->filePath(QStringLiteral("missing/tape.txt"));
  SetTape(QStringLiteral("- A"));
  SaveAs(path);
  EXPECT_EQ(Dialogs->Messages, QStringList{QStringLiteral("Ошибка записи в файл ") + path});
  EXPECT_EQ(TapeText(), QStringLiteral("- A"));
  EXPECT_EQ(FMain->TapeFileName, path);
  ASSERT_TRUE(QDir(Dir->path()).mkdir(QStringLiteral("missing")));
  FMain->BSaveTapeClick();  // the same path again
  EXPECT_EQ(FileBytes(path), QByteArray("- A\r\n"));
}

TEST_F(Tape, WriteFailureKeepsTheTape) {
  if (!QFile::exists(QStringLiteral("/dev/full"))) GTEST_SKIP() << "no /dev/full here";
  SetTape(QStringLiteral("- A"));
  SaveAs(QStringLiteral("/dev/full"));
  EXPECT_EQ(Dialogs->Messages, QStringList{QStringLiteral("Ошибка записи в файл /dev/full")});
  EXPECT_EQ(TapeText(), QStringLiteral("- A"));
}

TEST_F(Tape, CharacterOutsideCp1251RefusesTheSave) {
  SetTape(QStringLiteral("- A\n- B✓C"));
  SaveAs(Path);
  EXPECT_FALSE(QFile::exists(Path));
  EXPECT_EQ(TapeText(), QStringLiteral("- A\n- B✓C"));
  ASSERT_EQ(Dialogs->Messages.size(), 1);
  EXPECT_TRUE(Dialogs->Messages[0].contains(QStringLiteral("«✓»")));
  EXPECT_TRUE(Dialogs->Messages[0].contains(QStringLiteral("Windows-1251")));
}

TEST_F(Tape, ClearAsksWhenTheTapeHoldsText) {
  SetTape(QStringLiteral("- A"));
  FMain->BClearClick();  // No
  EXPECT_EQ(TapeText(), QStringLiteral("- A"));
  EXPECT_EQ(Dialogs->Questions, QStringList{QStringLiteral("Стереть запись?")});
  Dialogs->Answers = {true};
  FMain->BClearClick();
  EXPECT_TRUE(TapeText().isEmpty());
  SetTape(QStringLiteral(" \n "));
  FMain->BClearClick();
  EXPECT_TRUE(TapeText().isEmpty());
  EXPECT_EQ(Dialogs->Questions.size(), 2);
}

class FixedClock : public TClock {
public:
  TLocalDateTime Now() const override { return {2026, 3, 5, 14, 7, 9, 250}; }
};

TEST_F(Tape, TimeStampIsTheLocalDateAndTimeBetweenMarks) {
  FixedClock clock;
  SetClock(&clock);
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  FMain->BTimeStampClick();
  SetTape(TapeText() + QStringLiteral("\n- A"));
  FMain->BTimeStampClick();
  QLocale::setDefault(QLocale::c());
  SetClock(nullptr);
  const QStringList lines = FMain->TapeLines();
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0], QStringLiteral("---  05.03.2026 14:07:09  ---"));
  EXPECT_EQ(lines[2], lines[0]);
}

TEST(TapeFile, FailedWriteLeavesAnExistingFileAsItWas) {
  // Converting first: a bad character in a later line writes nothing at all.
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("t.txt"));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("keep\r\n");
  f.close();
  const TTapeFileOutcome o = AppendLinesToFile(path, {QStringLiteral("- A"), QStringLiteral("- ☺")});
  EXPECT_EQ(o.Result, TTapeFileResult::NotRepresentable);
  EXPECT_EQ(o.BadCharacter, QStringLiteral("☺"));
  EXPECT_EQ(FileBytes(path), QByteArray("keep\r\n"));
  EXPECT_EQ(AppendLinesToFile(path, {QString()}).Result, TTapeFileResult::Saved);
  EXPECT_EQ(FileBytes(path), QByteArray("keep\r\n\r\n"));
}

}  // namespace
