#include "indicators/DrumPainter.h"

#include <algorithm>
#include <optional>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include "indicators/DrumGeometry.h"
#include "sensor/Utils.h"

namespace {

const QColor Silver(192, 192, 192);
const QColor Magenta(255, 0, 255);
const QColor White(255, 255, 255);
const QColor TextBlue(0, 0, 255);

constexpr int SmallestTextPoints = 6;
constexpr int WindowMargin = 10;  // the window's ring reaches this far beyond the circle

// Number of characters as the user sees them (a character outside the basic
// plane counts once).
int CharacterCount(const QString& text) {
  int count = 0;
  for (int i = 0; i < text.size(); ++i) {
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
    ++count;
  }
  return count;
}

// A filled circle with a one-pixel black outline whose outer edge lies at
// radius around the pixel corner centre, like a circle in a bounding box
// from centre - radius to centre + radius.
void DrawCircle(QPainter& painter, const QPoint& centre, int radius, const QColor& fill) {
  painter.setBrush(fill);
  painter.drawEllipse(QPointF(centre), radius - 0.5, radius - 0.5);
}

// Font and metrics of one text size, made once per picture for the size e
// that nearly every symbol uses.
struct TTextFont {
  QFont Font;
  QFontMetrics Metrics;
  explicit TTextFont(int points) : Font(DrumFont(points)), Metrics(Font) {}
};

// The text centred on the circle's centre, over a background of the circle's
// fill colour.
void DrawSymbolText(QPainter& painter, const QString& text, const QPoint& centre, int e, const QColor& fill,
                    const TTextFont& atE) {
  if (text.isEmpty()) return;
  const int points = CharacterCount(text) > 1 ? DrumTextPoints(text, e) : e;
  std::optional<TTextFont> fitted;
  if (points != e) fitted.emplace(points);
  const TTextFont& font = fitted ? *fitted : atE;
  const int width = font.Metrics.horizontalAdvance(text);
  const int height = font.Metrics.height();
  const int left = centre.x() - width / 2;
  const int top = centre.y() - height / 2;
  painter.fillRect(QRect(left, top, width, height), fill);
  painter.setFont(font.Font);
  painter.drawText(QPoint(left, top + font.Metrics.ascent()), text);
}

}  // namespace

int DrumFontPixels(int points) { return RoundToInt(points * 96.0 / 72.0); }

QFont DrumFont(int points) {
  QFont font(QStringLiteral("Arial"));
  font.setStyleHint(QFont::SansSerif);  // a sans-serif face where Arial is missing
  font.setBold(true);
  font.setPixelSize(std::max(1, DrumFontPixels(points)));
  return font;
}

int DrumTextPoints(const QString& text, int e) {
  const int s = e;
  if (CharacterCount(text) <= 1) return s;
  const int w = QFontMetrics(DrumFont(s)).horizontalAdvance(text + QLatin1Char('O'));
  if (w <= 0) return s;
  int size = RoundToInt(2.0 * e / w * s);
  if (size < SmallestTextPoints) size = SmallestTextPoints;
  if (size > s) size = s;
  return size;
}

void PaintDrum(QImage& image, const TDrumScene& scene) {
  if (image.isNull()) return;
  const QColor background =
      scene.Background.isValid() ? scene.Background : QGuiApplication::palette().color(QPalette::Button);
  image.fill(background);

  const qreal ratio = image.devicePixelRatio();
  const int width = RoundToInt(image.width() / ratio);
  const int height = RoundToInt(image.height() / ratio);
  TDrumState state;
  state.Position = scene.Position;
  state.Phase = scene.Phase;
  state.Running = scene.Running;
  state.FixedWindow = scene.FixedWindow;
  state.Target = scene.Target;
  const TDrumLayout layout = DrumLayout(width, height, static_cast<int>(scene.Symbols.size()), state);
  if (layout.Places.empty()) return;
  const int e = layout.Geometry.E;

  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const QPen outline(Qt::black, 1);
  const QPen text(TextBlue);
  painter.setPen(outline);
  const TTextFont atE(e);

  // The window's circle is white while its symbol can be taken at leisure:
  // no session, or a rest in slow mode.
  const bool windowSilver = scene.Running && (scene.Phase > 0 || scene.FastMode);
  for (std::size_t r = 0; r < layout.Places.size(); ++r) {
    const TDrumPlace& place = layout.Places[r];
    QColor fill = Silver;
    if (r == 0) {
      DrawCircle(painter, layout.Window, e + WindowMargin, Magenta);
      fill = windowSilver ? Silver : White;
    }
    DrawCircle(painter, place.Centre, e, fill);
    painter.setPen(text);
    DrawSymbolText(painter, scene.Symbols.at(place.Symbol), place.Centre, e, fill, atE);
    painter.setPen(outline);
  }
}
