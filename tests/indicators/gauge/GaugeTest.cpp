// The needle gauge: layout from size and DPI, and what the face shows.
#include "ChainFixture.h"
#include "TestCanvas.h"

#include "indicators/Instdisplay.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Puts the model's instrument value at v (spring off, fixed level, no
// sound: the sensor value is 0, so v = -level × gain).
void SetInst(TTestChain& chain, double v) {
  chain.Sensor.NoSensor = true;
  chain.Probe.LevelMode = TProbe::LevelFixed;
  chain.Probe.Level = -v / chain.Model.Gain();
  chain.Model.Measure();
}

// Point at radius r and angle deg (degrees) around (cx, cy), y upward.
QPoint Polar(int cx, int cy, double r, double deg) {
  const double a = deg * kPi / 180.0;
  return QPoint(cx + int(std::lround(std::cos(a) * r)), cy - int(std::lround(std::sin(a) * r)));
}

// The needle lies along deg: dark pixels from just outside the hub to near
// its tip.
bool NeedleAlong(const QImage& face, int cx, int cy, double deg, int length) {
  for (int r = 16; r <= length - 4; r += 8) {
    const QPoint p = Polar(cx, cy, r, deg);
    if (DarkestAround(face, p.x(), p.y()) > 80) return false;
  }
  return true;
}

// Nothing drawn along deg between the hub and the ticks.
bool BlankAlong(const QImage& face, int cx, int cy, double deg, int length) {
  for (int r = 16; r <= length - 4; r += 8) {
    const QPoint p = Polar(cx, cy, r, deg);
    if (DarkestAround(face, p.x(), p.y()) < 200) return false;
  }
  return true;
}

class GaugeTest : public ::testing::Test {
protected:
  TTestChain Chain;
  const QString NoScaleFile = QStringLiteral("/nonexistent/scale.bmp");
};

} // namespace

TEST(GaugeLayout, DesignSizeAt96Dpi) {
  const TGaugeLayout g = TGaugeLayout::For(561, 401, 96);
  EXPECT_DOUBLE_EQ(g.S, 1.0);
  EXPECT_EQ(g.Cx, 280);
  EXPECT_EQ(g.Cy, 356);
  EXPECT_EQ(g.TickInner, 283);
  EXPECT_EQ(g.TickOuter, 302);
  EXPECT_EQ(g.LabelRadius, 321);
  EXPECT_EQ(g.NeedleRadius, 264);
  EXPECT_EQ(g.HubRadius, 10);
}

TEST(GaugeLayout, PivotFollowsWidthAndHeightWhileRadiiFollowTheSmallerScale) {
  const TGaugeLayout wide = TGaugeLayout::For(1122, 401, 96);
  EXPECT_EQ(wide.Cx, 561);
  EXPECT_EQ(wide.Cy, 356);
  EXPECT_EQ(wide.TickInner, 283);
  EXPECT_EQ(wide.NeedleRadius, 264);
  EXPECT_EQ(wide.HubRadius, 10);

  const TGaugeLayout tall = TGaugeLayout::For(561, 802, 96);
  EXPECT_EQ(tall.Cx, 280);
  EXPECT_EQ(tall.Cy, 712);
  EXPECT_EQ(tall.TickOuter, 302);
  EXPECT_EQ(tall.LabelRadius, 321);

  const TGaugeLayout half = TGaugeLayout::For(280, 401, 96);
  EXPECT_NEAR(half.S, 280.0 / 561.0, 1e-12);
  EXPECT_EQ(half.NeedleRadius, int(96 * 7.0 * half.S / 2.54));
  EXPECT_EQ(half.HubRadius, 5);  // 10 × 0.499 + 0.5 truncated
}

TEST(GaugeLayout, RadiiScaleWithDpiButHubDoesNot) {
  const TGaugeLayout g = TGaugeLayout::For(561, 401, 120);
  EXPECT_EQ(g.TickInner, 354);
  EXPECT_EQ(g.TickOuter, 377);
  EXPECT_EQ(g.LabelRadius, 401);
  EXPECT_EQ(g.NeedleRadius, 330);
  EXPECT_EQ(g.HubRadius, 10);
}

