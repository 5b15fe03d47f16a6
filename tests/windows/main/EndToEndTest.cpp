// A whole session in one process: the real chain (sensor, probe, instrument
// model, recorder) over the scripted capture device, with the two timers
// replayed on a simulated clock. Bursts are "recorded" while the drum rests
// on the next symbol of the word.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <limits>

#include "session/SessionModel.h"
#include "MainFixture.h"
#include "recording/Instrecord.h"
#include "sensor/Utils.h"
#include "windows/Graph.h"
#include "windows/Main.h"
#include "windows/Settings.h"

namespace {

constexpr qint64 kNever = std::numeric_limits<qint64>::max();

class EndToEnd : public MainFixture {
protected:
  void SetUp() override {
    MainFixture::SetUp();
    TFMain::SetSensorFactory([this](void*) {
      auto device = std::make_unique<TFakeCaptureDevice>();
      Device = device.get();
      return std::make_unique<TAudioSensor_OneRun>(nullptr, std::move(device));
    });
  }

  // The symbols written so far on the last line.

  // Runs the session on a simulated clock until it stops or `limitMs` pass.
  void Run(const QString& word, qint64 limitMs) {
    qint64 runDue = FMain->RunTimerPending() ? FMain->RunTimerInterval() : kNever;
    qint64 pollDue = FMain->PollTimerPending() ? FMain->PollTimerInterval() : kNever;
    const std::vector<uint8_t> silence(320, 128);
    std::vector<uint8_t> burst(320);
    for (std::size_t i = 0; i < burst.size(); ++i) burst[i] = (i % 2) ? 228 : 28;

    while (FMain->Running() && Now < limitMs) {
      const bool runFirst = runDue <= pollDue;  // a rest begins before its first poll
      Now = runFirst ? runDue : pollDue;
      const bool runWas = FMain->RunTimerPending();
      const bool pollWas = FMain->PollTimerPending();
      if (runFirst) {
        FMain->RunTimerTimer();
      } else {
        const QString want = word.mid(Written().size(), 1);
        const bool onTarget = FMain->Engine().StepPhase() == 0 && !FMain->Engine().SelectedThisStep() &&
                              FMain->Engine().Symbols().value(FMain->Engine().DrumPosition() - 1) == want;
        Device->Deliver(onTarget ? burst : silence);
        FMain->PollTimerTimer();
      }
      // Each handler restarts its own timer; the other keeps its time unless
      // it was started or stopped from inside.
      const auto next = [&](bool was, bool pending, bool own, int interval, qint64 due) {
        if (!pending) return kNever;
        return (own || !was) ? Now + interval : due;
      };
      runDue = next(runWas, FMain->RunTimerPending(), runFirst, FMain->RunTimerInterval(), runDue);
      pollDue = next(pollWas, FMain->PollTimerPending(), !runFirst, FMain->PollTimerInterval(), pollDue);
    }
  }

  TFakeCaptureDevice* Device = nullptr;
  qint64 Now = 0;
};

TEST_F(EndToEnd, SpellsHelloAndSavesTheTape) {
  Launch(true, false);  // the probe as configured: automatic level
  Start(QStringLiteral("0.1"));
  ASSERT_TRUE(FMain->Running());
  Run(QStringLiteral("HELLO."), 60000);
  EXPECT_FALSE(FMain->Running()) << "the full stop ends the session";
  EXPECT_EQ(FMain->TapeLines(), QStringList{QStringLiteral("- HELLO.")});
  // H 7 symbols on, E one revolution on, L, L a revolution on, O, ".":
  // well within a few revolutions of 28 × 300 ms.
  EXPECT_LT(Now, 4 * 28 * 300);
  EXPECT_GT(SessionModel->Recorder()->Count(), 2 * (Now / 40) - 10) << "every poll recorded twice";

  const QString path = Dir->filePath(QStringLiteral("hello.txt"));
  Dialogs->FileAnswers.push_back(path);
  FMain->BSaveTapeToFileClick();
  EXPECT_EQ(FileBytes(path), QByteArray("- HELLO.\r\n"));
  EXPECT_TRUE(FMain->TapeLines().isEmpty());
  EXPECT_TRUE(Dialogs->Messages.isEmpty()) << Dialogs->Messages.join('|').toStdString();
}

TEST_F(EndToEnd, QuietInputWritesNothing) {
  Launch(true, false);
  Start(QStringLiteral("0.1"));
  Run(QString(), 3 * 28 * 300);
  EXPECT_TRUE(FMain->Running());
  EXPECT_TRUE(FMain->TapeLines().isEmpty());
}

// The local clock follows the simulated time.
class TSimulatedClock : public TClock {
public:
  explicit TSimulatedClock(const qint64& nowMs) : nowMs_(nowMs) { SetClock(this); }
  ~TSimulatedClock() override { SetClock(nullptr); }
  TLocalDateTime Now() const override {
    const qint64 ms = 12 * 3600 * 1000 + nowMs_;
    return {2026, 3, 14, int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000)};
  }

private:
  const qint64& nowMs_;
};

// The numbers of the window bounds in a settings file, as "#".
QByteArray MaskBounds(const QByteArray& bytes) {
  QString text = QString::fromLatin1(bytes);
  text.replace(QRegularExpression(QStringLiteral("((Position (Left|Top)|Width|Height)=)-?[0-9]+")),
               QStringLiteral("\\1#"));
  return text.toLatin1();
}

// The files a fixed run of actions writes are those it wrote before: the
// settings file, the tape file, the readings export and the recording file.
// QUILLORA_WRITE_SAME_ACTIONS=<folder> writes them there instead.
TEST_F(EndToEnd, TheSameActionsWriteTheSameFiles) {
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  TSimulatedClock clock(Now);
  Launch(true, false);
  FSettings->EOnLevel->setText(QStringLiteral("30,5"));  // kept as typed
  FMain->ESymbolPeriod->setText(QStringLiteral("0,1"));
  FMain->BStartClick();
  Run(QStringLiteral("HELLO."), 60000);
  FMain->BTimeStampClick();
  const QString tape = Dir->filePath(QStringLiteral("tape.txt"));
  Dialogs->FileAnswers.push_back(tape);
  FMain->BSaveTapeToFileClick();
  const QString readings = Dir->filePath(QStringLiteral("readings.txt"));
  Dialogs->FileAnswers.push_back(readings);
  FGraph->BSaveAllClick();
  const QByteArray recording = FileBytes(Dir->filePath(QStringLiteral("instrec.data")));
  Shutdown();
  QLocale::setDefault(QLocale::c());

  const QList<std::pair<QString, QByteArray>> files{
      {QStringLiteral("Quillora.ini"), FileBytes(IniPath())},
      {QStringLiteral("tape.txt"), FileBytes(tape)},
      {QStringLiteral("readings.txt"), FileBytes(readings)},
      {QStringLiteral("instrec.data"), recording}};
  const QString out = qEnvironmentVariable("QUILLORA_WRITE_SAME_ACTIONS");
  for (const auto& [name, bytes] : files) {
    ASSERT_FALSE(bytes.isEmpty()) << name.toStdString();
    if (!out.isEmpty()) {
      QFile f(QDir(out).filePath(name));
      ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
      continue;
    }
    // Window bounds follow the platform's fonts and window manager: their
    // keys are compared, not their numbers.
    EXPECT_EQ(MaskBounds(bytes), MaskBounds(FileBytes(QStringLiteral(":/same-actions/") + name)))
        << name.toStdString();
  }
}

}  // namespace
