#include "indicators/Instdisplay.h"
#include "indicators/Colors.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPen>
#include <QLineF>
#include <QPolygon>
#include <QStringList>

#include <algorithm>
#include <cmath>

#include "sensor/Inst.h"
#include "sensor/Sens.h"
#include "sensor/Utils.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kInchesPerCentimetre = 0.3937007874;

// Design size of the gauge's face.
constexpr double kDesignWidth = 561.0;
constexpr double kDesignHeight = 401.0;
constexpr double kDesignPivotY = 356.0;

const QColor kGrey(128, 128, 128);
const QColor kLabelBlue(0, 0, 224);

// A width-2 line as the face's pens draw it: round ends, like a wide pen's.
QPen LinePen(const QColor& colour, int width) {
  return QPen(colour, width, Qt::SolidLine, width > 1 ? Qt::RoundCap : Qt::SquareCap,
              Qt::RoundJoin);
}

// Text drawn with its box centred on p: left = p.x - half the width,
// top = p.y - half the height, both halves truncated.
void TextCentredOn(QPainter& painter, const QFontMetrics& metrics, const QPoint& p,
                   const QString& text) {
  const int w = metrics.horizontalAdvance(text);
  const int h = metrics.height();
  painter.drawText(QPoint(p.x() - w / 2, p.y() - h / 2 + metrics.ascent()), text);
}

// A number in fixed-point notation without decimals ("-100", "0", "50").
QString WholeNumberText(double v) {
  QString s = QString::number(v, 'f', 0);
  if (s == QLatin1String("-0")) s = QStringLiteral("0");
  return s;
}

} // namespace

// ---------------------------------------------------------------------------

TIndicatorCanvas::~TIndicatorCanvas() = default;
void TIndicatorCanvas::ShowChanged(const QImage& picture, const QRegion&) { Show(picture); }

QImage& TIndicatorBuffer::Next(const QSize& size, qreal ratio) {
  if (!(ratio > 0.0)) ratio = 1.0;
  const QSize pixels(int(std::ceil(size.width() * ratio - 1e-9)),
                     int(std::ceil(size.height() * ratio - 1e-9)));
  isFresh_ = picture_.size() != pixels || picture_.devicePixelRatio() != ratio;
  if (isFresh_) {
    picture_ = QImage(pixels, QImage::Format_RGB32);
    picture_.setDevicePixelRatio(ratio);
  }
  return picture_;
}

int TruncPixels(double x) {
  if (std::isnan(x)) return 0;
  constexpr double kLimit = 1.0e6;
  return static_cast<int>(std::clamp(x, -kLimit, kLimit));
}

int FontPixelSize(int points, qreal dpi) { return std::max(1, RoundToInt(points * dpi / 72.0)); }

QFont IndicatorFont(int points, qreal dpi) {
  QFont font;
  // Metric-compatible faces stand in where the classic one is not installed.
  font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                    QStringLiteral("Tinos"), QStringLiteral("DejaVu Serif")});
  font.setStyleHint(QFont::Serif);
  font.setPixelSize(FontPixelSize(points, dpi));
  font.setBold(true);
  return font;
}

// ---------------------------------------------------------------------------

TInstInd::TInstInd(const TInstrument& instrument) : instrument_(instrument) {}
TInstInd::~TInstInd() = default;

int TGaugeLayout::Radius(double centimetres, double s, qreal dpi) {
  return TruncPixels(dpi * (centimetres * s) * kInchesPerCentimetre);
}

TGaugeLayout TGaugeLayout::For(int width, int height, qreal dpi) {
  TGaugeLayout g;
  const double sx = width / kDesignWidth;
  const double sy = height / kDesignHeight;
  g.S = std::min(sx, sy);
  g.Cx = width / 2;
  g.Cy = TruncPixels(kDesignPivotY * sy);
  g.TickInner = Radius(7.5, g.S, dpi);
  g.TickOuter = Radius(8.0, g.S, dpi);
  g.LabelRadius = Radius(8.5, g.S, dpi);
  g.NeedleRadius = Radius(7.0, g.S, dpi);
  g.HubRadius = TruncPixels(10.0 * g.S + 0.5);
  return g;
}

QPoint TGaugeLayout::PointAt(int r, double f) const {
  const double a = (140.0 - 100.0 * f) * kPi / 180.0;
  return QPoint(Cx + TruncPixels(std::cos(a) * r), Cy - TruncPixels(std::sin(a) * r));
}

