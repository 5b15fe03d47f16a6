// The drum painted in place frame after frame against the whole picture
// drawn afresh: sessions with both window options, fast mode, long and empty
// texts, a change of table, colour and size.
#include <gtest/gtest.h>

#include "tests/support/PatchedScreen.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

#include "indicators/DrumPainter.h"

namespace {

TDrumScene Rest(const QStringList& symbols, bool fixedWindow) {
  TDrumScene scene;
  scene.Symbols = symbols;
  scene.FixedWindow = fixedWindow;
  scene.Background = QColor(240, 240, 240);
  return scene;
}

QStringList Table(int count) {
  QStringList symbols;
  for (int i = 0; i < count; ++i) symbols << QString(QChar(u'A' + i % 26));
  if (count > 4) {
    symbols[1] = QStringLiteral("Пробел");  // shrunk to fit
    symbols[3] = QString();                 // an empty circle
  }
  return symbols;
}

// Every scene of a session: rests and five move frames over more than one
// turn of the drum, a stretch in fast mode, then the stop.
std::vector<TDrumScene> Session(const QStringList& symbols, bool fixedWindow) {
  std::vector<TDrumScene> scenes;
  TDrumScene s = Rest(symbols, fixedWindow);
  scenes.push_back(s);
  s.Running = true;
  s.FastMode = true;
  const int n = static_cast<int>(symbols.size());
  for (int step = 0; step < n + 2; ++step) {
    if (step == 3) s.FastMode = false;
    for (int phase = 0; phase <= 5; ++phase) {
      s.Phase = phase;
      scenes.push_back(s);
      if (phase == 0) scenes.push_back(s);  // a repeated frame changes nothing
    }
    s.Position = s.Position >= n ? 1 : s.Position + 1;
    s.Phase = 0;
  }
  s.Running = false;
  scenes.push_back(s);
  return scenes;
}

QImage Fresh(const QSize& size, const TDrumScene& scene, qreal ratio = 1.0) {
  QImage image(size, TDrumPainter::Format);
  image.setDevicePixelRatio(ratio);
  PaintDrum(image, scene);
  return image;
}

// Paints the scenes one after the other into one picture; after each the
// picture equals a fresh one, and the changed region holds every pixel that
// differs from the picture before.
// Returns how many frames were taken from earlier turns.
int ExpectFramesEqualFreshPictures(const QSize& size, const std::vector<TDrumScene>& scenes,
                                   qreal ratio = 1.0) {
  TDrumPainter painter;
  QImage picture(size, TDrumPainter::Format);
  picture.setDevicePixelRatio(ratio);
  QImage before;
  const bool failedBefore = ::testing::Test::HasFailure();
  for (std::size_t k = 0; k < scenes.size(); ++k) {
    const QRegion changed = painter.Paint(picture, scenes[k]);
    const QImage expected = Fresh(size, scenes[k], ratio);
    EXPECT_EQ(picture, expected) << "frame " << k << " position " << scenes[k].Position
                                 << " phase " << scenes[k].Phase;
    if (!before.isNull()) {
      // The picture before with the changed region taken over is the new one.
      PatchScreen(before, picture, changed);
      EXPECT_EQ(before, picture) << "frame " << k << ": a change outside the region";
    }
    if (!failedBefore && ::testing::Test::HasFailure()) break;
    before = picture.copy();
  }
  return painter.ReusedFrames();
}

}  // namespace

TEST(DrumFrames, ASessionPaintedInPlaceEqualsFreshPictures) {
  for (const bool fixedWindow : {false, true}) {
    SCOPED_TRACE(fixedWindow ? "fixed window" : "moving window");
    ExpectFramesEqualFreshPictures(QSize(449, 409), Session(Table(28), fixedWindow));
    ExpectFramesEqualFreshPictures(QSize(300, 200), Session(Table(2), fixedWindow));
  }
  ExpectFramesEqualFreshPictures(QSize(1000, 700), Session(Table(100), false));
  ExpectFramesEqualFreshPictures(QSize(1920, 1080), Session(Table(100), true));
}

