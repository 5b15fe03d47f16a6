#pragma once
// A canvas of a set size, pixel ratio and DPI that keeps what it was shown.

#include "indicators/Instdisplay.h"

#include <QColor>
#include <QImage>

class TTestCanvas : public TIndicatorCanvas {
public:
  explicit TTestCanvas(QSize size, qreal dpi = 96.0, qreal ratio = 1.0)
      : Size(size), Dpi(dpi), Ratio(ratio) {}

  QSize Size;
  qreal Dpi;
  qreal Ratio;
  QPoint Where;
  QColor Parent = QColor(192, 192, 192);
  QImage Shown;
  int ShowCount = 0;

  QSize LogicalSize() const override { return Size; }
  qreal PixelRatio() const override { return Ratio; }
  qreal LogicalDpi() const override { return Dpi; }
  QPoint Origin() const override { return Where; }
  QColor ParentColor() const override { return Parent; }
  void Show(const QImage& picture) override {
    Shown = picture;
    ++ShowCount;
  }
};

// Grey level of a pixel (0 black, 255 white); outside the image -1.
inline int Grey(const QImage& image, int x, int y) {
  if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return -1;
  return qGray(image.pixel(x, y));
}

// Darkest and lightest grey in the 3 × 3 pixels around (x, y).
inline int DarkestAround(const QImage& image, int x, int y) {
  int best = 256;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      const int g = Grey(image, x + dx, y + dy);
      if (g >= 0 && g < best) best = g;
    }
  return best;
}
inline int LightestAround(const QImage& image, int x, int y) {
  int best = -1;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) best = qMax(best, Grey(image, x + dx, y + dy));
  return best;
}
