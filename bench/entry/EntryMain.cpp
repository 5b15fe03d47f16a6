// Characters per minute of the drum on a real text, for the drum as designed
// and for each faster-entry option, at 1.0 s and 0.5 s per symbol, without
// and with errors, by the realistic operator (reaction and choice times,
// misses, late reactions through the engine's poll) and, for comparison, by
// the ideal operator of the first measurements. The text is the held-out
// part that scripts/letter-model.py writes; the model never saw it.
//
//   bench_entry HELDOUT.txt [--from N] [--chars N] [--reaction MS] [--choice MS]
//               [--misses RATE] [--errors RATE] [--undo-place K] [--seed S] [--model FILE]
//   bench_entry HELDOUT.txt --undo-sweep [...]
//   bench_entry HELDOUT.txt --ranks [...]
//   bench_entry HELDOUT.txt --group-sweep [...]
//
// --from, --chars: N characters from character N (0 and 20000; 0 for all), --errors: the error
// rate of the second run of each time per symbol (0.05), --undo-place: the
// backspace symbol's place in the variant rows (the program's default),
// --undo-sweep: characters per minute of prediction for each place instead,
// --ranks: the wanted letters' ranks and an estimate of a two-level scan,
// --group-sweep: characters per minute of the group scan for each grouping,
// --model: a letter model's table (scripts/letter-model.py) instead of the built-in one.
// The text is normalised as the corpus was (case, sentence ends, every other
// character a blank); a text that is not Russian is refused.
#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "sim/EntrySim.h"
#include "session/LetterModel.h"
#include "session/Options.h"

