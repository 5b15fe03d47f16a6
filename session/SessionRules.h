#pragma once
// The rules of a session that need no window: how the typed settings are
// read at Start, and what taking a symbol does to the tape's lines.

#include <QString>
#include <QStringList>

// Blanks and control characters removed at both ends.
QString TrimBlanks(const QString& text);

// Time per symbol: the text as seconds (point or comma), 0.1 s when it is not
// a number, times 1000 rounded. Not yet checked against the accepted range.
int SymbolPeriodMsFromText(const QString& text);

constexpr int kMinSymbolPeriodMs = 100;
constexpr int kMaxSymbolPeriodMs = 20000;
// Poll interval, frame interval of a drum move and rest time in fast mode.
constexpr int kTickMs = 40;
// Frames per drum move.
constexpr int kMoveFrames = 5;

// The stop symbols: entries separated by ";", each trimmed; empty entries
// are kept (they never match a written symbol). An empty text gives none.
QStringList ParseStopSymbols(const QString& text);

// A percent level: 0 when the text is not a number, clamped to 0..100.
double LevelFromText(const QString& text);

// The special symbols, as trimmed at Start.
struct TSymbolRules {
  QString FastSymbol;
  QString BackspaceSymbol;
  QStringList StopSymbols;
  bool FastSlowOption = false;  // the fast/slow mode option is on
  // The hands-free symbols; empty for none.
  QString PauseSymbol;
  QString CallSymbol;
  QString ReadLineSymbol;
};

enum class TSymbolAction {
  EnterFastMode,  // the fast-mode symbol with the option on: nothing written
  Backspace,      // the last character of the last line removed (if any)
  Written,        // the symbol was appended to the tape
  WrittenStop,    // the symbol was appended and it is a stop symbol
  Pause,          // the pause symbol: nothing written, the drum stands
  Call,           // the call symbol: nothing written, the alarm sounds
  ReadLine        // the read-line symbol: nothing written, the line is read
};

// Whether the action wrote nothing on the tape and is one of the hands-free
// symbols.
bool IsHandsFreeAction(TSymbolAction action);

// What is wrong with the hands-free symbols for this table and these
// special symbols, one Russian sentence each; none when all is well. A
// symbol not in the table is never offered; one that is also an earlier
// special symbol (fast mode, backspace, an earlier hands-free one) is
// taken as that one.
QStringList HandsFreeProblems(const QStringList& table, const QString& fastSymbol,
                              const QString& backspaceSymbol, const QStringList& stopSymbols,
                              const QString& pauseSymbol, const QString& callSymbol,
                              const QString& readLineSymbol);

// Takes symbol s (as typed in the table) into the tape's lines. The special
// symbols are tried in this order: fast mode, backspace, pause, call, read
// line; the first that matches decides. newLinePending
// says whether the next written symbol opens a new "- " line; it is updated.
TSymbolAction ApplySymbol(QStringList& lines, const QString& s, const TSymbolRules& rules,
                          bool& newLinePending);
