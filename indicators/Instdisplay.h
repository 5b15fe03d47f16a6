#pragma once
// The instrument panel's indicators: the needle gauge of the instrument value
// and the level dial of the probe's baseline level.
//
// Both paint the whole face with QPainter on an off-screen QImage and hand the
// finished picture to a canvas. The canvas says how large the picture must be
// (logical pixels), at which device pixel ratio it is shown and what the
// screen's logical DPI is, so the same code draws for tests, benchmarks and
// the panel window, sharp on high-DPI screens.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QSize>
#include <QString>
#include <Qt>
#include <vector>

#include "indicators/Colors.h"

class TInstrument;

// Where an indicator's picture goes: the image control it is drawn for.
class TIndicatorCanvas {
public:
  virtual ~TIndicatorCanvas();
  // Size of the image control in logical pixels.
  virtual QSize LogicalSize() const = 0;
  // Device pixels per logical pixel of the screen it is shown on.
  virtual qreal PixelRatio() const { return 1.0; }
  // The screen's logical pixels per inch.
  virtual qreal LogicalDpi() const { return 96.0; }
  // Position of the image control inside its parent (for tiled backgrounds).
  virtual QPoint Origin() const { return QPoint(0, 0); }
  // Colour of the parent control, the background where nothing else is drawn.
  virtual QColor ParentColor() const { return Silver(); }
  // Receives the finished picture.
  virtual void Show(const QImage& picture) = 0;
  // Receives the same picture again after changed (logical pixels) was
  // painted anew in it; an empty region when nothing changed.
  virtual void ShowChanged(const QImage& picture, const QRegion& changed);
};

// The one picture an indicator paints in place from one draw to the next.
class TIndicatorBuffer {
public:
  // The picture at size × ratio device pixels shown at ratio; a new one,
  // contents undefined, when the size or ratio changed, and Fresh() tells.
  QImage& Next(const QSize& size, qreal ratio);
  bool Fresh() const { return isFresh_; }
  const QImage& Last() const { return picture_; }

private:
  QImage picture_;
  bool isFresh_ = true;
};

// Lengths and positions on the indicators are whole pixels: real values are
// truncated toward zero. Values beyond any screen are held within ±1e6 first.
int TruncPixels(double x);

// Pixel size of a font of the given point size on a screen of the given DPI.
int FontPixelSize(int points, qreal dpi);

// The faces' text font: "Times New Roman", bold.
QFont IndicatorFont(int points, qreal dpi);

// ---------------------------------------------------------------------------

// An indicator of the instrument model's reading.
class TInstInd {
public:
  explicit TInstInd(const TInstrument& instrument);
  virtual ~TInstInd();
  TInstInd(const TInstInd&) = delete;
  TInstInd& operator=(const TInstInd&) = delete;

  // Repaints the whole face from the model's present state.
  virtual void Draw() = 0;

protected:
  const TInstrument& instrument_;
};

// Where the gauge's parts lie for an image of a given size and screen DPI.
struct TGaugeLayout {
  double S = 1.0;       // scale factor from the 561 × 401 design
  int Cx = 0, Cy = 0;   // pivot
  int TickInner = 0;    // radius where the ticks begin
  int TickOuter = 0;    // radius where they end
  int LabelRadius = 0;  // radius of the label centres
  int NeedleRadius = 0; // needle length
  int HubRadius = 0;    // radius of the hub disc (not scaled by DPI)

  // Length of L centimetres of screen, scaled by S.
  static int Radius(double centimetres, double s, qreal dpi);
  static TGaugeLayout For(int width, int height, qreal dpi);
  // The point at radius r and fraction f of the scale (0 at the minimum,
  // 1 at the maximum): the scale runs from 140° through 90° to 40°.
  QPoint PointAt(int r, double f) const;
};

// The needle gauge: a 100-degree arc scale with 21 ticks (with the default
// scale), labels every fifth division, the needle and the hub.
class TInstIndGaugeV1 : public TInstInd {
public:
  // Draws once. scaleFile is loaded as the scale bitmap when it exists,
  // else a 100 × 100 blue bitmap takes its place.
  TInstIndGaugeV1(const TInstrument& instrument, TIndicatorCanvas& image,
                  const QString& scaleFile = DefaultScaleFile());

