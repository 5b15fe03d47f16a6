// Switch timing with real sound: reactions on the hum sensor (50 Hz hum and
// noise under a 0.15 tone) played into the virtual source of the PulseAudio
// server of scripts/pulse-start.sh, caught with settings that spell on that
// sensor (gain 400, automatic level, levels 30 and 20) and the real timers.
// Every reaction is judged by where it landed on the capture's own timeline
// (tests/support/CaptureLog.h), never by when it was asked for.
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "RealSoundFixture.h"
#include "capture/CaptureInputs.h"
#include "session/SessionModel.h"
#include "tests/support/SpellingBursts.h"
#include "windows/Main.h"

namespace {

constexpr double kTone = 0.15;
// A 5 ms block with a sample this far from the midpoint is loud: the hum
// sensor's rest stays below about 12, a reaction on it reaches 19 and more.
constexpr int kLoud = 16;
constexpr int kAttempts = 3;

class SwitchTimingSound : public RealSoundFixture {
protected:
  // The hum sensor's settings and the switch timing, then the windows.
  void LaunchOnHum(const std::vector<std::pair<QString, QString>>& switchKeys) {
    Preset({{QStringLiteral("On Level"), QStringLiteral("30")},
            {QStringLiteral("Off Level"), QStringLiteral("20")}});
    WriteIniKeys(IniPath(), QStringLiteral("Display Options"),
                 {{QStringLiteral("Gauge Amp"), QStringLiteral("400")}});
    WriteIniKeys(IniPath(), QStringLiteral("Switch"), switchKeys);
    LiveTimers = true;
    Launch(true, false);
    Player = std::make_unique<TTonePlayer>(TSensorRest::HumOnly());
    ASSERT_TRUE(Player->Open()) << "no playback stream on the sound server";
    Wait(500);  // the output stream settles
  }

  static void Wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
  }

  // A session with the sensor at rest for settleMs (the level settles on the
  // hum), then the tone from `after` of the rest at `position` (negative:
  // that long after the rest's end, in the move) for `seconds`, run until
  // the tone is over and untilMs more. The tape, lines joined by "|",
  // without "- ".
  QString Session(int settleMs, int position, int afterMs, double seconds, int untilMs) {
    while (Player->Playing()) Wait(50);
    Wait(TTonePlayer::BufferMs);
    FMain->MTape->clear();
    Log->Takes.clear();
    FMain->BStartClick();
    EXPECT_TRUE(FMain->Running());
    Wait(settleMs);
    const int period = FMain->Engine().SymbolPeriodMs();
    bool armed = false, played = false;
    RunWhile(
        [&] {
          if (!FMain->Running()) return false;
          if (!armed && FMain->Engine().DrumPosition() == position &&
              FMain->Engine().StepPhase() == 0) {
            armed = true;
            // The sound reaches the capture about LagMs later.
            const int at = (afterMs >= 0 ? afterMs : period - afterMs) - LagMs;
            QTimer::singleShot(std::max(0, at), [&] {
              Player->Begin(kTone, seconds, 0.0);
              played = true;
            });
          }
          return !played || Player->Playing();
        },
        60000, 5);
    Wait(TTonePlayer::BufferMs + untilMs);
    Log->Snapshot();
    FMain->BStopClick();
    const QStringList lines = FMain->TapeLines();
    return lines.isEmpty() ? QString() : lines.join(QLatin1Char('|')).mid(2);
  }

  // How long the run at the start of take t sounds (ms, 5 ms blocks).
  int LoudFromStartMs(std::size_t t) const {
    const std::vector<uint8_t>& s = Log->Takes[t].Samples;
    int b = 0;
    for (; b + kLandingBlock <= int(s.size()); b += kLandingBlock) {
      bool loud = false;
      for (int i = b; i < b + kLandingBlock && !loud; ++i)
        loud = std::abs(int(s[i]) - 128) >= kLoud;
      if (!loud) break;
    }
    return b / 8;
  }

  // From asking for a tone to its first sample in the capture; only aims.
  int LagMs = TTonePlayer::BufferMs / 2;
};

// With the maximum hold on, a 12 s reaction writes the symbol of the rest it
// began in (or, from that rest's last moment, the next one) and nothing else:
// its level is let go after 3 s, its end is judged against the rest before it.
TEST_F(SwitchTimingSound, ATwelveSecondHoldWritesOneSymbol) {
  ASSERT_NO_FATAL_FAILURE(RequireSound());
  LaunchOnHum({{QStringLiteral("Maximum Hold"), QStringLiteral("3000")}});
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    const QString written = Session(2000, 4, 300, 12.0, 3000);
    const std::vector<TLanding> runs = FindLandings(Log->Takes, kLoud);
    std::printf("landed: %s; written \"%s\"\n", DescribeLandings(runs).c_str(),
                qPrintable(written));
    if (runs.size() != 1) {
      std::printf("the hold arrived as %zu runs; played again\n", runs.size());
      continue;
    }
    EXPECT_GE(runs[0].Takes, 8) << "the tone lasted across the rests";
    EXPECT_TRUE(
        WrittenMatches(written, FMain->Engine().Symbols(), LandingChoices(Log->Takes, runs)))
        << "written \"" << written.toStdString() << "\" for a hold that landed at "
        << DescribeLandings(runs);
    return;
  }
  ADD_FAILURE() << "in " << kAttempts << " sessions the hold never arrived whole";
}

// With an acceptance time of 300 ms, a reaction that began while the drum
// moved counts from the next rest's first reading: let go within the
// acceptance time it writes nothing, held longer it writes that rest's symbol.
TEST_F(SwitchTimingSound, AReactionBegunInAMoveCanBeTakenBackWithinTheAcceptanceTime) {
  ASSERT_NO_FATAL_FAILURE(RequireSound());
  LaunchOnHum({{QStringLiteral("Acceptance Time"), QStringLiteral("300")}});
  struct TCase {
    double Seconds;
    bool Writes;
  };
  for (const TCase c : {TCase{0.2, false}, TCase{1.5, true}}) {
    bool judged = false;
    for (int attempt = 1; attempt <= kAttempts && !judged; ++attempt) {
      // Aimed 100 ms into the move after C's rest.
      const QString written = Session(1500, 3, -100, c.Seconds, 1500);
      const std::vector<TLanding> runs = FindLandings(Log->Takes, kLoud);
      const int inRest = runs.size() == 1 ? LoudFromStartMs(runs[0].Take) : 0;
      std::printf("landed: %s, loud %d ms of its rest; written \"%s\"\n",
                  DescribeLandings(runs).c_str(), inRest, qPrintable(written));
      // Only a tone that began in the move, and whose time in the rest is
      // clear of the acceptance time by a poll or more, proves anything.
      if (runs.size() != 1 || !runs[0].BeforeCapture || (c.Writes ? inRest < 400 : inRest > 220)) {
        // Landed before the rest's end: aim that much (and 100 ms) later.
        if (runs.size() == 1 && !runs[0].BeforeCapture) LagMs -= runs[0].BeforeEndMs + 100;
        std::printf("not where it was aimed; played again\n");
        continue;
      }
      judged = true;
      const QString rested = FMain->Engine().Symbols().value(runs[0].Position - 1);
      EXPECT_EQ(written, c.Writes ? rested : QString()) << "a tone of " << c.Seconds << " s";
    }
    EXPECT_TRUE(judged) << "in " << kAttempts << " sessions a " << c.Seconds
                        << " s tone never began in the move";
  }
}

}  // namespace
