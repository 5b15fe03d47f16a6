#pragma once
// The graph view: a strip chart of the latest readings (level in blue,
// instrument value in black) with a zero line, two markers and a cursor line.
//
// The view keeps its own window of records, at most one per pixel along the
// time axis, and drops the oldest as new ones arrive. All drawing goes to an
// off-screen image that is handed to the target in one piece. A new reading
// at zoom 1 in the horizontal view redraws only its own columns (scrolling
// the picture by one pixel once the window is full); everything else, and
// any change of size, zoom, markers or cursor, redraws the whole picture.
// Readings may also be taken in without drawing and drawn together later,
// the picture scrolled once by all of them.

#include <QImage>
#include <QPoint>
#include <QPolygon>
#include <QRegion>
#include <QSize>
#include <QString>
#include <vector>

#include "sensor/InstData.h"

class TInstrument;

// Where the view draws: the size of the drawing area, the picture shown in
// it and the hint text shown at the mouse.
class TInstGraphTarget {
public:
  virtual ~TInstGraphTarget();
  // The drawing area in logical pixels.
  virtual QSize DrawingArea() const = 0;
  // Device pixels per logical pixel of the screen the area is on.
  virtual qreal PixelRatio() const;
  // Shows a finished picture (logical size = the drawing area).
  virtual void ShowPicture(const QImage& picture) = 0;
  // Shows the picture again after changed (logical pixels) was drawn anew
  // in it; the view paints the same picture in place from one reading to
  // the next.
  virtual void ShowChanged(const QImage& picture, const QRegion& changed);
  // Shows the picture again after everything in it moved dx logical pixels
  // along x (what it showed before moves with it on the screen, too) and
  // changed was drawn anew. By default the whole picture is shown again.
  virtual void ShowScrolled(const QImage& picture, int dx, const QRegion& changed);
  // Makes text the area's hint and shows it at once at the mouse; an empty
  // text hides it.
  virtual void ShowHint(const QString& text) = 0;
};

class TInstGraph {
public:
  // Neither is owned. The instrument gives the value scale and, through its
  // probe, the sensor's range; without one nothing is drawn.
  TInstGraph(TInstrument* instrument, bool vertical, TInstGraphTarget* target);
  virtual ~TInstGraph();
  TInstGraph(const TInstGraph&) = delete;
  TInstGraph& operator=(const TInstGraph&) = delete;

  // Marker 1 at index (-1 when outside the window); marker 2 is dropped.
  virtual void SetMarker1(int index);
  // Marker 2 at index, swapped with marker 1 when it lies left of it; no
  // marker 2 without marker 1. Returns the new marker 2.
  virtual int SetMarker2(int index);
  // Time from marker 1 to marker 2 in ms (a midnight between them counts the
  // day); 0 unless both markers are set.
  virtual int MarkerTimeMs() const;
  virtual double MarkerInstDelta() const;
  virtual double MarkerSensorDelta() const;
  // Sizes the off-screen image to the drawing area, then clears.
  virtual void Init();
  // Empties the window, drops both markers and redraws.
  virtual void Clear();
  // The point of record index with a value at fraction of span pixels.
  virtual QPoint MapPoint(int index, int span, double fraction) const;
  // Draws everything and shows it.
  virtual void Redraw();
  // The next reading redraws the whole picture.
  void Invalidate() { drawn_.Valid = false; }
  // Appends the record (dropping the oldest when the window is full; the
  // markers move with their records) and redraws.
  virtual void AddReading(const TInstData& record);
  virtual void EndHover();
  // Sets the cursor and shows the hover text of the record under it.
  virtual void Hover(int x, int y);
  virtual bool MarkersValid() const;
  // Change of Inst (Sensor) from the newest record back over ms milliseconds;
  // 0 when the window does not reach that far back.
  virtual double InstChangeOver(int ms) const;
  virtual double SensorChangeOver(int ms) const;

  // While set, AddReading keeps the record without drawing; the next
  // drawing is whole. Set by the graph window while it is minimised.
  bool Paused = false;
  // While set, AddReading keeps the record and leaves the picture as it
  // stands; the next reading added without it, or CatchUp, draws all that
  // came meanwhile. Set by the graph window for the readings between two
  // frames.
  bool Deferred = false;
  // Draws and shows the readings kept since the picture was last drawn.
  void CatchUp();

  // Set by the graph window. A factor of 0 or below counts as 1.
  double TimeZoomFactor = 0.0;
  bool TimeZoomOn = false;

  // Records per pixel in force: the factor when zoom is on and it is
  // positive, else 1.
  double TimeDivisor() const;
  // Index of the record at time coordinate t (pixels).
  int IndexAt(int t) const;

  TInstrument* Instrument() const { return instrument_; }
  void SetInstrument(TInstrument* instrument) { instrument_ = instrument; }
  bool Vertical() const { return vertical_; }
  int Marker1() const { return marker1_; }
  int Marker2() const { return marker2_; }
  int CursorX() const { return cursorX_; }
  int CursorY() const { return cursorY_; }
  const std::vector<TInstData>& Window() const { return window_; }
  int WindowLength() const { return static_cast<int>(window_.size()); }
  const QString& HintText() const { return hint_; }
  // The picture last drawn.
  const QImage& Picture() const { return bitmap_; }

  // Pen colours.
  static const QRgb ZeroLineColor;   // silver
  static const QRgb LevelColor;      // blue
  static const QRgb InstColor;       // black
  static const QRgb MarkerColor;     // red
  static const QRgb CursorColor;     // silver

private:
  QSize Area() const;
  int TimeExtent(const QSize& area) const;
  int ValueSpan(const QSize& area) const;
  int ZeroPosition(int span) const;
  double ScaleFraction(double value) const;
  double SensorFraction(double value) const;
  QImage& Bitmap(const QSize& area, qreal ratio);
  // Draws the picture, or only its columns left..right (device pixels equal
  // logical ones then), which are filled first.
  void Draw(QImage& bitmap, const QSize& area, int left = -1, int right = -1) const;
  void DrawCurve(QImage& bitmap, int span, int extent, bool level, QRgb colour, int from, int to,
                 const QRect& clip) const;
  static void PlotLine(QImage& bitmap, QPoint a, QPoint b, QRgb colour, const QRect& clip);
  // What the picture was last drawn with; a reading can be added by
  // drawing its columns alone only while all of it still holds.
  struct TDrawn {
    bool Valid = false;
    QSize Area;
    int Marker1 = -1, Marker2 = -1;
    int CursorX = 0, CursorY = 0;
    double Divisor = 1.0;
    double Minimum = 0, Maximum = 0, Offset = 0, SensorMinimum = 0, SensorMaximum = 0;
    // Not compared: the records the picture showed and how many had been
    // dropped from the window by then.
    int Length = 0;
    long long Dropped = 0;
    bool operator==(const TDrawn& o) const;
  };
  TDrawn DrawingState(const QSize& area, qreal ratio) const;
  double ChangeOver(int ms, double TInstData::*field) const;

  TInstrument* instrument_;
  bool vertical_;
  TInstGraphTarget* target_;
  // The picture, drawn in place; the target shows it without a copy.
  QImage bitmap_;
  TDrawn drawn_;
  int cursorX_ = 0;
  int cursorY_ = 0;
  int marker1_ = -1;
  int marker2_ = -1;
  std::vector<TInstData> window_;
  long long dropped_ = 0;  // records dropped from the window so far
  int undrawn_ = 0;        // records added since the picture was drawn
  QString hint_;
  mutable QPolygon curvePoints_;  // kept to spare an allocation per curve
};
