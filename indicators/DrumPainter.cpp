#include "indicators/DrumPainter.h"
#include "indicators/Colors.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include "indicators/DrumGeometry.h"
#include "sensor/Utils.h"

namespace {

const QColor Magenta(255, 0, 255);
const QColor White(255, 255, 255);
const QColor TextBlue(0, 0, 255);
// Fills of the circles of the coming rests, the next one strongest; blue
// text stays readable on every one of them, and none is the white of the
// window's circle at rest.
const QColor ComingFills[DrumComingMarks] = {QColor(255, 200, 0), QColor(255, 222, 70),
                                             QColor(255, 236, 130), QColor(250, 242, 175)};

// The other members of the group in the window.
const QColor GroupFill(255, 180, 255);

constexpr int SmallestTextPoints = 6;
constexpr int WindowMargin = DrumWindowMargin;

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

}  // namespace

// A symbol's text as drawn on circles of one radius: its font and where it
// lies relative to the circle's centre.
struct TDrumPainter::TText {
  QString Text;
  QFont Font;
  QRect Box;   // the background box, relative to the centre
  int Baseline = 0;
  QRect Ink;   // everything the text may touch, relative to the centre
};

// One thing drawn: the window's ring (Symbol -1) or a symbol's circle.
struct TDrumPainter::TItem {
  QPoint Centre;
  int Radius = 0;
  QRgb Fill = 0;
  int Symbol = -1;
  int Mark = 0;        // place in the coming order, 0 for none
  QPoint MarkCentre;   // centre of the badge that shows it
  int MarkRadius = 0;  // 0: no badge, no room for one
  QRect Bounds;  // every pixel the item may touch

  bool operator==(const TItem& o) const {
    return Centre == o.Centre && Radius == o.Radius && Fill == o.Fill && Symbol == o.Symbol &&
           Mark == o.Mark;
  }
};

