// Nothing the operator spelled or recorded is lost or falsified: the tape
// comes back after an exit that did not save it, and a recording file that
// fails never stops the session nor passes lost readings off as data.
#include <QApplication>
#include <QFileInfo>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QPlainTextEdit>
#include <tuple>

#include "session/SessionModel.h"
#include "MainFixture.h"
#include "files/AppFolder.h"
#include "seams/UserDialogs.h"
#include "recording/Instrecord.h"
#include "tests/support/Tmpfs.h"
#include "windows/Graph.h"
#include "windows/Main.h"
#include "session/TapeRecovery.h"

#ifdef __linux__
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

class DataSafety : public MainFixture {
protected:
  QString RecoveryPath() const { return Dir->filePath(TTapeRecovery::FileName()); }
  // Polls below the on level; each writes two records.
  void Polls(int n) {
    for (int i = 0; i < n; ++i) Poll(0.05);
  }
  // "СВ" into a file of the test folder; the file's data lines.
  QList<QByteArray> SaveAll() {
    const QString path = Dir->filePath(QStringLiteral("all.txt"));
    Dialogs->FileAnswers.push_back(path);
    FGraph->BSaveAllClick();
    QList<QByteArray> lines = FileBytes(path).split('\n');
    if (lines.size() >= 2) lines = lines.mid(2);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
  }
  // No line is a record of zeros, and the seconds never run backwards.
  static void ExpectRealRecords(const QList<QByteArray>& lines) {
    double previous = 0.0;
    for (const QByteArray& line : lines) {
      const QList<QByteArray> cols = line.trimmed().split('\t');
      ASSERT_EQ(cols.size(), 2) << line.constData();
      EXPECT_NE(cols[1].toDouble(), 0.0) << "a lost reading passed off as data";
      const double seconds = cols[0].toDouble();
      EXPECT_GE(seconds, previous);
      EXPECT_LT(seconds, 3600.0);
      previous = seconds;
    }
  }
};

TEST_F(DataSafety, UnsavedTapeComesBackAtTheNextStartAsHeld) {
  PresetSymbols({"A", "B", "C", "."});
  Launch();
  Start();
  Fire();
  NextSymbol();
  Fire();
  FMain->BTimeStampClick();
  FMain->MTape->appendPlainText(QStringLiteral("typed\u00A0text"));
  const QString held = FMain->TapeText();
  ASSERT_TRUE(held.startsWith(QStringLiteral("- ")));
  Shutdown();  // no save, no question: the program simply ends
  EXPECT_EQ(FileBytes(RecoveryPath()), held.toUtf8());

  Launch();
  EXPECT_EQ(FMain->TapeText(), held);
  EXPECT_TRUE(FMain->LNotice->isVisibleTo(FMain));
  EXPECT_TRUE(FMain->LNotice->text().contains(QStringLiteral("Восстановлена")));
  EXPECT_TRUE(Dialogs->Messages.isEmpty()) << "no box at start-up";

  // Saved, the tape is empty and so is the copy; the no-break space is
  // written as cp1251 holds it.
  const QString path = Dir->filePath(QStringLiteral("tape.txt"));
  Dialogs->FileAnswers.push_back(path);
  FMain->BSaveTapeToFileClick();
  EXPECT_TRUE(FileBytes(path).endsWith("typed\xA0text\r\n"));
  EXPECT_TRUE(FileBytes(RecoveryPath()).isEmpty());
  Shutdown();
  Launch();
  EXPECT_TRUE(FMain->MTape->document()->isEmpty());
  EXPECT_TRUE(FMain->LNotice->isHidden());
}

TEST_F(DataSafety, ClearEmptiesTheCopyAtOnce) {
  Launch();
  FMain->MTape->setPlainText(QStringLiteral("- AB"));
  FMain->TapeRecovery()->WriteNow();
  EXPECT_EQ(FileBytes(RecoveryPath()), QByteArray("- AB"));
  Dialogs->Answers.push_back(true);
  FMain->BClearClick();
  EXPECT_TRUE(FMain->TapeRecovery()->UpToDate());
  EXPECT_TRUE(FileBytes(RecoveryPath()).isEmpty());
}

