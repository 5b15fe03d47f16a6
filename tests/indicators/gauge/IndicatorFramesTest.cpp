// The gauge and the dial painted in place poll after poll against faces
// drawn afresh, and what a poll that moves nothing paints.
#include <gtest/gtest.h>

#include "tests/support/PatchedScreen.h"

#include <QPainter>
#include <QRegion>
#include <cmath>

#include "ChainFixture.h"
#include "TestCanvas.h"

namespace {

const QString NoScaleFile = QStringLiteral("/nonexistent/scale.bmp");

// Keeps its own copy of what it was shown, patched with each changed
// region as a window is.
class TPatchingCanvas : public TTestCanvas {
public:
  using TTestCanvas::TTestCanvas;
  QImage Screen;
  QRegion Last;
  void ShowChanged(const QImage& picture, const QRegion& changed) override {
    Last = changed;
    PatchScreen(Screen, picture, changed);
    Show(picture);
  }
};

class IndicatorFramesTest : public ::testing::Test {
protected:
  TTestChain Chain;
  // Needle and level through the scale and past its ends, with steps too
  // small to move a pixel.
  void Poll(int i) {
    Chain.Sensor.NoSensor = true;
    Chain.Probe.LevelMode = TProbe::LevelFixed;
    Chain.Probe.Level = 1.4 * std::sin(i * 0.3) + (i % 3) * 1e-6;
    Chain.Model.Measure();
  }
};

}  // namespace

TEST_F(IndicatorFramesTest, TheGaugePaintedInPlaceEqualsFreshFaces) {
  for (const QSize size : {QSize(561, 401), QSize(1122, 700)}) {
    TPatchingCanvas canvas(size);
    TInstIndGaugeV1 gauge(Chain.Model, canvas, NoScaleFile);
    for (int i = 0; i < 40; ++i) {
      Poll(i);
      gauge.Draw();
      TTestCanvas freshCanvas(size);
      TInstIndGaugeV1 fresh(Chain.Model, freshCanvas, NoScaleFile);
      ASSERT_EQ(gauge.Picture(), fresh.Picture()) << "poll " << i;
      ASSERT_EQ(canvas.Screen, gauge.Picture()) << "poll " << i << ": not all shown";
    }
  }
}

TEST_F(IndicatorFramesTest, AMovingNeedleRepaintsAlongTheNeedleOnly) {
  TPatchingCanvas canvas(QSize(561, 401));
  TInstIndGaugeV1 gauge(Chain.Model, canvas, NoScaleFile);
  Poll(1);
  gauge.Draw();
  const QRect bounds = canvas.Last.boundingRect();
  EXPECT_FALSE(bounds.isEmpty());
  EXPECT_LT(bounds.width() * bounds.height(), 561 * 401 / 2);
  gauge.Draw();  // nothing moved
  EXPECT_TRUE(canvas.Last.isEmpty());
}

TEST_F(IndicatorFramesTest, TheDialPaintedInPlaceEqualsFreshDials) {
  TPatchingCanvas canvas(QSize(217, 217));
  TLevelCtrlV1 dial(Chain.Model, canvas, QStringLiteral("ABC"));
  for (int i = 0; i < 40; ++i) {
    Poll(i);
    dial.SetCaptionIndex(1 + i / 15);
    dial.Draw();
    TTestCanvas freshCanvas(QSize(217, 217));
    TLevelCtrlV1 fresh(Chain.Model, freshCanvas, QStringLiteral("ABC"));
    fresh.SetCaptionIndex(1 + i / 15);
    fresh.Draw();
    ASSERT_EQ(dial.Picture(), fresh.Picture()) << "poll " << i;
    ASSERT_EQ(canvas.Screen, dial.Picture()) << "poll " << i << ": not all shown";
  }
  dial.Draw();
  EXPECT_TRUE(canvas.Last.isEmpty());
  canvas.Parent = QColor(200, 100, 50);  // the panel's colour changed
  dial.Draw();
  EXPECT_FALSE(canvas.Last.isEmpty());
}
