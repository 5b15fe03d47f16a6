// The session engine without any window: what it asks of its host, in which
// order, and the schedule of its timers.
#include <gtest/gtest.h>

#include "SessionRig.h"

namespace {

TEST(SessionEngine, APollSelectsBeforeItPassesTheReadingOnAndAStopSymbolEndsThePolling) {
  TSessionRig rig;
  rig.Engine.Start(QStringLiteral("0.1"));
  rig.MoveTo(QStringLiteral("."));
  rig.Poll(0.0);
  rig.Host.Events.clear();
  rig.Poll(0.5);
  EXPECT_EQ(rig.Host.Events, (QStringList{QStringLiteral("add - ."), QStringLiteral("unlock"),
                                          QStringLiteral("light 0"), QStringLiteral("reading 50")}))
      << "the written symbol, then the stop, then the reading of the same poll";
  EXPECT_FALSE(rig.Engine.Running());
  EXPECT_FALSE(rig.PollTimer.Pending());
  EXPECT_EQ(rig.Sensor.Calls.back(), "Stop");
}

TEST(SessionEngine, TheFastSlowOptionIsReadAgainAtEachSelection) {
  TSessionRig rig;
  rig.Host.Options.Symbols = {QStringLiteral("--"), QStringLiteral("B")};
  rig.Engine.Start(QStringLiteral("0.1"));  // the option is off at Start
  rig.Host.FastSlowNow = true;              // and on at the selection
  rig.Fire();
  EXPECT_TRUE(rig.Engine.FastMode()) << "the fast-mode symbol acts, nothing is written";
  EXPECT_TRUE(rig.Host.Tape.isEmpty());
  rig.Host.FastSlowNow = false;
  rig.Engine.SelectSymbol();  // leaves fast mode
  rig.NextSymbol();
  rig.NextSymbol();  // back on "--"
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- --")}) << "with the option off it is text";
}

TEST(SessionEngine, AFailedMeasurementWritesTheErrorLineAndPassesNothingOn) {
  TSessionRig rig;
  rig.Engine.Start(QStringLiteral("1"));
  rig.Poll(0.0);
  rig.Host.Events.clear();
  rig.Sensor.FailRead = true;
  rig.Engine.PollTick();
  EXPECT_EQ(rig.Host.Events.first(),
            QStringLiteral("add Ошибка при подключении к датчику. Сеанс остановлен."));
  EXPECT_FALSE(rig.Host.Events.join(QLatin1Char('|')).contains(QStringLiteral("reading")));
  EXPECT_FALSE(rig.Engine.Running());
  EXPECT_FALSE(rig.PollTimer.Pending());
  EXPECT_FALSE(rig.DrumTimer.Pending());
}

TEST(SessionEngine, NoOptionsMeanTheDesignDefaults) {
  TSessionRig rig;
  rig.Engine.Start(QStringLiteral("0.5"));
  EXPECT_EQ(rig.Engine.OnLevel(), 30.0);
  EXPECT_EQ(rig.Engine.OffLevel(), 20.0);
  EXPECT_EQ(rig.Engine.StopSymbols(), QStringList{QStringLiteral(".")});
  EXPECT_EQ(rig.Engine.FastSymbol(), QStringLiteral("--"));
  EXPECT_EQ(rig.Engine.BackspaceSymbol(), QStringLiteral("<"));
  EXPECT_EQ(rig.DrumTimer.Interval(), 500);
}

// --- selections: levels, latch, fast mode and the special symbols ----------

TEST(SessionSelection, ValuesEqualToTheLevelsNeitherFireNorRearm) {
  TSessionRig rig;
  rig.Host.Options.OnLevel = QStringLiteral("25");
  rig.Host.Options.OffLevel = QStringLiteral("12.5");
  rig.Engine.Start(QStringLiteral("0.1"));
  rig.Poll(0.125);  // equal to the off level: stays latched
  EXPECT_TRUE(rig.Engine.SelectLatch());
  rig.Poll(0.1);
  EXPECT_FALSE(rig.Engine.SelectLatch());
  rig.Poll(0.25);  // equal to the on level: no firing
  EXPECT_TRUE(rig.Host.Tape.isEmpty());
  EXPECT_FALSE(rig.Engine.SelectLatch());
  rig.Poll(0.2500001);
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- A")});
}

TEST(SessionSelection, NegativeDeflectionCountsByItsMagnitude) {
  TSessionRig rig;
  rig.Engine.Start(QStringLiteral("0.1"));
  rig.Poll(0.0);
  rig.Probe.Level = 0.5;  // value 0 − 0.5 → −50 %
  rig.Poll(0.0);
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- A")});
}

TEST(SessionSelection, OneSymbolPerRestAndRearmBetweenFirings) {
  TSessionRig rig;
  rig.Engine.Start(QStringLiteral("0.1"));
  rig.Fire();
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- A")});
  rig.NextSymbol();
  rig.Poll(0.5);  // still latched since the last firing
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- A")});
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- AB")});
}

TEST(SessionSelection, OffLevelAboveOnLevelStillWritesOnePerRest) {
  TSessionRig rig;
  rig.Host.Options.OnLevel = QStringLiteral("20");
  rig.Host.Options.OffLevel = QStringLiteral("40");
  rig.Engine.Start(QStringLiteral("0.1"));
  for (int i = 0; i < 6; ++i) rig.Poll(0.3);  // fires, re-arms, fires ...
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- A")});
  rig.NextSymbol();
  rig.Poll(0.3);
  rig.Poll(0.3);
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- AB")});
}

TEST(SessionSelection, FiringWhileTheDrumMovesInSlowModeWritesNothingAndLatches) {
  TSessionRig rig;
  rig.Engine.Start(QStringLiteral("0.1"));
  rig.Poll(0.0);
  rig.Engine.DrumTick();  // phase 1
  rig.Poll(0.0);          // the rest's last samples: quiet
  rig.Poll(0.5);
  EXPECT_TRUE(rig.Host.Tape.isEmpty());
  EXPECT_TRUE(rig.Engine.SelectLatch());
  rig.Frames(5);  // rest at B
  rig.Poll(0.5);  // must fall below the off level first
  EXPECT_TRUE(rig.Host.Tape.isEmpty());
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- B")});
}

TEST(SessionSelection, FastModeFirstFiringSlowsDownSecondWrites) {
  TSessionRig rig;
  rig.Host.Options.FastSlowMode = true;
  rig.Host.FastSlowNow = true;
  rig.Engine.Start(QStringLiteral("1"));
  EXPECT_TRUE(rig.Engine.FastMode());
  EXPECT_EQ(rig.Sensor.Calls.at(0), "Rearm 1000");
  EXPECT_EQ(rig.DrumTimer.Interval(), 40);
  rig.Engine.DrumTick();  // moving: fast mode accepts a firing at any phase
  rig.Fire();
  EXPECT_FALSE(rig.Engine.FastMode());
  EXPECT_TRUE(rig.Host.Tape.isEmpty());
  rig.Frames(5);
  EXPECT_EQ(rig.DrumTimer.Interval(), 1000) << "slow from the next rest on";
  EXPECT_EQ(rig.Sensor.Calls.back(), "Start 1000");
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- B")});
}

TEST(SessionSelection, FastModeSecondFiringInTheSameRestWrites) {
  TSessionRig rig;
  rig.Host.Options.FastSlowMode = true;
  rig.Host.FastSlowNow = true;
  rig.Engine.Start(QStringLiteral("0.1"));
  rig.Fire();
  EXPECT_FALSE(rig.Engine.FastMode());
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- A")});
}

TEST(SessionSelection, FastSymbolSwitchesBackWithTheOptionAndIsTextWithout) {
  TSessionRig rig;
  rig.Host.Options.Symbols = {QStringLiteral("--"), QStringLiteral("B"), QStringLiteral(" "), QStringLiteral(".")};
  rig.Host.Options.FastSlowMode = true;
  rig.Host.FastSlowNow = true;
  rig.Engine.Start(QStringLiteral("0.1"));
  rig.Fire();  // leaves fast mode
  rig.Fire();  // "--" in slow mode: fast again, nothing written
  EXPECT_TRUE(rig.Engine.FastMode());
  EXPECT_TRUE(rig.Host.Tape.isEmpty());
  rig.Engine.Stop();

  rig.Host.Options.FastSlowMode = false;
  rig.Host.FastSlowNow = false;
  rig.Engine.Start(QStringLiteral("0.1"));
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- --")});
}

TEST(SessionSelection, BackspaceOnNoLinesIsWrittenAndOtherwiseDeletes) {
  TSessionRig rig;
  rig.Host.Options.Symbols = {QStringLiteral("<"), QStringLiteral("B"), QStringLiteral(" "), QStringLiteral(".")};
  rig.Engine.Start(QStringLiteral("0.1"));
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- <")});
  rig.NextSymbol();
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- <B")});
  for (int i = 0; i < 3; ++i) rig.NextSymbol();  // back to "<"
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- <")});
  rig.Engine.Stop();
  // On an empty last line it changes nothing.
  rig.Host.Tape = QStringList{QStringLiteral("x"), QString()};
  rig.Engine.Start(QStringLiteral("0.1"));
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, (QStringList{QStringLiteral("x"), QString()}));
}

