// The coming order the drum marks: the rests the engine then really takes,
// with prediction (its planned letters, then table order) and with restart
// after selection, at a rest and during a move.
#include <gtest/gtest.h>

#include "SessionRig.h"
#include "session/AlphabetPresets.h"
#include "session/ComingOrder.h"

namespace {

// The symbols of the next count rests as the drum goes there.
QList<int> RestsTaken(TSessionRig& rig, int count) {
  QList<int> rests;
  while (rests.size() < count) {
    rig.Frames(1);
    if (rig.Engine.StepPhase() == 0) rests << rig.Engine.DrumPosition();
  }
  return rests;
}

void ExpectOrderTakenAfterSelections(TSessionRig& rig, int selections) {
  constexpr int Count = 6;
  for (int k = 0; k < selections; ++k) {
    SCOPED_TRACE(k);
    rig.Fire();
    ASSERT_EQ(rig.Engine.WrittenCount(), k + 1);
    const QList<int> atRest = ComingOrder(rig.Engine, Count);
    rig.Frames(3);
    const QList<int> moving = ComingOrder(rig.Engine, Count);
    EXPECT_EQ(moving, atRest);
    const int rest = rig.Engine.DrumPosition();
    EXPECT_EQ(RestsTaken(rig, Count), atRest);
    EXPECT_NE(atRest.first(), rest);
  }
}

TEST(ComingOrder, PredictedRestsThenTableOrderAsTheEngineTakesThem) {
  TSessionRig rig;
  rig.Host.Options.Symbols = AlphabetPresetSymbols(TAlphabetPreset::Cyrillic);
  ASSERT_EQ(rig.Host.Options.Symbols.size(), 36);
  rig.Host.Speed.PredictNextLetter = true;
  // Three planned letters: the order runs on into table order within the marks.
  rig.Engine.SetPredictedLetters(3);
  rig.Engine.Start(QStringLiteral("1"));
  ExpectOrderTakenAfterSelections(rig, 4);
}

TEST(ComingOrder, RestartAfterSelectionAndPlainTableOrder) {
  TSessionRig rig;
  rig.Host.Speed.RestartAfterSelection = true;
  rig.Engine.Start(QStringLiteral("1"));
  EXPECT_EQ(ComingOrder(rig.Engine, 3), (QList<int>{2, 3, 4}));
  rig.MoveTo(QStringLiteral("Y"));
  EXPECT_EQ(ComingOrder(rig.Engine, 4), (QList<int>{26, 27, 28, 1})) << "round the table";
  ExpectOrderTakenAfterSelections(rig, 2);
  EXPECT_TRUE(ComingOrder(0, {}, 0, 4).isEmpty());
}

}  // namespace
