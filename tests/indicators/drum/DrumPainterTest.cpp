// Pixels of the drawn drum: the window's ring, the fill inside it, empty
// cells, the last frame of a move, the fitting of long texts and the font.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QFontMetrics>
#include <QImage>
#include <algorithm>
#include <climits>
#include <cmath>
#include <map>

#include "indicators/DrumGeometry.h"
#include "indicators/DrumPainter.h"

namespace {

const QColor Silver(192, 192, 192);
const QColor Magenta(255, 0, 255);
const QColor White(255, 255, 255);
const QColor Face(240, 240, 240);

constexpr int DesignWidth = 449;
constexpr int DesignHeight = 409;

QStringList DefaultTable() {
  QStringList symbols;
  for (char c = 'A'; c <= 'Z'; ++c) symbols << QString(QLatin1Char(c));
  symbols << QStringLiteral(" ") << QStringLiteral(".");
  return symbols;
}

TDrumScene Scene(bool running, int position, int phase, bool fixedWindow, bool fastMode = false) {
  TDrumScene scene;
  scene.Symbols = DefaultTable();
  scene.Running = running;
  scene.Position = position;
  scene.Phase = phase;
  scene.FixedWindow = fixedWindow;
  scene.FastMode = fastMode;
  scene.Background = Face;
  return scene;
}

TDrumState StateOf(const TDrumScene& scene) {
  TDrumState s;
  s.Running = scene.Running;
  s.Position = scene.Position;
  s.Phase = scene.Phase;
  s.FixedWindow = scene.FixedWindow;
  return s;
}

QImage Paint(const TDrumScene& scene, int width = DesignWidth, int height = DesignHeight) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::black);
  PaintDrum(image, scene);
  return image;
}

TDrumLayout LayoutOf(const TDrumScene& scene, int width = DesignWidth, int height = DesignHeight) {
  return DrumLayout(width, height, static_cast<int>(scene.Symbols.size()), StateOf(scene));
}

// The point at distance from p along the line from the drum's centre through
// p (negative: toward the centre). Radial points stay clear of the
// neighbouring circles on the ring.
QPoint Radial(const TDrumGeometry& g, const QPoint& p, double distance) {
  const double dx = p.x() - g.CX, dy = p.y() - g.CY;
  const double length = std::hypot(dx, dy);
  return QPoint(static_cast<int>(std::lround(p.x() + dx / length * distance)),
                static_cast<int>(std::lround(p.y() + dy / length * distance)));
}

QColor At(const QImage& image, const QPoint& p) { return image.pixelColor(p); }

bool IsTextBlue(const QColor& c) { return c.blue() > 200 && c.red() < 120 && c.green() < 120; }

// Blue text pixels within radius of centre.
int BluePixels(const QImage& image, const QPoint& centre, int radius) {
  int count = 0;
  for (int y = centre.y() - radius; y <= centre.y() + radius; ++y)
    for (int x = centre.x() - radius; x <= centre.x() + radius; ++x)
      if ((x - centre.x()) * (x - centre.x()) + (y - centre.y()) * (y - centre.y()) <= radius * radius &&
          image.rect().contains(x, y) && IsTextBlue(image.pixelColor(x, y)))
        ++count;
  return count;
}

// Horizontal extent of the blue pixels in a box around centre.
int BlueWidth(const QImage& image, const QPoint& centre, int halfBox) {
  int left = INT_MAX, right = INT_MIN;
  for (int y = centre.y() - halfBox; y <= centre.y() + halfBox; ++y)
    for (int x = centre.x() - halfBox; x <= centre.x() + halfBox; ++x)
      if (image.rect().contains(x, y) && IsTextBlue(image.pixelColor(x, y))) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  return right >= left ? right - left + 1 : 0;
}

// The ring of the window shows magenta between the circle and its outline,
// outside and inside the drum.
void ExpectWindowRing(const QImage& image, const TDrumLayout& layout) {
  const TDrumGeometry& g = layout.Geometry;
  EXPECT_EQ(At(image, Radial(g, layout.Window, g.E + 5)), Magenta);
  EXPECT_EQ(At(image, Radial(g, layout.Window, -(g.E + 5))), Magenta);
  // Just beyond the ring, inside the drum, the background shows again.
  EXPECT_EQ(At(image, Radial(g, layout.Window, -(g.E + 13))), Face);
}

