// A session over the platform's capture back end whose PulseAudio server is
// killed: the session stops with the error line instead of reading silence,
// and once the server is back a new session captures again, in the same
// process. The test runs a server of its own in a runtime folder of its own
// (scripts/pulse-start.sh), so the server the other real-sound tests use is
// never touched.
//
// Times are judged on the program's own timeline: the loss must be seen
// within the polls that the capture's loss rule allows, and the tone burst
// by where it landed in the captures.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <functional>

#include "session/SessionModel.h"
#include "MainFixture.h"
#include "tests/support/SpellingBursts.h"
#include "windows/Main.h"

namespace {

const QString ErrorLine = QStringLiteral("Ошибка при подключении к датчику. Сеанс остановлен.");


class ServerLoss : public MainFixture {
protected:
  // Runs the event loop until done() or ms have passed; true when done().
  static bool RunUntil(const std::function<bool()>& done, int ms) {
    if (!done()) RunWhile([&] { return !done(); }, ms);
    return done();
  }

  // The sound server's environment of the test run, restored at the end.
  static constexpr const char* kEnv[] = {"QUILLORA_PULSE_DIR", "XDG_RUNTIME_DIR",
                                         "PULSE_RUNTIME_PATH", "PULSE_SERVER"};

  void SetUp() override {
    for (const char* name : kEnv) Saved << qgetenv(name);
    ASSERT_TRUE(StartServer()) << "cannot start a PulseAudio server";
    MainFixture::SetUp();
    TFMain::SetSensorFactory(CaptureLogSensorFactory(Log));
  }
  void TearDown() override {
    Player.reset();
    MainFixture::TearDown();
    // Each server this test started, and only those.
    for (const QByteArray& dir : Started) {
      qputenv("QUILLORA_PULSE_DIR", dir);
      Script("pulse-stop.sh");
    }
    for (int i = 0; i < Saved.size(); ++i) {
      if (Saved[i].isEmpty())
        qunsetenv(kEnv[i]);
      else
        qputenv(kEnv[i], Saved[i]);
    }
  }

  // Starts a server of the test's own and points the environment at it.
  bool StartServer() {
    QProcess p;
    p.start(QStringLiteral("sh"), {QStringLiteral(QUILLORA_SCRIPTS "/pulse-start.sh")});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
      return false;
    // Lines "export NAME='value'".
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
      const int eq = line.indexOf('=');
      if (!line.startsWith("export ") || eq < 0) continue;
      const QByteArray name = line.mid(7, eq - 7);
      const QByteArray value = line.mid(eq + 1).replace('\'', "");
      qputenv(name.constData(), value);
      if (name == "QUILLORA_PULSE_DIR") Started << value;
    }
    return !Started.isEmpty();
  }

  // Runs one of the scripts in the test's environment; true when it ends well.
  bool Script(const char* name) {
    QProcess p;
    p.start(QStringLiteral("sh"), {QStringLiteral(QUILLORA_SCRIPTS "/") + QLatin1String(name)});
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
  }

  // Kills the test's server (and the monitor reader that depends on it) at once.
  void KillServer() {
    const QString dir = QString::fromLocal8Bit(Started.last());
    for (const char* pidFile : {"/quillora-server.pid", "/quillora-monitor-reader.pid"}) {
      QFile f(dir + QLatin1String(pidFile));
      ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << pidFile;
      const pid_t pid = static_cast<pid_t>(f.readAll().trimmed().toLongLong());
      ASSERT_GT(pid, 0);
      ::kill(pid, SIGKILL);
    }
  }

  QString Resting() const { return FMain->Engine().Symbols().value(FMain->Engine().DrumPosition() - 1); }

  QList<QByteArray> Saved;
  QList<QByteArray> Started;  // the folders of the servers this test started
  TCaptureLogSensor* Log = nullptr;
  std::unique_ptr<TTonePlayer> Player;
};

TEST_F(ServerLoss, KilledServerStopsTheSessionAndANewOneCapturesWhenItIsBack) {
  LiveTimers = true;
  Launch(true, false);
  // Rests of 3 s: the kill comes early in one, with more than the loss
  // rule's time left in it.
  Start(QStringLiteral("3"));
  ASSERT_TRUE(FMain->Running());
  TAudioSensor_OneRun* sensor = SessionModel->Sensor();
  // Well inside a rest, with samples arriving.
  ASSERT_TRUE(RunUntil([&] { return FMain->Engine().StepPhase() == 0 && sensor->IsRunning() &&
                                    sensor->Device().Position() > 2000; },
                       5000));
  const int leftMs = (sensor->BufferSize() - sensor->Device().Position()) / 8;

  KillServer();
  const int readsBefore = Log->Reads;
  QElapsedTimer sinceKill;
  sinceKill.start();
  RunUntil([&] { return !FMain->Running(); }, 10000);
  const qint64 ms = sinceKill.elapsed();
  const int polls = Log->Reads - readsBefore;
  RecordProperty("kill_to_error_line_ms", static_cast<int>(ms));
  std::printf("server kill to the error line: %lld ms, %d polls (%d ms of the rest left)\n",
              static_cast<long long>(ms), polls, leftMs);
  EXPECT_FALSE(FMain->Running());
  EXPECT_EQ(FMain->TapeLines().value(FMain->TapeLines().size() - 1), ErrorLine);
  // The loss is seen at the next poll, or once the position has stood still
  // for LossMs; polls come at least 40 ms apart, so no later than this poll
  // (the rest lasts that long).
  if (leftMs > TAudioSensor_OneRun::LossMs + 200) {
    EXPECT_LE(polls, TAudioSensor_OneRun::LossMs / 40 + 3);
  } else {
    std::printf("the kill came too late in its rest to bound the polls\n");
  }

  // The server is back: a new session spells a symbol from a tone burst.
  ASSERT_TRUE(StartServer()) << "cannot start the PulseAudio server again";
  Player = std::make_unique<TTonePlayer>();  // on the new server
  ASSERT_TRUE(Player->Open()) << "no playback stream on the new sound server";
  FMain->ESymbolPeriod->setText(QStringLiteral("1.5"));
  // The letter after the first symbol.
  const QString want = FMain->Engine().Symbols().value(1);
  ASSERT_EQ(want, QStringLiteral("B"));
  for (int attempt = 1; attempt <= 3; ++attempt) {
    const TSpelling s = SpellFromBursts(Log, *Player, want, 0.8, 30000, MainFixture::RunWhile);
    std::printf("landed: %s; written \"%s\"\n", s.Landings.c_str(), qPrintable(s.Written));
    ASSERT_TRUE(s.WasRunning) << "the session ended by itself: " << s.Tape.join('|').toStdString();
    EXPECT_TRUE(s.MatchesLandings)
        << "written \"" << s.Written.toStdString() << "\" for bursts that landed at " << s.Landings;
    if (!s.AsPlanned) continue;
    EXPECT_EQ(s.Tape, QStringList{QStringLiteral("- ") + want});
    EXPECT_TRUE(Dialogs->Messages.isEmpty()) << Dialogs->Messages.join('|').toStdString();
    return;
  }
  ADD_FAILURE() << "in 3 sessions the burst never landed inside its rest";
}

}  // namespace
