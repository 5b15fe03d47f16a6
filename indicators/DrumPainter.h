#pragma once
// Paints the symbol drum: every symbol of the table in a silver circle on a
// ring, the selection window as a magenta ring around the circle at the
// selection place, and a drum move shifted by fifths of a symbol.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QStringList>

struct TDrumScene {
  QStringList Symbols;       // the symbol table, symbol 1 first, texts as typed
  int Position = 1;          // symbol in the window, 1-based
  int Phase = 0;             // 0 at rest, 1..5 during a move
  bool Running = false;
  bool FastMode = false;
  bool FixedWindow = false;  // the window stays at the top and the symbols turn
  int Target = 0;            // symbol (1-based) a move goes to; 0 for the next one
  QColor Background;         // the window colour; the palette's button colour when invalid
};

// Rebuilds the whole picture at the image's size. Coordinates are the image's
// logical pixels: an image with a device pixel ratio is drawn at its full
// resolution with the same layout.
void PaintDrum(QImage& image, const TDrumScene& scene);

// Sizes of the symbol text are in points, taken at 96 pixels per inch
// whatever the screen's setting (pixel size = points * 96 / 72, rounded), so
// the text keeps its size relative to the circles; a high-resolution screen
// is served by the image's device pixel ratio instead.
int DrumFontPixels(int points);

// The symbol font: "Arial", bold, at a size in points.
QFont DrumFont(int points);

// Size in points of a symbol text on circles of radius e: e for a single
// character; a longer text is fitted, together with one more letter "O" as
// a margin, to the circle's diameter, but kept at no less than 6 points and
// no more than e.
int DrumTextPoints(const QString& text, int e);
