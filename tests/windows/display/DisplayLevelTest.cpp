// The level-mode buttons and "Текщ".
#include "DisplayFixture.h"

#include "indicators/Instdisplay.h"
#include "session/Calibration.h"

#include <QLineEdit>

#include <QToolButton>

namespace {

class DisplayLevelTest : public DisplayTest {
protected:
  void SetUp() override {
    DisplayTest::SetUp();
    AttachChain();
    MakeDisplay();
  }
};

} // namespace

TEST_F(DisplayLevelTest, ModeButtonsSetTheProbesLevelMode) {
  // The buttons do not send their initial state to the probe.
  EXPECT_EQ(Chain.Probe.LevelMode, TProbe::LevelAuto);
  Display->BLevelFind->click();
  EXPECT_EQ(Chain.Probe.LevelMode, TProbe::LevelTracking);
  Display->BLevelFixed->click();
  EXPECT_EQ(Chain.Probe.LevelMode, TProbe::LevelFixed);
  EXPECT_FALSE(Display->BLevelFind->isChecked());
  Display->BLevelFind->click();
  EXPECT_EQ(Chain.Probe.LevelMode, TProbe::LevelTracking);
  Display->BLevelAutoClick();
  EXPECT_EQ(Chain.Probe.LevelMode, TProbe::LevelAuto);
  // The disabled button cannot be clicked.
  Display->BLevelFind->click();
  Display->BLevelAuto->click();
  EXPECT_EQ(Chain.Probe.LevelMode, TProbe::LevelTracking);
  EXPECT_FALSE(Model.Options().Calibration().Accepted()) << "hand changes are kept only after a calibration";
}

TEST_F(DisplayLevelTest, CurrentLevelButtonBringsTheLevelToTheSignal) {
  Display->FormActivate();
  ASSERT_TRUE(Display->IndicatorsCreated());
  int fixedClicks = 0;
  QObject::connect(Display->BLevelFixed, &QToolButton::clicked, [&fixedClicks] { ++fixedClicks; });
  Display->BLevelFind->click();

  Chain.RunWithAmplitude(64);  // sensor value 0.5
  ASSERT_DOUBLE_EQ(Chain.Probe.SensorValue(), 0.5);
  ASSERT_GT(std::abs(Chain.Model.Data().Inst), 5.0);  // the level lags behind

  Display->BLevelSet->click();
  EXPECT_EQ(Chain.Probe.LevelMode, TProbe::LevelFixed);
  EXPECT_DOUBLE_EQ(Chain.Probe.Level, 0.5);
  EXPECT_TRUE(Display->BLevelFixed->isChecked());
  EXPECT_FALSE(Display->BLevelFind->isChecked());
  EXPECT_EQ(fixedClicks, 0);
  EXPECT_EQ(Display->LevelControl()->LevelText(), QLocale().toString(0.5, 'f', 2));

  // The next measurement puts the needle at the offset, and the level holds.
  Chain.Model.Measure();
  EXPECT_DOUBLE_EQ(Chain.Model.Data().Inst, 0.0);
  Chain.Model.Measure();
  EXPECT_DOUBLE_EQ(Chain.Probe.Level, 0.5);
  EXPECT_DOUBLE_EQ(Chain.Model.Data().Inst, 0.0);
}

TEST_F(DisplayLevelTest, DragInTrackingModeJumpsBackAtTheNextMeasurement) {
  Display->FormActivate();
  Display->BLevelFind->click();
  Chain.RunWithAmplitude(0);  // sensor value 0: the level settles at 0
  for (int i = 0; i < 3; ++i) Chain.Model.Measure();
  ASSERT_NEAR(Chain.Probe.Level, 0.0, 1e-12);
  TLevelCtrlV1* dial = Display->LevelControl();
  dial->MouseDown(Qt::LeftButton, {}, 108, 58);
  dial->MouseUp(Qt::LeftButton, {}, 108, 58);
  ASSERT_NEAR(Chain.Probe.Level, 0.5, 1e-12);
  Chain.Model.Measure();
  Display->DrawIndicators();
  EXPECT_NEAR(Chain.Probe.Level, 0.0, 1e-12);
  EXPECT_EQ(dial->LevelText(), QLocale().toString(0.0, 'f', 2));
}

// A calibration proposal goes into the options (the panel's gain field and
// the levels the next session starts with) and its level mode to the probe.
TEST_F(DisplayLevelTest, CalibrationProposalReachesTheOptions) {
  TCalibrationProposal p;
  p.Result = TCalibrationResult::Proposed;
  p.Gain = 250;
  p.OnLevel = 40;
  p.OffLevel = 25;
  p.LevelMode = TProbe::LevelFixed;
  p.RestLevel = 0.25;
  Display->ApplyCalibration(p);
  EXPECT_EQ(Model.Options().Needle().Gain, QStringLiteral("250"));
  EXPECT_EQ(Display->EGaugeAmp->text(), QStringLiteral("250"));
  EXPECT_DOUBLE_EQ(Chain.Model.Gain(), 250.0);
  EXPECT_EQ(Model.Options().Session().OnLevel, QStringLiteral("40"));
  EXPECT_EQ(Model.Options().Session().OffLevel, QStringLiteral("25"));
  EXPECT_EQ(Chain.Probe.LevelMode, TProbe::LevelFixed);
  EXPECT_DOUBLE_EQ(Chain.Probe.Level, 0.25) << "the fixed level at the rest measured";
  EXPECT_EQ(Model.Options().Calibration().LevelMode, TProbe::LevelFixed);
  EXPECT_EQ(Model.Options().Calibration().RestLevel, QStringLiteral("0.2500"));

  // The automatic level comes with the depth it was judged at.
  p.LevelMode = TProbe::LevelAuto;
  p.LevelDepth = 50;
  Display->ApplyCalibration(p);
  EXPECT_EQ(Chain.Probe.LevelMode, TProbe::LevelAuto);
  EXPECT_EQ(Model.Options().Signal().LevelAccDepth, QStringLiteral("50"));
  EXPECT_EQ(Chain.Probe.LevelChannel().Depth(), 50);
  EXPECT_EQ(Model.Options().Calibration().LevelMode, TProbe::LevelAuto);
}
