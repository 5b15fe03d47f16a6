#include "AlphabetPresets.h"

namespace {

const QString DesignBackspace = QStringLiteral("<");

QStringList Characters(const QString& text) {
  QStringList out;
  for (const QChar c : text) out << QString(c);
  return out;
}

}  // namespace

QList<TAlphabetPreset> AlphabetPresets() {
  return {TAlphabetPreset::Latin, TAlphabetPreset::Cyrillic, TAlphabetPreset::CyrillicByFrequency};
}

QString AlphabetPresetCaption(TAlphabetPreset preset) {
  switch (preset) {
    case TAlphabetPreset::Latin:
      return QStringLiteral("Латиница");
    case TAlphabetPreset::Cyrillic:
      return QStringLiteral("Кириллица");
    case TAlphabetPreset::CyrillicByFrequency:
      return QStringLiteral("Кириллица по частоте");
  }
  return QString();
}

const QStringList& CyrillicFrequencyOrder() {
  // scripts/letter-counts.py over Debian's fortunes-ru (1,578,879 symbols):
  // blank 222734, О 142671, Е 121241, ... "." 26659 between Б and Ы, ...
  // Ъ 269; "<" 0.
  static const QStringList order =
      QStringList{QStringLiteral(" ")} +
      Characters(QStringLiteral("ОЕАТИНСВРЛДМКУПЬЯБ.ЫЧГЗЖЙЮШХЩЦЭЁФЪ")) +
      QStringList{DesignBackspace};
  return order;
}

QStringList AlphabetPresetSymbols(TAlphabetPreset preset, const QString& backspaceSymbol) {
  const QString backspace = backspaceSymbol.isEmpty() ? DesignBackspace : backspaceSymbol;
  QStringList symbols;
  switch (preset) {
    case TAlphabetPreset::Latin:
      return Characters(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ")) + QStringList{" ", "."};
    case TAlphabetPreset::Cyrillic:
      symbols = Characters(QStringLiteral("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ")) +
                QStringList{" ", ".", DesignBackspace};
      break;
    case TAlphabetPreset::CyrillicByFrequency:
      symbols = CyrillicFrequencyOrder();
      break;
  }
  symbols.replace(symbols.indexOf(DesignBackspace), backspace);
  return symbols;
}