// "Да" to the close question drops the tape, and with it the copy: also a
// change not yet written, which the window's end would otherwise write.
// "Нет" keeps both.
TEST_F(DataSafety, QuitAnywayDropsTheCopyAndNoKeepsIt) {
  Launch();
  FMain->MTape->setPlainText(QStringLiteral("- AB"));
  FMain->TapeRecovery()->WriteNow();
  FMain->MTape->appendPlainText(QStringLiteral("- C"));  // pending
  Dialogs->Answers.push_back(false);
  EXPECT_FALSE(FMain->close());
  Dialogs->Answers.push_back(true);
  EXPECT_TRUE(FMain->close());
  EXPECT_EQ(Dialogs->Questions.size(), 2);
  Shutdown();
  EXPECT_TRUE(FileBytes(RecoveryPath()).isEmpty());
  Launch();
  EXPECT_TRUE(FMain->MTape->document()->isEmpty());

  FMain->MTape->setPlainText(QStringLiteral("- XY"));
  Dialogs->Answers.push_back(false);
  EXPECT_FALSE(FMain->close());
  Shutdown();
  Launch();
  EXPECT_EQ(FMain->TapeText(), QStringLiteral("- XY"));
}

// A copy that cannot be written (a full disk) keeps the old one and says so
// once; the old copy still brings the tape back.
TEST_F(DataSafety, CopyOnAFullDiskKeepsTheOldOneAndSaysSo) {
  TTmpfs fs(256);
  REQUIRE_TMPFS(fs);
  SetAppDataFolder(QString::fromStdString(fs.Dir()));
  const QString copy = QString::fromStdString(fs.Path("tape.recovery"));
  Launch();
  FMain->MTape->setPlainText(QStringLiteral("- AB"));
  FMain->TapeRecovery()->WriteNow();
  ASSERT_EQ(FileBytes(copy), QByteArray("- AB"));
  fs.Fill("filler");
  for (int i = 0; i < 3; ++i) {
    FMain->MTape->appendPlainText(QStringLiteral("- CDEFGHIJKLMNOPQRSTUVWXYZ"));
    FMain->TapeRecovery()->WriteNow();
  }
  EXPECT_EQ(FileBytes(copy), QByteArray("- AB"));
  EXPECT_EQ(FMain->LNotice->text().count(QStringLiteral("Не удается записать копию")), 1)
      << FMain->LNotice->text().toStdString();
  Shutdown();  // tries once more, in vain
  EXPECT_EQ(FileBytes(copy), QByteArray("- AB"));
  EXPECT_EQ(QDir(QString::fromStdString(fs.Dir()))
                .entryList(QStringList{QStringLiteral("*.tmp*")}, QDir::Files | QDir::Hidden),
            QStringList{});
}

// "СВ" over an earlier export on a full disk: a few hundred readings, all
// of them in the last write, which must fail as seen.
TEST_F(DataSafety, SaveAllOnAFullDiskKeepsTheOldExportAndSaysSo) {
  TTmpfs fs(256);
  REQUIRE_TMPFS(fs);
  const QString path = QString::fromStdString(fs.Path("all.txt"));
  Launch();
  Start();
  Polls(150);
  Dialogs->FileAnswers.push_back(path);
  FGraph->BSaveAllClick();
  const QByteArray old = FileBytes(path);
  ASSERT_FALSE(old.isEmpty());
  fs.Fill("filler");
  Start();
  Polls(150);
  Dialogs->FileAnswers.push_back(path);
  FGraph->BSaveAllClick();
  EXPECT_TRUE(FileBytes(path) == old);
  ASSERT_EQ(Dialogs->Messages.size(), 1);
  EXPECT_TRUE(Dialogs->Messages[0].contains(QStringLiteral("прежний файл не изменен")))
      << Dialogs->Messages[0].toStdString();
}

