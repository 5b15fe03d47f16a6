// Reactions as real sound: tone bursts played into the virtual source of the
// PulseAudio server of scripts/pulse-start.sh, caught by the program with its
// default settings (1 s per symbol, automatic level, gain 100, levels 30 and
// 20) and the real timers.
//
// Each burst is aimed at a planned time before the end of a rest, but judged
// by where it landed on the capture's own timeline (tests/support/
// CaptureLog.h): it must write the symbol of the rest it began in, and only
// that one. A busy machine may move a burst, never the judgement.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "session/SessionModel.h"
#include "RealSoundFixture.h"
#include "capture/CaptureInputs.h"
#include "sensor/Probe.h"
#include "tests/support/SpellingBursts.h"
#include "windows/Display.h"
#include "windows/Main.h"

namespace {

struct TBurst {
  int Position;     // the drum position of the rest it is aimed at
  int BeforeEndMs;  // its first sample aimed this long before the rest's last one
  double Amplitude;
  double Seconds;
  double Rise = 0.0;  // fade-in time
};

// A sample this far from the midpoint is part of a burst (bursts here are
// 0.4 and 0.5 of full scale, about 50 and 64).
constexpr int kLoud = 24;
// Sessions played before the bursts count as never having arrived whole.
constexpr int kAttempts = 3;

class Reactions : public RealSoundFixture {
protected:
  void Play(const TBurst& b) {
    if (!Player) Player = std::make_unique<TTonePlayer>();
    ASSERT_TRUE(Player->Open()) << "no playback stream on the sound server";
    Player->Begin(b.Amplitude, b.Seconds, b.Rise);
  }
  // Until the tone has been played out.
  void WaitForSilence() {
    while (Player && Player->Playing()) Wait(50);
    Wait(300 + TTonePlayer::BufferMs);
  }

  static void Wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
  }

  // The time from starting the player to its tone reaching the capture
  // buffer, measured once per player on a capture of its own. It only aims
  // the bursts.
  int PlayerLagMs() {
    int& lag = LagMs;
    if (lag >= 0) return lag;
    TAudioSensor_OneRun* s = SessionModel->Sensor();
    if (!Player) Player = std::make_unique<TTonePlayer>();
    EXPECT_TRUE(Player->Open()) << "no playback stream on the sound server";
    Wait(500);  // the output stream settles
    Log->Takes.clear();
    EXPECT_TRUE(s->Start(2000));
    Wait(300);
    QElapsedTimer clock;
    clock.start();
    Play({0, 0, 0.5, 0.2});
    Wait(900);
    const int elapsed = int(clock.elapsed());
    s->Stop();
    const std::vector<TLanding> runs = FindLandings(Log->Takes, 32);
    EXPECT_FALSE(runs.empty()) << "the calibration burst never reached the capture";
    lag = runs.empty() ? 100 : std::max(0, elapsed - runs.front().BeforeEndMs);
    std::printf("player lag %d ms\n", lag);
    return lag;
  }

  // A session with the default settings; each burst is aimed to begin its
  // planned time before the end of its rest. Runs until `afterMs` after the
  // last burst was started. False when the session ended by itself.
  bool Run(const std::vector<TBurst>& bursts, int afterMs) {
    const int lag = PlayerLagMs();
    FMain->BStartClick();
    EXPECT_TRUE(FMain->Running());
    const int periodMs = FMain->Engine().SymbolPeriodMs();
    std::size_t next = 0;       // the next burst to schedule
    int lastPhase = 0;
    QElapsedTimer clock;
    clock.start();
    qint64 endAt = -1;

    const auto restBegan = [&] {
      if (next >= bursts.size() || bursts[next].Position != FMain->Engine().DrumPosition()) return;
      const int at = periodMs - bursts[next].BeforeEndMs - lag;
      const TBurst b = bursts[next];
      ++next;
      QTimer::singleShot(std::max(0, at), [this, b] { Play(b); });
      if (next == bursts.size()) endAt = clock.elapsed() + std::max(0, at) + afterMs;
    };
    restBegan();

    RunWhile(
        [&] {
          if (!FMain->Running() || (endAt >= 0 && clock.elapsed() >= endAt)) return false;
          const int phase = FMain->Engine().StepPhase();
          if (phase == 0 && lastPhase != 0) restBegan();
          lastPhase = phase;
          return true;
        },
        120000, 2);
    const bool wasRunning = FMain->Running();
    EXPECT_TRUE(wasRunning) << "the session ended by itself";
    FMain->BStopClick();
    return wasRunning;
  }

