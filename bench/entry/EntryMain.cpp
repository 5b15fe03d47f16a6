// Characters per minute of the drum on a real text, for the drum as designed
// and for each faster-entry option, at 1.0 s and 0.5 s per symbol, without
// and with errors. The text is the held-out part that scripts/letter-model.py
// writes; the model never saw it.
//
//   bench_entry HELDOUT.txt [--chars N] [--reaction MS] [--errors RATE] [--seed S]
//
// --chars: the first N characters (20000; 0 for all), --errors: the error
// rate of the second run of each time per symbol (0.05).
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>

#include "sim/EntrySim.h"
#include "session/LetterModel.h"

namespace {

struct TConfig {
  const char* Name;
  bool FrequencyOrder;
  bool Restart;
  bool Predict;
  int PredictedLetters = 0;
  bool BackspaceFirst = false;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: bench_entry HELDOUT.txt [--chars N] [--reaction MS] [--errors RATE] [--seed S]\n");
    return 2;
  }
  int chars = 20000;
  int reaction = 300;
  double errors = 0.05;
  uint32_t seed = 1;
  for (int i = 2; i + 1 < args.size(); i += 2) {
    if (args[i] == QLatin1String("--chars")) chars = args[i + 1].toInt();
    if (args[i] == QLatin1String("--reaction")) reaction = args[i + 1].toInt();
    if (args[i] == QLatin1String("--errors")) errors = args[i + 1].toDouble();
    if (args[i] == QLatin1String("--seed")) seed = args[i + 1].toUInt();
  }
  QFile file(args[1]);
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", qPrintable(args[1]));
    return 1;
  }
  // The held-out fortunes one after another, each ending with ".".
  QString text = QString::fromUtf8(file.readAll()).remove(QLatin1Char('\n'));
  const QStringList table = CyrillicTable();
  for (int i = 0; i < text.size(); ++i)
    if (!table.contains(QString(text.at(i))) || text.at(i) == QLatin1Char('<')) text[i] = QLatin1Char(' ');
  if (chars > 0) text.truncate(chars);

  const TLetterModel& model = TLetterModel::Builtin();
  if (model.Empty()) {
    std::fprintf(stderr, "the built-in letter model is missing\n");
    return 1;
  }
  const TConfig configs[] = {{"drum as designed", false, false, false},
                             {"restart only", false, true, false},
                             {"frequency table + restart", true, true, false},
                             {"prediction", false, false, true},
                             {"prediction, 8 letters, \"<\" first", false, false, true, 8, true},
                             {"prediction, 12 letters, \"<\" first", false, false, true, 12, true}};
  std::printf("text: %d characters of held-out text, %d symbols, reaction %d ms, seed %u\n\n", int(text.size()),
              int(table.size()), reaction, seed);
  std::printf("| s/symbol | errors | option | chars/min | rests/char | selections/char | left wrong | x drum |\n");
  std::printf("|---|---|---|---|---|---|---|---|\n");
  for (const int period : {1000, 500}) {
    for (const double rate : {0.0, errors}) {
      double base = 0.0;
      for (const TConfig& c : configs) {
        TEntryRun run;
        run.Symbols = c.FrequencyOrder ? FrequencyTable() : table;
        if (c.BackspaceFirst) run.Symbols.move(run.Symbols.indexOf(QStringLiteral("<")), 0);
        run.PredictedLetters = c.PredictedLetters;
        run.SymbolPeriodMs = period;
        run.ReactionMs = reaction;
        run.ErrorRate = rate;
        run.Seed = seed;
        run.RestartAfterSelection = c.Restart;
        run.PredictNextLetter = c.Predict;
        const TEntryResult r = SimulateEntry(text, run);
        if (!r.Done) {
          std::printf("| %.1f | %.0f%% | %s | not finished | | | | |\n", period / 1000.0, rate * 100, c.Name);
          continue;
        }
        if (base == 0.0) base = r.CharsPerMinute();
        std::printf("| %.1f | %.0f%% | %s | %.2f | %.2f | %.3f | %lld | %.2f |\n", period / 1000.0, rate * 100,
                    c.Name, r.CharsPerMinute(), r.RestsPerChar(), r.SelectionsPerChar(), r.Uncorrected,
                    r.CharsPerMinute() / base);
      }
    }
  }
  return 0;
}