#ifdef __linux__
// Copies left by an earlier run that cannot be shown as they are: a FIFO
// (which must not hang the start), one too large, one that is not UTF-8,
// one that cannot be read. None is put on the tape; each stays as it was
// under another name, the notice line says why and where, and the tape is
// kept in a fresh copy from then on.
TEST_F(DataSafety, OddCopiesAreSetAsideAndNamedInTheNotice) {
  const QByteArray big(int(TTapeRecovery::MaxBytes) + 1, 'A');
  const QByteArray cp1251("- \xCF\xD0\xC8\xC2\xC5\xD2");
  const auto put = [](const QByteArray& bytes, QFile::Permissions mode) {
    return [bytes, mode](const QString& p) {
      QFile f(p);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      ASSERT_EQ(f.write(bytes), bytes.size());
      f.close();
      f.setPermissions(mode);
    };
  };
  const QFile::Permissions rw = QFile::ReadOwner | QFile::WriteOwner;
  struct TCase {
    const char* Reason;
    std::function<void(const QString&)> Make;
  };
  std::vector<TCase> cases = {
      {"не обычный файл",
       [](const QString& p) { ASSERT_EQ(mkfifo(QFile::encodeName(p).constData(), 0600), 0); }},
      {"больше", put(big, rw)},
      {"UTF-8", put(cp1251, rw)},
  };
  // Root reads every file: the unreadable case needs another user.
  if (geteuid() != 0) cases.push_back({"прочитать", put("- AB", QFile::WriteOwner)});
  const QString kept = RecoveryPath() + QStringLiteral(".kept");
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Reason);
    QFile::remove(kept);
    c.Make(RecoveryPath());
    const QFileInfo info(RecoveryPath());
    const auto before = std::make_tuple(info.isFile(), info.size(), info.permissions());
    Launch();
    EXPECT_TRUE(FMain->MTape->document()->isEmpty());
    const QString notice = FMain->LNotice->text();
    EXPECT_TRUE(notice.contains(QString::fromUtf8(c.Reason))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(kept)) << notice.toStdString();
    EXPECT_TRUE(Dialogs->Messages.isEmpty());
    FMain->MTape->setPlainText(QStringLiteral("- Z"));
    Shutdown();
    EXPECT_EQ(FileBytes(RecoveryPath()), QByteArray("- Z"));
    const QFileInfo after(kept);
    EXPECT_EQ(std::make_tuple(after.isFile(), after.size(), after.permissions()), before)
        << "the old copy is kept as it was";
    ASSERT_TRUE(QFile::remove(RecoveryPath()));
  }
  if (geteuid() != 0) QFile::setPermissions(kept, rw);
  EXPECT_EQ(FileBytes(kept), geteuid() != 0 ? QByteArray("- AB") : cp1251);
}
#endif

// A copy that cannot be renamed aside (here: every name is taken) is never
// overwritten, not by changes and not by "Да" on the close question.
TEST_F(DataSafety, ACopyThatCannotBeSetAsideIsLeftAlone) {
  const QByteArray bad("- \xFF\xFE");
  const auto put = [](const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
  };
  put(RecoveryPath(), bad);
  for (int n = 1; n <= 100; ++n)
    put(RecoveryPath() + QStringLiteral(".kept") + (n == 1 ? QString() : QString::number(n)), {});
  Launch();
  EXPECT_TRUE(FMain->LNotice->text().contains(QStringLiteral("не ведется")))
      << FMain->LNotice->text().toStdString();
  FMain->MTape->setPlainText(QStringLiteral("- Z"));
  Dialogs->Answers.push_back(true);
  EXPECT_TRUE(FMain->close());
  Shutdown();
  EXPECT_EQ(FileBytes(RecoveryPath()), bad);
}

