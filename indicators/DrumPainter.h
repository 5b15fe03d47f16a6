#pragma once
// Paints the symbol drum: every symbol of the table in a silver circle on a
// ring, the selection window as a magenta ring around the circle at the
// selection place, and a drum move shifted by fifths of a symbol.

#include <QColor>
#include <QFont>
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRegion>
#include <QStringList>
#include <map>
#include <vector>

#include "indicators/DrumGeometry.h"

// What the picture shows: the drum's state (the layout's input) and what
// only the painting needs.
struct TDrumScene : TDrumState {
  QStringList Symbols;  // the symbol table, symbol 1 first, texts as typed
  bool FastMode = false;
  QColor Background;    // the window colour; the palette's button colour when invalid
  // The coming order: symbols (1-based) of the next rests, the first first.
  // The first DrumComingMarks of them, but the one in the window, are
  // marked: their circles filled in graded yellow, strongest for the next
  // rest, and numbered 1, 2, ... on badges inside the ring. Empty: no marks.
  QList<int> Coming;
  // The group scan. Group: the symbols (1-based) of the group at rest, the
  // one in the window first; the others are filled in pale magenta, the
  // window's colour. ComingGroups: the groups of the next rests, the first
  // first; every member of the first DrumComingMarks of them is marked as a
  // coming symbol with its group's number. A group of one is a symbol.
  QList<int> Group;
  QList<QList<int>> ComingGroups;
};

// How many of the coming rests are marked.
constexpr int DrumComingMarks = 4;

// Rebuilds the whole picture at the image's size. Coordinates are the image's
// logical pixels: an image with a device pixel ratio is drawn at its full
// resolution with the same layout.
void PaintDrum(QImage& image, const TDrumScene& scene);

// Paints the drum into one picture frame after frame. The first picture, and
// any after a change of size, symbol table or background, is drawn whole;
// after that only the circles that moved or changed their fill are painted
// again, together with whatever overlaps them, so every picture equals the
// one PaintDrum draws. The symbol texts' fonts and sizes are kept as long as
// the table and the circle size stay.
class TDrumPainter {
public:
  TDrumPainter();
  ~TDrumPainter();
  TDrumPainter(const TDrumPainter&) = delete;
  TDrumPainter& operator=(const TDrumPainter&) = delete;

  // Brings picture up to scene and returns the part that changed, in
  // logical pixels (empty when the scene shows nothing new). The picture
  // must hold what the previous call left in it; one of another size or
  // pixel ratio is drawn whole.
  QRegion Paint(QImage& picture, const TDrumScene& scene);
  // The next Paint draws the whole picture.
  void Invalidate();
  // Frames taken from earlier turns of the drum instead of painted; for
  // measurements.
  int ReusedFrames() const { return reused_; }

  // The pixel format pictures are kept in.
  static constexpr QImage::Format Format = QImage::Format_ARGB32_Premultiplied;

  struct TItem;
  struct TText;

private:
  bool valid_ = false;
  QSize pixels_;
  qreal ratio_ = 1.0;
  QStringList symbols_;
  QColor background_;
  int e_ = 0;
  std::vector<TText> texts_;  // per symbol, for circles of radius e_
  std::vector<TItem> items_;  // what the picture shows, in drawing order

  // The pixels a frame changed, by what the picture showed before and shows
  // after: the drum turns through the same frames again and again, and the
  // picture after a frame depends on nothing else.
  struct TFrame {
    QRegion Changed;
    QRect Pixels;  // Changed's bounding rectangle in the picture's pixels
    QImage Patch;
  };
  std::map<QByteArray, TFrame> frames_;
  std::size_t frameBytes_ = 0;
  int reused_ = 0;
};

// Sizes of the symbol text are in points, taken at 96 pixels per inch
// whatever the screen's setting (pixel size = points * 96 / 72, rounded), so
// the text keeps its size relative to the circles; a high-resolution screen
// is served by the image's device pixel ratio instead.
int DrumFontPixels(int points);

// Pixel size of the digits on a badge of the coming order of this radius
// (in the symbol font).
int DrumMarkFontPixels(int radius);

// The symbol font: "Arial", bold, at a size in points.
QFont DrumFont(int points);

// Size in points of a symbol text on circles of radius e: e for a single
// character; a longer text is fitted, together with one more letter "O" as
// a margin, to the circle's diameter, but kept at no less than 6 points and
// no more than e.
int DrumTextPoints(const QString& text, int e);
