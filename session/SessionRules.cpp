#include "session/SessionRules.h"

#include "sensor/Utils.h"

QString TrimBlanks(const QString& text) {
  int from = 0;
  int to = text.size();
  while (from < to && text.at(from).unicode() <= 0x20) ++from;
  while (to > from && text.at(to - 1).unicode() <= 0x20) --to;
  return text.mid(from, to - from);
}

int SymbolPeriodMsFromText(const QString& text) {
  double seconds = 0.1;
  double parsed = 0.0;
  if (ParseDecimal(text.toStdString(), parsed)) seconds = parsed;
  return RoundToInt(seconds * 1000.0);
}

QStringList ParseStopSymbols(const QString& text) {
  QStringList list;
  if (TrimBlanks(text).isEmpty()) return list;
  QString rest = text;
  for (;;) {
    const int semicolon = rest.indexOf(QLatin1Char(';'));
    if (semicolon < 0) {
      list << TrimBlanks(rest);
      break;
    }
    list << TrimBlanks(rest.left(semicolon));
    rest = rest.mid(semicolon + 1);
  }
  return list;
}

double LevelFromText(const QString& text) { return ParsePercent(text.toStdString()); }

namespace {

// The text without its last character (a surrogate pair counts as one).
QString WithoutLastCharacter(const QString& line) {
  int n = line.size() - 1;
  if (n > 0 && line.at(n).isLowSurrogate() && line.at(n - 1).isHighSurrogate()) --n;
  return line.left(n);
}

const QString kLineStart = QStringLiteral("- ");

}  // namespace

TSymbolAction ApplySymbol(QStringList& lines, const QString& symbol, const TSymbolRules& rules,
                          bool& newLinePending) {
  QString s = symbol;
  if (!s.isEmpty() && rules.FastSlowOption && s == rules.FastSymbol)
    return TSymbolAction::EnterFastMode;

  if (!s.isEmpty() && s == rules.BackspaceSymbol && !lines.isEmpty()) {
    QString& last = lines.last();
    if (!last.isEmpty()) last = WithoutLastCharacter(last);
    return TSymbolAction::Backspace;
  }

  if (!s.isEmpty() && s == rules.PauseSymbol) return TSymbolAction::Pause;
  if (!s.isEmpty() && s == rules.CallSymbol) return TSymbolAction::Call;
  if (!s.isEmpty() && s == rules.ReadLineSymbol) return TSymbolAction::ReadLine;

  if (s.isEmpty()) s = QStringLiteral(" ");
  if (newLinePending || lines.isEmpty() || !lines.last().startsWith(kLineStart))
    lines << kLineStart;
  lines.last() += s;
  newLinePending = (s == QLatin1String("."));
  if (s != QLatin1String(" ") && rules.StopSymbols.contains(s)) return TSymbolAction::WrittenStop;
  return TSymbolAction::Written;
}

bool IsHandsFreeAction(TSymbolAction action) {
  return action == TSymbolAction::Pause || action == TSymbolAction::Call ||
         action == TSymbolAction::ReadLine;
}

QStringList HandsFreeProblems(const QStringList& table, const QString& fastSymbol,
                              const QString& backspaceSymbol, const QStringList& stopSymbols,
                              const QString& pauseSymbol, const QString& callSymbol,
                              const QString& readLineSymbol) {
  QStringList problems;
  struct TNamed {
    QString Symbol;
    const char* Name;
  };
  const TNamed named[] = {{TrimBlanks(pauseSymbol), "паузы"},
                          {TrimBlanks(callSymbol), "вызова"},
                          {TrimBlanks(readLineSymbol), "чтения строки"}};
  QStringList earlier = {TrimBlanks(fastSymbol), TrimBlanks(backspaceSymbol)};
  for (const TNamed& n : named) {
    if (n.Symbol.isEmpty()) continue;
    const QString name = QString::fromUtf8(n.Name);
    if (!table.contains(n.Symbol))
      problems << QStringLiteral("Символа %1 \"%2\" нет в таблице.").arg(name, n.Symbol);
    else if (earlier.contains(n.Symbol))
      problems << QStringLiteral("Символ %1 \"%2\" уже занят другим действием.").arg(name, n.Symbol);
    else if (stopSymbols.contains(n.Symbol))
      problems << QStringLiteral("Символ %1 \"%2\" совпадает со стоп-символом и не остановит сеанс.")
                      .arg(name, n.Symbol);
    earlier << n.Symbol;
  }
  return problems;
}