#ifdef __linux__
// A recording file that takes no data and reads back zeros: the session goes
// on without a box, and "СВ" hands out no zeros and says what was lost.
TEST_F(DataSafety, RecordingDeviceThatTakesNoDataNeverStopsTheSession) {
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), Dir->filePath(QStringLiteral("instrec.data"))));
  Launch();  // the header cannot be written: a box at start-up is fine
  const int atStart = Dialogs->Messages.size();
  Start();
  Polls(600);
  EXPECT_EQ(SessionModel->Recorder()->Count(), 1200) << "every poll was taken";
  EXPECT_EQ(Dialogs->Messages.size(), atStart) << "no box from inside a poll";
  EXPECT_TRUE(FMain->LNotice->text().contains(QStringLiteral("файл записи")));
  Fire();
  EXPECT_EQ(Tape().size(), 1) << "selections go on";

  EXPECT_TRUE(SaveAll().isEmpty());
  ASSERT_EQ(Dialogs->Messages.size(), atStart + 1);
  EXPECT_TRUE(Dialogs->Messages.last().contains(QStringLiteral("Потеряно показаний: 1204")))
      << Dialogs->Messages.last().toStdString();
}
#endif

TEST_F(DataSafety, FullDiskDuringASessionLosesOnlyThePageThatFailed) {
  TTmpfs fs(256);
  REQUIRE_TMPFS(fs);
  SetAppDataFolder(QString::fromStdString(fs.Dir()));
  Launch();
  Start();
  fs.Fill("filler");
  Polls(600);  // page 0 (records 0..999) does not fit
  EXPECT_EQ(SessionModel->Recorder()->Count(), 1200);
  EXPECT_EQ(SessionModel->Recorder()->LostCount(), 1000);
  EXPECT_TRUE(Dialogs->Messages.isEmpty());
  EXPECT_FALSE(FMain->LNotice->isHidden());

  ASSERT_TRUE(QFile::remove(QString::fromStdString(fs.Path("filler"))));
  Polls(900);  // pages 1 and 2 are written
  EXPECT_EQ(SessionModel->Recorder()->Count(), 3000);

  const QList<QByteArray> lines = SaveAll();
  EXPECT_EQ(lines.size(), 2000);
  ExpectRealRecords(lines);
  ASSERT_EQ(Dialogs->Messages.size(), 1);
  EXPECT_TRUE(Dialogs->Messages[0].contains(QStringLiteral("Потеряно показаний: 1000")))
      << Dialogs->Messages[0].toStdString();
  Shutdown();  // while the tmpfs is there
}

// The Qt save dialog itself, driven as a user would: a path in a folder that
// does not exist is refused with a message, and the dialog asks again.
TEST(SaveDialog, RefusesAPathWhoseFolderDoesNotExist) {
  SetDialogs(nullptr);
  QStringList seen;
  int dialogs = 0;
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      seen << box->text();
      box->accept();
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      if (++dialogs == 1) {
        dialog->selectFile(QStringLiteral("/no-such-quillora-folder/tape.txt"));
        QMetaObject::invokeMethod(dialog, "accept");
      } else {
        dialog->reject();
      }
    }
  });
  driver.start(20);
  TFileDialogRequest request;
  request.PathMustExist = true;
  request.Filters = QStringList{QStringLiteral("All Files (*)")};
  request.Title = QStringLiteral("x");
  request.InitialDir = QDir::tempPath();
  // Widgets the dialog is drawn with; no native dialog on this platform.
  EXPECT_TRUE(Dialogs().SaveFile(nullptr, request).isEmpty());
  ASSERT_EQ(seen.size(), 1);
  EXPECT_TRUE(seen[0].contains(QStringLiteral("не существует")));
  EXPECT_EQ(dialogs, 2) << "the dialog asked again";
}

}  // namespace
