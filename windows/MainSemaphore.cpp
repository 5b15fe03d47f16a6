#include "MainSemaphore.h"

#include <QPainter>

TMainSemaphore::TMainSemaphore(QWidget* parent) : QWidget(parent) {
  setFixedSize(25, 25);
}

void TMainSemaphore::SetColor(const QColor& color) {
  if (color == fill_) return;
  fill_ = color;
  update();
}

QSize TMainSemaphore::sizeHint() const { return {25, 25}; }

void TMainSemaphore::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(fill_);
  const qreal d = qMin(width(), height()) - 1;
  p.drawEllipse(QRectF((width() - d) / 2.0, (height() - d) / 2.0, d, d));
}