TEST(GaugeLayout, ScaleRunsFrom140Through90To40Degrees) {
  const TGaugeLayout g = TGaugeLayout::For(561, 401, 96);
  EXPECT_EQ(g.PointAt(100, 0.5), QPoint(280, 256));
  // cos 140° × 100 = -76.6 and sin 140° × 100 = 64.3, both truncated.
  EXPECT_EQ(g.PointAt(100, 0.0), QPoint(280 - 76, 356 - 64));
  EXPECT_EQ(g.PointAt(100, 1.0), QPoint(280 + 76, 356 - 64));
}

TEST_F(GaugeTest, ConstructionDrawsOnceAtTheCanvasSize) {
  TTestCanvas canvas(QSize(561, 401));
  TInstIndGaugeV1 gauge(Chain.Model, canvas, NoScaleFile);
  EXPECT_EQ(canvas.ShowCount, 1);
  EXPECT_EQ(canvas.Shown.size(), QSize(561, 401));
  EXPECT_EQ(gauge.Picture().size(), QSize(561, 401));
}

TEST_F(GaugeTest, NeedlePointsAt140_90_And40Degrees) {
  TTestCanvas canvas(QSize(561, 401));
  TInstIndGaugeV1 gauge(Chain.Model, canvas, NoScaleFile);

  const struct { double inst, deg; } cases[] = {{-100, 140}, {0, 90}, {100, 40}};
  for (const auto& c : cases) {
    SetInst(Chain, c.inst);
    ASSERT_DOUBLE_EQ(Chain.Model.Data().Inst, c.inst);
    gauge.Draw();
    const QImage& face = canvas.Shown;
    EXPECT_TRUE(NeedleAlong(face, 280, 356, c.deg, 264)) << "value " << c.inst;
    for (double other : {140.0, 115.0, 90.0, 65.0, 40.0}) {
      if (other == c.deg) continue;
      EXPECT_TRUE(BlankAlong(face, 280, 356, other, 264)) << c.inst << " at " << other;
    }
  }
}

TEST_F(GaugeTest, RedrawLeavesNoTraceOfThePreviousNeedle) {
  TTestCanvas canvas(QSize(561, 401));
  TInstIndGaugeV1 gauge(Chain.Model, canvas, NoScaleFile);
  SetInst(Chain, -100);
  gauge.Draw();
  ASSERT_TRUE(NeedleAlong(canvas.Shown, 280, 356, 140, 264));
  SetInst(Chain, 50);
  gauge.Draw();
  EXPECT_TRUE(BlankAlong(canvas.Shown, 280, 356, 140, 264));
  EXPECT_TRUE(NeedleAlong(canvas.Shown, 280, 356, 65, 264));
  // The value in between is not shown either.
  gauge.Draw();
  EXPECT_TRUE(BlankAlong(canvas.Shown, 280, 356, 140, 264));
}

TEST_F(GaugeTest, TwentyOneTicksFromRadius283To302) {
  SetInst(Chain, -100);
  TTestCanvas canvas(QSize(561, 401));
  TInstIndGaugeV1 gauge(Chain.Model, canvas, NoScaleFile);
  const QImage& face = canvas.Shown;
  int ticks = 0;
  for (int i = 0; i <= 20; ++i) {
    const double deg = 140.0 - 5.0 * i;
    const QPoint on = Polar(280, 356, 292, deg);
    if (DarkestAround(face, on.x(), on.y()) < 80) ++ticks;
    const QPoint inside = Polar(280, 356, 278, deg);
    const QPoint outside = Polar(280, 356, 307, deg);
    EXPECT_GT(DarkestAround(face, inside.x(), inside.y()), 200) << "tick " << i;
    EXPECT_GT(DarkestAround(face, outside.x(), outside.y()), 200) << "tick " << i;
    if (i < 20) {
      const QPoint between = Polar(280, 356, 292, deg - 2.5);
      EXPECT_GT(DarkestAround(face, between.x(), between.y()), 200) << "after tick " << i;
    }
  }
  EXPECT_EQ(ticks, 21);
  // Straight up the tick spans 283..302 exactly: rows 356-283 = 73 and 54.
  EXPECT_LT(Grey(face, 280, 60), 60);
  EXPECT_LT(Grey(face, 280, 72), 60);
  EXPECT_GT(Grey(face, 280, 76), 200);
  EXPECT_GT(Grey(face, 280, 51), 200);
}

