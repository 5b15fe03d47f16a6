#include "indicators/Instgraph.h"

#include <QLocale>
#include <QPainter>
#include <QPolygon>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "sensor/Inst.h"
#include "sensor/Sens.h"
#include "indicators/LocaleFormats.h"
#include "sensor/Utils.h"

#include "indicators/Colors.h"

const QRgb TInstGraph::ZeroLineColor = kSilverRgb;
const QRgb TInstGraph::LevelColor = qRgb(0, 0, 255);
const QRgb TInstGraph::InstColor = qRgb(0, 0, 0);
const QRgb TInstGraph::MarkerColor = qRgb(255, 0, 0);
const QRgb TInstGraph::CursorColor = kSilverRgb;

TInstGraphTarget::~TInstGraphTarget() = default;
qreal TInstGraphTarget::PixelRatio() const { return 1.0; }
void TInstGraphTarget::ShowChanged(const QImage& picture, const QRegion&) { ShowPicture(picture); }
void TInstGraphTarget::ShowScrolled(const QImage& picture, int, const QRegion&) {
  ShowChanged(picture, QRegion(QRect(QPoint(0, 0), picture.deviceIndependentSize().toSize())));
}

namespace {

constexpr double kMsPerDay = 86400000.0;

void CopyFields(TInstData& to, const TInstData& from) {
  std::memcpy(static_cast<void*>(&to), &from, TInstData::FieldBytes);
}

} // namespace

TInstGraph::TInstGraph(TInstrument* instrument, bool vertical, TInstGraphTarget* target)
    : instrument_(instrument), vertical_(vertical), target_(target) {
  Init();
}

TInstGraph::~TInstGraph() = default;

QSize TInstGraph::Area() const {
  if (!target_) return QSize(0, 0);
  const QSize s = target_->DrawingArea();
  return QSize(std::max(0, s.width()), std::max(0, s.height()));
}

int TInstGraph::TimeExtent(const QSize& area) const {
  return vertical_ ? area.height() : area.width();
}

int TInstGraph::ValueSpan(const QSize& area) const {
  return (vertical_ ? area.width() : area.height()) - 10;
}

double TInstGraph::ScaleFraction(double value) const {
  return (value - instrument_->Minimum) / (instrument_->Maximum - instrument_->Minimum);
}

double TInstGraph::SensorFraction(double value) const {
  const TSensor& s = instrument_->Probe().Sensor();
  return (value - s.Minimum) / (s.Maximum - s.Minimum);
}

int TInstGraph::ZeroPosition(int span) const {
  return 5 + RoundToInt(ScaleFraction(instrument_->Offset) * span);
}

double TInstGraph::TimeDivisor() const {
  if (TimeZoomOn && TimeZoomFactor > 0.0 && std::isfinite(TimeZoomFactor)) return TimeZoomFactor;
  return 1.0;
}

int TInstGraph::IndexAt(int t) const { return RoundToInt(t * TimeDivisor()); }

void TInstGraph::SetMarker1(int index) {
  if (index < 0 || index >= WindowLength()) index = -1;
  marker1_ = index;
  marker2_ = -1;
}

int TInstGraph::SetMarker2(int index) {
  if (marker1_ < 0) {
    marker2_ = -1;
    return marker2_;
  }
  if (index < 0 || index >= WindowLength()) index = -1;
  if (index >= 0 && index < marker1_) {
    marker2_ = marker1_;
    marker1_ = index;
  } else {
    marker2_ = index;
  }
  return marker2_;
}

bool TInstGraph::MarkersValid() const {
  const int n = WindowLength();
  return marker1_ >= 0 && marker1_ < n && marker2_ >= 0 && marker2_ < n;
}

int TInstGraph::MarkerTimeMs() const {
  if (!MarkersValid()) return 0;
  return RoundToInt(DaysBetween(window_[marker1_].Time, window_[marker2_].Time) * kMsPerDay);
}

double TInstGraph::MarkerInstDelta() const {
  if (!MarkersValid()) return 0.0;
  return window_[marker2_].Inst - window_[marker1_].Inst;
}

double TInstGraph::MarkerSensorDelta() const {
  if (!MarkersValid()) return 0.0;
  return window_[marker2_].Sensor - window_[marker1_].Sensor;
}

void TInstGraph::Init() {
  const QSize area = Area();
  const qreal ratio = target_ ? target_->PixelRatio() : 1.0;
  bitmap_ = QImage(area * ratio, QImage::Format_RGB32);
  bitmap_.setDevicePixelRatio(ratio);
  drawn_.Valid = false;
  Clear();
}

