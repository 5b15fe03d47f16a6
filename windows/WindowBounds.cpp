#include "WindowBounds.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QResizeEvent>
#include <QScreen>
#include <QWidget>

TWindowBounds::TWindowBounds(QWidget* window) : QObject(window), Window(window) {
  Saved = Current();
  LastNormal = Saved;
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
  LastNormal = Current();
}

bool TWindowBounds::eventFilter(QObject* watched, QEvent* event) {
  if (watched != Window) return QObject::eventFilter(watched, event);
  const bool normal =
      !(Window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
  if (event->type() == QEvent::Resize) {
    const auto* e = static_cast<QResizeEvent*>(event);
    if (normal) {
      if (e->oldSize().isValid()) BeforeResize(e->oldSize().width(), e->oldSize().height());
      LastNormal = Current();
    } else if (!Placing && (LastNormal.Left > 0 || LastNormal.Top > 0)) {
      // The window has been maximised: by now it stands at the screen's
      // corner, so the bounds before the change are the last normal ones.
      Saved = LastNormal;
    }
  } else if (event->type() == QEvent::Move && normal) {
    LastNormal.Left = Window->pos().x();
    LastNormal.Top = Window->pos().y();
  }
  return QObject::eventFilter(watched, event);
}
