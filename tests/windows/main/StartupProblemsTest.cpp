// Start-up against odd files in the data folder: start-up always completes
// (settings loaded, drum drawn, settings window shown) without a box, the
// problem is named in the notice line, a settings file the program could not
// read is left as it is, and long names never make a message wider than a
// screen.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "MainFixture.h"
#include "capture/FakeCaptureDevice.h"
#include "inifile/WholeFile.h"
#include "seams/UserDialogs.h"
#include "windows/Main.h"
#include "windows/Settings.h"

namespace {

class StartupProblems : public MainFixture {
protected:
  void TearDown() override {
    MainFixture::TearDown();
    TFSettings::SetCaptureInputs(nullptr);
  }
  // Starts as the program does, with a time per symbol in the file when it
  // can hold one, and checks that start-up ran to its end without a box.
  void StartUp() {
    Launch(false);
    FMain->show();
    FMain->FormActivate();
    EXPECT_TRUE(Dialogs->Messages.isEmpty()) << Dialogs->Messages.join('|').toStdString();
    EXPECT_TRUE(FSettings->isVisible()) << "start-up ran to its end";
    EXPECT_FALSE(FMain->LNotice->isHidden());
  }
  QString Notice() const { return FMain->LNotice->text(); }
};

TEST_F(StartupProblems, RecordingFileThatCannotBeOpenedIsANoticeNotABox) {
  Preset({{"Char Period", "2,5"}});
  ASSERT_TRUE(QDir(Dir->path()).mkdir(QStringLiteral("instrec.data")));
  StartUp();
  EXPECT_EQ(FMain->ESymbolPeriod->text(), QStringLiteral("2,5")) << "settings loaded";
  EXPECT_TRUE(Notice().contains(Dir->filePath(QStringLiteral("instrec.data"))))
      << Notice().toStdString();
}

// A settings file that is there but cannot be read is named; the program
// runs on its defaults and leaves the file exactly as it was at exit.
TEST_F(StartupProblems, OversizedSettingsFileIsNamedAndKept) {
  QByteArray bytes = "[General Options]\r\nChar Period=2,5\r\n;";
  bytes += QByteArray(static_cast<int>(MaxWholeFileBytes), 'x');
  {
    QFile f(IniPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
  }
  StartUp();
  EXPECT_TRUE(Notice().contains(QDir::toNativeSeparators(IniPath()))) << Notice().toStdString();
  EXPECT_TRUE(Notice().contains(QStringLiteral("больше 4 МБ"))) << Notice().toStdString();
  EXPECT_EQ(FMain->ESymbolPeriod->text(), QStringLiteral("1.000"));
  FMain->ESymbolPeriod->setText(QStringLiteral("3"));
  Shutdown();
  EXPECT_TRUE(FileBytes(IniPath()) == bytes) << "the user's file is not replaced by defaults";
  EXPECT_TRUE(Dialogs->Messages.isEmpty())
      << "told once, at start: " << Dialogs->Messages.join('|').toStdString();
}

// The open-settings button: a file that cannot be read is named, and nothing
// is loaded (read as empty, it would reset the symbol table to A to Z).
TEST_F(StartupProblems, OpeningAnOversizedFileLoadsNothing) {
  PresetSymbols({"A", "B", "."});
  Launch();
  const QString other = Dir->filePath(QStringLiteral("other.ini"));
  {
    QFile f(other);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(static_cast<qint64>(MaxWholeFileBytes) + 1));
  }
  Dialogs->FileAnswers.push_back(other);
  FSettings->BOpenSettingsClick();
  ASSERT_EQ(Dialogs->Messages.size(), 1);
  EXPECT_TRUE(Dialogs->Messages[0].contains(QDir::toNativeSeparators(other)))
      << Dialogs->Messages[0].toStdString();
  EXPECT_EQ(FSettings->SymbolCount(), 3);
}

#ifndef _WIN32
TEST_F(StartupProblems, FifoOrFolderInPlaceOfTheSettingsFileIsNamedAndKept) {
  for (const bool fifo : {true, false}) {
    SCOPED_TRACE(fifo ? "FIFO" : "folder");
    Dialogs->Messages.clear();
    if (fifo)
      ASSERT_EQ(mkfifo(IniPath().toLocal8Bit().constData(), 0600), 0);
    else
      ASSERT_TRUE(QDir(Dir->path()).mkdir(QStringLiteral("Quillora.ini")));
    StartUp();  // a FIFO read here would block for ever
    EXPECT_TRUE(Notice().contains(QDir::toNativeSeparators(IniPath()))) << Notice().toStdString();
    EXPECT_TRUE(
        Notice().contains(fifo ? QStringLiteral("не обычный файл") : QStringLiteral("папка")))
        << Notice().toStdString();
    Shutdown();
    struct stat after {};
    ASSERT_EQ(lstat(IniPath().toLocal8Bit().constData(), &after), 0);
    EXPECT_TRUE(fifo ? S_ISFIFO(after.st_mode) : S_ISDIR(after.st_mode)) << "left in place";
    EXPECT_TRUE(Dialogs->Messages.isEmpty()) << Dialogs->Messages.join('|').toStdString();
    if (fifo)
      ASSERT_TRUE(QFile::remove(IniPath()));
    else
      ASSERT_TRUE(QDir(Dir->path()).rmdir(QStringLiteral("Quillora.ini")));
  }
}

// Root reads every file: this runs as another user (the test
// StartupProblems.UnreadableSettingsFileAsNobody runs it so under setpriv).
TEST_F(StartupProblems, UnreadableSettingsFileIsNamedAndKept) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  Preset({{"Char Period", "2,5"}});
  const QByteArray bytes = FileBytes(IniPath());
  ASSERT_EQ(chmod(IniPath().toLocal8Bit().constData(), 0), 0);
  StartUp();
  EXPECT_TRUE(Notice().contains(QDir::toNativeSeparators(IniPath()))) << Notice().toStdString();
  EXPECT_TRUE(Notice().contains(QStringLiteral("нет доступа на чтение"))) << Notice().toStdString();
  EXPECT_EQ(FMain->ESymbolPeriod->text(), QStringLiteral("1.000"));
  // Readable again before the exit: still nothing of the defaults goes in.
  ASSERT_EQ(chmod(IniPath().toLocal8Bit().constData(), 0600), 0);
  Shutdown();
  EXPECT_TRUE(FileBytes(IniPath()) == bytes) << FileBytes(IniPath()).toStdString();
}