TEST(SessionSelection, EmptyCellWritesABlankThatNeverStops) {
  TSessionRig rig;
  rig.Host.Options.Symbols = {QString(), QStringLiteral("B")};
  rig.Host.Options.StopSymbols = QStringLiteral(";");
  rig.Engine.Start(QStringLiteral("0.1"));
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("-  ")});
  EXPECT_TRUE(rig.Engine.Running());
}

TEST(SessionSelection, FullStopOpensANewLineAndStopSymbolsStopAfterWriting) {
  TSessionRig rig;
  rig.Host.Options.StopSymbols = QStringLiteral("Z; ;;C");
  rig.Engine.Start(QStringLiteral("0.1"));
  rig.MoveTo(QStringLiteral("."));
  rig.Fire();
  EXPECT_TRUE(rig.Engine.Running()) << "\".\" is no stop symbol here";
  rig.NextSymbol();  // A
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, (QStringList{QStringLiteral("- ."), QStringLiteral("- A")}));
  rig.MoveTo(QStringLiteral("C"));
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, (QStringList{QStringLiteral("- ."), QStringLiteral("- AC")}));
  EXPECT_FALSE(rig.Engine.Running());
  EXPECT_EQ(rig.Host.Light, TSessionLight::Idle);
  EXPECT_FALSE(rig.PollTimer.Pending());
}

