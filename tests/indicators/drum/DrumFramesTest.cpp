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

QImage Fresh(const QSize& size, const TDrumScene& scene) {
  QImage image(size, TDrumPainter::Format);
  PaintDrum(image, scene);
  return image;
}

// Paints the scenes one after the other into one picture; after each the
// picture equals a fresh one, and the changed region holds every pixel that
// differs from the picture before.
void ExpectFramesEqualFreshPictures(const QSize& size, const std::vector<TDrumScene>& scenes) {
  TDrumPainter painter;
  QImage picture(size, TDrumPainter::Format);
  QImage before;
  for (std::size_t k = 0; k < scenes.size(); ++k) {
    const QRegion changed = painter.Paint(picture, scenes[k]);
    const QImage expected = Fresh(size, scenes[k]);
    ASSERT_EQ(picture, expected) << "frame " << k << " position " << scenes[k].Position
                                 << " phase " << scenes[k].Phase;
    if (!before.isNull()) {
      // The picture before with the changed region taken over is the new one.
      PatchScreen(before, picture, changed);
      ASSERT_EQ(before, picture) << "frame " << k << ": a change outside the region";
    }
    before = picture.copy();
  }
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
  scene.Phase = 1;
  const QRect bounds = painter.Paint(picture, scene).boundingRect();
  EXPECT_LT(bounds.width() * bounds.height(), 1920 * 1080 / 20);
}
