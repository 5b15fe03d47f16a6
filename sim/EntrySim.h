#pragma once
// A text-entry simulator: the real session engine on hand-ticked timers and
// a simulated operator who spells a given text. The operator watches every
// rest and reacts in the first one that shows the wanted symbol (the next
// letter of the text, or the backspace symbol after a mistake). With an
// error rate, that many intended selections come one rest late and take
// the symbol after the wanted one, which the operator then deletes (unless
// it has gone to an earlier tape line, where the backspace symbol does not
// reach: then it stays).

#include <QString>
#include <QStringList>
#include <cstdint>

#include "session/SessionEngine.h"

struct TEntryRun {
  QStringList Symbols;             // the symbol table
  QString Backspace = QStringLiteral("<");
  int SymbolPeriodMs = 1000;
  int ReactionMs = 300;            // must be shorter than the rest to hit it
  double ErrorRate = 0.0;          // share of selections that come one rest late
  uint32_t Seed = 1;
  bool RestartAfterSelection = false;
  bool PredictNextLetter = false;
  int PredictedLetters = 0;        // letters offered before table order; 0: all
  const class TLetterModel* Model = nullptr;  // the built-in one when null
};

struct TEntryResult {
  bool Done = false;        // the whole text was written
  int Characters = 0;       // characters of the text
  long long Rests = 0;
  long long Selections = 0;
  long long Undone = 0;     // characters removed by the backspace symbol
  long long Uncorrected = 0;  // mistakes left in an earlier line, out of the backspace's reach
  double Seconds = 0.0;     // drum time from Start to the last selection's rest end
  double CharsPerMinute() const { return Seconds > 0 ? Characters * 60.0 / Seconds : 0.0; }
  double RestsPerChar() const { return Characters ? double(Rests) / Characters : 0.0; }
  double SelectionsPerChar() const { return Characters ? double(Selections) / Characters : 0.0; }
};

// Spells text (symbols of the table only, one character each) and reports.
TEntryResult SimulateEntry(const QString& text, const TEntryRun& run);

// The Cyrillic drum: А..Я with Ё after Е, blank, ".", and the backspace
// symbol (the preset "Кириллица").
QStringList CyrillicTable();
// The same symbols most frequent first, the backspace symbol last (the
// preset "Кириллица по частоте").
QStringList FrequencyTable();