// Fill of a circle, sampled below its text toward the drum's centre.
QColor FillOf(const QImage& image, const TDrumLayout& layout, const QPoint& centre) {
  return At(image, Radial(layout.Geometry, centre, -(layout.Geometry.E - 5)));
}

// Fill of a circle: the colour found most often just inside its outline,
// wherever its text reaches.
QColor RimFill(const QImage& image, const QPoint& centre, int e) {
  std::map<QRgb, int> seen;
  for (int k = 0; k < 16; ++k) {
    const double a = k * 3.14159265358979 / 8;
    ++seen[image.pixel(centre + QPoint(static_cast<int>(std::lround(std::cos(a) * (e - 3))),
                                       static_cast<int>(std::lround(std::sin(a) * (e - 3)))))];
  }
  return QColor(std::max_element(seen.begin(), seen.end(), [](const auto& a, const auto& b) {
                  return a.second < b.second;
                })->first);
}

class DrumPicture : public ::testing::TestWithParam<bool> {};

TEST(DrumRest, WhiteWindowAroundTheFirstSymbol) {
  const TDrumScene scene = Scene(false, 1, 0, false);
  const QImage image = Paint(scene);
  const TDrumLayout layout = LayoutOf(scene);
  EXPECT_EQ(At(image, QPoint(0, 0)), Face);
  EXPECT_EQ(At(image, QPoint(DesignWidth - 1, DesignHeight - 1)), Face);
  EXPECT_EQ(At(image, QPoint(224, 204)), Face);  // the middle of the drum is empty
  EXPECT_EQ(layout.Window, QPoint(224, 29));
  ExpectWindowRing(image, layout);
  EXPECT_EQ(FillOf(image, layout, QPoint(224, 29)), White);
  for (int slot = 1; slot < 28; ++slot)
    EXPECT_EQ(FillOf(image, layout, DrumSlotPoint(layout.Geometry, slot)), Silver) << slot;
  // The letter of every circle is drawn in blue inside it.
  for (int slot = 0; slot < 28; ++slot) {
    const QPoint centre = DrumSlotPoint(layout.Geometry, slot);
    if (slot == 26) EXPECT_EQ(BluePixels(image, centre, layout.Geometry.E), 0);  // the blank
    else EXPECT_GT(BluePixels(image, centre, layout.Geometry.E), 3) << slot;
  }
}

TEST_P(DrumPicture, WindowRingFollowsTheOptionDuringAMove) {
  const bool fixedWindow = GetParam();
  for (int phase = 0; phase <= 5; ++phase) {
    const TDrumScene scene = Scene(true, 4, phase, fixedWindow);
    const QImage image = Paint(scene);
    const TDrumLayout layout = LayoutOf(scene);
    SCOPED_TRACE(phase);
    ExpectWindowRing(image, layout);
    if (fixedWindow) EXPECT_EQ(layout.Window, QPoint(224, 29));
    else EXPECT_EQ(phase == 0, layout.Window == DrumSlotPoint(layout.Geometry, 3));
  }
}

TEST_P(DrumPicture, WindowCircleIsWhiteOnlyWhileASymbolCanBeTakenAtRest) {
  const bool fixedWindow = GetParam();
  struct Case {
    bool Running;
    int Phase;
    bool Fast;
    QColor Fill;
  };
  const Case cases[] = {
      {false, 0, false, White},  {false, 3, true, White},  // no session: always white
      {true, 0, false, White},                             // rest in slow mode
      {true, 2, false, Silver},  {true, 5, false, Silver},  // moving
      {true, 0, true, Silver},   {true, 2, true, Silver},   // fast mode
  };
  for (const Case& c : cases) {
    const TDrumScene scene = Scene(c.Running, 6, c.Phase, fixedWindow, c.Fast);
    const QImage image = Paint(scene);
    const TDrumLayout layout = LayoutOf(scene);
    SCOPED_TRACE(testing::Message() << c.Running << " " << c.Phase << " " << c.Fast);
    EXPECT_EQ(FillOf(image, layout, layout.Places[0].Centre), c.Fill);
    EXPECT_EQ(FillOf(image, layout, layout.Places[1].Centre), Silver);
    EXPECT_EQ(FillOf(image, layout, layout.Places[27].Centre), Silver);
  }
}