#endif

// A device name of 2000 characters (the longest value the settings file
// gives back), of which only the start and the end are shown.
TEST_F(StartupProblems, LongDeviceNameIsElidedInTheNoticeAndInABox) {
  TFakeCaptureInputs inputs;
  inputs.Inputs = {{"mic", "Микрофон"}};
  TFSettings::SetCaptureInputs(&inputs);
  const QString device =
      QStringLiteral("start") + QString(1990, QLatin1Char('x')) + QStringLiteral("end");
  WriteIniKeys(IniPath(), QStringLiteral("Capture"), {{"Device", device}});
  StartUp();
  EXPECT_TRUE(Notice().contains(QStringLiteral("Устройство записи \"start")))
      << Notice().toStdString();
  EXPECT_TRUE(Notice().contains(QStringLiteral("end\" не найдено")));
  EXPECT_LT(Notice().size(), 200);
  EXPECT_LT(FSettings->LCaptureStatus->text().size(), 200);
  EXPECT_LT(FMain->minimumSizeHint().width(), 1000);

  // The same file opened later is a message box, elided the same way.
  Dialogs->FileAnswers.push_back(IniPath());
  FSettings->BOpenSettingsClick();
  ASSERT_EQ(Dialogs->Messages.size(), 1);
  EXPECT_TRUE(Dialogs->Messages[0].contains(QStringLiteral("end\" не найдено")));
  EXPECT_LT(Dialogs->Messages[0].size(), 200);
}

TEST(ElidedNames, KeepTheStartAndTheEndAndNeverSplitACharacter) {
  EXPECT_EQ(ElidedName(QStringLiteral("short.ini")), QStringLiteral("short.ini"));
  const QString path =
      QStringLiteral("/a") + QString(200, QLatin1Char('b')) + QStringLiteral("/Quillora.ini");
  const QString shown = ElidedName(path);
  EXPECT_EQ(shown.size(), MaxShownNameLength);
  EXPECT_TRUE(shown.startsWith(QStringLiteral("/abbb")));
  EXPECT_TRUE(shown.endsWith(QStringLiteral("b/Quillora.ini")));
  EXPECT_TRUE(shown.contains(QChar(0x2026)));
  // Emoji (two UTF-16 units each): no half of one is left at either cut.
  QString emoji;
  for (int i = 0; i < 100; ++i) emoji += QString::fromUcs4(U"\U0001F600");
  const QString cut = ElidedName(emoji);
  EXPECT_LE(cut.size(), MaxShownNameLength);
  EXPECT_EQ(cut.toUcs4().count(0xFFFD), 0);
  for (int i = 0; i < cut.size(); ++i)
    EXPECT_TRUE(!cut[i].isSurrogate() ||
                (cut[i].isHighSurrogate() ? i + 1 < cut.size() && cut[i + 1].isLowSurrogate()
                                          : i > 0 && cut[i - 1].isHighSurrogate()))
        << i;
  // In a text, only the long words and over-long lines are cut.
  const QString text =
      QStringLiteral("Ошибка записи в файл ") + path + QStringLiteral("\nВторая строка");
  EXPECT_EQ(ElidedText(text), QStringLiteral("Ошибка записи в файл ") + ElidedName(path) +
                                  QStringLiteral("\nВторая строка"));
  QString words;
  for (int i = 0; i < 300; ++i) words += QStringLiteral("слово ");
  EXPECT_EQ(ElidedText(words).size(), MaxShownLineLength);
}

// The real box of the platform: a 10 kB name does not make it as wide as the
// screen. A timer closes the box once its modal loop runs.
TEST(ElidedNames, RealMessageBoxStaysNarrow) {
  int width = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&width] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      width = box->width();
      box->close();
    }
  });
  closer.start(10);
  Dialogs().Message(
      nullptr,
      QStringLiteral("Устройство записи \"%1\" не найдено.").arg(QString(10000, QLatin1Char('x'))));
  EXPECT_GT(width, 0);
  EXPECT_LT(width, QGuiApplication::primaryScreen()->availableGeometry().width() * 3 / 4);
}

}  // namespace
