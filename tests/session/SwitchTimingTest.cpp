// Switch timing on the session's own timeline: one recorded sequence of
// reactions under each option, and what each option does at its edges.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <vector>

#include "SessionRig.h"
#include "session/SessionRules.h"

namespace {

// A span of the timeline (ms) where the sensor reads a reaction.
struct TSpan {
  int From;
  int To;
  double Reading = 0.5;
};

// The automatic level and the real timeline: a poll every 40 ms, the drum
// ticked when its timer is due, the capture's samples read at rest and once
// more (the rest's last samples) at the first frame of a move.
struct TTimedRig : TSessionRig {
  TTimedRig() : TSessionRig(TRigLevel::Automatic) {}

  // Runs until ms on the timeline, the sensor reading `reading(t)`.
  void RunTo(int ms, const std::function<double(int)>& reading) {
    for (; Now < ms && Engine.Running(); Now += kTickMs) {
      const bool wasPaused = Engine.Paused();
      sinceDrum_ += kTickMs;
      bool tail = false;
      if (DrumTimer.Pending() && sinceDrum_ >= DrumTimer.Interval()) {
        sinceDrum_ = 0;
        Engine.DrumTick();
        tail = Engine.StepPhase() == 1;
      }
      // A read of no samples reads 0, as the sound-card sensor's does.
      const bool samples = Engine.StepPhase() == 0 || tail;
      Poll(samples ? reading(Now) : 0.0, samples);
      if (wasPaused && !Engine.Paused()) sinceDrum_ = 0;  // the drum timer started anew
    }
  }
  void RunTo(int ms, const std::vector<TSpan>& spans) {
    RunTo(ms, [&spans](int t) {
      for (const TSpan& s : spans)
        if (t >= s.From && t < s.To) return s.Reading;
      return 0.0;
    });
  }
  void RunTo(int ms, double reading) {
    RunTo(ms, [reading](int) { return reading; });
  }
  QString Tape() const { return Host.Tape.join(QLatin1Char('|')); }