namespace {

using TText = TDrumPainter::TText;
using TItem = TDrumPainter::TItem;

// Texts of the table for circles of radius e; the fonts of size e are made
// once for all single letters.
std::vector<TText> SymbolTexts(const QStringList& symbols, int e) {
  std::vector<TText> texts;
  texts.reserve(symbols.size());
  const QFont atE = DrumFont(e);
  const QFontMetrics atEMetrics(atE);
  for (const QString& symbol : symbols) {
    TText t;
    t.Text = symbol;
    if (!symbol.isEmpty()) {
      const int points = CharacterCount(symbol) > 1 ? DrumTextPoints(symbol, e) : e;
      t.Font = points == e ? atE : DrumFont(points);
      const QFontMetrics metrics = points == e ? atEMetrics : QFontMetrics(t.Font);
      const int width = metrics.horizontalAdvance(symbol);
      const int height = metrics.height();
      t.Box = QRect(-(width / 2), -(height / 2), width, height);
      t.Baseline = t.Box.top() + metrics.ascent();
      t.Ink = t.Box.united(metrics.boundingRect(symbol).translated(t.Box.left(), t.Baseline))
                  .adjusted(-2, -2, 2, 2);
    }
    texts.push_back(t);
  }
  return texts;
}

// The window's ring and the symbol circles of a layout, in drawing order.
std::vector<TItem> DrumItems(const TDrumLayout& layout, const TDrumScene& scene,
                             const std::vector<TText>& texts) {
  std::vector<TItem> items;
  if (layout.Places.empty()) return items;
  const int e = layout.Geometry.E;
  items.reserve(layout.Places.size() + 1);
  const auto circle = [](const QPoint& c, int radius) {
    return QRect(c.x() - radius - 2, c.y() - radius - 2, 2 * radius + 4, 2 * radius + 4);
  };
  // The window's circle is white while its symbol can be taken at leisure:
  // no session, or a rest in slow mode.
  const bool windowSilver = scene.Running && (scene.Phase > 0 || scene.FastMode);
  // The place of every symbol in the coming order; the window's own symbol
  // is in sight already.
  std::vector<int> marks;
  if (!scene.Coming.isEmpty()) {
    marks.assign(layout.Places.size(), 0);
    const int windowSymbol = layout.Places.front().Symbol;
    for (int k = 0; k < std::min<int>(DrumComingMarks, scene.Coming.size()); ++k) {
      const int symbol = scene.Coming.at(k) - 1;
      if (symbol >= 0 && symbol < static_cast<int>(marks.size()) && symbol != windowSymbol &&
          marks[symbol] == 0)
        marks[symbol] = k + 1;
    }
  }
  if (!scene.ComingGroups.isEmpty() || !scene.Group.isEmpty()) {
    marks.assign(layout.Places.size(), 0);
    const int windowSymbol = layout.Places.front().Symbol;
    for (int k = 0; k < std::min<int>(DrumComingMarks, scene.ComingGroups.size()); ++k)
      for (const int member : scene.ComingGroups.at(k)) {
        const int symbol = member - 1;
        if (symbol >= 0 && symbol < static_cast<int>(marks.size()) && symbol != windowSymbol &&
            marks[symbol] == 0)
          marks[symbol] = k + 1;
      }
  }
  std::vector<bool> inGroup(layout.Places.size(), false);
  for (const int member : scene.Group)
    if (member >= 1 && member <= static_cast<int>(inGroup.size())) inGroup[member - 1] = true;
  const int markRadius = marks.empty() ? 0 : DrumMarkRadius(layout.Geometry);
  for (std::size_t r = 0; r < layout.Places.size(); ++r) {
    const TDrumPlace& place = layout.Places[r];
    QColor fill = Silver();
    if (r == 0) {
      TItem ring;
      ring.Centre = layout.Window;
      ring.Radius = e + WindowMargin;
      ring.Fill = Magenta.rgb();
      ring.Bounds = circle(ring.Centre, ring.Radius);
      items.push_back(ring);
      fill = windowSilver ? Silver() : White;
    }
    TItem item;
    item.Centre = place.Centre;
    item.Radius = e;
    item.Symbol = place.Symbol;
    item.Bounds = circle(place.Centre, e);
    if (r > 0 && inGroup[place.Symbol]) fill = GroupFill;
    if (!marks.empty() && marks[place.Symbol] > 0) {
      item.Mark = marks[place.Symbol];
      fill = ComingFills[item.Mark - 1];
      if (markRadius > 0) {
        item.MarkRadius = markRadius;
        item.MarkCentre = DrumMarkPoint(layout.Geometry, place.Centre);
        item.Bounds |= circle(item.MarkCentre, markRadius);
      }
    }
    item.Fill = fill.rgb();
    const TText& text = texts[place.Symbol];
    if (!text.Text.isEmpty()) item.Bounds |= text.Ink.translated(place.Centre);
    items.push_back(item);
  }
  return items;
}

// Draws the items over the background. Without a region everything is
// drawn. With one, the region is filled with the background and only the
// items that reach into it are drawn: clipped to it, or, with clip off,
// whole (they must then lie inside it).
void DrawItems(QImage& image, const QColor& background, const std::vector<TItem>& items,
               const std::vector<TText>& texts, const QRegion* region, bool clip = true) {
  QPainter painter(&image);
  if (region) {
    if (clip) painter.setClipRegion(*region);
    for (const QRect& r : *region) painter.fillRect(r, background);
  }
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const QPen outline(Qt::black, 1);
  const QPen textPen(TextBlue);
  painter.setPen(outline);
  // The badges first: a long text that reaches beyond its circle is drawn
  // over them, never under.
  QFont markFont;
  for (const TItem& item : items) {
    if (item.MarkRadius == 0 || (region && !region->intersects(item.Bounds))) continue;
    if (markFont.pixelSize() != DrumMarkFontPixels(item.MarkRadius)) {
      markFont = DrumFont(1);
      markFont.setPixelSize(DrumMarkFontPixels(item.MarkRadius));
      painter.setFont(markFont);
    }
    DrawCircle(painter, item.MarkCentre, item.MarkRadius, QColor(item.Fill));
    const QRect box(item.MarkCentre.x() - item.MarkRadius, item.MarkCentre.y() - item.MarkRadius,
                    2 * item.MarkRadius + 1, 2 * item.MarkRadius + 1);
    painter.drawText(box, Qt::AlignCenter, QString::number(item.Mark));
  }
  for (const TItem& item : items) {
    if (region && !region->intersects(item.Bounds)) continue;
    DrawCircle(painter, item.Centre, item.Radius, QColor(item.Fill));
    if (item.Symbol < 0) continue;
    const TText& text = texts[item.Symbol];
    if (text.Text.isEmpty()) continue;
    // The text over a background of its circle's fill.
    painter.setPen(textPen);
    painter.fillRect(text.Box.translated(item.Centre), QColor(item.Fill));
    painter.setFont(text.Font);
    painter.drawText(item.Centre + QPoint(text.Box.left(), text.Baseline), text.Text);
    painter.setPen(outline);
  }
}

// A few rectangles covering rects, in bands of rows: every band holds the
// merged spans of the rectangles that reach into it. Built in band order, so
// the region grows by appending.
QRegion BandCover(std::vector<QRect> rects, const QRect& whole) {
  constexpr int Band = 32;
  QRegion cover;
  if (rects.empty()) return cover;
  int top = whole.bottom() + 1, bottom = whole.top() - 1;
  for (QRect& r : rects) {
    r &= whole;
    if (r.isEmpty()) continue;
    top = std::min(top, r.top());
    bottom = std::max(bottom, r.bottom());
  }
  std::sort(rects.begin(), rects.end(),
            [](const QRect& a, const QRect& b) { return a.left() < b.left(); });
  for (int y = top; y <= bottom; y += Band) {
    const QRect band(whole.left(), y, whole.width(), std::min(Band, bottom + 1 - y));
    int left = 0, right = -1;  // the span being merged
    for (const QRect& r : rects) {
      if (r.isEmpty() || !r.intersects(band)) continue;
      if (right >= left && r.left() <= right + 1) {
        right = std::max(right, r.right());
        continue;
      }
      if (right >= left) cover += QRect(QPoint(left, band.top()), QPoint(right, band.bottom()));
      left = r.left();
      right = r.right();
    }
    if (right >= left) cover += QRect(QPoint(left, band.top()), QPoint(right, band.bottom()));
  }
  return cover;
}

// The rectangles whose pixels differ between the pictures of two item lists
// of one table: an item that moved or changed its fill (where it was and
// where it is), and the overlap of two items drawn in the other order.
// Outside them every pixel is covered by the same items in the same order.
std::vector<QRect> Changes(const std::vector<TItem>& before, const std::vector<TItem>& after) {
  std::vector<QRect> changes;
  const auto change = [&changes](const TItem& was, const TItem& is) {
    if (was == is) return;
    changes.push_back(was.Bounds);
    changes.push_back(is.Bounds);
  };
  // Where each item of after stood in before, found by its symbol (the
  // window's ring is symbol -1).
  std::vector<int> place(before.size() + 1, -1);
  for (std::size_t i = 0; i < before.size(); ++i) {
    const std::size_t s = static_cast<std::size_t>(before[i].Symbol + 1);
    if (s < place.size()) place[s] = static_cast<int>(i);
  }
  std::vector<int> from(after.size(), -1);
  for (std::size_t i = 0; i < after.size(); ++i) {
    const std::size_t s = static_cast<std::size_t>(after[i].Symbol + 1);
    if (s < place.size()) from[i] = place[s];
    if (from[i] < 0) {
      // Not the same symbols: item by item in drawing order.
      changes.clear();
      for (std::size_t k = 0; k < after.size(); ++k) change(before[k], after[k]);
      return changes;
    }
  }
  for (std::size_t i = 0; i < after.size(); ++i) change(before[static_cast<std::size_t>(from[i])], after[i]);
  for (std::size_t i = 0; i < after.size(); ++i)
    for (std::size_t j = i + 1; j < after.size(); ++j)
      if (from[i] > from[j] && after[i].Bounds.intersects(after[j].Bounds))
        changes.push_back(after[i].Bounds & after[j].Bounds);
  return changes;
}

// What identifies a frame: the items before and after it.
QByteArray FrameKey(const std::vector<TItem>& before, const std::vector<TItem>& after) {
  QByteArray key;
  key.reserve(static_cast<int>((before.size() + after.size()) * 6 * sizeof(int)));
  const auto add = [&key](const std::vector<TItem>& items) {
    for (const TItem& item : items) {
      const int values[] = {item.Centre.x(), item.Centre.y(), item.Radius,
                            static_cast<int>(item.Fill), item.Symbol, item.Mark};
      key.append(reinterpret_cast<const char*>(values), sizeof values);
    }
  };
  add(before);
  add(after);
  return key;
}

// Pixels of rect (in the picture's pixels) copied from one picture to another.
void CopyPixels(const QImage& from, const QPoint& fromAt, QImage& to, const QRect& rect) {
  const int bytes = rect.width() * 4;
  for (int y = 0; y < rect.height(); ++y)
    std::memcpy(to.scanLine(rect.top() + y) + rect.left() * 4,
                from.constScanLine(fromAt.y() + y) + fromAt.x() * 4, bytes);
}

constexpr std::size_t FrameBudget = 16u << 20;  // bytes of frames kept

TDrumLayout SceneLayout(const QImage& image, const TDrumScene& scene) {
  const qreal ratio = image.devicePixelRatio();
  const int width = RoundToInt(image.width() / ratio);
  const int height = RoundToInt(image.height() / ratio);
  return DrumLayout(width, height, static_cast<int>(scene.Symbols.size()), scene);
}

QColor SceneBackground(const TDrumScene& scene) {
  return scene.Background.isValid() ? scene.Background
                                    : QGuiApplication::palette().color(QPalette::Button);
}

}  // namespace