namespace {

struct TConfig {
  const char* Name;
  TEntryOperator Operator = TEntryOperator::Realistic;
  bool FrequencyOrder = false;
  bool Restart = false;
  bool Predict = false;
  bool OrderShown = false;
  bool UndoPlaced = false;
  bool GroupScan = false;
  TGroupLayout Groups{};
  int GroupUndoPlace = 0;  // the backspace symbol's place with these groups; 0: the common one
};

struct TSettings {
  int Reaction = 300;
  int Choice = 250;
  double Misses = 0.03;
  uint32_t Seed = 1;
  const TLetterModel* Model = nullptr;  // the built-in one when null
};

TEntryResult Run(const QString& text, const TConfig& c, const TSettings& s, int period, double errors,
                 int undoPlace) {
  TEntryRun run;
  run.Symbols = c.FrequencyOrder ? FrequencyTable() : CyrillicTable();
  run.Operator = c.Operator;
  run.SymbolPeriodMs = period;
  run.ReactionMs = s.Reaction;
  run.ChoiceMs = s.Choice;
  run.MissRate = c.Operator == TEntryOperator::Ideal ? 0.0 : s.Misses;
  run.ErrorRate = errors;
  run.Seed = s.Seed;
  run.Model = s.Model;
  run.RestartAfterSelection = c.Restart;
  run.PredictNextLetter = c.Predict;
  run.OrderShown = c.OrderShown;
  run.UndoPlace = c.UndoPlaced ? (c.GroupUndoPlace > 0 ? c.GroupUndoPlace : undoPlace) : 0;
  run.GroupScan = c.GroupScan;
  run.Groups = c.Groups;
  return SimulateEntry(text, run);
}

// One cell of a sweep's table: characters per minute, or that the text was
// not finished.
void PrintCell(const TEntryResult& r) {
  if (r.Done)
    std::printf(" %.2f |", r.CharsPerMinute());
  else
    std::printf(" not finished |");
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 2) {
    std::fprintf(stderr,
                 "usage: bench_entry HELDOUT.txt [--from N] [--chars N] [--reaction MS] [--choice MS] [--misses RATE]"
                 " [--errors RATE] [--undo-place K] [--undo-sweep] [--ranks] [--group-sweep] [--seed S] [--model FILE]\n");
    return 2;
  }
  int chars = 20000;
  int from = 0;
  double errors = 0.05;
  int undoPlace = TSpeedOptions::DefaultUndoPlace;
  bool sweep = false;
  bool ranks = false;
  bool groupSweep = false;
  TSettings settings;
  QString modelFile;
  for (int i = 2; i < args.size(); ++i) {
    const QString value = i + 1 < args.size() ? args[i + 1] : QString();
    if (args[i] == QLatin1String("--undo-sweep") || args[i] == QLatin1String("--ranks")) {
      (args[i] == QLatin1String("--ranks") ? ranks : sweep) = true;
      continue;
    }
    if (args[i] == QLatin1String("--group-sweep")) {
      groupSweep = true;
      continue;
    }
    if (args[i] == QLatin1String("--chars")) chars = value.toInt();
    else if (args[i] == QLatin1String("--from")) from = value.toInt();
    else if (args[i] == QLatin1String("--reaction")) settings.Reaction = value.toInt();
    else if (args[i] == QLatin1String("--choice")) settings.Choice = value.toInt();
    else if (args[i] == QLatin1String("--misses")) settings.Misses = value.toDouble();
    else if (args[i] == QLatin1String("--errors")) errors = value.toDouble();
    else if (args[i] == QLatin1String("--undo-place")) undoPlace = value.toInt();
    else if (args[i] == QLatin1String("--seed")) settings.Seed = value.toUInt();
    else if (args[i] == QLatin1String("--model")) modelFile = value;
    else {
      std::fprintf(stderr, "unknown option %s\n", qPrintable(args[i]));
      return 2;
    }
    ++i;
  }
  QFile file(args[1]);
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", qPrintable(args[1]));
    return 1;
  }
  // Each line one text (the held-out fortunes, one a line, each ending with
  // "."), normalised as the model's corpus was.
  const TNormalisedText normal = NormaliseLikeCorpus(QString::fromUtf8(file.readAll()));
  if (normal.Letters < 3 || normal.Foreign * 10 > normal.Letters) {
    std::fprintf(stderr,
                 "refused: %s has %d Russian letters and %d other letters; the drum and the letter model"
                 " know only Russian\n",
                 qPrintable(args[1]), normal.Letters, normal.Foreign);
    return 1;
  }
  QString text = normal.Text.mid(std::max(0, from));
  if (chars > 0) text.truncate(chars);

  TLetterModel loaded;
  if (!modelFile.isEmpty()) {
    if (!loaded.LoadFile(modelFile)) {
      std::fprintf(stderr, "cannot read a letter model from %s\n", qPrintable(modelFile));
      return 1;
    }
    settings.Model = &loaded;
  }
  const TLetterModel& model = settings.Model ? loaded : TLetterModel::Builtin();
  if (model.Empty()) {
    std::fprintf(stderr, "the built-in letter model is missing\n");
    return 1;
  }
  std::printf("text: %d characters of held-out text (normalised: %d characters became blanks, %d of them"
              " foreign letters; %d short lines dropped), %d symbols\n",
              int(text.size()), normal.Blanked, normal.Foreign, normal.DroppedLines, int(CyrillicTable().size()));
  std::printf("operator: reaction %d ms, choice %d ms, misses %.0f%%, seed %u\n\n", settings.Reaction,
              settings.Choice, settings.Misses * 100, settings.Seed);

  if (ranks) {
    // Where the wanted letter stands in the model's ranking (the place of its
    // rest in a predicted scan), and what a two-level scan of fixed-size
    // groups of that ranking would cost in rests: the group's place plus the
    // place in the group, each selection missed at the miss rate, a missed
    // group costing a turn of the groups and a missed symbol one of its group.
    std::vector<long long> count(64, 0);
    QString line;
    for (const QChar c : text) {
      const int r = model.Rank(QStringLiteral(".") + line).indexOf(QString(c)) + 1;
      ++count[std::clamp(r, 0, 63)];
      line = c == QLatin1Char('.') ? QString() : line + c;
    }
    double oneLevel = 0;
    for (int r = 1; r < 64; ++r) oneLevel += double(r) * count[r] / text.size();
    std::printf("wanted letter's rank: 1: %.1f%%, 2: %.1f%%, 3-4: %.1f%%, 5-8: %.1f%%, beyond: %.1f%%; mean %.2f\n",
                100.0 * count[1] / text.size(), 100.0 * count[2] / text.size(),
                100.0 * (count[3] + count[4]) / text.size(),
                100.0 * (count[5] + count[6] + count[7] + count[8]) / text.size(),
                100.0 * (text.size() - count[1] - count[2] - count[3] - count[4] - count[5] - count[6] - count[7] -
                         count[8]) / text.size(),
                oneLevel);
    const double m = settings.Misses;
    const int symbols = CyrillicTable().size();
    std::printf("one level: %.2f rests/char, with misses %.2f\n", oneLevel, oneLevel + m * symbols);
    for (const int g : {3, 4, 5, 6}) {
      double rests = 0;
      for (int r = 1; r < 64; ++r) rests += double((r - 1) / g + 1 + (r - 1) % g + 1) * count[r] / text.size();
      const int groups = (symbols + g - 1) / g;
      std::printf("two levels, groups of %d: %.2f rests/char, with misses %.2f\n", g, rests,
                  rests + m * groups + m * g);
    }
    return 0;
  }

  if (groupSweep) {
    // Each grouping at both times, without and with errors: the letters
    // alone at the front, the group size, the backspace symbol's place, the
    // member loops; then the fixed groups of the overall order.
    std::printf("| singles | group | \"<\" place | loops | order | 1.0 s, 0%% | 1.0 s, %.0f%% | 0.5 s, 0%% |"
                " 0.5 s, %.0f%% |\n",
                errors * 100, errors * 100);
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    struct TVariant {
      TGroupLayout Groups;
      int UndoPlace;
    };
    std::vector<TVariant> variants;
    for (const int singles : {0, 1, 2})
      for (const int size : {3, 4, 5})
        for (const int place : {1, 2, 3})
          for (const int loops : {1, 2}) variants.push_back({{singles, size, loops, false}, place});
    // Around the best of those: later places of the backspace symbol, larger groups.
    for (const int size : {4, 5, 6})
      for (const int place : {4, 5, 6})
        for (const int loops : {1, 2}) variants.push_back({{1, size, loops, false}, place});
    for (const int size : {3, 4, 5})
      for (const int place : {1, 2, 3})
        for (const int loops : {1, 2}) variants.push_back({{0, size, loops, true}, place});
    for (const TVariant& v : variants) {
      const TGroupLayout& g = v.Groups;
      std::printf("| %d | %d | %d | %d | %s |", g.Singles, g.GroupSize, v.UndoPlace, g.MemberLoops,
                  g.Frequency ? "fixed" : "model");
      for (const int period : {1000, 500})
        for (const double rate : {0.0, errors}) {
          TConfig c{"groups", TEntryOperator::Realistic, false, false, true, true, true, true, g};
          PrintCell(Run(text, c, settings, period, rate, v.UndoPlace));
        }
      std::printf("\n");
      std::fflush(stdout);
    }
    return 0;
  }

  if (sweep) {
    // The coming order shown (as the program shows it) at both times, and
    // not shown at 1.0 s.
    struct TColumn {
      int Period;
      bool OrderShown;
      double Errors;
    };
    const TColumn columns[] = {{1000, true, 0.0}, {1000, true, errors}, {500, true, 0.0},
                               {500, true, errors}, {1000, false, 0.0}, {1000, false, errors}};
    std::printf("| \"<\" place | 1.0 s, 0%% | 1.0 s, %.0f%% | 0.5 s, 0%% | 0.5 s, %.0f%% | 1.0 s, 0%%, order not shown |"
                " 1.0 s, %.0f%%, order not shown |\n",
                errors * 100, errors * 100, errors * 100);
    std::printf("|---|---|---|---|---|---|---|\n");
    for (int place = 0; place <= 12; ++place) {
      std::printf("| %d |", place);
      for (const TColumn& column : columns) {
        TConfig c{"prediction", TEntryOperator::Realistic, false, false, true, column.OrderShown, place > 0};
        PrintCell(Run(text, c, settings, column.Period, column.Errors, place));
      }
      std::printf("\n");
      std::fflush(stdout);
    }
    return 0;
  }

  const TConfig configs[] = {
      {"drum as designed, ideal operator", TEntryOperator::Ideal},
      {"prediction, ideal operator", TEntryOperator::Ideal, false, false, true},
      {"drum as designed"},
      {"frequency table + restart", TEntryOperator::Realistic, true, true},
      {"prediction", TEntryOperator::Realistic, false, false, true},
      {"prediction, coming order shown", TEntryOperator::Realistic, false, false, true, true},
      {"prediction, \"<\" placed", TEntryOperator::Realistic, false, false, true, false, true},
      {"prediction, \"<\" placed, order shown", TEntryOperator::Realistic, false, false, true, true, true},
      // The group scan (its groups always shown): the program's grouping,
      // and the best fixed groups of the overall order (--group-sweep).
      {"groups: 1 letter, then 4s, \"<\" placed", TEntryOperator::Realistic, false, false, true, true, true, true},
      {"fixed groups of 5, \"<\" 3rd", TEntryOperator::Realistic, false, false, true, true, true, true,
       TGroupLayout{0, 5, 1, true}, 3}};
  std::printf("\"<\" placed: at place %d of every predicted scan\n\n", undoPlace);
  std::printf("| s/symbol | errors | option | chars/min | rests/char | selections/char | missed/char | left wrong |"
              " x drum |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|\n");
  for (const int period : {1000, 500}) {
    for (const double rate : {0.0, errors}) {
      double base = 0.0;
      for (const TConfig& c : configs) {
        const TEntryResult r = Run(text, c, settings, period, rate, undoPlace);
        if (!r.Done) {
          std::printf("| %.1f | %.0f%% | %s | not finished | | | | | |\n", period / 1000.0, rate * 100, c.Name);
          continue;
        }
        // The realistic operator's designed drum is the measure.
        if (base == 0.0 && c.Operator == TEntryOperator::Realistic) base = r.CharsPerMinute();
        std::printf("| %.1f | %.0f%% | %s | %.2f | %.2f | %.3f | %.3f | %lld | %s |\n", period / 1000.0, rate * 100,
                    c.Name, r.CharsPerMinute(), r.RestsPerChar(), r.SelectionsPerChar(),
                    r.Characters ? double(r.Missed) / r.Characters : 0.0, r.Uncorrected,
                    base > 0 ? qPrintable(QString::number(r.CharsPerMinute() / base, 'f', 2)) : "");
      }
    }
  }
  return 0;
}