  int Now = 0;

private:
  int sinceDrum_ = 0;
};

// One operator's reactions at 1 s per symbol (rest k begins at (k-1)·1200 ms
// while nothing lengthens a rest): a twitch of 80 ms in C, a reaction late
// in E that bounces once early in F, one that begins in the move after H and
// is let go 120 ms into I, a hold of 12 s from K on, then a minute of nobody
// reacting and one last reaction.
const std::vector<TSpan> kSequence = {
    {2800, 2880}, {5500, 5900}, {6080, 6240}, {9450, 9720}, {12300, 24300}, {84000, 84400},
};

QString Sequence(const TSwitchOptions& options) {
  TTimedRig rig;
  rig.Host.Switch = options;
  rig.Engine.Start(QStringLiteral("1"));
  rig.RunTo(90000, kSequence);
  return rig.Tape();
}

TEST(SwitchTiming, OneRecordedSequenceUnderEachOption) {
  struct TRow {
    const char* Option;
    TSwitchOptions Options;
    const char* Tape;
  };
  const std::vector<TRow> rows = {
      {"all off", {}, "- CEFIKO"},
      {"acceptance 200 ms", {200, 0, 0, 0, 0}, "- EKO"},
      {"release 200 ms", {0, 200, 0, 0, 0}, "- CEIKO"},
      {"first rest +1000 ms", {0, 0, 1000, 0, 0}, "- CDEFHK"},
      {"scan loops 1", {0, 0, 0, 1, 0}, "- CEFIK"},
      {"maximum hold 3000 ms", {0, 0, 0, 0, 3000}, "- CEFIKO"},
  };
  for (const TRow& row : rows) {
    const QString tape = Sequence(row.Options);
    std::printf("%-22s %s\n", row.Option, qPrintable(tape));
    EXPECT_EQ(tape, QString::fromUtf8(row.Tape)) << row.Option;
  }
}

TEST(SwitchTiming, AcceptanceCountsOnlyPollsOfSamplesAndALateReactionCanBeTakenBack) {
  TTimedRig rig;
  rig.Host.Switch.AcceptanceMs = 120;  // three polls
  rig.Engine.Start(QStringLiteral("1"));
  rig.RunTo(400, 0.0);
  rig.RunTo(480, 0.5);  // two polls: too short
  rig.RunTo(600, 0.0);
  EXPECT_EQ(rig.Tape(), QString());
  rig.RunTo(720, 0.5);
  EXPECT_EQ(rig.Tape(), QStringLiteral("- A"));

  // Begun in the move after B (the capture stopped): counted from C's first
  // reading, so let go after two of them it takes nothing ...
  rig.RunTo(2240, 0.0);
  rig.RunTo(2440, 0.5);
  EXPECT_EQ(rig.Engine.DrumPosition(), 3);
  rig.RunTo(3000, 0.0);
  EXPECT_EQ(rig.Tape(), QStringLiteral("- A"));
  // ... and held on it takes C's symbol.
  rig.RunTo(3440, 0.0);
  rig.RunTo(3720, 0.5);
  EXPECT_EQ(rig.Engine.DrumPosition(), 4);
  EXPECT_EQ(rig.Tape(), QStringLiteral("- AD"));
}

TEST(SwitchTiming, ReleaseTimeIgnoresABounceAfterASelection) {
  TTimedRig rig;
  rig.Host.Switch.ReleaseMs = 200;
  rig.Engine.Start(QStringLiteral("1"));
  rig.RunTo(200, 0.0);
  rig.RunTo(400, 0.5);
  rig.RunTo(1280, 0.0);  // below the off level 880 ms: armed again
  rig.RunTo(1320, 0.5);
  rig.RunTo(1400, 0.0);  // 80 ms below it: a bounce ...
  rig.RunTo(1480, 0.5);  // ... that takes nothing
  rig.RunTo(1680, 0.0);
  rig.RunTo(1720, 0.5);  // after 200 ms below it: a new reaction
  EXPECT_EQ(rig.Tape(), QStringLiteral("- AB"));
}

TEST(SwitchTiming, TheFirstRestAfterASelectionIsLongerAndCapturedWhole) {
  TTimedRig rig;
  rig.Host.Switch.FirstRestExtraMs = 700;
  rig.Engine.Start(QStringLiteral("1"));
  EXPECT_EQ(rig.Engine.RestMs(), 1000) << "no selection yet";
  rig.RunTo(200, 0.0);
  rig.RunTo(400, 0.5);
  rig.Sensor.Calls.clear();
  rig.RunTo(1240, 0.0);
  EXPECT_EQ(rig.Engine.DrumPosition(), 2);
  EXPECT_EQ(rig.Engine.RestMs(), 1700);
  EXPECT_EQ(rig.DrumTimer.Interval(), 1700);
  EXPECT_EQ(rig.Sensor.Calls.back(), "Start 1700");
  rig.RunTo(2900, 0.0);
  EXPECT_EQ(rig.Engine.DrumPosition(), 2) << "still B at 1.66 s into its rest";
  rig.RunTo(3200, 0.0);
  EXPECT_EQ(rig.Engine.DrumPosition(), 3);
  EXPECT_EQ(rig.Engine.RestMs(), 1000) << "only the first rest after a selection";
}

TEST(SwitchTiming, AfterTheScanLoopsTheDrumPausesAndTheNextReactionOnlyResumesIt) {
  TTimedRig rig;
  rig.Host.Options.Symbols = {"A", "B", "C", "D"};
  rig.Host.Switch.ScanLoops = 2;
  rig.Engine.Start(QStringLiteral("1"));
  rig.RunTo(60000, 0.0);
  ASSERT_TRUE(rig.Engine.Paused());
  EXPECT_TRUE(rig.Host.Events.contains("paused"));
  EXPECT_EQ(rig.Engine.DrumPosition(), 1) << "two whole turns, then it stands at the first symbol";
  EXPECT_EQ(rig.Engine.StepPhase(), 0);
  EXPECT_EQ(rig.Sensor.Calls.back(), "Start 10000") << "the capture goes on";
  const int now = rig.Now;
  rig.RunTo(now + 400, 0.5);
  EXPECT_FALSE(rig.Engine.Paused());
  EXPECT_TRUE(rig.Host.Events.contains("resumed"));
  EXPECT_EQ(rig.Tape(), QString()) << "waking the drum takes nothing";
  rig.RunTo(now + 1600, 0.0);
  rig.RunTo(now + 1700, 0.5);
  EXPECT_EQ(rig.Tape(), QStringLiteral("- B"));
}

TEST(SwitchTiming, AHeldReactionWritesOneSymbolHoweverLongItLasts) {
  for (const int maxHold : {0, 3000}) {
    TTimedRig rig;
    rig.Host.Switch.MaxHoldMs = maxHold;
    rig.Engine.Start(QStringLiteral("1"));
    rig.RunTo(300, 0.0);
    rig.RunTo(12300, 0.5);
    rig.RunTo(14000, 0.0);
    EXPECT_EQ(rig.Tape(), QStringLiteral("- A")) << "maximum hold " << maxHold;
    EXPECT_FALSE(rig.Engine.SelectLatch()) << "its end re-arms";
    rig.RunTo(14500, 0.5);
    EXPECT_EQ(rig.Tape().size(), 4) << "and the next reaction counts";
  }
}

// A baseline that moves for good during a hold leaves the switch latched
// until it comes back; with the maximum hold the level follows it meanwhile.
TEST(SwitchTiming, OnlyTheEndOfAReactionRearmsEvenWhenTheBaselineMovedDuringIt) {
  for (const int maxHold : {0, 3000}) {
    TTimedRig rig;
    rig.Host.Switch.MaxHoldMs = maxHold;
    rig.Engine.Start(QStringLiteral("1"));
    rig.RunTo(300, 0.0);
    rig.RunTo(40000, 0.5);  // the reaction, then the baseline stays up
    EXPECT_EQ(rig.Probe.Level > 0.3, maxHold > 0) << "maximum hold " << maxHold;
    rig.RunTo(40500, 0.9);
    EXPECT_EQ(rig.Tape(), QStringLiteral("- A")) << "maximum hold " << maxHold;
    rig.RunTo(42000, 0.0);  // the baseline comes back: that is the end
    EXPECT_EQ(rig.Tape(), QStringLiteral("- A"));
    EXPECT_FALSE(rig.Engine.SelectLatch());
  }
}

}  // namespace
