// Saving the shown part and every recorded reading to a text file.
#include "session/SessionModel.h"
#include "GraphTestSupport.h"

#include <QFileInfo>
#include <QList>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <vector>

#include "sensor/Utils.h"

namespace {

const QString kNoData = QStringLiteral("Нет данных для сохранения.");

QList<QByteArray> Lines(const QByteArray& text) {
  QList<QByteArray> lines = text.split('\n');
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  return lines;
}

// The records of a recording file: 48-byte records after the 8-byte header.
std::vector<TInstData> RecordsOf(const QByteArray& file) {
  std::vector<TInstData> records;
  for (qsizetype at = 8; at + 48 <= file.size(); at += 48) {
    TInstData r;
    std::memcpy(static_cast<void*>(&r), file.constData() + at, 48);
    records.push_back(r);
  }
  return records;
}

QByteArray Expected(double seconds, double sensor) {
  char line[80];
  std::snprintf(line, sizeof line, "%1.7lg\t%1.7lg\r", seconds, sensor);
  return QByteArray(line);
}

class GraphSaveTest : public GraphWindowFixture {
protected:
  void SetUp() override {
    GraphWindowFixture::SetUp();
    std::setlocale(LC_NUMERIC, "C");  // for the expected lines only
  }
};

// --- Nothing to save, dialog, session ---------------------------------------

TEST_F(GraphSaveTest, ShownPartOfAnEmptyGraphHasNoDataEvenWithRecordedReadings) {
  Recorder->Write(Reading(0.5));
  Recorder->Write(Reading(0.5));
  Graph->BSaveWindowClick();
  EXPECT_EQ(Dialogs.Messages, QStringList{kNoData});
  EXPECT_TRUE(Dialogs.FileRequests.isEmpty());
}

TEST_F(GraphSaveTest, SaveAllWithAnEmptyRecorderHasNoData) {
  Graph->BSaveAllClick();
  EXPECT_EQ(Dialogs.Messages, QStringList{kNoData});
  EXPECT_TRUE(Dialogs.FileRequests.isEmpty());
}

TEST_F(GraphSaveTest, SaveAllStopsTheSessionBeforeTheDialogEvenWhenItIsCancelled) {
  Poll(5);
  Main->BStartClick();
  ASSERT_TRUE(Main->Running());
  bool runningAtDialog = true;
  Dialogs.WhileSaveDialogOpen = [&] { runningAtDialog = Main->Running(); };
  Graph->BSaveAllClick();  // no answer: cancelled
  EXPECT_EQ(Dialogs.FileRequests.size(), 1);
  EXPECT_FALSE(runningAtDialog);
  EXPECT_FALSE(Main->Running());
  EXPECT_TRUE(Dialogs.Messages.isEmpty());
  EXPECT_EQ(Recorder->Cursor(), Recorder->Count());
}

TEST_F(GraphSaveTest, TheSaveDialogAsksForATextFileAndThenReturnsToTheLastFolder) {
  Poll(3);
  Dialogs.FileAnswers = {Path("a.txt")};
  Graph->BSaveWindowClick();
  ASSERT_EQ(Dialogs.FileRequests.size(), 1);
  const TFileDialogRequest& r = Dialogs.FileRequests.front();
  EXPECT_EQ(r.InitialDir, AppDataFolder());
  EXPECT_TRUE(r.FileName.isEmpty());
  EXPECT_EQ(r.DefaultExtension, "txt");
  EXPECT_EQ(r.Filters, (QStringList{"Text Files (*.txt)", "All Files (*.*)"}));
  EXPECT_TRUE(r.OverwritePrompt);
  EXPECT_TRUE(r.PathMustExist);
  EXPECT_TRUE(r.NoReadOnly);

  Graph->BSaveWindowClick();  // cancelled
  ASSERT_EQ(Dialogs.FileRequests.size(), 2);
  EXPECT_TRUE(Dialogs.FileRequests.back().InitialDir.isEmpty());
}

// --- File contents ---------------------------------------------------------

TEST_F(GraphSaveTest, TheThreeReadingExampleByteForByte) {
  const double t = DayTime(14, 30, 0, 0);
  for (int i = 0; i < 3; ++i)
    Graph->AddReading(Reading(t + i * 40 / 86400000.0, (57 + i) / 128.0));
  Dialogs.FileAnswers = {Path("three.txt")};
  EXPECT_TRUE(Graph->SaveReadings(false));
  EXPECT_EQ(ReadAll(Path("three.txt")),
            QByteArray("Time\tTemp\r\n\r\n0\t0.4453125\r\n0.04\t0.453125\r\n0.08\t0.4609375\r\n"));
  EXPECT_TRUE(Dialogs.Messages.isEmpty());
}

TEST_F(GraphSaveTest, TheNumbersUseAPointWhateverTheUsersLocale) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  Graph->AddReading(Reading(DayTime(8, 0, 0, 0), 0.25));
  Graph->AddReading(Reading(DayTime(8, 0, 1, 500), 0.0000125));
  Dialogs.FileAnswers = {Path("point.txt")};
  ASSERT_TRUE(Graph->SaveReadings(false));
  EXPECT_EQ(ReadAll(Path("point.txt")), QByteArray("Time\tTemp\r\n\r\n0\t0.25\r\n1.5\t1.25e-05\r\n"));
}

