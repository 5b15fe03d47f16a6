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

TEST(TickSchedule, KeepsToTheScheduleAndRestartsItAfterALateTick) {
  TTickSchedule s;
  EXPECT_EQ(s.NextDelay(1000, 40, false), 40);  // due at 1040
  EXPECT_EQ(s.NextDelay(1045, 40, true), 35) << "the 5 ms the handler took are not added";
  EXPECT_EQ(s.NextDelay(1200, 40, true), 40) << "more than one interval late: a new schedule";
  EXPECT_EQ(s.NextDelay(1300, 40, false), 40);
}

}  // namespace