TInstIndGaugeV1::TInstIndGaugeV1(const TInstrument& instrument, TIndicatorCanvas& image,
                                 const QString& scaleFile)
    : TInstInd(instrument), image_(image) {
  // An unreadable file is treated like a missing one.
  if (!QFileInfo::exists(scaleFile) || !scale_.load(scaleFile)) {
    scale_ = QImage(100, 100, QImage::Format_RGB32);
    scale_.fill(QColor(0, 0, 255));
  }
  Draw();
}

QString TInstIndGaugeV1::DefaultScaleFile() {
  return QString::fromStdString(ExecutableDir()) + QStringLiteral("scale.bmp");
}

void TInstIndGaugeV1::Draw() {
  const QSize size = image_.LogicalSize();
  if (size.isEmpty()) return;
  const qreal dpi = image_.LogicalDpi();
  const TGaugeLayout g = TGaugeLayout::For(size.width(), size.height(), dpi);

  const double min = instrument_.Minimum;
  const double max = instrument_.Maximum;
  const double step = instrument_.Step;
  const double value = instrument_.Data().Inst;

  // Division indices of the scale's ends.
  const int lo = TruncPixels(min / step);
  const int hi = TruncPixels(max / step);
  const int n = hi - lo;
  const auto fraction = [n](int i) { return n != 0 ? double(i) / n : 0.0; };
  const double f = max != min ? (value - min) / (max - min) : 0.0;

  TFace face;
  face.Size = size;
  face.Dpi = dpi;
  face.Minimum = min;
  face.Maximum = max;
  face.Step = step;
  face.Pivot = QPoint(g.Cx, g.Cy);
  face.NeedleEnd = g.PointAt(g.NeedleRadius, f);

  QImage& picture = buffer_.Next(size, image_.PixelRatio());
  const QRect whole(QPoint(0, 0), size);
  QRegion changed(whole);
  if (!buffer_.Fresh() && face == drawn_) {
    image_.ShowChanged(picture, QRegion());
    return;
  }
  if (!buffer_.Fresh()) {
    TFace needleOnly = drawn_;
    needleOnly.NeedleEnd = face.NeedleEnd;
    if (needleOnly == face) {
      // Only the needle moved: the face is painted again along the old and
      // the new needle, in short pieces so the region hugs the lines.
      changed = QRegion();
      for (const QPoint& end : {drawn_.NeedleEnd, face.NeedleEnd}) {
        const QPoint from = face.Pivot;
        const int pieces = std::max(1, int(QLineF(from, end).length() / 16.0) + 1);
        for (int k = 0; k < pieces; ++k) {
          const QPointF a = from + (end - from) * (double(k) / pieces);
          const QPointF b = from + (end - from) * (double(k + 1) / pieces);
          changed += QRectF(a, b).normalized().toAlignedRect().adjusted(-3, -3, 3, 3);
        }
      }
      changed &= whole;
    }
  }
  drawn_ = face;

  QPainter painter(&picture);
  if (changed != QRegion(whole)) painter.setClipRegion(changed);
  painter.setRenderHint(QPainter::Antialiasing);

  // Background: the whole picture, so no earlier needle stays.
  painter.fillRect(QRectF(QPointF(0, 0), picture.deviceIndependentSize()), Qt::white);

  // Ticks, all of one length.
  painter.setPen(LinePen(Qt::black, 2));
  for (int i = 0; i <= n; ++i)
    painter.drawLine(g.PointAt(g.TickInner, fraction(i)), g.PointAt(g.TickOuter, fraction(i)));

  // Labels on every fifth division counted from zero.
  painter.setPen(LinePen(Qt::black, 1));
  painter.setBrush(Qt::NoBrush);
  const QFont font = IndicatorFont(12, dpi);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  for (int h = lo; h <= hi; ++h) {
    if (h % 5 != 0) continue;
    TextCentredOn(painter, metrics, g.PointAt(g.LabelRadius, fraction(h - lo)),
                  WholeNumberText(h * step));
  }

  // Needle.
  painter.setPen(LinePen(Qt::black, 2));
  painter.drawLine(face.Pivot, face.NeedleEnd);

  // Hub.
  painter.setPen(LinePen(Qt::black, 1));
  painter.setBrush(Qt::black);
  const int r = g.HubRadius;
  painter.drawEllipse(QRectF(g.Cx - r, g.Cy - r, 2 * r, 2 * r));
  painter.end();

  image_.ShowChanged(picture, changed);
}

