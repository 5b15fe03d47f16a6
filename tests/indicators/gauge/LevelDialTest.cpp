// The level dial: what it shows of the probe's level and how the mouse sets it.
#include "ChainFixture.h"
#include "TestCanvas.h"

#include "indicators/Instdisplay.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kC = 108;  // centre of the 217 × 217 dial

class LevelDialTest : public ::testing::Test {
protected:
  TTestChain Chain;
  TTestCanvas Canvas{QSize(217, 217)};

  QPoint At(double r, double a) const { return TLevelCtrlV1::PointAt(kC, kC, r, a); }

  // Ticks drawn white, by sampling the middle of every tick.
  std::set<int> WhiteTicks(const QImage& dial) const {
    std::set<int> white;
    for (int i = 0; i <= 10; ++i) {
      const QPoint p = At(70, TLevelCtrlV1::AngleAt(i, 10));
      const int light = LightestAround(dial, p.x(), p.y());
      const int dark = DarkestAround(dial, p.x(), p.y());
      if (light > 240)
        white.insert(i);
      else
        EXPECT_LT(dark, 60) << "tick " << i << " is neither white nor black";
    }
    return white;
  }

  std::set<int> WhiteTicksAt(double level) {
    Chain.Probe.Level = level;
    TLevelCtrlV1 dial(Chain.Model, Canvas, QString());
    return WhiteTicks(Canvas.Shown);
  }
};

std::set<int> Range(int a, int b) {
  std::set<int> s;
  for (int i = a; i <= b; ++i) s.insert(i);
  return s;
}

// Restores the default locale when a test changed it.
struct TLocaleGuard {
  QLocale Saved;
  ~TLocaleGuard() { QLocale::setDefault(Saved); }
};

} // namespace

TEST(LevelDialGeometry, SweepOf270DegreesClockwiseOverTheTop) {
  EXPECT_NEAR(TLevelCtrlV1::AngleAt(0, 10), 225 * kPi / 180, 1e-12);
  EXPECT_NEAR(TLevelCtrlV1::AngleAt(5, 10), kPi / 2, 1e-12);
  EXPECT_NEAR(TLevelCtrlV1::AngleAt(10, 10), -kPi / 4, 1e-12);
  EXPECT_EQ(TLevelCtrlV1::PointAt(108, 108, 50, kPi / 2), QPoint(108, 58));
  // cos 225° × 75 = -53.03: truncated toward zero.
  EXPECT_EQ(TLevelCtrlV1::PointAt(108, 108, 75, 225 * kPi / 180), QPoint(108 - 53, 108 + 53));
}

TEST_F(LevelDialTest, TicksWithinTwoAndAHalfDivisionsOfTheLevelAreWhite) {
  EXPECT_EQ(WhiteTicksAt(0.5), Range(3, 7));
  EXPECT_EQ(WhiteTicksAt(0.25), Range(0, 5));
  EXPECT_EQ(WhiteTicksAt(0.0), Range(0, 2));
  EXPECT_EQ(WhiteTicksAt(1.0), Range(8, 10));
}

TEST_F(LevelDialTest, LevelOutsideTheScaleIsDrawnUnchanged) {
  EXPECT_EQ(WhiteTicksAt(1.1), Range(9, 10));
  EXPECT_EQ(WhiteTicksAt(-0.5), std::set<int>());
  // The pointer stands in the gap at the bottom, below the hub.
  Chain.Probe.Level = -1.0 / 6.0;  // d = -5/3: straight down
  TLevelCtrlV1 dial(Chain.Model, Canvas, QString());
  EXPECT_EQ(Grey(Canvas.Shown, kC + 2, kC + 50), 128);
}

