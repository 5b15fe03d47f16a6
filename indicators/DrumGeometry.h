#pragma once
// Geometry of the symbol drum: the ring of symbol circles inside a picture of
// a given size, the slots on it and where every symbol and the selection
// window stand at rest and during a move. Pure arithmetic, no drawing.
//
// Rounding follows the program's rule: a real number becomes x + 0.5
// truncated toward zero; halves of integers are truncated.

#include <QPoint>
#include <vector>

struct TDrumGeometry {
  int N = 0;       // number of symbols (slots on the ring)
  int D = 0;       // diameter of the drum: min(W, H) - 20
  int CX = 0;      // centre: W / 2, H / 2
  int CY = 0;
  int E = 0;       // radius of a symbol circle
  int R = 0;       // radius of the ring the circle centres stand on: D / 2 - E

  // A picture with symbols can be drawn: at least one symbol, a drum of at
  // least one pixel and circles of at least one pixel radius. Anything else
  // (a picture smaller than the margins, an empty table) shows only the
  // background.
  bool Drawable() const { return N >= 1 && D >= 1 && E >= 1; }
};

// D, centre, e and R for a picture of width x height pixels and count symbols.
TDrumGeometry DrumGeometry(int width, int height, int count);

// Angle of a slot in radians: slot 0 at the top, slot numbers grow clockwise.
double DrumSlotAngle(int slot, int count);

// Angle by which a move has turned after phase frames: one fifth of a slot
// per frame.
double DrumMoveOffset(int phase, int count);

// Pixel on the ring at angle theta (counter-clockwise from the right, y down).
QPoint DrumPoint(const TDrumGeometry& geometry, double theta);

// Centre of a slot's circle.
QPoint DrumSlotPoint(const TDrumGeometry& geometry, int slot);

// What the drum shows: the session state the picture depends on.
struct TDrumState {
  int Position = 1;          // symbol in the window, 1-based
  int Phase = 0;             // 0 at rest, 1..5 during a move
  bool Running = false;
  bool FixedWindow = false;  // the window stays at the top and the symbols turn
  int Target = 0;            // symbol (1-based) a move goes to; 0 for the next one
};

// One symbol circle of a picture.
struct TDrumPlace {
  int Symbol = 0;  // 0-based index into the symbol table
  QPoint Centre;   // centre of its circle
};

struct TDrumLayout {
  TDrumGeometry Geometry;
  QPoint Window;                   // centre of the selection window's ring
  std::vector<TDrumPlace> Places;  // in drawing order; the first one is the
                                   // symbol belonging to the window
};

// Where every symbol and the window stand. Places is empty when the geometry
// is not drawable. Positions outside 1..count wrap around the ring.
TDrumLayout DrumLayout(int width, int height, int count, const TDrumState& state);

// The selection window's ring reaches this far beyond its circle.
constexpr int DrumWindowMargin = 10;

// Badges that number the coming rests stand inside the ring, each on the
// line from the drum's centre through its symbol's circle, clear of every
// circle and of the window's ring wherever it stands. Their radius; 0 when
// the middle of the drum has no room for them (a few large circles).
int DrumMarkRadius(const TDrumGeometry& geometry);

// Centre of the badge of the circle centred at centre.
QPoint DrumMarkPoint(const TDrumGeometry& geometry, const QPoint& centre);