void TInstGraph::Clear() {
  window_.clear();
  marker1_ = -1;
  marker2_ = -1;
  Redraw();
}

QPoint TInstGraph::MapPoint(int index, int span, double fraction) const {
  const int t = RoundToInt(index / TimeDivisor());
  int v = RoundToInt(span * fraction);
  v = std::clamp(v, 0, std::max(span, 0));
  v += 5;
  if (vertical_) return QPoint(v, t);
  return QPoint(t, span + 10 - v);
}

QImage& TInstGraph::Bitmap(const QSize& area, qreal ratio) {
  const QSize pixels = area * ratio;
  if (bitmap_.size() != pixels || bitmap_.devicePixelRatio() != ratio) {
    bitmap_ = QImage(pixels, QImage::Format_RGB32);
    bitmap_.setDevicePixelRatio(ratio);
    drawn_.Valid = false;
  }
  return bitmap_;
}

bool TInstGraph::TDrawn::operator==(const TDrawn& o) const {
  return Valid == o.Valid && Area == o.Area && Marker1 == o.Marker1 && Marker2 == o.Marker2 &&
         CursorX == o.CursorX && CursorY == o.CursorY && Divisor == o.Divisor &&
         Minimum == o.Minimum && Maximum == o.Maximum && Offset == o.Offset &&
         SensorMinimum == o.SensorMinimum && SensorMaximum == o.SensorMaximum;
}

TInstGraph::TDrawn TInstGraph::DrawingState(const QSize& area, qreal ratio) const {
  TDrawn d;
  // Columns stand for single records only at zoom 1 across, one device
  // pixel per logical one.
  d.Valid = instrument_ && !vertical_ && ratio == 1.0 && TimeDivisor() == 1.0;
  d.Area = area;
  d.Marker1 = marker1_;
  d.Marker2 = marker2_;
  d.CursorX = cursorX_;
  d.CursorY = cursorY_;
  d.Divisor = TimeDivisor();
  d.Length = WindowLength();
  d.Dropped = dropped_;
  if (instrument_) {
    d.Minimum = instrument_->Minimum;
    d.Maximum = instrument_->Maximum;
    d.Offset = instrument_->Offset;
    d.SensorMinimum = instrument_->Probe().Sensor().Minimum;
    d.SensorMaximum = instrument_->Probe().Sensor().Maximum;
  }
  return d;
}

void TInstGraph::DrawCurve(QImage& bitmap, int span, int extent, bool level, QRgb colour, int from,
                           int to, const QRect& clip) const {
  const int n = WindowLength();
  if (n == 0 || from > to) return;
  QPolygon& points = curvePoints_;
  points.clear();
  points.reserve(std::min(to - from + 1, extent + 2));
  for (int i = from; i <= to; ++i) {
    const TInstData& r = window_[i];
    const double f = level ? SensorFraction(r.Level) : ScaleFraction(r.Inst);
    QPoint p = MapPoint(i, span, f);
    const int t = vertical_ ? p.y() : p.x();
    if (t > extent + 1 && !points.isEmpty()) {
      // Beyond the plot: the segment is cut just past its edge, and records
      // further along are not drawn (at a small zoom factor their
      // coordinates grow without bound).
      const QPoint q = points.back();
      const int tq = vertical_ ? q.y() : q.x();
      const int vq = vertical_ ? q.x() : q.y();
      const int vp = vertical_ ? p.x() : p.y();
      const int edge = extent + 1;
      const int v = vq + RoundToInt(double(vp - vq) * (edge - tq) / double(t - tq));
      p = vertical_ ? QPoint(v, edge) : QPoint(edge, v);
      points.append(p);
      break;
    }
    points.append(p);
    if (t > extent) break;
  }

  // The segments are plotted straight into the image: a curve that swings
  // across the plot at every record is mostly steep runs, which the
  // painter's line drawing handles several times slower.
  const qreal ratio = bitmap.devicePixelRatio();
  const auto device = [ratio](const QPoint& p) {
    return QPoint(RoundToInt(p.x() * ratio), RoundToInt(p.y() * ratio));
  };
  QPoint a = device(points.first());
  PlotLine(bitmap, a, a, colour, clip);
  for (int k = 1; k < points.size(); ++k) {
    const QPoint b = device(points[k]);
    PlotLine(bitmap, a, b, colour, clip);
    a = b;
  }
}