TEST_F(GraphSaveTest, AShownPartOfKRecordsHasKPlusTwoLinesStartingAtZero) {
  Poll(25, DayTime(16, 42, 7, 123));
  Dialogs.FileAnswers = {Path("part.txt")};
  ASSERT_TRUE(Graph->SaveReadings(false));
  const QList<QByteArray> lines = Lines(ReadAll(Path("part.txt")));
  ASSERT_EQ(lines.size(), 27);
  EXPECT_EQ(lines[0], "Time\tTemp\r");
  EXPECT_EQ(lines[1], "\r");
  EXPECT_TRUE(lines[2].startsWith("0\t")) << lines[2].constData();
  EXPECT_EQ(lines[26], Expected(24 * 0.04, 0.024));
  // The shown part holds each reading once; the recorder twice.
  EXPECT_EQ(Recorder->Count(), 50);
}

TEST_F(GraphSaveTest, TheShownPartIsWhatTheWindowHoldsWhenTheDialogCloses) {
  Poll(50);
  Dialogs.WhileSaveDialogOpen = [&] {
    View().Clear();
    Poll(3, DayTime(13, 0, 0, 0), 100);
  };
  Dialogs.FileAnswers = {Path("moved.txt")};
  ASSERT_TRUE(Graph->SaveReadings(false));
  const QList<QByteArray> lines = Lines(ReadAll(Path("moved.txt")));
  ASSERT_EQ(lines.size(), 5);
  EXPECT_EQ(lines[2], Expected(0, 0.1));
  EXPECT_EQ(lines[4], Expected(0.08, 0.102));
}

TEST_F(GraphSaveTest, SaveAllWritesEveryReadingAndRecordingGoesOnAtTheEnd) {
  Poll(700);  // 1400 records over two pages
  Dialogs.FileAnswers = {Path("all.txt")};
  Graph->BSaveAllClick();
  const QList<QByteArray> lines = Lines(ReadAll(Path("all.txt")));
  ASSERT_EQ(lines.size(), 1402);
  EXPECT_EQ(lines[2], "0\t0\r");
  EXPECT_EQ(lines[3], "0\t0\r");  // the poll's two copies share their time
  EXPECT_EQ(lines[1401], Expected(699 * 0.04, 0.699));
  EXPECT_EQ(Recorder->Cursor(), 1400);

  Recorder->Write(Reading(0.9, 0.75));
  ASSERT_EQ(Recorder->Count(), 1401);
  Recorder->Seek(1400);
  TInstData back;
  ASSERT_TRUE(Recorder->ReadNext(back));
  EXPECT_DOUBLE_EQ(back.Sensor, 0.75);
}

TEST_F(GraphSaveTest, EveryExportedLineMatchesTheRecordingFileAcrossMidnight) {
  // Readings through the chain: the instrument model writes each one and the
  // poll writes it again; the clock passes midnight half way.
  class TStepClock : public TClock {
  public:
    TLocalDateTime Now() const override {
      const int ms = (86400000 + StartMs + Step * 40) % 86400000;
      TLocalDateTime t;
      t.Hour = ms / 3600000;
      t.Minute = ms / 60000 % 60;
      t.Second = ms / 1000 % 60;
      t.Millisecond = ms % 1000;
      return t;
    }
    int StartMs = 86400000 - 50 * 1000;
    int Step = 0;
  } clock;
  SetClock(&clock);
  auto& device = static_cast<TFakeCaptureDevice&>(Sensor.Device());
  Sensor.Start(60000);
  for (int i = 0; i < 2600; ++i) {
    clock.Step = i;
    device.QueueOnPosition({uint8_t(128 + i % 100), uint8_t(128 - i % 37)});
    Gauge->Measure();
    Recorder->Write(Gauge->Data());
  }
  SetClock(nullptr);
  Sensor.Stop();

  Dialogs.FileAnswers = {Path("night.txt")};
  Graph->BSaveAllClick();
  ASSERT_TRUE(Dialogs.Messages.isEmpty()) << qPrintable(Dialogs.Messages.join("; "));

  const std::vector<TInstData> records = RecordsOf(ReadAll(DataFile()));
  ASSERT_GE(records.size(), 5200u);
  const QList<QByteArray> lines = Lines(ReadAll(Path("night.txt")));
  ASSERT_EQ(lines.size(), 5202);
  double day = 0.0;
  double previousSeconds = -1.0;
  bool passedMidnight = false;
  for (int i = 0; i < 5200; ++i) {
    if (i > 0 && records[i].Time < records[i - 1].Time) {
      day += 1.0;
      passedMidnight = true;
    }
    const double seconds = (records[i].Time + day - records[0].Time) * 86400.0;
    ASSERT_EQ(lines[i + 2], Expected(seconds, records[i].Sensor)) << "record " << i;
    ASSERT_GE(seconds, previousSeconds);
    previousSeconds = seconds;
  }
  EXPECT_TRUE(passedMidnight);
  EXPECT_NEAR(previousSeconds, 2599 * 0.04, 1e-6);
  EXPECT_EQ(Progress.Total, 5200);
  EXPECT_EQ(Progress.Advances, QList<int>{4096});
  EXPECT_EQ(Progress.Ends, 1);
}