int DrumFontPixels(int points) { return RoundToInt(points * 96.0 / 72.0); }

int DrumMarkFontPixels(int radius) { return RoundToInt(radius * 1.5); }

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
  const QColor background = SceneBackground(scene);
  image.fill(background);
  const TDrumLayout layout = SceneLayout(image, scene);
  if (layout.Places.empty()) return;
  const std::vector<TText> texts = SymbolTexts(scene.Symbols, layout.Geometry.E);
  DrawItems(image, background, DrumItems(layout, scene, texts), texts, nullptr);
}

TDrumPainter::TDrumPainter() = default;
TDrumPainter::~TDrumPainter() = default;

void TDrumPainter::Invalidate() { valid_ = false; }

QRegion TDrumPainter::Paint(QImage& picture, const TDrumScene& scene) {
  if (picture.isNull()) return QRegion();
  const QColor background = SceneBackground(scene);
  const TDrumLayout layout = SceneLayout(picture, scene);
  const int e = layout.Geometry.E;
  const bool same = valid_ && pixels_ == picture.size() && ratio_ == picture.devicePixelRatio() &&
                    background_ == background && symbols_ == scene.Symbols;
  if (!same || e_ != e) {
    texts_ = SymbolTexts(scene.Symbols, e);
    e_ = e;
    frames_.clear();
    frameBytes_ = 0;
  }
  std::vector<TItem> items = DrumItems(layout, scene, texts_);

  const QRect whole(QPoint(0, 0), picture.deviceIndependentSize().toSize());
  if (!same || items.size() != items_.size()) {
    picture.fill(background);
    DrawItems(picture, background, items, texts_, nullptr);
    valid_ = true;
    pixels_ = picture.size();
    ratio_ = picture.devicePixelRatio();
    background_ = background;
    symbols_ = scene.Symbols;
    items_ = std::move(items);
    return QRegion(whole);
  }

  if (items == items_) return QRegion();
  QByteArray key = FrameKey(items_, items);
  const auto found = frames_.find(key);
  if (found != frames_.end()) {
    const TFrame& frame = found->second;
    CopyPixels(frame.Patch, QPoint(0, 0), picture, frame.Pixels);
    items_ = std::move(items);
    ++reused_;
    return frame.Changed;
  }
  // What changed: the items that moved or changed their fill, where they
  // were and where they are now, and where two items that may overlap are
  // drawn in the other order (the moving window's symbol is drawn first, so
  // the order turns with the window at every step).
  const std::vector<QRect> changes = Changes(items_, items);
  if (changes.size() >= items.size()) {
    // About half the circles or more moved (the symbols turning under a
    // fixed window): the ring is cleared and every item drawn whole,
    // without a clip; such frames are not kept.
    std::vector<QRect> bounds;
    bounds.reserve(2 * items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
      bounds.push_back(items_[i].Bounds);
      bounds.push_back(items[i].Bounds);
    }
    items_ = std::move(items);
    const QRegion ring = BandCover(std::move(bounds), whole);
    DrawItems(picture, background, items_, texts_, &ring, false);
    return ring;
  }
  QRegion changed;
  for (const QRect& r : changes) changed += r;
  changed &= whole;
  items_ = std::move(items);
  // Only the items around the change are drawn, clipped to it; with many
  // small rectangles their bounding rectangle is painted instead, which
  // clips faster.
  if (changed.rectCount() > 16) changed = changed.boundingRect();
  DrawItems(picture, background, items_, texts_, &changed);
  // Kept whole, the bounding rectangle too is what the scene shows.
  const QRectF area(changed.boundingRect());
  const QRect pixels =
      QRectF(area.topLeft() * ratio_, area.size() * ratio_).toAlignedRect() & picture.rect();
  const std::size_t bytes = static_cast<std::size_t>(pixels.width()) * pixels.height() * 4;
  // A frame that changed much of the picture (the marks of a new coming
  // order spread over the ring) is not kept: it seldom comes again, and its
  // patch would take the room of many small moves that do.
  const std::size_t largest = static_cast<std::size_t>(picture.width()) * picture.height();
  if (!pixels.isEmpty() && frameBytes_ + bytes <= FrameBudget && bytes <= largest) {
    TFrame frame{changed, pixels, QImage(pixels.size(), Format)};
    CopyPixels(picture, pixels.topLeft(), frame.Patch, QRect(QPoint(0, 0), pixels.size()));
    frameBytes_ += bytes;
    frames_.emplace(std::move(key), std::move(frame));
  }
  return changed;
}
