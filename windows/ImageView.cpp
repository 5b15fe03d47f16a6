#include "ImageView.h"

#include <QMouseEvent>
#include <QPainter>

TImageView::TImageView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

void TImageView::SetImage(const QImage& image) {
  Picture = image;
  update();
}

qreal TImageView::PixelRatio() const { return devicePixelRatioF(); }

QSize TImageView::PixelSize() const {
  const qreal ratio = PixelRatio();
  return QSize(int(width() * ratio), int(height() * ratio));
}

QSize TImageView::sizeHint() const { return Hint.isValid() ? Hint : QWidget::sizeHint(); }

void TImageView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (Picture.isNull()) {
    painter.fillRect(rect(), palette().window());
    return;
  }
  painter.drawImage(QPoint(0, 0), Picture);
  // Whatever the picture does not cover (it is one resize behind) gets the
  // window colour instead of stale pixels.
  const QSizeF shown = Picture.deviceIndependentSize();
  if (shown.width() < width())
    painter.fillRect(QRectF(shown.width(), 0, width() - shown.width(), height()), palette().window());
  if (shown.height() < height())
    painter.fillRect(QRectF(0, shown.height(), width(), height() - shown.height()), palette().window());
}

void TImageView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  emit Resized();
}

void TImageView::mousePressEvent(QMouseEvent* event) { emit MousePressed(event); }
void TImageView::mouseReleaseEvent(QMouseEvent* event) { emit MouseReleased(event); }
void TImageView::mouseMoveEvent(QMouseEvent* event) { emit MouseMoved(event); }
