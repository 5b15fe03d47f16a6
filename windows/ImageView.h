#pragma once
// A drawing surface for pictures made off screen (drum, gauge, level dial,
// graph): shows one QImage in one piece and reports resizes and mouse input.
// The image may carry a device pixel ratio; it is shown at its logical size,
// so a picture drawn at the screen's full resolution stays sharp.

#include <QImage>
#include <QWidget>

class TImageView : public QWidget {
  Q_OBJECT
public:
  explicit TImageView(QWidget* parent = nullptr);

  // Shows image; the widget repaints once.
  void SetImage(const QImage& image);
  const QImage& Image() const { return Picture; }

  // The size a picture must have to fill the widget at the screen's
  // resolution, and that resolution's device pixel ratio.
  QSize PixelSize() const;
  qreal PixelRatio() const;

  QSize sizeHint() const override;
  void SetSizeHint(const QSize& size) { Hint = size; }

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
  QImage Picture;
  QSize Hint;
};
