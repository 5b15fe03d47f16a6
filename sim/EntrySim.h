#pragma once
// A text-entry simulator: the real session engine on hand-ticked timers and
// a simulated operator who spells a given text. The operator watches every
// rest and reacts in the rests that show the wanted symbol (the next letter
// of the text, or the backspace symbol after a mistake), and deletes a
// wrong symbol (unless it has gone to an earlier tape line, where the
// backspace symbol does not reach: then it stays).
//
// The realistic operator reacts through a sensor that the engine polls
// every 40 ms as in the program, and pays what a person pays: a reaction
// time, more of it when the window jumps somewhere unforeseen, rests that
// pass without a reaction, late reactions that land wherever the engine
// puts them. The ideal operator of the first measurements reacts in every
// wanted rest at once, and a late selection always takes the next symbol.

#include <QString>
#include <QStringList>
#include <cstdint>

#include "session/SessionEngine.h"

enum class TEntryOperator { Ideal, Realistic };

struct TEntryRun {
  QStringList Symbols;             // the symbol table
  QString Backspace = QStringLiteral("<");
  int SymbolPeriodMs = 1000;
  TEntryOperator Operator = TEntryOperator::Realistic;
  // A simple reaction: from the wanted symbol's arrival at rest to the
  // sensor's signal, for a position the operator saw coming (the next
  // symbol in table order). For the ideal operator only a gate: a rest
  // shorter than this cannot be hit.
  int ReactionMs = 300;
  // Added when the window jumps to a place the operator could not foresee.
  // Choice reactions grow with the information of the choice (Hick-Hyman:
  // about 150 ms per bit); finding one of 36 places on the ring is more than
  // a choice of two or three, so 250 ms is a low estimate.
  int ChoiceMs = 250;
  int ReactionSpreadMs = 50;       // standard deviation of a reaction time
  int HoldMs = 300;                // how long a reaction keeps the signal up
  double Amplitude = 0.5;          // the sensor's reading during a reaction (at rest 0)
  // Share of wanted rests that pass without a reaction: the symbol must come
  // round again.
  double MissRate = 0.03;
  // Share of reactions that come late: the signal rises only after the rest
  // has ended (within the move or the next rest's first half). The engine
  // decides what that takes: the ideal operator's always takes the next
  // symbol.
  double ErrorRate = 0.0;
  // The coming order is shown on the drum: a place shown for a choice time
  // before its rest is foreseen.
  bool OrderShown = false;
  uint32_t Seed = 1;
  bool RestartAfterSelection = false;
  bool PredictNextLetter = false;
  int PredictedLetters = 0;        // letters offered before table order; 0: all
  int UndoPlace = 0;               // the backspace symbol's place in a predicted scan
  // Two levels: a reaction picks a group of the model's ranking, the next
  // the symbol (the drum always shows the groups coming: OrderShown).
  bool GroupScan = false;
  TGroupLayout Groups;
  const class TLetterModel* Model = nullptr;  // the built-in one when null
};

struct TEntryResult {
  bool Done = false;        // the whole text was written
  int Characters = 0;       // characters of the text
  long long Rests = 0;
  long long Selections = 0;
  long long Undone = 0;     // characters removed by the backspace symbol
  long long Uncorrected = 0;  // mistakes left in an earlier line, out of the backspace's reach
  long long Missed = 0;     // wanted rests without a selection (missed, refused or late)
  double Seconds = 0.0;     // drum time from Start to the last selection's rest end
  double CharsPerMinute() const { return Seconds > 0 ? Characters * 60.0 / Seconds : 0.0; }
  double RestsPerChar() const { return Characters ? double(Rests) / Characters : 0.0; }
  double SelectionsPerChar() const { return Characters ? double(Selections) / Characters : 0.0; }
};

// Spells text (symbols of the table only, one character each) and reports.
TEntryResult SimulateEntry(const QString& text, const TEntryRun& run);

// A text as the letter model's corpus was made (scripts/letter-model.py):
// upper case, А-Я with Ё; ".", "!", "?" and "…" end a sentence as "." with
// no blank around it; every other character a blank, blanks collapsed; each
// line one text ending with "."; lines of fewer than three letters dropped.
struct TNormalisedText {
  QString Text;
  int Blanked = 0;       // characters other than blanks that became blanks
  int Foreign = 0;       // of them, letters outside the Russian alphabet
  int Letters = 0;       // Russian letters kept
  int DroppedLines = 0;  // lines of fewer than three letters
};
TNormalisedText NormaliseLikeCorpus(const QString& input);

// The Cyrillic drum: А..Я with Ё after Е, blank, ".", and the backspace
// symbol (the preset "Кириллица").
QStringList CyrillicTable();
// The same symbols most frequent first, the backspace symbol last (the
// preset "Кириллица по частоте").
QStringList FrequencyTable();
