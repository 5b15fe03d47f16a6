#include "session/LetterModel.h"

#include <QFile>
#include <algorithm>
#include <cmath>

namespace {

QString Decode(QString text) { return text.replace(QLatin1Char('_'), QLatin1Char(' ')); }

constexpr double kBackoff = 0.4;

}  // namespace

int TLetterModel::TRow::Count(QChar letter) const {
  for (const auto& [symbol, count] : Counts)
    if (symbol == letter.unicode()) return count;
  return 0;
}

bool TLetterModel::Load(const QString& text) {
  rows_.clear();
  letters_.clear();
  order_ = 1;
  for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    const QList<QStringView> fields = line.split(QLatin1Char('\t'));
    if (fields.size() != 3) continue;
    TRow row;
    bool ok = false;
    row.Total = fields.at(1).toInt(&ok);
    if (!ok || row.Total <= 0) continue;
    const QString context = Decode(fields.at(0).toString());
    for (const QStringView item : fields.at(2).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
      const int count = item.mid(1).toInt(&ok);
      if (!ok || count <= 0) continue;
      const QChar letter = item.at(0) == QLatin1Char('_') ? QLatin1Char(' ') : item.at(0);
      row.Counts.emplace_back(letter.unicode(), count);
      if (context.isEmpty()) letters_ << letter;
    }
    row.Counts.shrink_to_fit();
    order_ = std::max<int>(order_, context.size() + 1);
    rows_.insert(context, std::move(row));
  }
  return !rows_.isEmpty();
}

bool TLetterModel::LoadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) && Load(QString::fromUtf8(file.readAll()));
}

const TLetterModel& TLetterModel::Builtin() {
  static const TLetterModel model = [] {
    TLetterModel m;
    m.LoadFile(QStringLiteral(":/session/letters.model"));
    return m;
  }();
  return model;
}

QStringList TLetterModel::Rank(const QString& history) const {
  // Contexts from the longest the table holds down to the empty one.
  QList<const TRow*> contexts;
  for (int k = std::min<int>(order_ - 1, history.size()); k >= 0; --k) {
    const auto it = rows_.constFind(history.right(k));
    contexts << (it == rows_.constEnd() ? nullptr : &it.value());
  }
  struct TScored {
    QChar Letter;
    double Score;
  };
  QList<TScored> scored;
  for (const QChar letter : letters_) {
    double weight = 1.0;
    double score = 0.0;
    for (const TRow* row : contexts) {
      const int count = row ? row->Count(letter) : 0;
      if (count > 0) {
        score = weight * count / row->Total;
        break;
      }
      weight *= kBackoff;
    }
    scored << TScored{letter, score};
  }
  // Stable: equal scores keep the order of overall frequency.
  std::stable_sort(scored.begin(), scored.end(),
                   [](const TScored& a, const TScored& b) { return a.Score > b.Score; });
  QStringList ranked;
  for (const TScored& s : scored) ranked << QString(s.Letter);
  return ranked;
}
