#include "WindowBounds.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QResizeEvent>
#include <QScreen>
#include <QWidget>

TWindowBounds::TWindowBounds(QWidget* window) : QObject(window), Window(window) {
  Saved = Current();
  window->installEventFilter(this);
}

TBounds TWindowBounds::Current() const {
  const QPoint p = Window->pos();
  return {p.x(), p.y(), Window->width(), Window->height()};
}

void TWindowBounds::BeforeResize(int oldWidth, int oldHeight) {
  if (Placing) return;
  const QPoint p = Window->pos();
  if (p.x() > 0 || p.y() > 0) Saved = {p.x(), p.y(), oldWidth, oldHeight};
}

TBounds TWindowBounds::OnSomeScreen(const TBounds& b) {
  const QRect wanted(b.Left, b.Top, qMax(1, b.Width), qMax(1, b.Height));
  const QList<QScreen*> screens = QGuiApplication::screens();
  for (const QScreen* s : screens)
    if (s->availableGeometry().intersects(wanted)) return b;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (!primary) return b;
  const QRect area = primary->availableGeometry();
  TBounds placed = b;
  placed.Width = qMin(b.Width, area.width());
  placed.Height = qMin(b.Height, area.height());
  placed.Left = area.left() + (area.width() - placed.Width) / 2;
  placed.Top = area.top() + (area.height() - placed.Height) / 2;
  return placed;
}

void TWindowBounds::Place(const TBounds& b) {
  const TBounds placed = OnSomeScreen(b);
  Placing = true;
  Window->move(placed.Left, placed.Top);
  Window->resize(placed.Width, placed.Height);
  Placing = false;
  Saved = placed;
}

void TWindowBounds::RecordNormalGeometry() {
  if (Placing) return;
  const QRect normal = Window->normalGeometry();
  if (!normal.isValid()) return;
  // normalGeometry() is the client area; the saved left and top are the
  // frame's, which lies the same distance away in either state.
  const QPoint frameOffset = Window->geometry().topLeft() - Window->pos();
  const QPoint p = normal.topLeft() - frameOffset;
  if (p.x() > 0 || p.y() > 0) Saved = {p.x(), p.y(), normal.width(), normal.height()};
}

bool TWindowBounds::eventFilter(QObject* watched, QEvent* event) {
  if (watched != Window) return QObject::eventFilter(watched, event);
  const bool enlarged = Window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
  if (event->type() == QEvent::Resize) {
    const auto* e = static_cast<QResizeEvent*>(event);
    if (enlarged)
      RecordNormalGeometry();
    else if (e->oldSize().isValid())
      BeforeResize(e->oldSize().width(), e->oldSize().height());
  } else if (event->type() == QEvent::WindowStateChange && enlarged) {
    // Maximising is a change of size: the bounds before it are the normal ones.
    const auto* e = static_cast<QWindowStateChangeEvent*>(event);
    if (!(e->oldState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) RecordNormalGeometry();
  }
  return QObject::eventFilter(watched, event);
}