  // Plays the bursts in one session and checks what was written against
  // where they landed: each burst the symbol of the rest it began in (or,
  // from a rest's last kLandingTailMs, possibly the next rest's), one symbol per
  // burst. A session in which the bursts did not arrive as played (one broken
  // up by the sound server, or lost between two captures) proves nothing
  // and is played again. Gives the tape, lines joined by "|", without "- ".
  QString Case(const std::vector<TBurst>& bursts, int afterMs) {
    QString written;
    PlayerLagMs();
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
      WaitForSilence();
      FMain->MTape->clear();
      Log->Takes.clear();
      const bool ran = Run(bursts, afterMs);
      const QStringList lines = FMain->TapeLines();
      written = lines.isEmpty() ? QString() : lines.join(QLatin1Char('|')).mid(2);
      const std::vector<TLanding> runs = FindLandings(Log->Takes, kLoud);
      std::printf("landed: %s; written \"%s\"\n", DescribeLandings(runs).c_str(),
                  qPrintable(written));
      if (!ran) return written;
      if (runs.size() != bursts.size()) {
        std::printf("%zu bursts arrived as %zu; played again\n", bursts.size(), runs.size());
        continue;
      }
      EXPECT_TRUE(WrittenMatches(written, FMain->Engine().Symbols(), LandingChoices(Log->Takes, runs)))
          << "written \"" << written.toStdString() << "\" for bursts that landed at "
          << DescribeLandings(runs);
      return written;
    }
    ADD_FAILURE() << "in " << kAttempts << " sessions the bursts never arrived as played";
    return written;
  }

  int LagMs = -1;
};

TEST_F(Reactions, BurstsAroundTheEndOfARestWriteThatRestsSymbolOnly) {
  ASSERT_NO_FATAL_FAILURE(RequireSound());
  LiveTimers = true;
  Launch(true, false);
  // A 0.5 s burst from 250 ms before the end of C's rest lasts into D's rest.
  Case({{3, 250, 0.5, 0.5}}, 2500);
  // A 0.3 s burst from 60 ms before the end of C's rest, mostly in the move.
  Case({{3, 60, 0.5, 0.3}}, 2500);
  // From 30 ms before the end: only the reading of the rest's last samples,
  // taken as the drum starts to move, sees it.
  Case({{3, 30, 0.5, 0.3}}, 2500);
  // A 0.3 s burst in mid-rest.
  Case({{3, 600, 0.5, 0.3}}, 2500);
}

TEST_F(Reactions, ASteadyToneOverFiveRestsWritesTheSymbolOfTheRestWhereItBegan) {
  ASSERT_NO_FATAL_FAILURE(RequireSound());
  LiveTimers = true;
  Launch(true, false);
  Case({{3, 500, 0.5, 6.0}}, 8000);
}

TEST_F(Reactions, AWordFromBurstsTimedLikeAnOperator) {
  ASSERT_NO_FATAL_FAILURE(RequireSound());
  LiveTimers = true;
  Launch(true, false);
  // Reactions 300, 450 and 600 ms after the symbol arrives (1 s rests).
  Case({{1, 700, 0.5, 0.4}, {3, 550, 0.4, 0.4}, {5, 400, 0.5, 0.4}}, 2500);
}

// Not run by default: prints what the default settings catch of bursts of
// three amplitudes and three rise times (each at full amplitude for 0.5 s
// after its rise, begun 300 ms into a rest), all in one session.
TEST_F(Reactions, DISABLED_PrintsWhatTheDefaultsCatch) {
  ASSERT_NO_FATAL_FAILURE(RequireSound());
  LiveTimers = true;
  Launch(true, false);
  const double amplitudes[] = {0.1, 0.2, 0.4};
  const double rises[] = {0.0, 0.2, 0.5};
  std::vector<TBurst> bursts;
  for (double a : amplitudes)
    for (double r : rises)
      bursts.push_back({2 + 3 * int(bursts.size()), 700, a, r + 0.5, r});
  Run(bursts, 3000);
  const QString tape = FMain->TapeLines().join(QLatin1Char('|'));
  std::printf("tape: %s\namplitude | rise 0 s | rise 0.2 s | rise 0.5 s\n", qPrintable(tape));
  for (int i = 0; i < 3; ++i) {
    std::printf("%.1f", amplitudes[i]);
    for (int j = 0; j < 3; ++j) {
      const int k = i * 3 + j;
      const int pos = bursts[std::size_t(k)].Position;
      // What was written for this burst: its own symbol, the next (late) one.
      QString got;
      for (int d = 0; d < 2; ++d) {
        const QString sym = FMain->Engine().Symbols().value(pos - 1 + d).trimmed();
        if (!sym.isEmpty() && tape.mid(2).contains(sym)) got += sym;
      }
      std::printf(" | %s: %s", qPrintable(FMain->Engine().Symbols().value(pos - 1)),
                  got.isEmpty() ? "missed" : qPrintable(got));
    }
    std::printf("\n");
  }
}

TEST_F(Reactions, ThePanelShowsTheLevelModeTheProbeIsIn) {
  Launch(true, false);
  ASSERT_EQ(SessionModel->Probe()->LevelMode, TProbe::LevelAuto);
  FDisplay->show();
  EXPECT_TRUE(FDisplay->BLevelAuto->isChecked()) << "the automatic mode the probe starts in";
  EXPECT_FALSE(FDisplay->BLevelFind->isChecked());
  FDisplay->hide();
  SessionModel->Probe()->LevelMode = TProbe::LevelFixed;
  FDisplay->show();
  EXPECT_TRUE(FDisplay->BLevelFixed->isChecked());
}

}  // namespace
