// The graph view's window of records, markers, zoom and hover text.
#include "GraphViewTestSupport.h"

#include <QStringList>
#include <cmath>

namespace {

// --- The window of records -------------------------------------------------

TEST_F(GraphViewFixture, KeepsOneRecordPerPixelAndScrollsOnePerRecordOnceFull) {
  Target.Size = QSize(50, 110);
  Fill(50);
  ASSERT_EQ(View->WindowLength(), 50);
  EXPECT_DOUBLE_EQ(View->Window().front().Sensor, 0.0);

  Fill(1, 50);
  ASSERT_EQ(View->WindowLength(), 50);
  EXPECT_DOUBLE_EQ(View->Window().front().Sensor, 0.001);
  EXPECT_DOUBLE_EQ(View->Window().back().Sensor, 0.050);

  Fill(3, 51);
  ASSERT_EQ(View->WindowLength(), 50);
  EXPECT_DOUBLE_EQ(View->Window().front().Sensor, 0.004);
}

TEST_F(GraphViewFixture, NarrowingTheAreaDropsTheSurplusAtTheNextReading) {
  Fill(600);
  Target.Size = QSize(400, 210);
  Fill(1, 600);
  ASSERT_EQ(View->WindowLength(), 400);
  EXPECT_DOUBLE_EQ(View->Window().front().Sensor, 0.201);  // 201 dropped at once
}

TEST_F(GraphViewFixture, AnAreaWithNoWidthKeepsTheNewestRecord) {
  Target.Size = QSize(0, 210);
  View->Init();
  Fill(3);
  ASSERT_EQ(View->WindowLength(), 1);
  EXPECT_DOUBLE_EQ(View->Window().back().Sensor, 0.002);
}

TEST_F(GraphViewFixture, RecordsAreCopiedWithoutTheReservedBytes) {
  TInstData r = Reading(0.5, 0.25, 0.75, -33.0);
  r.Reserved[0] = 0xAB;
  View->AddReading(r);
  const TInstData& kept = View->Window().back();
  EXPECT_DOUBLE_EQ(kept.Inst, -33.0);
  EXPECT_EQ(kept.Tag, -1);
  EXPECT_EQ(kept.Reserved[0], 0);
}

TEST_F(GraphViewFixture, ClearEmptiesTheWindowAndDropsTheMarkers) {
  Fill(30);
  View->SetMarker1(5);
  View->SetMarker2(10);
  View->Clear();
  EXPECT_EQ(View->WindowLength(), 0);
  EXPECT_EQ(View->Marker1(), -1);
  EXPECT_EQ(View->Marker2(), -1);
}

// --- Markers ---------------------------------------------------------------

TEST_F(GraphViewFixture, MarkersMoveWithTheirRecordsAndDropOutOfTheWindow) {
  Fill(600);
  View->SetMarker1(10);
  View->SetMarker2(20);
  Fill(1, 600);
  EXPECT_EQ(View->Marker1(), 9);
  EXPECT_EQ(View->Marker2(), 19);

  View->SetMarker1(0);
  View->SetMarker2(5);
  Fill(1, 601);
  EXPECT_EQ(View->Marker1(), -1);
  EXPECT_EQ(View->Marker2(), -1);  // marker 2 goes with marker 1
}

TEST_F(GraphViewFixture, AMarkerAtRecordZeroStaysWhileTheWindowIsNotFull) {
  Fill(100);
  View->SetMarker1(0);
  View->SetMarker2(40);
  Fill(100, 100);
  EXPECT_EQ(View->Marker1(), 0);
  EXPECT_EQ(View->Marker2(), 40);
  EXPECT_EQ(View->MarkerTimeMs(), 1600);
}

TEST_F(GraphViewFixture, SetMarkersOutsideTheWindowOrWithoutAFirstMarker) {
  Fill(100);
  EXPECT_EQ(View->SetMarker2(10), -1);  // no second marker without a first
  View->SetMarker1(100);
  EXPECT_EQ(View->Marker1(), -1);
  View->SetMarker1(-3);
  EXPECT_EQ(View->Marker1(), -1);

  View->SetMarker1(50);
  EXPECT_EQ(View->SetMarker2(100), -1);
  EXPECT_FALSE(View->MarkersValid());
  EXPECT_EQ(View->SetMarker2(20), 50);
  EXPECT_EQ(View->Marker1(), 20);
  EXPECT_TRUE(View->MarkersValid());

  View->SetMarker1(70);
  EXPECT_EQ(View->Marker2(), -1);  // a new marker 1 drops marker 2
}

TEST_F(GraphViewFixture, MarkerDistancesInTimeAndValue) {
  Fill(100);
  EXPECT_EQ(View->MarkerTimeMs(), 0);
  EXPECT_DOUBLE_EQ(View->MarkerSensorDelta(), 0.0);
  View->SetMarker1(10);
  View->SetMarker2(35);
  EXPECT_EQ(View->MarkerTimeMs(), 1000);
  EXPECT_NEAR(View->MarkerSensorDelta(), 0.025, 1e-12);
  EXPECT_DOUBLE_EQ(View->MarkerInstDelta(), 0.0);
}

TEST_F(GraphViewFixture, EqualTimesGiveZeroMilliseconds) {
  View->AddReading(Reading(DayTime(9, 0, 0, 0), 0.1, 0.1, -20.0));
  View->AddReading(Reading(DayTime(9, 0, 0, 0), 0.3, 0.1, 40.0));
  View->SetMarker1(0);
  View->SetMarker2(1);
  EXPECT_EQ(View->MarkerTimeMs(), 0);
  EXPECT_DOUBLE_EQ(View->MarkerInstDelta(), 60.0);
}

TEST_F(GraphViewFixture, MarkerTimeAcrossMidnightIsPositive) {
  View->AddReading(Reading(DayTime(23, 59, 59, 980)));
  View->AddReading(Reading(DayTime(0, 0, 0, 20)));
  View->SetMarker1(0);
  View->SetMarker2(1);
  EXPECT_EQ(View->MarkerTimeMs(), 40);
  EXPECT_DOUBLE_EQ(View->Window()[1].Time, DayTime(0, 0, 0, 20));  // still a time of day
}

// --- Zoom ------------------------------------------------------------------

TEST_F(GraphViewFixture, ZoomTwoPacksTwoRecordsIntoEachPixel) {
  View->TimeZoomOn = true;
  View->TimeZoomFactor = 2.0;
  EXPECT_EQ(View->IndexAt(120), 240);
  EXPECT_EQ(View->MapPoint(240, 200, 0.0).x(), 120);
  EXPECT_EQ(View->MapPoint(241, 200, 0.0).x(), 121);  // 120.5 rounds up
  View->TimeZoomOn = false;
  EXPECT_EQ(View->IndexAt(120), 120);
}

TEST_F(GraphViewFixture, AZoomFactorOfZeroOrBelowCountsAsOne) {
  Fill(300);
  View->TimeZoomOn = true;
  for (const double factor : {0.0, -2.0, std::nan("")}) {
    View->TimeZoomFactor = factor;
    EXPECT_DOUBLE_EQ(View->TimeDivisor(), 1.0);
    EXPECT_EQ(View->IndexAt(100), 100);
    EXPECT_EQ(View->MapPoint(100, 200, 0.5).x(), 100);
    View->Redraw();
  }
}

// --- Hover -----------------------------------------------------------------

class GraphViewHoverTest : public GraphViewFixture {
protected:
  // The record of the example: 10:05:03.007, Sensor 0.5, Level 0.45, Inst -12.34.
  void AddExample() {
    View->AddReading(Reading(DayTime(10, 5, 3, 7), 0.5, 0.45, -12.34));
  }
  // 37 pixels above the zero line (row 105 of a 210 high area).
  QStringList HoverAboveZero(int x) {
    View->Hover(x, 105 - 37);
    return View->HintText().split(QLatin1Char('\n'));
  }
};

TEST_F(GraphViewHoverTest, ExampleWithAPointSeparator) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
  AddExample();
  EXPECT_EQ(HoverAboveZero(0), (QStringList{"Time = 10:05:03.7", "Sensor = 0.500", "Level = 0.450",
                                            "Inst = -12.3 (12.3%)", "Cursor = 37.0"}));
  ASSERT_FALSE(Target.Hints.isEmpty());
  EXPECT_EQ(Target.Hints.back(), View->HintText());  // shown at once
}