bool TInstIndGaugeV1::TFace::operator==(const TFace& o) const {
  return Size == o.Size && Dpi == o.Dpi && Minimum == o.Minimum && Maximum == o.Maximum &&
         Step == o.Step && Pivot == o.Pivot && NeedleEnd == o.NeedleEnd;
}

bool TLevelCtrlV1::TFace::operator==(const TFace& o) const {
  return Size == o.Size && Dpi == o.Dpi && Parent == o.Parent && Origin == o.Origin &&
         Tile == o.Tile && Lo == o.Lo && Hi == o.Hi && Lit == o.Lit && Tip == o.Tip &&
         Base == o.Base && Left == o.Left && Right == o.Right && Text == o.Text &&
         Caption == o.Caption;
}

// ---------------------------------------------------------------------------

TLevelCtrl::TLevelCtrl(TInstrument& instrument) : instrument_(instrument) {}
TLevelCtrl::~TLevelCtrl() = default;

TLevelCtrlV1::TLevelCtrlV1(TInstrument& instrument, TIndicatorCanvas& image,
                           const QString& caption, const QImage* backgroundTile)
    : TLevelCtrl(instrument), image_(image), backgroundTile_(backgroundTile),
      captionText_(caption.trimmed()) {
  Draw();
}

double TLevelCtrlV1::AngleAt(double x, int n) {
  if (n == 0) return kPi / 2;
  return (n - x) / n * 1.5 * kPi - kPi / 4;
}

QPoint TLevelCtrlV1::PointAt(int cx, int cy, double r, double a) {
  return QPoint(cx + TruncPixels(std::cos(a) * r), cy - TruncPixels(std::sin(a) * r));
}