TEST(SessionSelection, DefaultStopSymbolStopsAfterTheFullStop) {
  TSessionRig rig;
  rig.Engine.Start(QStringLiteral("0.1"));
  rig.MoveTo(QStringLiteral("."));
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, QStringList{QStringLiteral("- .")});
  EXPECT_FALSE(rig.Engine.Running());
}

TEST(SessionSelection, NewSessionAcceptsASelectionInItsFirstRest) {
  TSessionRig rig;
  rig.Engine.Start(QStringLiteral("0.1"));
  rig.MoveTo(QStringLiteral("."));
  rig.Fire();  // stop symbol: the session ends in a rest with a symbol taken
  ASSERT_FALSE(rig.Engine.Running());
  rig.Engine.Start(QStringLiteral("0.1"));
  rig.Fire();
  EXPECT_EQ(rig.Host.Tape, (QStringList{QStringLiteral("- ."), QStringLiteral("- A")}));
}


TEST(TickSchedule, KeepsToTheScheduleAndRestartsItAfterALateTick) {
  TTickSchedule s;
  EXPECT_EQ(s.NextDelay(1000, 40, false), 40);  // due at 1040
  EXPECT_EQ(s.NextDelay(1045, 40, true), 35) << "the 5 ms the handler took are not added";
  EXPECT_EQ(s.NextDelay(1200, 40, true), 40) << "more than one interval late: a new schedule";
  EXPECT_EQ(s.NextDelay(1300, 40, false), 40);
}

}  // namespace
