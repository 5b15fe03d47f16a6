// The baseline watch in a session over the automatic level: quiet while the
// rest stays near the calibrated one (the drum's moves and a long held
// reaction included), one notice when it has wandered for seconds, nothing
// without an accepted calibration.
#include <gtest/gtest.h>

#include "SessionRig.h"
#include "session/BaselineWatch.h"

namespace {

struct BaselineWatchTest : ::testing::Test {
  BaselineWatchTest() {
    Calibration.LevelMode = TProbe::LevelAuto;
    Calibration.RestLevel = QStringLiteral("0.05");
    Rig.Engine.AddListener(&Watch);
    Rig.Engine.Start(QStringLiteral("1"));
  }
  // Seconds of polls at a reading, with a drum move's polls of no samples
  // after each 25.
  void Rest(double seconds, double reading) {
    for (int i = 0; i < int(seconds * 25); ++i) {
      Rig.Poll(reading);
      if (i % 25 == 24)
        for (int k = 0; k < 6; ++k) Rig.Poll(0.0, false);
    }
  }

  TSessionRig Rig{TRigLevel::Automatic};
  TCalibrationOptions Calibration;
  QStringList Notices;
  TBaselineWatch Watch{[this] { return Calibration; },
                       [this]() -> const TProbe* { return &Rig.Probe; },
                       [this](const QString& text) { Notices << text; }};
};

TEST_F(BaselineWatchTest, ARestThatWanderedForSecondsIsToldOnce) {
  // On level 30 at gain 100: 0.3 of the sensor; half the way is 0.15.
  Rest(30, 0.05);
  Rest(10, 0.17);
  EXPECT_TRUE(Notices.isEmpty()) << "within half the way to the on level";
  Rest(3, 0.25);
  EXPECT_TRUE(Notices.isEmpty()) << "not for seconds yet";
  Rest(10, 0.25);
  EXPECT_EQ(Notices, QStringList{TBaselineWatch::NoticeText()});
  Rest(10, 0.05);
  Rest(10, 0.25);
  EXPECT_EQ(Notices.size(), 1) << "once a session";
}

TEST_F(BaselineWatchTest, AHeldReactionIsNoRestAndNothingIsWatchedWithoutACalibration) {
  Rest(5, 0.05);
  // Held for 9 s: the level is held, the reaction latched.
  Rest(9, 0.9);
  Rest(5, 0.05);
  EXPECT_TRUE(Notices.isEmpty());

  Rig.Engine.Stop();
  Calibration = TCalibrationOptions();
  Rig.Engine.Start(QStringLiteral("1"));
  Rest(20, 0.4);
  EXPECT_TRUE(Notices.isEmpty());
}

}  // namespace