TEST_F(GraphViewHoverTest, ExampleWithACommaSeparator) {
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  AddExample();
  EXPECT_EQ(HoverAboveZero(0), (QStringList{"Time = 10:05:03.7", "Sensor = 0,500", "Level = 0,450",
                                            "Inst = -12,3 (12,3%)", "Cursor = 37,0"}));
}

TEST_F(GraphViewHoverTest, CursorBelowTheZeroLineIsNegativeAndHasNoGrouping) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  Target.Size = QSize(600, 4010);  // zero line at row 2005
  View->Init();
  AddExample();
  View->Hover(0, 3505);
  EXPECT_TRUE(View->HintText().endsWith("\nCursor = -1500.0")) << qPrintable(View->HintText());
}

TEST_F(GraphViewHoverTest, EmptyWindowOrRightOfTheLastRecordGivesAnEmptyText) {
  View->Hover(10, 10);
  EXPECT_TRUE(View->HintText().isEmpty());
  ASSERT_EQ(Target.Hints.size(), 1);
  EXPECT_TRUE(Target.Hints.back().isEmpty());
  Fill(5);
  View->Hover(5, 10);
  EXPECT_TRUE(View->HintText().isEmpty());
  View->Hover(4, 10);
  EXPECT_FALSE(View->HintText().isEmpty());
}

TEST_F(GraphViewHoverTest, ZoomTwoHoversRecord240AtPixel120) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
  Fill(600);
  View->TimeZoomOn = true;
  View->TimeZoomFactor = 2.0;
  View->Hover(120, 50);
  EXPECT_TRUE(View->HintText().contains("Sensor = 0.240")) << qPrintable(View->HintText());
}

TEST_F(GraphViewHoverTest, HoverSetsTheCursorWithoutRedrawing) {
  Fill(5);
  const int shows = Target.Shows;
  View->Hover(3, 44);
  EXPECT_EQ(View->CursorX(), 3);
  EXPECT_EQ(View->CursorY(), 44);
  EXPECT_EQ(Target.Shows, shows);
}

// --- Change over time ------------------------------------------------------

TEST_F(GraphViewFixture, ChangeOverAGivenTimeLooksBackFromTheNewestRecord) {
  EXPECT_DOUBLE_EQ(View->SensorChangeOver(100), 0.0);  // empty
  Fill(10);                                            // 0 .. 360 ms, Sensor 0 .. 0.009
  EXPECT_NEAR(View->SensorChangeOver(100), 0.009 - 0.006, 1e-12);  // first e >= 100 is 120 ms
  EXPECT_NEAR(View->SensorChangeOver(360), 0.009, 1e-12);
  EXPECT_DOUBLE_EQ(View->SensorChangeOver(361), 0.0);  // not far enough back
  EXPECT_DOUBLE_EQ(View->SensorChangeOver(0), 0.0);
  EXPECT_DOUBLE_EQ(View->InstChangeOver(40), 0.0);
}

} // namespace
