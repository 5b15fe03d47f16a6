#include "indicators/DrumGeometry.h"

#include <algorithm>
#include <cmath>

#include "sensor/Utils.h"

namespace {

constexpr double Pi = 3.14159265358979323846;

// Remainder in 0..count-1 also for negative values.
int Wrap(int value, int count) {
  const int m = value % count;
  return m < 0 ? m + count : m;
}

}  // namespace

TDrumGeometry DrumGeometry(int width, int height, int count) {
  TDrumGeometry g;
  g.N = count;
  g.D = std::min(width, height) - 20;
  g.CX = width / 2;
  g.CY = height / 2;
  if (count >= 1) g.E = RoundToInt(g.D * Pi / (std::sqrt(2.0) * Pi + count) * 0.5);
  g.R = g.D / 2 - g.E;
  return g;
}

double DrumSlotAngle(int slot, int count) {
  return Pi / 2 - (static_cast<double>(slot) / count) * 2 * Pi;
}

double DrumMoveOffset(int phase, int count) { return phase * 2 * Pi / count * 0.2; }

QPoint DrumPoint(const TDrumGeometry& g, double theta) {
  return QPoint(RoundToInt(std::cos(theta) * g.R + g.CX), RoundToInt(g.CY - std::sin(theta) * g.R));
}

QPoint DrumSlotPoint(const TDrumGeometry& g, int slot) { return DrumPoint(g, DrumSlotAngle(slot, g.N)); }

TDrumLayout DrumLayout(int width, int height, int count, const TDrumState& state) {
  TDrumLayout layout;
  layout.Geometry = DrumGeometry(width, height, count);
  const TDrumGeometry& g = layout.Geometry;
  if (!g.Drawable()) return layout;

  const bool moving = state.Running && state.Phase > 0;
  // A move to a target further on (a jump) covers all the slots up to it in
  // the same five frames.
  const int span = state.Target > 0 ? Wrap(state.Target - state.Position, count) : 1;
  const double delta = moving ? DrumMoveOffset(state.Phase, count) * span : 0.0;
  layout.Places.reserve(count);
  // r counts the slots clockwise from the window's place.
  for (int r = 0; r < count; ++r) {
    TDrumPlace place;
    place.Symbol = state.Running ? Wrap(state.Position + r - 1, count) : r;
    const int slot = (!state.Running || state.FixedWindow) ? r : Wrap(state.Position + r - 1, count);
    const double theta = DrumSlotAngle(slot, count);
    const QPoint atSlot = DrumPoint(g, theta);
    // With the fixed window the symbols slide counter-clockwise under it;
    // otherwise the window travels clockwise over the resting symbols.
    const QPoint moved = moving ? DrumPoint(g, state.FixedWindow ? theta + delta : theta - delta) : atSlot;
    place.Centre = state.FixedWindow ? moved : atSlot;
    if (r == 0) layout.Window = state.FixedWindow ? atSlot : moved;
    layout.Places.push_back(place);
  }
  return layout;
}

namespace {

// Distance of a badge's centre from the drum's centre: inside the circle
// that the window's ring never enters, with a gap of two pixels.
int MarkDistance(const TDrumGeometry& g, int radius) { return g.R - g.E - DrumWindowMargin - 2 - radius; }

}  // namespace

int DrumMarkRadius(const TDrumGeometry& g) {
  if (!g.Drawable()) return 0;
  // About the size of a capital letter on the circles, readable also on the
  // smallest ones and not larger than needed on the largest.
  const int radius = std::clamp(RoundToInt(g.E * 0.7), 6, 18);
  return MarkDistance(g, radius) >= 2 * radius ? radius : 0;
}

QPoint DrumMarkPoint(const TDrumGeometry& g, const QPoint& centre) {
  const double dx = centre.x() - g.CX, dy = centre.y() - g.CY;
  const double length = std::hypot(dx, dy);
  if (length <= 0) return QPoint(g.CX, g.CY);
  const double distance = MarkDistance(g, DrumMarkRadius(g));
  return QPoint(RoundToInt(g.CX + dx / length * distance), RoundToInt(g.CY + dy / length * distance));
}
