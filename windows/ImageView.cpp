#include "ImageView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

TImageView::TImageView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

void TImageView::SetImage(const QImage& image) {
  picture_ = image;
  buffer_ = nullptr;
  update();
}

bool TImageView::Reads(const QImage& picture) const {
  return buffer_ && buffer_ == picture.constBits() && picture_.size() == picture.size() &&
         picture_.format() == picture.format() &&
         picture_.devicePixelRatio() == picture.devicePixelRatio();
}

void TImageView::ShowBuffer(const QImage& picture, const QRegion& changed) {
  if (picture.isNull()) {
    SetImage(picture);
    return;
  }
  const bool same = Reads(picture);
  // A read-only image over the caller's pixels: painting it in place later
  // neither detaches nor copies it.
  picture_ = QImage(picture.constBits(), picture.width(), picture.height(), picture.bytesPerLine(),
                   picture.format());
  picture_.setDevicePixelRatio(picture.devicePixelRatio());
  buffer_ = picture.constBits();
  if (same)
    update(changed);
  else
    update();
}

void TImageView::ScrollBuffer(const QImage& picture, int dx, const QRegion& changed) {
  if (!Reads(picture) || picture.devicePixelRatio() != 1.0) {
    ShowBuffer(picture, QRegion(rect()));
    return;
  }
  // The window system moves the pixels already shown; whatever it cannot
  // move is repainted from the picture.
  scroll(dx, 0);
  update(changed);
}

qreal TImageView::PixelRatio() const { return devicePixelRatioF(); }

QSize TImageView::PixelSize() const {
  const qreal ratio = PixelRatio();
  return QSize(int(width() * ratio), int(height() * ratio));
}

QSize TImageView::sizeHint() const { return hint_.isValid() ? hint_ : QWidget::sizeHint(); }

void TImageView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (picture_.isNull()) {
    painter.fillRect(rect(), palette().window());
    return;
  }
  // Only the parts asked for are copied to the window, pixel for pixel: the
  // pictures are opaque, and blending them would test every pixel's alpha.
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  const qreal ratio = picture_.devicePixelRatio();
  const QRect covered(QPoint(0, 0), picture_.deviceIndependentSize().toSize());
  for (const QRect& asked : event->region()) {
    const QRect r = asked & covered;
    if (r.isEmpty()) continue;
    const QRectF source(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio);
    // Clipped to the one rectangle, a copy between pictures of one format
    // goes row by row; within a region of several, it would be blended
    // span by span, handed out to other threads.
    painter.setClipRect(r);
    painter.drawImage(QRectF(r), picture_, source);
  }
  painter.setClipping(false);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  // Whatever the picture does not cover (it is one resize behind) gets the
  // window colour instead of stale pixels.
  const QSizeF shown = picture_.deviceIndependentSize();
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
