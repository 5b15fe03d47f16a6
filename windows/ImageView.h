#pragma once
// A drawing surface for pictures made off screen (drum, gauge, level dial,
// graph): shows one QImage in one piece and reports resizes and mouse input.
// Pictures are opaque and copied to the window pixel for pixel. The image
// may carry a device pixel ratio; it is shown at its logical size,
// so a picture drawn at the screen's full resolution stays sharp.

#include <QImage>
#include <QRegion>
#include <QWidget>

class TImageView : public QWidget {
  Q_OBJECT
public:
  explicit TImageView(QWidget* parent = nullptr);

  // Shows image; the widget repaints once.
  void SetImage(const QImage& image);
  // Shows picture without copying it: the view reads the caller's pixels at
  // every paint until the next call, so the caller keeps the picture alive
  // and unshared while it paints it in place. changed (logical pixels) is
  // the part that differs from what the view showed before; a new size or
  // buffer repaints everything.
  void ShowBuffer(const QImage& picture, const QRegion& changed);
  // As ShowBuffer after everything in picture moved dx pixels along x: what
  // the window shows is moved along with it, and only changed is copied.
  void ScrollBuffer(const QImage& picture, int dx, const QRegion& changed);
  const QImage& Image() const { return picture_; }

  // The size a picture must have to fill the widget at the screen's
  // resolution, and that resolution's device pixel ratio.
  QSize PixelSize() const;
  qreal PixelRatio() const;

  QSize sizeHint() const override;
  void SetSizeHint(const QSize& size) { hint_ = size; }

signals:
  void Resized();
  void MousePressed(QMouseEvent* event);
  void MouseReleased(QMouseEvent* event);
  void MouseMoved(QMouseEvent* event);

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

private:
  bool Reads(const QImage& picture) const;  // the view reads picture's pixels

  QImage picture_;
  const uchar* buffer_ = nullptr;  // the caller's pixels picture_ reads, if any
  QSize hint_;
};
