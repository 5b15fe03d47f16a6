// The entry simulator counts what the drum really does: rests and drum time
// of a short text, with the drum as designed and with restart.
#include <gtest/gtest.h>

#include "sim/EntrySim.h"

namespace {

TEST(EntrySim, CountsRestsAndDrumTimeOfTheRealEngine) {
  TEntryRun run;
  run.Symbols = CyrillicTable();
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

  run.ReactionMs = 1000;
  EXPECT_FALSE(SimulateEntry(QStringLiteral("Б"), run).Done) << "no rest is long enough to react in";
}

TEST(EntrySim, ALateSelectionIsDeletedAndWritten) {
  TEntryRun run;
  run.Symbols = CyrillicTable();
  run.ErrorRate = 0.5;
  const TEntryResult r = SimulateEntry(QStringLiteral("ВОТ ТАК."), run);
  EXPECT_TRUE(r.Done);
  EXPECT_GT(r.Undone, 0);
  EXPECT_GE(r.Selections, 8 + 2 * r.Undone) << "each deletion: a wrong selection and the deleting one";
}

}  // namespace
