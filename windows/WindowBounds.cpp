#include "WindowBounds.h"

#include "seams/UserDialogs.h"
#include "session/OptionsFile.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QResizeEvent>
#include <QScreen>
#include <QStringList>
#include <QWidget>
#include <algorithm>

TWindowBounds::TWindowBounds(QWidget* window) : QObject(window), window_(window) {
  Saved = Current();
  Design = Saved;
  window->installEventFilter(this);
}

TBounds TWindowBounds::Current() const {
  const QPoint p = window_->pos();
  return {p.x(), p.y(), window_->width(), window_->height()};
}

void TWindowBounds::BeforeResize(int oldWidth, int oldHeight) {
  if (placing_) return;
  const QPoint p = window_->pos();
  if (p.x() > 0 || p.y() > 0) Saved = {p.x(), p.y(), oldWidth, oldHeight};
}

namespace {

// The overlap of two rectangles, in 64 bits: stored positions and sizes may
// be anywhere in int range.
long long Overlap(const TBounds& b, const QRect& r) {
  const long long left = std::max<long long>(b.Left, r.left());
  const long long top = std::max<long long>(b.Top, r.top());
  const long long right = std::min<long long>(static_cast<long long>(b.Left) + b.Width,
                                              static_cast<long long>(r.left()) + r.width());
  const long long bottom = std::min<long long>(static_cast<long long>(b.Top) + b.Height,
                                               static_cast<long long>(r.top()) + r.height());
  return right > left && bottom > top ? (right - left) * (bottom - top) : 0;
}

} // namespace

TBounds TWindowBounds::Fitted(const TBounds& b, const TBounds& design) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (screens.isEmpty() || !primary) return b;
  QRect desktop;
  for (const QScreen* s : screens) desktop |= s->geometry();

  TBounds r = b;
  if (r.Width <= 0 || r.Height <= 0 || r.Width > desktop.width() || r.Height > desktop.height()) {
    r.Width = design.Width;
    r.Height = design.Height;
  }

  const QScreen* landing = nullptr;
  long long most = 0;
  for (const QScreen* s : screens) {
    const long long o = Overlap(r, s->availableGeometry());
    if (o > most) {
      most = o;
      landing = s;
    }
  }
  const QRect area = (landing ? landing : primary)->availableGeometry();
  const bool smaller = r.Width > area.width() || r.Height > area.height();
  r.Width = std::min(r.Width, area.width());
  r.Height = std::min(r.Height, area.height());
  if (!landing) {
    r.Left = area.left() + (area.width() - r.Width) / 2;
    r.Top = area.top() + (area.height() - r.Height) / 2;
  } else if (smaller) {
    r.Left = std::clamp(r.Left, area.left(), area.left() + area.width() - r.Width);
    r.Top = std::clamp(r.Top, area.top(), area.top() + area.height() - r.Height);
  }
  return r;
}

void TWindowBounds::Place(const TBounds& b) {
  const TBounds placed = Fitted(b, Design);
  placing_ = true;
  window_->move(placed.Left, placed.Top);
  window_->resize(placed.Width, placed.Height);
  placing_ = false;
  Saved = placed;
}

void TWindowBounds::Load(const QString& settingsFile, const TBoundsKeys& keys) {
  // Without any of the keys the window keeps the bounds it has.
  TBounds b = Current();
  if (ReadBounds(settingsFile, keys, b)) Place(b);
}

void TWindowBounds::RecordNormalGeometry() {
  if (placing_) return;
  const QRect normal = window_->normalGeometry();
  if (!normal.isValid()) return;
  // normalGeometry() is the client area; the saved left and top are the
  // frame's, which lies the same distance away in either state.
  const QPoint frameOffset = window_->geometry().topLeft() - window_->pos();
  const QPoint p = normal.topLeft() - frameOffset;
  if (p.x() > 0 || p.y() > 0) Saved = {p.x(), p.y(), normal.width(), normal.height()};
}

bool TWindowBounds::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_) return QObject::eventFilter(watched, event);
  const bool enlarged = window_->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
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

namespace {

int g_reports = 0;
QStringList g_reported;

} // namespace

void ReportWriteFailure(QWidget* parent, const QString& message) {
  if (g_reports == 0)
    Dialogs().Error(parent, message);
  else if (!g_reported.contains(message))
    g_reported.append(message);
}

TOneWriteReport::TOneWriteReport() { ++g_reports; }

TOneWriteReport::~TOneWriteReport() {
  if (--g_reports > 0) return;
  const QStringList messages = std::move(g_reported);
  g_reported.clear();
  for (const QString& m : messages) Dialogs().Error(nullptr, m);
}
