// The drum paused after the scan loops: a notice under the tape while it
// stands, gone once a reaction lets it turn again.
#include <QLabel>

#include "MainFixture.h"
#include "windows/Main.h"
#include "windows/OptionsInForce.h"

namespace {

using SwitchPause = MainFixture;

TEST_F(SwitchPause, ANoticeShowsWhileTheDrumStands) {
  Launch();
  TSwitchOptions loops;
  loops.ScanLoops = 1;
  OptionsInForce().Set(loops);
  Start(QStringLiteral("0.1"));
  const int turn = static_cast<int>(FMain->Engine().Symbols().size());
  for (int i = 0; i < turn; ++i) NextSymbol();
  ASSERT_TRUE(FMain->Engine().Paused());
  EXPECT_TRUE(FMain->LNotice->isVisibleTo(FMain));
  EXPECT_TRUE(FMain->LNotice->text().contains(TFMain::PausedNotice()));
  Fire();
  EXPECT_FALSE(FMain->Engine().Paused());
  EXPECT_TRUE(FMain->LNotice->isHidden());
  EXPECT_TRUE(Tape().isEmpty()) << "the reaction that let the drum turn took nothing";
  FMain->BStopClick();
}

}  // namespace