void TInstGraph::PlotLine(QImage& bitmap, QPoint a, QPoint b, QRgb colour, const QRect& clip) {
  // Bresenham's line, both ends included, pixels outside the clip skipped.
  const int left = clip.left(), right = clip.right(), top = clip.top(), bottom = clip.bottom();
  const qsizetype stride = bitmap.bytesPerLine();
  uchar* const bits = bitmap.bits();
  const QRgb pixel = 0xFF000000u | colour;
  int x = a.x();
  int y = a.y();
  const int dx = std::abs(b.x() - x);
  const int dy = -std::abs(b.y() - y);
  const int sx = x < b.x() ? 1 : -1;
  const int sy = y < b.y() ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    if (x >= left && x <= right && y >= top && y <= bottom)
      reinterpret_cast<QRgb*>(bits + y * stride)[x] = pixel;
    if (x == b.x() && y == b.y()) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void TInstGraph::Draw(QImage& bitmap, const QSize& area, int left, int right) const {
  const int W = area.width();
  const int H = area.height();
  const int T = TimeExtent(area);
  const int V = ValueSpan(area);
  const int n = WindowLength();
  // Device pixels the drawing may touch, and the records whose segments
  // reach into them.
  QRect clip = bitmap.rect();
  int from = 0, to = n - 1;
  if (left >= 0) {
    clip &= QRect(left, 0, right - left + 1, bitmap.height());
    from = std::max(0, left - 1);
    to = std::min(n - 1, right + 1);
    QPainter fill(&bitmap);
    fill.fillRect(clip, Qt::white);
  } else {
    bitmap.fill(Qt::white);
  }
  // Cosmetic pens: one device pixel wide, like the plotted curves.
  QPen pen;
  pen.setWidth(0);
  pen.setCosmetic(true);
  {
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (left >= 0) painter.setClipRect(clip);
    const int c = ZeroPosition(V);
    pen.setColor(QColor(ZeroLineColor));
    painter.setPen(pen);
    if (vertical_)
      painter.drawLine(c, 0, c, H);
    else
      painter.drawLine(0, c, W, c);
  }

  DrawCurve(bitmap, V, T, true, LevelColor, from, to, clip);
  DrawCurve(bitmap, V, T, false, InstColor, from, to, clip);

  QPainter painter(&bitmap);
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (left >= 0) painter.setClipRect(clip);
  pen.setColor(QColor(MarkerColor));
  painter.setPen(pen);
  for (const int m : {marker1_, marker2_}) {
    if (m < 0 || m >= T) continue;
    const QPoint a = MapPoint(m, V, 0.0);
    const QPoint b = MapPoint(m, V, 1.0);
    if ((vertical_ ? a.y() : a.x()) > T) continue;  // beyond the plot
    painter.drawLine(a, b);
  }

  pen.setColor(QColor(CursorColor));
  painter.setPen(pen);
  if (vertical_)
    painter.drawLine(cursorX_, 0, cursorX_, H);
  else
    painter.drawLine(0, cursorY_, W, cursorY_);
}

void TInstGraph::Redraw() {
  if (!instrument_) return;
  const QSize area = Area();
  const qreal ratio = target_ ? target_->PixelRatio() : 1.0;
  QImage& bitmap = Bitmap(area, ratio);
  if (!bitmap.isNull()) Draw(bitmap, area);
  drawn_ = DrawingState(area, ratio);
  undrawn_ = 0;
  if (target_) target_->ShowChanged(bitmap, QRegion(QRect(QPoint(0, 0), area)));
}

void TInstGraph::AddReading(const TInstData& record) {
  // With no room at all the newest record is still kept.
  const int T = std::max(1, TimeExtent(Area()));
  const int N = WindowLength();
  if (N < T) {
    window_.emplace_back();
  } else {
    const int d = N - T + 1;
    window_.erase(window_.begin(), window_.begin() + d);
    window_.emplace_back();
    dropped_ += d;
    marker1_ -= d;
    if (marker1_ < 0) {
      marker1_ = -1;
      marker2_ = -1;
    } else {
      marker2_ -= d;
      if (marker2_ < 0) marker2_ = -1;
    }
  }
  CopyFields(window_.back(), record);
  ++undrawn_;
  if (Paused) {
    drawn_.Valid = false;
    return;
  }
  if (!Deferred) CatchUp();
}

void TInstGraph::CatchUp() {
  if (undrawn_ == 0 || Paused) return;
  // The picture as it stands can take the new records by drawing their
  // columns alone when nothing else it shows has changed: records added at
  // the end and, with the window full, as many dropped at the start, so
  // that everything moves that many pixels to the left, markers included.
  const QSize area = Area();
  const qreal ratio = target_ ? target_->PixelRatio() : 1.0;
  TDrawn now = DrawingState(area, ratio);
  const TDrawn before = drawn_;
  const long long moved = dropped_ - before.Dropped;
  const auto shifted = [moved](int was) { return was - moved < 0 ? -1 : int(was - moved); };
  if (moved > 0) {
    now.Marker1 = marker1_ == shifted(before.Marker1) ? before.Marker1 : -2;
    now.Marker2 = marker2_ == shifted(before.Marker2) ? before.Marker2 : -2;
  }
  const int W = area.width();
  if (!before.Valid || !(now == before) || moved >= W || bitmap_.isNull() ||
      bitmap_.size() != area) {
    Redraw();
    return;
  }
  const int s = static_cast<int>(moved);
  const int last = WindowLength() - 1;
  // The columns from the last record drawn before on take the new segments.
  const int left = std::max(0, before.Length - s - 1);
  if (s == 0) {
    Draw(bitmap_, area, left, last);
    drawn_ = DrawingState(area, ratio);
    undrawn_ = 0;
    if (target_) target_->ShowChanged(bitmap_, QRegion(left, 0, last - left + 1, area.height()));
    return;
  }
  // Everything moves s columns to the left; the first column loses the
  // segment of the last record dropped.
  uchar* bits = bitmap_.bits();
  const qsizetype stride = bitmap_.bytesPerLine();
  for (int y = 0; y < bitmap_.height(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(bits + y * stride);
    std::memmove(row, row + s, sizeof(QRgb) * (W - s));
  }
  Draw(bitmap_, area, 0, 0);
  Draw(bitmap_, area, left, W - 1);
  drawn_ = DrawingState(area, ratio);
  undrawn_ = 0;
  const int H = area.height();
  if (target_) target_->ShowScrolled(bitmap_, -s, QRegion(0, 0, 1, H) + QRegion(left, 0, W - left, H));
}

void TInstGraph::EndHover() { Redraw(); }

void TInstGraph::Hover(int x, int y) {
  const int t = vertical_ ? y : x;
  const int v = vertical_ ? x : y;
  cursorX_ = x;
  cursorY_ = y;

  const int index = IndexAt(t);
  if (instrument_ && index >= 0 && index < WindowLength()) {
    const TInstData& r = window_[index];
    const int V = ValueSpan(Area());
    const int zero = ZeroPosition(V);
    const QLocale locale = NumberLocale();

    int msOfDay = RoundToInt(r.Time * kMsPerDay) % 86400000;
    if (msOfDay < 0) msOfDay += 86400000;
    const QTime time = QTime::fromMSecsSinceStartOfDay(msOfDay);

    hint_ = QStringLiteral("Time = ") + locale.toString(time, TimeOfDayFormat(locale)) +
            QLatin1Char('.') + QString::number(time.msec()) +
            QStringLiteral("\nSensor = ") + locale.toString(r.Sensor, 'f', 3) +
            QStringLiteral("\nLevel = ") + locale.toString(r.Level, 'f', 3) +
            QStringLiteral("\nInst = ") + locale.toString(r.Inst, 'f', 1) +
            QStringLiteral(" (") + locale.toString(std::fabs(r.Inst), 'f', 1) +
            QStringLiteral("%)\nCursor = ") + locale.toString(double(zero - v), 'f', 1);
  } else {
    hint_.clear();
  }
  if (target_) target_->ShowHint(hint_);
}

double TInstGraph::ChangeOver(int ms, double TInstData::*field) const {
  if (ms <= 0 || window_.empty()) return 0.0;
  const TInstData& newest = window_.back();
  for (auto r = window_.rbegin(); r != window_.rend(); ++r) {
    const int e = RoundToInt(DaysBetween(r->Time, newest.Time) * kMsPerDay);
    if (e >= ms) return newest.*field - (*r).*field;
  }
  return 0.0;
}

double TInstGraph::InstChangeOver(int ms) const { return ChangeOver(ms, &TInstData::Inst); }
double TInstGraph::SensorChangeOver(int ms) const { return ChangeOver(ms, &TInstData::Sensor); }