TEST_P(DrumPicture, PhaseFiveDiffersFromTheNextRestOnlyInTheWindowFill) {
  const bool fixedWindow = GetParam();
  const TDrumScene last = Scene(true, 9, 5, fixedWindow);
  const TDrumScene next = Scene(true, 10, 0, fixedWindow);
  const QImage a = Paint(last);
  const QImage b = Paint(next);
  const TDrumLayout layout = LayoutOf(next);
  const QPoint window = layout.Places[0].Centre;
  const int e = layout.Geometry.E;
  int differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) == b.pixel(x, y)) continue;
      const int dx = x - window.x(), dy = y - window.y();
      // Within the circle, its smoothed outline included.
      ASSERT_LE(dx * dx + dy * dy, (e + 1) * (e + 1)) << "differs at " << x << "," << y;
      ++differing;
    }
  EXPECT_GT(differing, 100);
  EXPECT_EQ(FillOf(a, layout, window), Silver);
  EXPECT_EQ(FillOf(b, layout, window), White);
}

INSTANTIATE_TEST_SUITE_P(BothOptions, DrumPicture, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "FixedWindow" : "MovingWindow"; });

TEST(DrumSymbols, EmptyCellShowsAnEmptyCircle) {
  TDrumScene scene = Scene(false, 1, 0, false);
  scene.Symbols[1] = QString();
  const QImage image = Paint(scene);
  const TDrumLayout layout = LayoutOf(scene);
  const QPoint empty = DrumSlotPoint(layout.Geometry, 1);
  EXPECT_EQ(BluePixels(image, empty, layout.Geometry.E), 0);
  EXPECT_EQ(At(image, empty), Silver);
  EXPECT_EQ(FillOf(image, layout, empty), Silver);
  // Its outline is there: dark at the edge toward the centre.
  int darkest = 255;
  for (double d = layout.Geometry.E - 2; d <= layout.Geometry.E + 1; d += 0.5)
    darkest = std::min(darkest, At(image, Radial(layout.Geometry, empty, -d)).lightness());
  EXPECT_LT(darkest, 140);  // silver is 192
  EXPECT_GT(BluePixels(image, DrumSlotPoint(layout.Geometry, 2), layout.Geometry.E), 3);
}

TEST(DrumSymbols, TextSizes) {
  EXPECT_EQ(DrumTextPoints(QStringLiteral("W"), 19), 19);
  EXPECT_EQ(DrumTextPoints(QString(), 19), 19);
  EXPECT_EQ(DrumTextPoints(QStringLiteral("Ж"), 19), 19);  // one Cyrillic letter
  // A long text never goes below 6 points.
  EXPECT_EQ(DrumTextPoints(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), 19), 6);
  // A short one is never enlarged beyond e.
  EXPECT_EQ(DrumTextPoints(QStringLiteral("ii"), 95), 95);
  // On circles smaller than the least size the text keeps the size e.
  EXPECT_EQ(DrumTextPoints(QStringLiteral("WWWWWW"), 4), 4);
  // In between: fitted with a margin of one letter "O" to the diameter.
  const QString text = QStringLiteral("WWW");
  const int w = QFontMetrics(DrumFont(19)).horizontalAdvance(text + QLatin1Char('O'));
  const int fitted = static_cast<int>(2.0 * 19 / w * 19 + 0.5);
  ASSERT_GT(fitted, 6);
  ASSERT_LT(fitted, 19);
  EXPECT_EQ(DrumTextPoints(text, 19), fitted);
}