  void Draw() override;
  // The next Draw paints the whole face.
  void Invalidate() { drawn_ = TFace(); }

  // "scale.bmp" in the executable's folder.
  static QString DefaultScaleFile();
  // Kept for the face; the drawing is made of lines, text and ellipses alone.
  const QImage& ScaleBitmap() const { return scale_; }
  // The picture drawn last.
  const QImage& Picture() const { return buffer_.Last(); }

private:
  TIndicatorCanvas& image_;
  QImage scale_;
  TIndicatorBuffer buffer_;
  // What the picture shows: the face is repainted whole when any of it
  // changes but the needle's end, and only around the needle when that
  // alone moves.
  struct TFace {
    QSize Size;
    qreal Dpi = 0;
    double Minimum = 0, Maximum = 0, Step = 0;
    QPoint Pivot, NeedleEnd;
    bool operator==(const TFace& o) const;
  };
  TFace drawn_;
};

// ---------------------------------------------------------------------------

// An indicator of the probe's level that also sets it.
class TLevelCtrl {
public:
  explicit TLevelCtrl(TInstrument& instrument);
  virtual ~TLevelCtrl();
  TLevelCtrl(const TLevelCtrl&) = delete;
  TLevelCtrl& operator=(const TLevelCtrl&) = delete;

  virtual void Draw() = 0;

protected:
  TInstrument& instrument_;
};

// The level dial: a 270-degree sweep over the sensor's scale, clockwise over
// the top with the gap at the bottom, a grey pointer at the level and the
// ticks within two and a half divisions of it in white. A press in the ring
// between the hub and the labels sets the level; holding the button drags it.
class TLevelCtrlV1 : public TLevelCtrl {
public:
  // Radii of the dial in pixels; they do not scale with the image or screen.
  static constexpr int MajorTickInner = 57;
  static constexpr int MinorTickInner = 65;
  static constexpr int TickOuter = 75;
  static constexpr int LabelRadius = 93;
  static constexpr int PointerBase = 35;
  static constexpr int PointerTip = 65;
  static constexpr int HubRadius = 35;
  static constexpr int DiscRadius = 25;
  static constexpr int RingInner = 25;   // the active ring, both ends excluded
  static constexpr int RingOuter = 90;

  // Draws once. caption is trimmed; its letter at the caption index (1-based)
  // is drawn below the hub. backgroundTile (not owned, may be null) is tiled
  // behind the dial in line with the same tile drawn on the parent.
  TLevelCtrlV1(TInstrument& instrument, TIndicatorCanvas& image, const QString& caption,
               const QImage* backgroundTile = nullptr);

  void Draw() override;
  // The next Draw paints the whole dial.
  void Invalidate() { drawn_ = TFace(); }
  // Turns a pointer position (image coordinates) into a new level and
  // redraws; only while dragging and inside the active ring.
  virtual void SetLevelAt(int X, int Y);
  virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y);
  virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y);
  virtual void MouseMove(Qt::KeyboardModifiers shift, int X, int Y);

  // Angle in radians of a position x divisions from the low end of n.
  static double AngleAt(double x, int n);
  // The point at radius r and angle a around (cx, cy).
  static QPoint PointAt(int cx, int cy, double r, double a);

  bool Dragging() const { return isDragging_; }
  const QString& Caption() const { return captionText_; }
  int CaptionIndex() const { return captionPos_; }
  void SetCaptionIndex(int index) { captionPos_ = index; }
  // The level text drawn last ("0.50" or "0,50" by the user's locale).
  const QString& LevelText() const { return lastLevelText_; }
  const QImage& Picture() const { return buffer_.Last(); }

private:
  TIndicatorCanvas& image_;
  const QImage* backgroundTile_;
  bool isDragging_ = false;
  int captionPos_ = 1;
  QString captionText_;
  TIndicatorBuffer buffer_;
  QString lastLevelText_;
  // Everything the dial's picture depends on; a draw that would change none
  // of it paints nothing.
  struct TFace {
    QSize Size;
    qreal Dpi = 0;
    QColor Parent;
    QPoint Origin;
    const QImage* Tile = nullptr;
    int Lo = 0, Hi = 0;
    std::vector<bool> Lit;
    QPoint Tip, Base, Left, Right;
    QString Text, Caption;
    bool operator==(const TFace& o) const;
  };
  TFace drawn_;
};
