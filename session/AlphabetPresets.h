#pragma once
// Ready-made symbol tables for the drum: the Latin table the program starts
// with, the Russian alphabet, and the Russian alphabet ordered by how often
// each symbol occurs in Russian text (most frequent first), which shortens
// the way to common letters when the drum restarts after each selection.

#include <QString>
#include <QStringList>

enum class TAlphabetPreset { Latin, Cyrillic, CyrillicByFrequency };

// Every preset, in the order the menu offers them.
QList<TAlphabetPreset> AlphabetPresets();

// The menu caption: "Латиница", "Кириллица", "Кириллица по частоте".
QString AlphabetPresetCaption(TAlphabetPreset preset);

// The symbols of a preset. The Cyrillic ones hold the backspace symbol in
// force (the design's "<" when the given one is empty); the Latin one is
// the design table A-Z, blank, "." and holds none.
QStringList AlphabetPresetSymbols(TAlphabetPreset preset,
                                  const QString& backspaceSymbol = QStringLiteral("<"));

// The order of "Кириллица по частоте" with "<" standing for the backspace
// symbol: blank, letters and "." by their counts in the letter model's
// corpus, "<" (never in text) last. docs/letter-counts.txt holds the counts.
const QStringList& CyrillicFrequencyOrder();