TEST(DrumFrames, APredictedSessionWithItsComingOrderEqualsFreshPictures) {
  // Rests that jump across the ring, each showing the next four; at some
  // rests a selection plans the order anew.
  const QList<int> plan = {7, 19, 2, 30, 11, 36, 1, 24, 5, 13, 29, 8, 17, 3, 33, 21};
  for (const bool fixedWindow : {false, true}) {
    SCOPED_TRACE(fixedWindow ? "fixed window" : "moving window");
    std::vector<TDrumScene> scenes;
    TDrumScene s = Rest(Table(36), fixedWindow);
    s.Running = true;
    s.Position = 4;
    for (int k = 0; k + 4 < plan.size(); ++k) {
      s.Coming = plan.mid(k, 4);
      s.Phase = 0;
      scenes.push_back(s);
      if (k % 3 == 1) {
        s.Coming = {plan.at(k + 1), s.Position, 9, 10};  // a selection's new plan
        scenes.push_back(s);
      }
      s.Target = s.Coming.first();
      for (int phase = 1; phase <= 5; ++phase) {
        s.Phase = phase;
        scenes.push_back(s);
      }
      s.Position = s.Target;
    }
    s.Running = false;
    s.Coming.clear();
    scenes.push_back(s);
    ExpectFramesEqualFreshPictures(QSize(449, 409), scenes);
    ExpectFramesEqualFreshPictures(QSize(1920, 1080), scenes);
  }
}

TEST(DrumFrames, LaterTurnsReuseFramesAtAnyPixelRatio) {
  // Two turns in slow mode: the second turn's moves are all taken from the
  // first, and the pictures stay those drawn afresh.
  std::vector<TDrumScene> scenes;
  TDrumScene s = Rest(Table(28), false);
  s.Running = true;
  for (int step = 0; step < 2 * 28; ++step) {
    for (int phase = 0; phase <= 5; ++phase) {
      s.Phase = phase;
      scenes.push_back(s);
    }
    s.Position = s.Position >= 28 ? 1 : s.Position + 1;
  }
  for (const qreal ratio : {1.0, 1.5, 2.0}) {
    SCOPED_TRACE(ratio);
    const QSize size = (QSizeF(449, 409) * ratio).toSize();
    EXPECT_GE(ExpectFramesEqualFreshPictures(size, scenes, ratio), 5 * 28);
  }
}

TEST(DrumFrames, ATableColourOrSizeChangeRedrawsTheWholePicture) {
  TDrumPainter painter;
  QImage picture(449, 409, TDrumPainter::Format);
  TDrumScene scene = Rest(Table(28), false);
  EXPECT_EQ(painter.Paint(picture, scene), QRegion(0, 0, 449, 409));
  EXPECT_TRUE(painter.Paint(picture, scene).isEmpty());

  scene.Symbols[5] = QStringLiteral("Ж");
  EXPECT_EQ(painter.Paint(picture, scene), QRegion(0, 0, 449, 409));
  EXPECT_EQ(picture, Fresh(picture.size(), scene));

  scene.Background = QColor(200, 210, 220);
  painter.Paint(picture, scene);
  EXPECT_EQ(picture, Fresh(picture.size(), scene));

  scene.Symbols.removeLast();
  painter.Paint(picture, scene);
  EXPECT_EQ(picture, Fresh(picture.size(), scene));

  picture = QImage(500, 420, TDrumPainter::Format);
  EXPECT_EQ(painter.Paint(picture, scene), QRegion(0, 0, 500, 420));
  EXPECT_EQ(picture, Fresh(picture.size(), scene));

  // A picture drawn over by someone else is repainted whole once told.
  picture.fill(Qt::black);
  painter.Invalidate();
  painter.Paint(picture, scene);
  EXPECT_EQ(picture, Fresh(picture.size(), scene));
}

TEST(DrumFrames, AMoveWithTheMovingWindowRepaintsOnlyAroundTheWindow) {
  TDrumPainter painter;
  QImage picture(1920, 1080, TDrumPainter::Format);
  TDrumScene scene = Rest(Table(28), false);
  scene.Running = true;
  painter.Paint(picture, scene);
  // Every frame of a step, the arrival at the next rest included (the
  // window's symbol comes first in the drawing order and so turns with it).
  for (int phase = 1; phase <= 6; ++phase) {
    scene.Phase = phase % 6;
    if (phase == 6) scene.Position = 2;
    const QRect bounds = painter.Paint(picture, scene).boundingRect();
    EXPECT_LT(bounds.width() * bounds.height(), 1920 * 1080 / 20) << "phase " << phase;
  }
  EXPECT_EQ(picture, Fresh(picture.size(), scene));
}