TEST_F(GraphSaveTest, TheProgressDialogOfAShortSaveNeitherWaitsNorShows) {
  SetSaveProgress(nullptr);  // the Qt progress dialog
  Record(10000);
  Dialogs.FileAnswers = {Path("dialog.txt")};
  Graph->BSaveAllClick();
  SetSaveProgress(&Progress);
  EXPECT_TRUE(Dialogs.Messages.isEmpty());
  EXPECT_EQ(Lines(ReadAll(Path("dialog.txt"))).size(), 20002);
  EXPECT_EQ(Progress.Total, -1);
}

// --- Failures --------------------------------------------------------------

TEST_F(GraphSaveTest, AFileThatCannotBeCreatedLeavesTheRecorderWhereItWas) {
  Record(600);  // 1200 records: page 1 in memory, not yet in the file
  const QString path = Path("no such folder/x.txt");
  Dialogs.FileAnswers = {path};
  Graph->BSaveAllClick();
  EXPECT_EQ(Dialogs.Messages,
            QStringList{QStringLiteral("Не удается создать файл '%1'.").arg(QDir::toNativeSeparators(path))});
  // The recorder was not moved: its page of the end was never written out.
  EXPECT_EQ(QFileInfo(DataFile()).size(), 8 + 48 * 1000);
  EXPECT_EQ(Recorder->Cursor(), 1200);
}

TEST_F(GraphSaveTest, AWriteFailureIsReportedAndTheRecorderIsBackAtItsEnd) {
  if (!QFileInfo::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  Record(5000);  // more than one chunk of text
  Dialogs.FileAnswers = {QStringLiteral("/dev/full")};
  Graph->BSaveAllClick();
  ASSERT_EQ(Dialogs.Messages.size(), 1);
  EXPECT_TRUE(Dialogs.Messages[0].startsWith(QStringLiteral("Не удается записать файл '/dev/full'")))
      << qPrintable(Dialogs.Messages[0]);
  EXPECT_EQ(Recorder->Cursor(), 10000);
  EXPECT_TRUE(QFileInfo("/dev/full").exists());

  Recorder->Write(Reading(0.9, 0.75));
  EXPECT_EQ(Recorder->Count(), 10001);
}

TEST_F(GraphSaveTest, AShortWriteOfTheShownPartIsReportedToo) {
  if (!QFileInfo::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  Poll(3);
  Dialogs.FileAnswers = {QStringLiteral("/dev/full")};
  EXPECT_FALSE(Graph->SaveReadings(false));
  ASSERT_EQ(Dialogs.Messages.size(), 1);
  EXPECT_TRUE(Dialogs.Messages[0].startsWith(QStringLiteral("Не удается записать файл")));
}

TEST_F(GraphSaveTest, CancellingALongSaveRemovesThePartialFileAndSaysSo) {
  Record(6000);
  Progress.CancelAtAdvance = 2;
  const QString path = Path("cancelled.txt");
  Dialogs.FileAnswers = {path};
  Graph->BSaveAllClick();
  EXPECT_EQ(Progress.Advances, (QList<int>{4096, 8192}));
  EXPECT_EQ(Progress.Ends, 1);
  EXPECT_FALSE(QFileInfo::exists(path));
  EXPECT_EQ(Dialogs.Messages,
            QStringList{QStringLiteral("Сохранение прервано, файл '%1' удален.").arg(QDir::toNativeSeparators(path))});
  EXPECT_EQ(Recorder->Cursor(), 12000);
}

TEST_F(GraphSaveTest, RecordsThatCannotBeReadBackAreNotSavedAsIfComplete) {
  // A recorder without a file keeps only its page in memory.
  TInstDataRecorder lost(Path("missing folder/instrec.data").toStdString(), 1000, false,
                         [](const std::string&) {});
  for (int i = 0; i < 1500; ++i) lost.Write(Reading(0.5 + i / 86400.0, 0.1));
  UseRecorder(&lost);
  const QString path = Path("lost.txt");
  Dialogs.FileAnswers = {path};
  Graph->BSaveAllClick();
  ASSERT_EQ(Dialogs.Messages.size(), 1);
  EXPECT_TRUE(Dialogs.Messages[0].contains(QStringLiteral("не сохранен"))) << qPrintable(Dialogs.Messages[0]);
  EXPECT_FALSE(QFileInfo::exists(path));
  EXPECT_EQ(lost.Cursor(), 1500);
  UseRecorder(Recorder.get());
}

} // namespace
