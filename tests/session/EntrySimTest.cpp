// The entry simulator counts what the drum really does: rests and drum time
// of a short text, with the drum as designed and with restart; its realistic
// operator's reactions go through the engine's poll and levels.
#include <gtest/gtest.h>

#include "sim/EntrySim.h"

namespace {

// A realistic operator who never misses and always reacts after exactly
// ReactionMs.
TEntryRun Steady(int reactionMs, int periodMs = 1000) {
  TEntryRun run;
  run.Symbols = CyrillicTable();
  run.SymbolPeriodMs = periodMs;
  run.ReactionMs = reactionMs;
  run.ReactionSpreadMs = 0;
  run.ChoiceMs = 0;
  run.MissRate = 0.0;
  return run;
}

TEST(EntrySim, CountsRestsAndDrumTimeOfTheRealEngine) {
  for (const TEntryOperator op : {TEntryOperator::Ideal, TEntryOperator::Realistic}) {
    SCOPED_TRACE(op == TEntryOperator::Ideal ? "ideal" : "realistic");
    TEntryRun run = Steady(300);
    run.Operator = op;
    ASSERT_EQ(run.Symbols.size(), 36);
    // Б is the 2nd rest; А comes round after 34 more (rest 37); "." is the
    // 35th symbol, 34 rests later (rest 71).
    TEntryResult r = SimulateEntry(QStringLiteral("БА."), run);
    EXPECT_TRUE(r.Done);
    EXPECT_EQ(r.Rests, 71);
    EXPECT_EQ(r.Selections, 3);
    EXPECT_DOUBLE_EQ(r.Seconds, 71 * 1.0 + 70 * 0.2) << "a rest and five 40 ms frames per symbol";

    run.RestartAfterSelection = true;
    r = SimulateEntry(QStringLiteral("БА."), run);
    EXPECT_EQ(r.Rests, 2 + 1 + 35);
  }
  TEntryRun ideal = Steady(1000);
  ideal.Operator = TEntryOperator::Ideal;
  EXPECT_FALSE(SimulateEntry(QStringLiteral("Б"), ideal).Done) << "no rest is long enough to react in";
}

TEST(EntrySim, ALateSelectionIsDeletedAndWritten) {
  for (const TEntryOperator op : {TEntryOperator::Ideal, TEntryOperator::Realistic}) {
    TEntryRun run;
    run.Symbols = CyrillicTable();
    run.Operator = op;
    run.MissRate = 0.0;
    run.ErrorRate = 0.3;
    const TEntryResult r = SimulateEntry(QStringLiteral("ВОТ ТАК."), run);
    EXPECT_TRUE(r.Done);
    EXPECT_GT(r.Undone, 0);
    EXPECT_GE(r.Selections, 8 + 2 * r.Undone) << "each deletion: a wrong selection and the deleting one";
  }
}

// Where a reaction lands decides what the engine takes, as in the program.
TEST(EntrySim, TheEngineDecidesWhatAReactionTakes) {
  // Risen 10 ms before the rest ends: the last samples of the rest, read
  // after the drum has begun to move, still take its symbol.
  TEntryResult r = SimulateEntry(QStringLiteral("Б"), Steady(490, 500));
  EXPECT_TRUE(r.Done);
  EXPECT_EQ(r.Undone, 0);

  // Risen during the move: the next symbol, every time; neither "Б" nor the
  // backspace symbol is ever taken.
  r = SimulateEntry(QStringLiteral("Б"), Steady(600, 500));
  EXPECT_FALSE(r.Done);
  EXPECT_GE(r.Selections, 2);
  EXPECT_EQ(r.Undone, 0);
  EXPECT_EQ(r.Missed, r.Selections);

  // A reaction held past the next rest: the signal must fall below the off
  // level before it can take another symbol, so А waits a turn.
  TEntryRun held = Steady(300);
  held.HoldMs = 1500;
  r = SimulateEntry(QStringLiteral("АБ"), held);
  EXPECT_TRUE(r.Done);
  EXPECT_EQ(r.Rests, 2 + 36);
  EXPECT_EQ(r.Missed, 1);
}

TEST(EntrySim, MissesAndChoiceReactionsCost) {
  TEntryRun run = Steady(300);
  const QString text = QStringLiteral("ВОТ ТАК.");
  const TEntryResult steady = SimulateEntry(text, run);
  run.MissRate = 0.3;
  const TEntryResult missing = SimulateEntry(text, run);
  EXPECT_GT(missing.Missed, 0);
  EXPECT_EQ(missing.Rests, steady.Rests + 36 * missing.Missed) << "each miss a whole turn";

  // With prediction at 0.5 s a choice reaction comes after the rest unless
  // the drum showed the coming order in time: each takes the symbol after
  // the wanted one, and the backspace symbol, never foreseen either, is
  // never hit.
  TEntryRun predict = Steady(300, 500);
  predict.PredictNextLetter = true;
  predict.ChoiceMs = 250;
  const TEntryResult foreseen = SimulateEntry(text, [&] {
    TEntryRun r = predict;
    r.OrderShown = true;
    return r;
  }());
  EXPECT_TRUE(foreseen.Done);
  EXPECT_EQ(foreseen.Undone, 0);
  const TEntryResult searched = SimulateEntry(text, predict);
  EXPECT_FALSE(searched.Done);
  EXPECT_GT(searched.Selections, 0);
  EXPECT_EQ(searched.Missed, searched.Selections);
}

// Two levels: a group, then its member. A missed member comes again within
// its group's loop, not after a turn of the drum.
TEST(EntrySim, TheGroupScanWritesTheTextAndAMissCostsLittle) {
  TEntryRun run = Steady(300);
  run.PredictNextLetter = true;
  run.GroupScan = true;
  run.OrderShown = true;
  run.UndoPlace = 5;
  const QString text = QStringLiteral("ВОТ ТАК.");
  const TEntryResult steady = SimulateEntry(text, run);
  EXPECT_TRUE(steady.Done);
  EXPECT_GT(steady.Selections, text.size()) << "some letters take a group first";
  EXPECT_LE(steady.Selections, 2 * text.size());
  run.MissRate = 0.3;
  const TEntryResult missing = SimulateEntry(text, run);
  EXPECT_TRUE(missing.Done);
  EXPECT_GT(missing.Missed, 0);
  EXPECT_LT(missing.Rests - steady.Rests, 18 * missing.Missed) << "less than half a turn of 36 rests";
  run.MissRate = 0.0;
  run.ErrorRate = 0.3;
  const TEntryResult late = SimulateEntry(text, run);
  EXPECT_TRUE(late.Done);
  EXPECT_GT(late.Undone, 0);
}

TEST(EntrySim, TextIsNormalisedAsTheCorpusWas) {
  const TNormalisedText t = NormaliseLikeCorpus(
      QStringLiteral("Привет, мир! Как дела?..\nOK\n  ёлка -- 2 шт.\nHello мир"));
  EXPECT_EQ(t.Text, QStringLiteral("ПРИВЕТ МИР.КАК ДЕЛА.ЁЛКА ШТ.МИР."));
  EXPECT_EQ(t.Foreign, 7) << "O, K, H, E, L, L, O";
  EXPECT_EQ(t.DroppedLines, 1) << "OK: no Russian letter";
  EXPECT_EQ(t.Letters, 25);
  EXPECT_EQ(NormaliseLikeCorpus(t.Text).Text, t.Text) << "a normalised text stays as it is";
}

}  // namespace