TEST_F(GaugeTest, FiveLabelsCentredAtRadius321) {
  SetInst(Chain, -100);
  TTestCanvas canvas(QSize(561, 401));
  TInstIndGaugeV1 gauge(Chain.Model, canvas, NoScaleFile);
  const QImage& face = canvas.Shown;
  // Ink beyond the ticks (radius 306 and more) near each label point lies in
  // the text's box centred on that point.
  const QFontMetrics metrics(IndicatorFont(12, 96));
  const struct { double deg; const char* text; } labels[] = {
      {140, "-100"}, {115, "-50"}, {90, "0"}, {65, "50"}, {40, "100"}};
  for (const auto& l : labels) {
    const QPoint p = Polar(280, 356, 321, l.deg);
    const QString text = QString::fromLatin1(l.text);
    const int w = metrics.horizontalAdvance(text), h = metrics.height();
    const QRect box(p.x() - w / 2 - 2, p.y() - h / 2 - 2, w + 4, h + 4);
    int ink = 0, stray = 0;
    for (int y = p.y() - 25; y <= p.y() + 25; ++y)
      for (int x = p.x() - 35; x <= p.x() + 35; ++x) {
        const int g = Grey(face, x, y);
        if (g < 0 || g >= 128 || std::hypot(x - 280, y - 356) < 306) continue;
        box.contains(x, y) ? ++ink : ++stray;
      }
    EXPECT_GT(ink, 10) << l.text;
    EXPECT_EQ(stray, 0) << l.text;
  }
  // No label on the divisions in between.
  for (double deg : {127.5, 102.5, 77.5, 52.5}) {
    const QPoint p = Polar(280, 356, 321, deg);
    EXPECT_GT(DarkestAround(face, p.x(), p.y()), 200) << deg;
  }
  // "-100" is wider than "0".
  const auto inkWidth = [&face](QPoint p) {
    int x0 = 10000, x1 = -1;
    for (int y = p.y() - 10; y <= p.y() + 10; ++y)
      for (int x = p.x() - 30; x <= p.x() + 30; ++x)
        if (Grey(face, x, y) >= 0 && Grey(face, x, y) < 128) x0 = qMin(x0, x), x1 = qMax(x1, x);
    return x1 - x0;
  };
  EXPECT_GT(inkWidth(Polar(280, 356, 321, 140)), 2 * inkWidth(Polar(280, 356, 321, 90)));
}

TEST_F(GaugeTest, HubIsABlackDiscOfRadius10OnThePivot) {
  TTestCanvas canvas(QSize(561, 401));
  TInstIndGaugeV1 gauge(Chain.Model, canvas, NoScaleFile);
  const QImage& face = canvas.Shown;
  for (const QPoint d : {QPoint(0, 0), QPoint(8, 0), QPoint(-8, 0), QPoint(0, 8), QPoint(5, 5)})
    EXPECT_LT(Grey(face, 280 + d.x(), 356 + d.y()), 60) << d.x() << "," << d.y();
  EXPECT_GT(Grey(face, 280 + 13, 356), 200);
  EXPECT_GT(Grey(face, 280, 356 + 13), 200);
  EXPECT_GT(Grey(face, 280 - 13, 356), 200);
}

TEST_F(GaugeTest, WideAndTallImagesMoveThePivot) {
  TTestCanvas wide(QSize(1122, 401));
  TInstIndGaugeV1 a(Chain.Model, wide, NoScaleFile);
  EXPECT_EQ(wide.Shown.size(), QSize(1122, 401));
  EXPECT_LT(Grey(wide.Shown, 561, 356), 60);
  EXPECT_GT(Grey(wide.Shown, 280, 356), 200);
  EXPECT_TRUE(NeedleAlong(wide.Shown, 561, 356, 90, 264));

  TTestCanvas tall(QSize(561, 802));
  TInstIndGaugeV1 b(Chain.Model, tall, NoScaleFile);
  EXPECT_LT(Grey(tall.Shown, 280, 712), 60);
  EXPECT_GT(Grey(tall.Shown, 280, 356), 200);
  EXPECT_TRUE(NeedleAlong(tall.Shown, 280, 712, 90, 264));
  // Tick straight up at 712 - 283 .. 712 - 302.
  EXPECT_LT(Grey(tall.Shown, 280, 712 - 292), 60);
}