TEST_F(LevelDialTest, MajorTicksReachFurtherIn) {
  Chain.Probe.Level = 0.5;
  TLevelCtrlV1 dial(Chain.Model, Canvas, QString());
  const QImage& d = Canvas.Shown;
  // Tick 0 (major, black) and tick 1 (minor, black) at radius 60.
  const QPoint major = At(60, TLevelCtrlV1::AngleAt(0, 10));
  const QPoint minor = At(60, TLevelCtrlV1::AngleAt(1, 10));
  EXPECT_LT(DarkestAround(d, major.x(), major.y()), 60);
  EXPECT_EQ(DarkestAround(d, minor.x(), minor.y()), 192);
  // Nothing beyond radius 75 on a tick's line (but before the labels).
  const QPoint beyond = At(80, TLevelCtrlV1::AngleAt(1, 10));
  EXPECT_EQ(DarkestAround(d, beyond.x(), beyond.y()), 192);
}

TEST_F(LevelDialTest, LabelsZeroFiveAndTenInBlue) {
  Chain.Probe.Level = 0.5;
  TLevelCtrlV1 dial(Chain.Model, Canvas, QString());
  const QImage& d = Canvas.Shown;
  const auto blueNear = [&d](QPoint p) {
    for (int y = p.y() - 8; y <= p.y() + 8; ++y)
      for (int x = p.x() - 8; x <= p.x() + 8; ++x) {
        if (x < 0 || y < 0 || x >= d.width() || y >= d.height()) continue;
        const QColor c = d.pixelColor(x, y);
        if (c.blue() > 150 && c.red() < 60 && c.green() < 60) return true;
      }
    return false;
  };
  for (int i : {0, 5, 10}) {
    QPoint p = At(93, TLevelCtrlV1::AngleAt(i, 10));
    p.ry() += 3;
    EXPECT_TRUE(blueNear(p)) << "label " << i;
  }
  EXPECT_FALSE(blueNear(At(93, TLevelCtrlV1::AngleAt(2.5, 10))));
  EXPECT_FALSE(blueNear(At(93, TLevelCtrlV1::AngleAt(7.5, 10))));
}

TEST_F(LevelDialTest, PointerPointsAtTheLevelAndTheHubCoversItsBase) {
  Chain.Probe.Level = 0.5;
  TLevelCtrlV1 dial(Chain.Model, Canvas, QString());
  const QImage& d = Canvas.Shown;
  EXPECT_EQ(Grey(d, kC + 2, kC - 50), 128);  // grey pointer straight up
  EXPECT_LT(Grey(d, kC, kC - 50), 100);      // its black axis
  EXPECT_EQ(Grey(d, kC, kC + 50), 192);      // nothing below: background
  EXPECT_EQ(Grey(d, kC + 30, kC), 128);      // grey ring of the hub
  EXPECT_EQ(Grey(d, kC - 20, kC + 5), 0);    // black disc
  EXPECT_EQ(Grey(d, 2, 2), 192);             // silver background

  Chain.Probe.Level = 0.0;
  dial.Draw();
  const QPoint p = At(50, 225 * kPi / 180);
  EXPECT_LT(DarkestAround(Canvas.Shown, p.x(), p.y()), 100);
  EXPECT_EQ(Grey(Canvas.Shown, kC + 2, kC - 50), 192);
}

TEST_F(LevelDialTest, LevelTextHasTwoDecimalsInTheUsersNotation) {
  TLocaleGuard guard;
  QLocale::setDefault(QLocale::c());
  Chain.Probe.Level = 0.5;
  TLevelCtrlV1 dial(Chain.Model, Canvas, QString());
  EXPECT_EQ(dial.LevelText(), QStringLiteral("0.50"));
  // The text is white on the black disc.
  int white = 0;
  for (int y = kC - 10; y <= kC + 10; ++y)
    for (int x = kC - 20; x <= kC + 20; ++x) white += Grey(Canvas.Shown, x, y) > 200;
  EXPECT_GT(white, 10);

  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  Chain.Probe.Level = 0.256;
  dial.Draw();
  EXPECT_EQ(dial.LevelText(), QStringLiteral("0,26"));
}