void TLevelCtrlV1::Draw() {
  const QSize size = image_.LogicalSize();
  if (size.isEmpty()) return;
  const qreal dpi = image_.LogicalDpi();
  const int cx = size.width() / 2;
  const int cy = size.height() / 2;

  const TSensor& sensor = instrument_.Probe().Sensor();
  const double level = instrument_.Probe().Level;
  const double step = sensor.Step;
  const int lo = TruncPixels(sensor.Minimum / step + 0.5);
  const int hi = TruncPixels(sensor.Maximum / step + 0.5);
  const int n = hi - lo;
  // The level in divisions, not clamped: outside the scale it stands in the gap.
  const double d = (level - sensor.Minimum) / step;
  const auto at = [cx, cy](double r, double a) { return PointAt(cx, cy, r, a); };
  const double a = AngleAt(d, n);

  TFace face;
  face.Size = size;
  face.Dpi = dpi;
  face.Parent = image_.ParentColor();
  face.Tile = backgroundTile_ && !backgroundTile_->isNull() ? backgroundTile_ : nullptr;
  if (face.Tile) face.Origin = image_.Origin();
  face.Lo = lo;
  face.Hi = hi;
  for (int i = 0; i <= n; ++i) face.Lit.push_back(d - 2.5 <= i && i <= d + 2.5);
  face.Tip = at(PointerTip, a);
  face.Base = at(PointerBase, a);
  face.Left = at(PointerBase, a - kPi / 12);
  face.Right = at(PointerBase, a + kPi / 12);
  face.Text = QLocale().toString(level, 'f', 2);
  if (!captionText_.isEmpty() && captionPos_ >= 1 && captionPos_ <= captionText_.size())
    face.Caption = captionText_.mid(captionPos_ - 1, 1);
  lastLevelText_ = face.Text;

  QImage& picture = buffer_.Next(size, image_.PixelRatio());
  if (!buffer_.Fresh() && face == drawn_) {
    image_.ShowChanged(picture, QRegion());
    return;
  }
  drawn_ = face;
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);

  // Background: the tile in line with the parent's, or the parent's colour.
  const QRectF whole(QPointF(0, 0), picture.deviceIndependentSize());
  painter.fillRect(whole, image_.ParentColor());
  if (backgroundTile_ && !backgroundTile_->isNull()) {
    const QSizeF tile = backgroundTile_->deviceIndependentSize();
    const int tw = std::max(1, int(tile.width()));
    const int th = std::max(1, int(tile.height()));
    const QPoint origin = image_.Origin();
    const int left = origin.x(), top = origin.y();
    const auto floorTo = [](int v, int t) { return (v / t) * t; };
    for (int x = floorTo(left, tw); x <= floorTo(left + size.width(), tw); x += tw)
      for (int y = floorTo(top, th); y <= floorTo(top + size.height(), th); y += th)
        painter.drawImage(QPoint(x - left, y - top), *backgroundTile_);
  }

  // Ticks: white within two and a half divisions of the level.
  for (int i = 0; i <= n; ++i) {
    const bool lit = d - 2.5 <= i && i <= d + 2.5;
    painter.setPen(LinePen(lit ? Qt::white : Qt::black, 2));
    const double a = AngleAt(i, n);
    const int inner = i % 5 == 0 ? MajorTickInner : MinorTickInner;
    painter.drawLine(at(inner, a), at(TickOuter, a));
  }

  // Labels on the major ticks: the division numbers.
  QFont font = IndicatorFont(12, dpi);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(LinePen(kLabelBlue, 1));
  for (int i = 0; i <= n; i += 5) {
    QPoint p = at(LabelRadius, AngleAt(i, n));
    p.ry() += 3;
    TextCentredOn(painter, metrics, p, QString::number(i + lo));
  }

  // Pointer: a grey triangle with its tip on the tick ring, and its axis.
  painter.setPen(LinePen(Qt::black, 1));
  painter.setBrush(kGrey);
  const QPolygon pointer({at(PointerBase, a - kPi / 12), at(PointerTip, a),
                          at(PointerBase, a + kPi / 12), at(PointerBase, a - kPi / 12)});
  painter.drawPolygon(pointer);
  painter.drawLine(at(PointerTip, a), at(PointerBase, a));

  // Hub over the pointer's base: a grey ring round a black disc.
  painter.setPen(LinePen(Silver(), 1));
  painter.setBrush(kGrey);
  painter.drawEllipse(QRectF(cx - HubRadius, cy - HubRadius, 2 * HubRadius, 2 * HubRadius));
  painter.setBrush(Qt::black);
  painter.drawEllipse(QRectF(cx - DiscRadius, cy - DiscRadius, 2 * DiscRadius, 2 * DiscRadius));

  // The level, two decimals in the user's notation.
  painter.setBrush(Qt::NoBrush);
  painter.setPen(LinePen(Qt::white, 1));
  TextCentredOn(painter, metrics, QPoint(cx, cy), lastLevelText_);

  // Caption letter below the hub.
  if (!captionText_.isEmpty() && captionPos_ >= 1 && captionPos_ <= captionText_.size()) {
    painter.setPen(LinePen(Qt::black, 1));
    TextCentredOn(painter, metrics, QPoint(cx, cy + 55), captionText_.mid(captionPos_ - 1, 1));
  }
  painter.end();

  image_.ShowChanged(picture, QRect(QPoint(0, 0), size));
}

void TLevelCtrlV1::SetLevelAt(int X, int Y) {
  const TSensor& sensor = instrument_.Probe().Sensor();
  // Integer parts of the raw sensor bounds.
  const int lo = TruncPixels(sensor.Minimum);
  const int hi = TruncPixels(sensor.Maximum);
  const int range = hi - lo;
  if (!isDragging_) return;

  const QSize size = image_.LogicalSize();
  const int cx = size.width() / 2;
  const int cy = size.height() / 2;
  const double dx = X - cx;
  const double dy = Y - cy;
  const double dist = std::sqrt(dx * dx + dy * dy);
  if (!(RingInner < dist && dist < RingOuter)) return;

  // Angle counted upward, with the gap split at straight down.
  double t = std::atan2(double(cy - Y), double(X - cx));
  if (t < -kPi / 2) t += 2 * kPi;
  t += kPi / 4;

  const double v = range - t * (2.0 / (3.0 * kPi)) * range;
  if (!(-2.5 <= v && v <= range + 2.5)) return;

  instrument_.Probe().Level = lo + v;
  Draw();
}

void TLevelCtrlV1::MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) {
  isDragging_ = true;
  SetLevelAt(X, Y);
}

void TLevelCtrlV1::MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) {
  SetLevelAt(X, Y);
  isDragging_ = false;
}

void TLevelCtrlV1::MouseMove(Qt::KeyboardModifiers, int X, int Y) { SetLevelAt(X, Y); }