TEST(DrumSymbols, LongTextsAreShrunkInThePicture) {
  TDrumScene scene = Scene(false, 1, 0, false);
  // Empty neighbours, so that only the texts under test are blue.
  for (QString& symbol : scene.Symbols) symbol.clear();
  scene.Symbols[3] = QStringLiteral("WWW");
  scene.Symbols[27] = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
  const QImage image = Paint(scene);
  const TDrumLayout layout = LayoutOf(scene);
  const int e = layout.Geometry.E;

  // Fitted: every blue pixel of "WWW" lies inside its circle.
  const QPoint fitted = DrumSlotPoint(layout.Geometry, 3);
  const int inside = BluePixels(image, fitted, e);
  EXPECT_GT(inside, 10);
  EXPECT_EQ(BluePixels(image, fitted, 3 * e) - BluePixels(image, fitted, e), 0);
  EXPECT_LE(BlueWidth(image, fitted, 2 * e), 2 * e);

  // At the least size: as wide as the text at 6 points, not smaller.
  // The last circle is drawn last, so no neighbour covers the ends of its text.
  const QPoint least = DrumSlotPoint(layout.Geometry, 27);
  const int expected = QFontMetrics(DrumFont(6)).horizontalAdvance(scene.Symbols[27]);
  EXPECT_NEAR(BlueWidth(image, least, 4 * e), expected, 3);
}

TEST(DrumSymbols, FontIsBoldArialAtNinetySixDotsPerInch) {
  EXPECT_EQ(DrumFontPixels(19), 25);
  EXPECT_EQ(DrumFontPixels(6), 8);
  EXPECT_EQ(DrumFontPixels(9), 12);
  EXPECT_EQ(DrumFontPixels(95), 127);
  const QFont font = DrumFont(19);
  EXPECT_EQ(font.pixelSize(), 25);
  EXPECT_TRUE(font.bold());
  EXPECT_EQ(font.family(), QStringLiteral("Arial"));
  // The face actually used: Arial itself or its metric-compatible substitute.
  const QString face = QFontInfo(font).family();
  EXPECT_TRUE(face == QStringLiteral("Arial") || face == QStringLiteral("Liberation Sans")) << face.toStdString();
}

TEST(DrumPainting, DegenerateSizesAndTablesShowOnlyTheBackground) {
  for (const QSize size : {QSize(20, 400), QSize(25, 25), QSize(1, 1)}) {
    const QImage image = Paint(Scene(true, 3, 2, false), size.width(), size.height());
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) ASSERT_EQ(image.pixelColor(x, y), Face) << size.width();
  }
  TDrumScene empty = Scene(true, 1, 0, false);
  empty.Symbols.clear();
  const QImage image = Paint(empty);
  EXPECT_EQ(At(image, QPoint(224, 29)), Face);
  EXPECT_EQ(At(image, QPoint(224, 5)), Face);

  QImage null;
  PaintDrum(null, Scene(false, 1, 0, false));
  EXPECT_TRUE(null.isNull());
}

TEST(DrumPainting, SingleSymbolTable) {
  TDrumScene scene = Scene(true, 1, 0, false);
  scene.Symbols = QStringList{QStringLiteral("A")};
  const QImage rest = Paint(scene);
  const TDrumLayout layout = LayoutOf(scene);
  ASSERT_EQ(layout.Places.size(), 1u);
  const TDrumGeometry& g = layout.Geometry;
  EXPECT_EQ(layout.Window, QPoint(224, 204 - g.R));
  EXPECT_EQ(At(rest, Radial(g, layout.Window, g.E + 5)), Magenta);
  EXPECT_EQ(FillOf(rest, layout, layout.Window), White);
  EXPECT_GT(BluePixels(rest, layout.Window, g.E), 100);
  // A move of the only symbol takes the window once round the drum.
  scene.Phase = 3;
  const QImage moving = Paint(scene);
  const TDrumLayout moved = LayoutOf(scene);
  EXPECT_EQ(moved.Window, DrumPoint(g, DrumSlotAngle(0, 1) - DrumMoveOffset(3, 1)));
  EXPECT_EQ(At(moving, Radial(g, moved.Window, g.E + 5)), Magenta);
}