TEST_F(LevelDialTest, CaptionLetterIsDrawnOnlyForAValidIndex) {
  const auto inkBelowHub = [this]() {
    int dark = 0;
    for (int y = kC + 45; y <= kC + 65; ++y)
      for (int x = kC - 10; x <= kC + 10; ++x) dark += Grey(Canvas.Shown, x, y) < 100;
    return dark;
  };
  TLevelCtrlV1 none(Chain.Model, Canvas, QString());
  EXPECT_EQ(none.Caption(), QString());
  EXPECT_EQ(inkBelowHub(), 0);

  TLevelCtrlV1 lettered(Chain.Model, Canvas, QStringLiteral("  WX "));
  EXPECT_EQ(lettered.Caption(), QStringLiteral("WX"));
  EXPECT_EQ(lettered.CaptionIndex(), 1);
  EXPECT_GT(inkBelowHub(), 10);
  lettered.SetCaptionIndex(3);
  lettered.Draw();
  EXPECT_EQ(inkBelowHub(), 0);
}

TEST_F(LevelDialTest, BackgroundTileLinesUpWithTheParent) {
  QImage tile(16, 16, QImage::Format_RGB32);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) tile.setPixelColor(x, y, QColor(x * 16, y * 16, 40));
  Canvas.Where = QPoint(5, 3);
  TLevelCtrlV1 dial(Chain.Model, Canvas, QString(), &tile);
  const QImage& d = Canvas.Shown;
  // Dial pixel (x, y) shows the parent's pixel (x + 5, y + 3) of the tiling.
  EXPECT_EQ(d.pixelColor(0, 0), tile.pixelColor(5, 3));
  EXPECT_EQ(d.pixelColor(11, 13), tile.pixelColor(0, 0));
  EXPECT_EQ(d.pixelColor(216, 216), tile.pixelColor((216 + 5) % 16, (216 + 3) % 16));
}

TEST_F(LevelDialTest, HighDpiScreenGetsAFullResolutionPicture) {
  Canvas.Ratio = 2.0;
  Chain.Probe.Level = 0.5;
  TLevelCtrlV1 dial(Chain.Model, Canvas, QString());
  EXPECT_EQ(Canvas.Shown.size(), QSize(434, 434));
  EXPECT_EQ(Grey(Canvas.Shown, 2 * (kC + 2), 2 * (kC - 50)), 128);
}

// --- the mouse ---------------------------------------------------------------

TEST_F(LevelDialTest, PressesOnTheRingEdgesDoNothing) {
  Chain.Probe.Level = 0.3;
  TLevelCtrlV1 dial(Chain.Model, Canvas, QString());
  const int shown = Canvas.ShowCount;
  for (const QPoint p : {QPoint(kC, kC - 25), QPoint(kC + 90, kC), QPoint(kC, kC),
                         QPoint(kC - 100, kC)}) {
    dial.MouseDown(Qt::LeftButton, {}, p.x(), p.y());
    dial.MouseUp(Qt::LeftButton, {}, p.x(), p.y());
    EXPECT_DOUBLE_EQ(Chain.Probe.Level, 0.3) << p.x() << "," << p.y();
  }
  EXPECT_EQ(Canvas.ShowCount, shown);
  // Just inside both edges the press counts.
  dial.MouseDown(Qt::LeftButton, {}, kC, kC - 26);
  EXPECT_NEAR(Chain.Probe.Level, 0.5, 1e-12);
  dial.MouseUp(Qt::LeftButton, {}, kC + 89, kC);
  EXPECT_NEAR(Chain.Probe.Level, 5.0 / 6.0, 1e-12);
}

TEST_F(LevelDialTest, PressSetsTheLevelFromTheAngle) {
  TLevelCtrlV1 dial(Chain.Model, Canvas, QString());
  dial.MouseDown(Qt::LeftButton, {}, kC, kC - 50);
  EXPECT_TRUE(dial.Dragging());
  EXPECT_NEAR(Chain.Probe.Level, 0.5, 1e-12);
  EXPECT_EQ(WhiteTicks(Canvas.Shown), Range(3, 7));  // redrawn at once

  dial.MouseDown(Qt::LeftButton, {}, kC + 50, kC);
  EXPECT_NEAR(Chain.Probe.Level, 1.0 - (kPi / 4) * 2.0 / (3.0 * kPi), 1e-12);
  EXPECT_NEAR(Chain.Probe.Level, 5.0 / 6.0, 1e-12);

  // The gap at the bottom is split at straight down.
  dial.MouseDown(Qt::LeftButton, {}, kC - 1, kC + 50);
  EXPECT_GT(Chain.Probe.Level, -1.0 / 6.0);
  EXPECT_LT(Chain.Probe.Level, -1.0 / 6.0 + 0.01);
  dial.MouseDown(Qt::LeftButton, {}, kC + 1, kC + 50);
  EXPECT_LT(Chain.Probe.Level, 7.0 / 6.0);
  EXPECT_GT(Chain.Probe.Level, 7.0 / 6.0 - 0.01);

  // Lower left is the scale's start.
  dial.MouseDown(Qt::LeftButton, {}, kC - 40, kC + 40);
  EXPECT_NEAR(Chain.Probe.Level, 0.0, 1e-12);
}

