// Geometry of the drum: sizes at the design size, slot points, and where the
// symbols and the window stand at rest and during a move.
#include <gtest/gtest.h>

#include "indicators/DrumGeometry.h"

#include <QSize>
#include <cmath>

namespace {

constexpr int DesignWidth = 449;
constexpr int DesignHeight = 409;

TDrumState Session(int position, int phase, bool fixedWindow) {
  TDrumState s;
  s.Running = true;
  s.Position = position;
  s.Phase = phase;
  s.FixedWindow = fixedWindow;
  return s;
}

TEST(DrumGeometry, DesignSizeWithTwentyEightSymbols) {
  const TDrumGeometry g = DrumGeometry(DesignWidth, DesignHeight, 28);
  EXPECT_EQ(g.D, 389);
  EXPECT_EQ(g.CX, 224);
  EXPECT_EQ(g.CY, 204);
  EXPECT_EQ(g.E, 19);
  EXPECT_EQ(g.R, 175);
  EXPECT_EQ(DrumSlotPoint(g, 0), QPoint(224, 29));
  EXPECT_EQ(DrumSlotPoint(g, 1), QPoint(263, 33));
  // Slots grow clockwise: the last one is the mirror image of slot 1.
  EXPECT_EQ(DrumSlotPoint(g, 27), QPoint(185, 33));
  EXPECT_EQ(DrumSlotPoint(g, 14), QPoint(224, 379));
}

TEST(DrumGeometry, SmallestAndLargestTables) {
  const TDrumGeometry many = DrumGeometry(DesignWidth, DesignHeight, 100);
  EXPECT_EQ(many.E, 6);
  EXPECT_EQ(many.R, 188);

  const TDrumGeometry two = DrumGeometry(DesignWidth, DesignHeight, 2);
  EXPECT_EQ(two.E, 95);
  EXPECT_EQ(two.R, 99);
  EXPECT_EQ(DrumSlotPoint(two, 0), QPoint(224, 105));
  EXPECT_EQ(DrumSlotPoint(two, 1), QPoint(224, 303));
}

TEST(DrumGeometry, OddSizesTruncateTheHalves) {
  const TDrumGeometry g = DrumGeometry(300, 451, 28);
  EXPECT_EQ(g.D, 280);
  EXPECT_EQ(g.CX, 150);
  EXPECT_EQ(g.CY, 225);
  EXPECT_EQ(g.R, 280 / 2 - g.E);
}

TEST(DrumGeometry, DegenerateInputsAreNotDrawable) {
  EXPECT_FALSE(DrumGeometry(20, 400, 28).Drawable());   // no room inside the margins
  EXPECT_FALSE(DrumGeometry(5, 5, 28).Drawable());
  EXPECT_FALSE(DrumGeometry(25, 25, 28).Drawable());    // circles below one pixel
  EXPECT_FALSE(DrumGeometry(449, 409, 0).Drawable());   // empty table
  EXPECT_TRUE(DrumGeometry(449, 409, 1).Drawable());
  EXPECT_TRUE(DrumLayout(5, 5, 28, TDrumState()).Places.empty());
  EXPECT_TRUE(DrumLayout(449, 409, 0, Session(1, 0, false)).Places.empty());
}

TEST(DrumGeometry, MoveOffsetIsOneFifthOfASlotPerPhase) {
  const double slot = DrumSlotAngle(0, 28) - DrumSlotAngle(1, 28);
  EXPECT_DOUBLE_EQ(DrumMoveOffset(1, 28), slot / 5);
  EXPECT_NEAR(DrumMoveOffset(5, 28), slot, 1e-12);
  EXPECT_DOUBLE_EQ(DrumMoveOffset(0, 28), 0.0);
}

TEST(DrumLayout, RestPictureIsTheSameForBothOptions) {
  for (bool fixedWindow : {false, true}) {
    TDrumState idle;
    idle.FixedWindow = fixedWindow;
    idle.Position = 7;  // ignored without a session
    idle.Phase = 3;
    const TDrumLayout layout = DrumLayout(DesignWidth, DesignHeight, 28, idle);
    ASSERT_EQ(layout.Places.size(), 28u);
    EXPECT_EQ(layout.Window, QPoint(224, 29));
    for (int r = 0; r < 28; ++r) {
      EXPECT_EQ(layout.Places[r].Symbol, r);
      EXPECT_EQ(layout.Places[r].Centre, DrumSlotPoint(layout.Geometry, r));
    }
  }
}

TEST(DrumLayout, FixedWindowTurnsTheSymbolsUnderTheWindow) {
  const TDrumLayout rest = DrumLayout(DesignWidth, DesignHeight, 28, Session(5, 0, true));
  const TDrumGeometry& g = rest.Geometry;
  EXPECT_EQ(rest.Window, QPoint(224, 29));
  EXPECT_EQ(rest.Places[0].Symbol, 4);                 // entry 5 in the window
  EXPECT_EQ(rest.Places[0].Centre, QPoint(224, 29));
  EXPECT_EQ(rest.Places[1].Symbol, 5);                 // the next one to the right
  EXPECT_EQ(rest.Places[1].Centre, QPoint(263, 33));
  EXPECT_EQ(rest.Places[27].Symbol, 3);

  const TDrumLayout moving = DrumLayout(DesignWidth, DesignHeight, 28, Session(5, 2, true));
  EXPECT_EQ(moving.Window, QPoint(224, 29));           // the window stays at the top
  const double delta = DrumMoveOffset(2, 28);
  for (int r = 0; r < 28; ++r)
    EXPECT_EQ(moving.Places[r].Centre, DrumPoint(g, DrumSlotAngle(r, 28) + delta)) << r;
  // Counter-clockwise: the symbol of the window has moved to the left.
  EXPECT_LT(moving.Places[0].Centre.x(), 224);
  EXPECT_GT(moving.Places[1].Centre.x(), 224);
  EXPECT_LT(moving.Places[1].Centre.x(), 263);
}

TEST(DrumLayout, MovingWindowTravelsOverRestingSymbols) {
  const TDrumLayout rest = DrumLayout(DesignWidth, DesignHeight, 28, Session(3, 0, false));
  const TDrumGeometry& g = rest.Geometry;
  EXPECT_EQ(rest.Window, DrumSlotPoint(g, 2));
  for (const TDrumPlace& place : rest.Places) EXPECT_EQ(place.Centre, DrumSlotPoint(g, place.Symbol));
  EXPECT_EQ(rest.Places[0].Symbol, 2);

  const TDrumLayout moving = DrumLayout(DesignWidth, DesignHeight, 28, Session(3, 4, false));
  for (const TDrumPlace& place : moving.Places) EXPECT_EQ(place.Centre, DrumSlotPoint(g, place.Symbol));
  EXPECT_EQ(moving.Window, DrumPoint(g, DrumSlotAngle(2, 28) - DrumMoveOffset(4, 28)));
  // Clockwise: between slot 2 and slot 3, on the right half near the top.
  EXPECT_GT(moving.Window.x(), DrumSlotPoint(g, 2).x());
  EXPECT_LT(moving.Window.x(), DrumSlotPoint(g, 3).x());
}

TEST(DrumLayout, PhaseFiveStandsOnTheNextRest) {
  for (bool fixedWindow : {false, true}) {
    for (int position : {1, 13, 28}) {
      const TDrumLayout last = DrumLayout(DesignWidth, DesignHeight, 28, Session(position, 5, fixedWindow));
      const int next = position == 28 ? 1 : position + 1;
      const TDrumLayout rest = DrumLayout(DesignWidth, DesignHeight, 28, Session(next, 0, fixedWindow));
      EXPECT_EQ(last.Window, rest.Window) << fixedWindow << " " << position;
      // The same symbol stands at the same point, whatever the drawing order.
      std::vector<QPoint> lastAt(28), restAt(28);
      for (const TDrumPlace& p : last.Places) lastAt[p.Symbol] = p.Centre;
      for (const TDrumPlace& p : rest.Places) restAt[p.Symbol] = p.Centre;
      EXPECT_EQ(lastAt, restAt) << fixedWindow << " " << position;
    }
  }
}

TEST(DrumLayout, PositionsOutsideTheTableWrapAround) {
  for (bool fixedWindow : {false, true}) {
    const TDrumLayout first = DrumLayout(DesignWidth, DesignHeight, 28, Session(1, 2, fixedWindow));
    for (int position : {29, 57, 1 - 28, -55}) {
      const TDrumLayout wrapped = DrumLayout(DesignWidth, DesignHeight, 28, Session(position, 2, fixedWindow));
      ASSERT_EQ(wrapped.Places.size(), 28u);
      EXPECT_EQ(wrapped.Window, first.Window) << position;
      for (int r = 0; r < 28; ++r) {
        EXPECT_EQ(wrapped.Places[r].Symbol, first.Places[r].Symbol) << position;
        EXPECT_EQ(wrapped.Places[r].Centre, first.Places[r].Centre) << position;
      }
    }
    // Position 0 is the last symbol.
    const TDrumLayout zero = DrumLayout(DesignWidth, DesignHeight, 28, Session(0, 0, fixedWindow));
    EXPECT_EQ(zero.Places[0].Symbol, 27);
  }
}

double Distance(const QPoint& a, const QPoint& b) { return std::hypot(a.x() - b.x(), a.y() - b.y()); }

TEST(DrumMarks, BadgesStandClearOfEveryCircleAndOfTheWindowWherePossible) {
  const QSize sizes[] = {QSize(DesignWidth, DesignHeight), QSize(200, 150), QSize(1920, 1080)};
  for (const QSize& size : sizes)
    for (int count : {2, 5, 28, 36, 100}) {
      SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height() << ", " << count);
      const TDrumGeometry g = DrumGeometry(size.width(), size.height(), count);
      const int b = DrumMarkRadius(g);
      if (b == 0) continue;
      EXPECT_GE(b, 6);
      const QPoint centre(g.CX, g.CY);
      for (int slot = 0; slot < count; ++slot) {
        const QPoint badge = DrumMarkPoint(g, DrumSlotPoint(g, slot));
        // Inside the disc the window's ring never enters, wherever it
        // stands on the ring; so no circle on the ring is touched either.
        EXPECT_LE(Distance(badge, centre) + b, g.R - g.E - DrumWindowMargin - 1) << slot;
        EXPECT_GE(Distance(badge, centre), b) << slot;
      }
    }
  // The few large circles of a short table leave no room in the middle.
  EXPECT_EQ(DrumMarkRadius(DrumGeometry(DesignWidth, DesignHeight, 2)), 0);
  // At the design size neighbouring badges of a Cyrillic table stay apart.
  const TDrumGeometry g = DrumGeometry(DesignWidth, DesignHeight, 36);
  EXPECT_GE(Distance(DrumMarkPoint(g, DrumSlotPoint(g, 0)), DrumMarkPoint(g, DrumSlotPoint(g, 1))),
            2 * DrumMarkRadius(g) + 2);
}

}  // namespace