TEST(DrumPainting, PicturesAreRebuiltCompletely) {
  QImage image(DesignWidth, DesignHeight, QImage::Format_RGB32);
  PaintDrum(image, Scene(true, 1, 0, false));
  PaintDrum(image, Scene(true, 15, 0, false));
  EXPECT_EQ(image, Paint(Scene(true, 15, 0, false)));
}

TEST(DrumPainting, InvalidBackgroundTakesThePaletteButtonColour) {
  TDrumScene scene = Scene(false, 1, 0, false);
  scene.Background = QColor();
  const QImage image = Paint(scene);
  QImage expected(1, 1, QImage::Format_RGB32);
  expected.fill(QGuiApplication::palette().color(QPalette::Button));
  EXPECT_EQ(image.pixel(0, 0), expected.pixel(0, 0));
}

TEST(DrumPainting, HighResolutionImageKeepsTheLogicalLayout) {
  const TDrumScene scene = Scene(false, 1, 0, false);
  QImage image(2 * DesignWidth, 2 * DesignHeight, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(2.0);
  PaintDrum(image, scene);
  // Slot 0 at (224, 29) logical: the ring 24 pixels above and below it.
  EXPECT_EQ(image.pixelColor(2 * 224, 2 * 5), Magenta);
  EXPECT_EQ(image.pixelColor(2 * 224, 2 * 53), Magenta);
  EXPECT_EQ(image.pixelColor(2 * 224 + 1, 2 * (29 + 14)), White);
  EXPECT_EQ(image.pixelColor(2 * 263, 2 * 33 + 2 * 14), Silver);
  // A ratio that does not divide the pixel size keeps the logical size.
  QImage odd(561, 511, QImage::Format_RGB32);  // 449 x 409 at 1.25, truncated
  odd.setDevicePixelRatio(1.25);
  PaintDrum(odd, scene);
  EXPECT_EQ(odd.pixelColor(QPoint(qRound(224 * 1.25), qRound(5 * 1.25))), Magenta);
}

// The Russian alphabet with a blank, a full stop and a backspace: 36 symbols,
// the blank as a word.
QStringList CyrillicTable() {
  QStringList symbols;
  for (char16_t c = u'А'; c <= u'Я'; ++c) {
    symbols << QString(QChar(c));
    if (c == u'Е') symbols << QStringLiteral("Ё");
  }
  symbols << QStringLiteral("Пробел") << QStringLiteral(".") << QStringLiteral("<");
  return symbols;
}

// The marks' fills, the next rest first.
const QColor ComingFills[] = {QColor(255, 200, 0), QColor(255, 222, 70), QColor(255, 236, 130),
                              QColor(250, 242, 175)};

TEST(DrumComingOrder, MarksStandOnThePlannedCirclesAndHideNoText) {
  for (const bool fixedWindow : {false, true}) {
    SCOPED_TRACE(fixedWindow ? "fixed window" : "moving window");
    TDrumScene plain = Scene(true, 5, 0, fixedWindow);
    plain.Symbols = CyrillicTable();
    ASSERT_EQ(plain.Symbols.size(), 36);
    TDrumScene scene = plain;
    // The window's own symbol (5) is not marked; the sixth rest is beyond the
    // marks; the blank (34, a long text) is.
    scene.Coming = {20, 5, 34, 3, 12, 7};
    const QImage marked = Paint(scene);
    const QImage unmarked = Paint(plain);
    const TDrumLayout layout = LayoutOf(scene);
    const TDrumGeometry& g = layout.Geometry;
    const int b = DrumMarkRadius(g);
    ASSERT_GT(b, 0);
    std::vector<QPoint> at(36);
    for (const TDrumPlace& p : layout.Places) at[p.Symbol] = p.Centre;

    const int marks[][2] = {{20, 1}, {34, 3}, {3, 4}};  // symbol, place in the order
    for (const auto& m : marks) {
      SCOPED_TRACE(m[0]);
      const QColor fill = ComingFills[m[1] - 1];
      const QPoint circle = at[m[0] - 1];
      const QPoint badge = DrumMarkPoint(g, circle);
      EXPECT_EQ(RimFill(marked, circle, g.E), fill);
      // The badge: its fill beside the digit, a dark digit in the middle.
      EXPECT_EQ(At(marked, badge + QPoint(b - 3, 0)), fill);
      int dark = 0;
      for (int y = -b / 2; y <= b / 2; ++y)
        for (int x = -b / 2; x <= b / 2; ++x) dark += At(marked, badge + QPoint(x, y)).lightness() < 80;
      EXPECT_GT(dark, 4);
    }
    EXPECT_EQ(RimFill(marked, at[4], g.E), White);   // the window's symbol at rest
    EXPECT_EQ(RimFill(marked, at[11], g.E), Silver);  // the fifth rest
    EXPECT_EQ(At(marked, DrumMarkPoint(g, at[11])), Face);

    // Everything else is as without marks, and every pixel of text stays.
    for (int y = 0; y < marked.height(); ++y)
      for (int x = 0; x < marked.width(); ++x) {
        const QPoint p(x, y);
        // Whole text pixels (not the smoothed edges, which take the fill's tint).
        const QColor text = At(unmarked, p);
        if (text.blue() > 230 && text.red() < 40 && text.green() < 40) {
          ASSERT_TRUE(IsTextBlue(At(marked, p))) << x << "," << y;
        }
        if (marked.pixel(p) == unmarked.pixel(p)) continue;
        bool inMark = false;
        for (const auto& m : marks) {
          const QPoint circle = at[m[0] - 1];
          const QPoint badge = DrumMarkPoint(g, circle);
          // Circles are centred on pixel corners; distances from pixel centres.
          inMark = inMark || std::hypot(x + 0.5 - circle.x(), y + 0.5 - circle.y()) <= g.E + 1 ||
                   std::hypot(x + 0.5 - badge.x(), y + 0.5 - badge.y()) <= b + 1;
        }
        ASSERT_TRUE(inMark) << "changed outside the marks at " << x << "," << y;
      }
  }
}

TEST(DrumComingOrder, WithoutRoomForBadgesTheFillsStillShowTheOrder) {
  TDrumScene scene = Scene(true, 1, 0, false);
  scene.Symbols = QStringList{QStringLiteral("Да"), QStringLiteral("Нет"), QStringLiteral("<")};
  scene.Coming = {3, 1, 2, 3};
  const QImage image = Paint(scene);
  const TDrumLayout layout = LayoutOf(scene);
  ASSERT_EQ(DrumMarkRadius(layout.Geometry), 0);
  EXPECT_EQ(FillOf(image, layout, layout.Places[2].Centre), ComingFills[0]);
  EXPECT_EQ(FillOf(image, layout, layout.Places[1].Centre), ComingFills[2]);
  EXPECT_EQ(FillOf(image, layout, layout.Places[0].Centre), White);
  EXPECT_GT(BluePixels(image, layout.Places[1].Centre, layout.Geometry.E), 10);
}

// The group scan: the group at rest in pale magenta around the window, every
// member of a coming group with its group's number.
TEST(DrumComingOrder, GroupsShowTheirMembers) {
  TDrumScene scene = Scene(true, 5, 0, false);
  scene.Symbols = CyrillicTable();
  scene.Group = {5, 9, 2};
  scene.ComingGroups = {{20}, {34, 3, 12}, {36}, {7, 8}, {30}};
  const QImage image = Paint(scene);
  const TDrumLayout layout = LayoutOf(scene);
  const TDrumGeometry& g = layout.Geometry;
  std::vector<QPoint> at(36);
  for (const TDrumPlace& p : layout.Places) at[p.Symbol] = p.Centre;
  EXPECT_EQ(RimFill(image, at[4], g.E), White) << "the window's symbol at rest";
  for (const int member : {9, 2}) EXPECT_EQ(RimFill(image, at[member - 1], g.E), QColor(255, 180, 255)) << member;
  const int marks[][2] = {{20, 1}, {34, 2}, {3, 2}, {12, 2}, {36, 3}, {7, 4}, {8, 4}};
  for (const auto& m : marks) EXPECT_EQ(RimFill(image, at[m[0] - 1], g.E), ComingFills[m[1] - 1]) << m[0];
  EXPECT_EQ(RimFill(image, at[29], g.E), Silver) << "the fifth group";
}

}  // namespace
