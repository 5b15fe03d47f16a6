#pragma once
// A letter n-gram model: how often each letter followed each context of up
// to Order() - 1 letters in a training text. It ranks the letters that may
// come next; the drum offers them in that order when prediction is on.

#include <QHash>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class TLetterModel {
public:
  // Reads the table: lines "context<TAB>total<TAB>letter count ...", blank
  // written as "_", "#" lines are comments. False when no row was read.
  bool Load(const QString& text);
  // Load() on a file's UTF-8 text; false when it cannot be read either.
  bool LoadFile(const QString& path);
  // The model shipped with the program (made by scripts/letter-model.py).
  static const TLetterModel& Builtin();

  bool Empty() const { return rows_.isEmpty(); }
  int Order() const { return order_; }

  // The letters the model knows, most likely first after the given text
  // (only its last Order() - 1 letters count). A context the table lacks
  // backs off to a shorter one, each step down weighing 0.4 times less.
  QStringList Rank(const QString& history) const;

private:
  // A row's counts in a plain vector: a few letters each, and tens of
  // thousands of rows, where a hash per row would cost tens of megabytes.
  struct TRow {
    int Total = 0;
    std::vector<std::pair<char16_t, int>> Counts;
    int Count(QChar letter) const;
  };
  QHash<QString, TRow> rows_;
  QList<QChar> letters_;  // the letters of the empty context, most frequent first
  int order_ = 1;
};
