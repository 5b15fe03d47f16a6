// What the graph view draws: background, zero line, curves, markers, cursor.
#include "GraphViewTestSupport.h"

#include <set>

namespace {

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kSilver = 0xC0C0C0;
constexpr QRgb kBlue = 0x0000FF;
constexpr QRgb kBlack = 0x000000;
constexpr QRgb kRed = 0xFF0000;

class GraphViewDrawingTest : public GraphViewFixture {
protected:
  // Colours found in column x (or row y) of the picture.
  std::set<QRgb> ColumnColours(int x) const {
    std::set<QRgb> colours;
    for (int y = 0; y < Target.Shown.height(); ++y) colours.insert(Pixel(x, y));
    return colours;
  }
  int CountOf(QRgb colour) const {
    int n = 0;
    for (int y = 0; y < Target.Shown.height(); ++y)
      for (int x = 0; x < Target.Shown.width(); ++x) n += Pixel(x, y) == colour;
    return n;
  }
};

TEST_F(GraphViewDrawingTest, AnEmptyWindowDrawsBackgroundZeroLineAndCursorOnly) {
  ASSERT_EQ(Target.Shown.size(), QSize(600, 210));
  for (int y = 0; y < 210; ++y)
    for (int x = 0; x < 600; ++x) {
      const QRgb expected = (y == 105 || y == 0) ? kSilver : kWhite;  // zero line, cursor at 0
      ASSERT_EQ(Pixel(x, y), expected) << x << "," << y;
    }
}

TEST_F(GraphViewDrawingTest, AnInstOfZeroLiesOnTheZeroLineForAnEvenSpan) {
  View->AddReading(Reading(0.5, 0.5, 1.0, 0.0));
  View->AddReading(Reading(0.5, 0.5, 1.0, 0.0));
  EXPECT_EQ(Pixel(0, 105), kBlack);
  EXPECT_EQ(Pixel(1, 105), kBlack);
  EXPECT_EQ(Pixel(2, 105), kSilver);
  EXPECT_EQ(Pixel(0, 104), kWhite);
  EXPECT_EQ(Pixel(0, 106), kWhite);
}

TEST_F(GraphViewDrawingTest, AnInstOfZeroLiesOnePixelAboveTheZeroLineForAnOddSpan) {
  Target.Size = QSize(600, 211);  // span 201, zero line at 5 + round(100.5) = 106
  View->Init();
  View->AddReading(Reading(0.5, 0.5, 1.0, 0.0));
  View->AddReading(Reading(0.5, 0.5, 1.0, 0.0));
  EXPECT_EQ(Pixel(0, 105), kBlack);
  EXPECT_EQ(Pixel(0, 106), kSilver);
  EXPECT_EQ(Pixel(5, 106), kSilver);
}

TEST_F(GraphViewDrawingTest, ValuesOutsideTheirRangeAreDrawnAtTheEdges) {
  View->AddReading(Reading(0.5, 0.5, 1.7, -250.0));
  View->AddReading(Reading(0.5, 0.5, 1.7, -250.0));
  EXPECT_EQ(Pixel(1, 5), kBlue);     // level above the sensor's maximum: top edge
  EXPECT_EQ(Pixel(1, 205), kBlack);  // Inst below the scale: bottom edge
  EXPECT_EQ(Pixel(1, 4), kWhite);
  EXPECT_EQ(Pixel(1, 206), kWhite);
}

TEST_F(GraphViewDrawingTest, CurvesJoinTheRecordsFromLeftToRight) {
  // Level 0 .. 1 over 201 records: the level curve climbs one row per record.
  for (int i = 0; i <= 200; ++i) View->AddReading(Reading(0.5, 0.5, i / 200.0, 80.0));
  for (int i = 0; i <= 200; i += 25) EXPECT_EQ(Pixel(i, 205 - i), kBlue) << i;
  EXPECT_EQ(Pixel(100, 25), kBlack);  // Inst 80: nine tenths up the span
  EXPECT_EQ(ColumnColours(201), (std::set<QRgb>{kWhite, kSilver}));
}

TEST_F(GraphViewDrawingTest, MarkerLinesCrossTheValueSpanInRed) {
  Fill(100);
  View->SetMarker1(10);
  View->SetMarker2(60);
  View->Redraw();
  for (const int x : {10, 60}) {
    EXPECT_EQ(Pixel(x, 5), kRed);
    EXPECT_EQ(Pixel(x, 150), kRed);
    EXPECT_EQ(Pixel(x, 205), kRed);
    EXPECT_EQ(Pixel(x, 206), kWhite);
    EXPECT_EQ(Pixel(x, 4), kWhite);
  }
  EXPECT_EQ(ColumnColours(11).count(kRed), 0u);
}

TEST_F(GraphViewDrawingTest, TheCursorLineFollowsTheLastHoverAtTheNextRedraw) {
  View->Hover(20, 60);
  EXPECT_EQ(Pixel(300, 60), kWhite);  // Hover alone draws nothing
  View->Redraw();
  EXPECT_EQ(Pixel(0, 60), kSilver);
  EXPECT_EQ(Pixel(599, 60), kSilver);
  EXPECT_EQ(Pixel(300, 0), kWhite);
}

TEST_F(GraphViewDrawingTest, ZoomTwoFillsOnlyTheLeftHalfWithAFullWindow) {
  for (int i = 0; i < 600; ++i) View->AddReading(Reading(0.5, 0.5, (i % 7) / 7.0, (i % 9) * 20 - 80));
  View->TimeZoomOn = true;
  View->TimeZoomFactor = 2.0;
  View->Redraw();
  EXPECT_GT(ColumnColours(150).count(kBlue) + ColumnColours(150).count(kBlack), 0u);
  for (int x = 301; x < 600; ++x)
    ASSERT_EQ(ColumnColours(x), (std::set<QRgb>{kWhite, kSilver})) << x;
}

TEST_F(GraphViewDrawingTest, ZoomBelowOneShowsOnlyTheOldestPartAndStaysBounded) {
  Fill(600);
  View->TimeZoomOn = true;
  View->TimeZoomFactor = 1e-7;  // records far beyond the plot are not drawn at all
  View->SetMarker1(300);
  View->Redraw();
  EXPECT_EQ(CountOf(kRed), 0);
  EXPECT_EQ(Target.Shown.size(), QSize(600, 210));
}

TEST_F(GraphViewDrawingTest, NothingIsDrawnWithoutAnInstrument) {
  TFakeGraphTarget target;
  TInstGraph view(nullptr, false, &target);
  view.AddReading(Reading(0.5));
  EXPECT_EQ(target.Shows, 0);
  EXPECT_EQ(view.WindowLength(), 1);
}

TEST_F(GraphViewDrawingTest, APictureShownStaysAsItWasWhileTheNextIsDrawn) {
  Fill(10);
  const QImage shown = Target.Shown;
  const QImage copy = shown.copy();
  View->AddReading(Reading(0.5, 0.5, 1.0, 100.0));
  EXPECT_EQ(shown, copy);
  EXPECT_NE(Target.Shown, copy);
}

TEST_F(GraphViewDrawingTest, ThePictureFollowsTheSizeOfTheArea) {
  Target.Size = QSize(320, 90);
  View->Redraw();
  EXPECT_EQ(Target.Shown.size(), QSize(320, 90));
  EXPECT_EQ(Pixel(319, 45), kSilver);  // zero line of span 80
}

TEST_F(GraphViewDrawingTest, OnADenseScreenThePictureHasTheScreensPixels) {
  class TDenseTarget : public TFakeGraphTarget {
  public:
    qreal PixelRatio() const override { return 2.0; }
  } target;
  TInstGraph view(&Gauge, false, &target);
  view.AddReading(Reading(0.5, 0.5, 1.7, 0.0));
  view.AddReading(Reading(0.5, 0.5, 1.7, 0.0));
  ASSERT_EQ(target.Shown.size(), QSize(1200, 420));
  EXPECT_EQ(target.Shown.devicePixelRatio(), 2.0);
  EXPECT_EQ(target.Shown.deviceIndependentSize(), QSizeF(600, 210));
  EXPECT_EQ(target.Shown.pixel(0, 210) & 0xFFFFFF, kBlack);
  EXPECT_EQ(target.Shown.pixel(2, 210) & 0xFFFFFF, kBlack);
  EXPECT_EQ(target.Shown.pixel(1, 10) & 0xFFFFFF, kBlue);
  EXPECT_EQ(target.Shown.pixel(3, 210) & 0xFFFFFF, kSilver);
}

TEST_F(GraphViewDrawingTest, VerticalViewRunsTimeDownwards) {
  TFakeGraphTarget target;
  target.Size = QSize(210, 300);
  TInstGraph view(&Gauge, true, &target);
  view.AddReading(Reading(0.5, 0.5, 1.7, 0.0));
  view.AddReading(Reading(0.5, 0.5, 1.7, 0.0));
  EXPECT_EQ(target.Shown.pixel(105, 1) & 0xFFFFFF, kBlack);  // Inst 0 at x = 105, record 1
  EXPECT_EQ(target.Shown.pixel(205, 1) & 0xFFFFFF, kBlue);   // level at the far edge
  EXPECT_EQ(view.IndexAt(1), 1);
}

} // namespace