TEST_F(LevelDialTest, MovingWithoutAButtonChangesNothing) {
  Chain.Probe.Level = 0.3;
  TLevelCtrlV1 dial(Chain.Model, Canvas, QString());
  const int shown = Canvas.ShowCount;
  dial.MouseMove({}, kC, kC - 50);
  dial.MouseMove({}, kC + 50, kC);
  EXPECT_DOUBLE_EQ(Chain.Probe.Level, 0.3);
  EXPECT_EQ(Canvas.ShowCount, shown);
  EXPECT_FALSE(dial.Dragging());
}

TEST_F(LevelDialTest, DragFollowsTheMouseUntilRelease) {
  TLevelCtrlV1 dial(Chain.Model, Canvas, QString());
  dial.MouseDown(Qt::LeftButton, {}, kC - 40, kC + 40);  // 0
  dial.MouseMove({}, kC, kC - 60);                       // 0.5
  EXPECT_NEAR(Chain.Probe.Level, 0.5, 1e-12);
  dial.MouseMove({}, kC + 95, kC);  // outside the ring: ignored, still dragging
  EXPECT_NEAR(Chain.Probe.Level, 0.5, 1e-12);
  EXPECT_TRUE(dial.Dragging());
  dial.MouseUp(Qt::LeftButton, {}, kC + 50, kC);
  EXPECT_NEAR(Chain.Probe.Level, 5.0 / 6.0, 1e-12);
  EXPECT_FALSE(dial.Dragging());
  dial.MouseMove({}, kC, kC - 50);
  EXPECT_NEAR(Chain.Probe.Level, 5.0 / 6.0, 1e-12);
  // A press outside the ring still starts a drag that a move into it continues.
  dial.MouseDown(Qt::LeftButton, {}, kC, kC);
  dial.MouseMove({}, kC, kC - 50);
  EXPECT_NEAR(Chain.Probe.Level, 0.5, 1e-12);
}

TEST_F(LevelDialTest, DragHoldsInFixedModeAndJumpsBackInTrackingMode) {
  Chain.Sensor.NoSensor = true;  // every reading 0: the level settles at 0
  Chain.Probe.LevelMode = TProbe::LevelTracking;
  for (int i = 0; i < 5; ++i) Chain.Model.Measure();
  ASSERT_NEAR(Chain.Probe.Level, 0.0, 1e-12);

  TLevelCtrlV1 dial(Chain.Model, Canvas, QString());
  dial.MouseDown(Qt::LeftButton, {}, kC, kC - 50);
  dial.MouseUp(Qt::LeftButton, {}, kC, kC - 50);
  ASSERT_NEAR(Chain.Probe.Level, 0.5, 1e-12);
  Chain.Model.Measure();
  EXPECT_NEAR(Chain.Probe.Level, 0.0, 1e-12);
  dial.Draw();
  EXPECT_EQ(WhiteTicks(Canvas.Shown), Range(0, 2));

  Chain.Probe.LevelMode = TProbe::LevelFixed;
  dial.MouseDown(Qt::LeftButton, {}, kC, kC - 50);
  dial.MouseUp(Qt::LeftButton, {}, kC, kC - 50);
  Chain.Model.Measure();
  EXPECT_NEAR(Chain.Probe.Level, 0.5, 1e-12);
  EXPECT_NEAR(Chain.Model.Data().Inst, -50.0, 1e-9);
}