TEST_F(GaugeTest, At120DpiTheFaceGrowsButTheHubStays) {
  SetInst(Chain, -100);
  TTestCanvas canvas(QSize(561, 401), 120);
  TInstIndGaugeV1 gauge(Chain.Model, canvas, NoScaleFile);
  const QImage& face = canvas.Shown;
  // The tick ring moved out from 283..302 to 354..377.
  const QPoint tick = Polar(280, 356, 360, 115);
  EXPECT_LT(DarkestAround(face, tick.x(), tick.y()), 80);
  const QPoint oldTick = Polar(280, 356, 292, 115);
  EXPECT_GT(DarkestAround(face, oldTick.x(), oldTick.y()), 200);
  EXPECT_TRUE(NeedleAlong(face, 280, 356, 140, 330));
  EXPECT_GT(Grey(face, 280 + 13, 356), 200);
  EXPECT_LT(Grey(face, 280 + 8, 356), 60);
}

TEST_F(GaugeTest, HighDpiScreenGetsAFullResolutionPicture) {
  TTestCanvas canvas(QSize(561, 401), 96, 2.0);
  TInstIndGaugeV1 gauge(Chain.Model, canvas, NoScaleFile);
  const QImage& face = canvas.Shown;
  EXPECT_EQ(face.size(), QSize(1122, 802));
  EXPECT_DOUBLE_EQ(face.devicePixelRatio(), 2.0);
  EXPECT_EQ(face.deviceIndependentSize().toSize(), QSize(561, 401));
  // The hub at (280, 356) logical is at (560, 712) in device pixels; the
  // needle, 2 logical pixels wide, is drawn 4 device pixels wide and sharp.
  EXPECT_LT(Grey(face, 560, 712), 60);
  EXPECT_LT(Grey(face, 560, 712 - 2 * 100), 60);
  EXPECT_GT(Grey(face, 560 + 6, 712 - 2 * 100), 200);
}

TEST_F(GaugeTest, EmptyCanvasDrawsNothing) {
  TTestCanvas canvas(QSize(0, 0));
  TInstIndGaugeV1 gauge(Chain.Model, canvas, NoScaleFile);
  EXPECT_EQ(canvas.ShowCount, 0);
  canvas.Size = QSize(200, 100);
  gauge.Draw();
  EXPECT_EQ(canvas.Shown.size(), QSize(200, 100));
}

TEST_F(GaugeTest, MissingScaleFileGivesABlueSquare) {
  TTestCanvas canvas(QSize(561, 401));
  TInstIndGaugeV1 gauge(Chain.Model, canvas, NoScaleFile);
  const QImage& scale = gauge.ScaleBitmap();
  EXPECT_EQ(scale.size(), QSize(100, 100));
  EXPECT_EQ(scale.pixelColor(0, 0), QColor(0, 0, 255));
  EXPECT_EQ(scale.pixelColor(99, 99), QColor(0, 0, 255));
  // Beside the executable, in the platform's own spelling of the path.
  EXPECT_TRUE(QDir::fromNativeSeparators(TInstIndGaugeV1::DefaultScaleFile()).endsWith(QStringLiteral("/scale.bmp")));
}

TEST_F(GaugeTest, ScaleFileIsLoadedButNotDrawn) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QImage red(7, 5, QImage::Format_RGB32);
  red.fill(QColor(255, 0, 0));
  const QString path = dir.filePath(QStringLiteral("scale.bmp"));
  ASSERT_TRUE(red.save(path, "BMP"));

  TTestCanvas canvas(QSize(561, 401));
  TInstIndGaugeV1 gauge(Chain.Model, canvas, path);
  EXPECT_EQ(gauge.ScaleBitmap().size(), QSize(7, 5));
  EXPECT_EQ(gauge.ScaleBitmap().pixelColor(3, 2), QColor(255, 0, 0));
  bool anyColour = false;
  for (int y = 0; y < canvas.Shown.height() && !anyColour; ++y)
    for (int x = 0; x < canvas.Shown.width(); ++x) {
      const QColor c = canvas.Shown.pixelColor(x, y);
      if (c.red() != c.green() || c.green() != c.blue()) { anyColour = true; break; }
    }
  EXPECT_FALSE(anyColour);
}

TEST_F(GaugeTest, UnreadableScaleFileIsTreatedAsMissing) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("scale.bmp"));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("not a bitmap");
  f.close();
  TTestCanvas canvas(QSize(100, 100));
  TInstIndGaugeV1 gauge(Chain.Model, canvas, path);
  EXPECT_EQ(gauge.ScaleBitmap().size(), QSize(100, 100));
  EXPECT_EQ(gauge.ScaleBitmap().pixelColor(50, 50), QColor(0, 0, 255));
}
