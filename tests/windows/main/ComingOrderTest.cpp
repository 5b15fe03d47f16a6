// The coming order on the main window's drum: drawn as the engine plans the
// next rests, after a selection as at every rest, and not at all with the
// option off.
#include <QCoreApplication>

#include "MainFixture.h"
#include "indicators/DrumPainter.h"
#include "session/ComingOrder.h"
#include "windows/ImageView.h"
#include "windows/Main.h"

namespace {

class ComingOrderOnDrum : public MainFixture {
protected:
  void LaunchWith(bool showComingOrder, bool groupScan = false) {
    WriteIniKeys(IniPath(), QStringLiteral("Speed"),
                 {{QStringLiteral("Predict Next Letter"), QStringLiteral("1")},
                  {QStringLiteral("Show Coming Order"), showComingOrder ? QStringLiteral("1") : QStringLiteral("0")},
                  {QStringLiteral("Group Scan"), groupScan ? QStringLiteral("1") : QStringLiteral("0")}});
    Launch();
    FMain->show();
  }

  // The drum as the session stands, painted afresh, with the coming order
  // marked or not.
  static QImage Expected(bool marked) {
    const TSessionEngine& engine = FMain->Engine();
    TDrumScene scene;
    scene.Symbols = engine.Symbols();
    scene.Position = engine.DrumPosition();
    scene.Phase = engine.StepPhase();
    scene.Running = engine.Running();
    scene.FastMode = engine.FastMode();
    scene.Target = engine.Running() ? engine.NextPosition() : 0;
    scene.Background = FMain->palette().color(QPalette::Window);
    if (marked && engine.Running() && engine.Level() > 0) {
      scene.Group = engine.RestGroup();
      scene.ComingGroups = ComingGroups(engine, DrumComingMarks);
    } else if (marked && engine.Running()) {
      scene.Coming = ComingOrder(engine, DrumComingMarks);
    }
    QImage image(FMain->IDrum->Image().size(), TDrumPainter::Format);
    PaintDrum(image, scene);
    return image;
  }
};

TEST_F(ComingOrderOnDrum, MarksFollowThePlanAtEveryRestAndAfterEverySelection) {
  LaunchWith(true);
  Start(QStringLiteral("0.5"));
  EXPECT_EQ(FMain->IDrum->Image(), Expected(true)) << "at the first rest";
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    const QList<int> planned = ComingOrder(FMain->Engine(), DrumComingMarks);
    Fire();
    ASSERT_EQ(FMain->Engine().WrittenCount(), k + 1);
    QCoreApplication::processEvents();
    ASSERT_NE(ComingOrder(FMain->Engine(), DrumComingMarks), planned) << "the selection planned nothing new";
    EXPECT_EQ(FMain->IDrum->Image(), Expected(true)) << "after the selection";
    for (int frame = 0; frame < 6; ++frame) FMain->RunTimerTimer();
    EXPECT_EQ(FMain->IDrum->Image(), Expected(true)) << "at the next rest";
  }
  FMain->BStopClick();
  QCoreApplication::processEvents();
  EXPECT_EQ(FMain->IDrum->Image(), Expected(false)) << "no marks without a session";
}

// The groups are shown whether the coming order is or not: without them no
// group can be chosen.
TEST_F(ComingOrderOnDrum, GroupsAreShownAtBothLevels) {
  LaunchWith(false, true);
  Start(QStringLiteral("0.5"));
  ASSERT_EQ(FMain->Engine().Level(), 1);
  while (FMain->Engine().RestGroup().size() < 2) NextSymbol();
  EXPECT_EQ(FMain->IDrum->Image(), Expected(true)) << "a group at rest, the next groups numbered";
  Fire();
  QCoreApplication::processEvents();
  EXPECT_EQ(FMain->Engine().WrittenCount(), 0);
  EXPECT_EQ(FMain->IDrum->Image(), Expected(true)) << "its members numbered as they come";
  NextSymbol();
  ASSERT_EQ(FMain->Engine().Level(), 2);
  EXPECT_EQ(FMain->IDrum->Image(), Expected(true)) << "at a member";
}

TEST_F(ComingOrderOnDrum, OffLeavesTheDrumWithoutMarks) {
  LaunchWith(false);
  Start(QStringLiteral("0.5"));
  Fire();
  QCoreApplication::processEvents();
  EXPECT_EQ(FMain->IDrum->Image(), Expected(false));
  NextSymbol();
  EXPECT_EQ(FMain->IDrum->Image(), Expected(false));
}

}  // namespace
