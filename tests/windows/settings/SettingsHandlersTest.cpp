// The options acting on the measurement chain, the logos and the session lock.
#include "session/SessionModel.h"
#include "SettingsFixture.h"

#include "inifile/IniFile.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "session/SessionRules.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>

class SettingsHandlers : public SettingsFixture {};

TEST_F(SettingsHandlers, DataDepthParsesClampsAndKeepsTheText) {
  Settings->EDataAccDepth->setText(QStringLiteral("7"));
  EXPECT_EQ(Probe->DataChannel().Depth(), 7);
  Settings->EDataAccDepth->setText(QStringLiteral("abc"));
  EXPECT_EQ(Probe->DataChannel().Depth(), 1);
  Settings->EDataAccDepth->setText(QStringLiteral("2000"));
  EXPECT_EQ(Probe->DataChannel().Depth(), 1024);
  EXPECT_EQ(Settings->EDataAccDepth->text(), QStringLiteral("2000"));

  const QString path = PathOf("depth.ini");
  ASSERT_TRUE(Settings->SaveSettings(path, false));
  const TIniFile ini(path.toStdString());
  EXPECT_EQ(ini.ReadString("General Options", "Data Acc Depth", ""), "2000");
}

TEST_F(SettingsHandlers, LevelDepthActsOnTheLevelChannel) {
  Settings->ELevelAccDepth->setText(QStringLiteral(" 12 "));
  EXPECT_EQ(Probe->LevelChannel().Depth(), 12);
  EXPECT_EQ(Probe->DataChannel().Depth(), 1);
  Settings->ELevelAccDepth->setText(QStringLiteral("-3"));
  EXPECT_EQ(Probe->LevelChannel().Depth(), 1);
}

TEST_F(SettingsHandlers, SpringDampingLeavesAnUncheckedSpringOff) {
  TSignalChannel& needle = Gauge->NeedleChannel();
  needle.SetSpringState(1.5, -0.25);
  ASSERT_FALSE(Settings->CBGaugeSpringEn->isChecked());
  Settings->EGaugeSpringDump->setText(QStringLiteral("2,5"));
  EXPECT_FALSE(needle.SpringEnabled);
  EXPECT_DOUBLE_EQ(needle.Damping, 2.5);
  EXPECT_DOUBLE_EQ(needle.SpringPosition(), 1.5);
  EXPECT_DOUBLE_EQ(needle.SpringVelocity(), -0.25);

  Settings->CBGaugeSpringEn->setChecked(true);
  EXPECT_TRUE(needle.SpringEnabled);
  Settings->EGaugeSpringDump->setText(QStringLiteral("4.5"));
  EXPECT_TRUE(needle.SpringEnabled);
  EXPECT_DOUBLE_EQ(needle.Damping, 4.5);
  Settings->EGaugeSpringDump->setText(QStringLiteral("x"));
  EXPECT_DOUBLE_EQ(needle.Damping, 3.1);

  Settings->CBGaugeSpringEn->setChecked(false);
  EXPECT_FALSE(needle.SpringEnabled);
}

TEST_F(SettingsHandlers, SpringTimeStepParsesPointOrComma) {
  TSignalChannel& needle = Gauge->NeedleChannel();
  Settings->EGaugeSpringSpeed->setText(QStringLiteral("0,3"));
  EXPECT_DOUBLE_EQ(needle.TimeStep, 0.3);
  Settings->EGaugeSpringSpeed->setText(QStringLiteral("0.15"));
  EXPECT_DOUBLE_EQ(needle.TimeStep, 0.15);
  Settings->EGaugeSpringSpeed->setText(QString());
  EXPECT_DOUBLE_EQ(needle.TimeStep, 0.22);
  EXPECT_FALSE(needle.SpringEnabled);
}

// A typed spring parameter outside the range the needle runs in: the hint
// says what is in effect; a design text is the same in every locale.
TEST_F(SettingsHandlers, SpringHintsSayWhatIsInEffect) {
  EXPECT_EQ(Settings->EGaugeSpringDump->toolTip().contains(QStringLiteral("действует")), false);
  Settings->EGaugeSpringDump->setText(QStringLiteral("10"));
  EXPECT_DOUBLE_EQ(Gauge->NeedleChannel().Damping, 10.0);
  const TSpringParameters in = SpringInEffect(10.0, 0.22);
  EXPECT_TRUE(Settings->EGaugeSpringDump->toolTip().endsWith(
      QStringLiteral("действует ") + QLocale().toString(in.Damping, 'g', 3)))
      << Settings->EGaugeSpringDump->toolTip().toStdString();
  Settings->EGaugeSpringSpeed->setText(QStringLiteral("-1"));
  EXPECT_TRUE(Settings->EGaugeSpringSpeed->toolTip().contains(QStringLiteral("действует")));

  // A second window shows the options in force: back to the design ones.
  Model.Options().Set(TNeedleOptions());
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  TFSettings russian;
  QLocale::setDefault(saved);
  EXPECT_EQ(russian.EGaugeSpringDump->text(), QStringLiteral("3.1"));
  EXPECT_EQ(russian.EGaugeSpringSpeed->text(), QStringLiteral("0.22"));
}

TEST_F(SettingsHandlers, SensorFlags) {
  Settings->CBNoSensor->setChecked(true);
  EXPECT_TRUE(Sensor->NoSensor);
  Settings->CBNoSensor->setChecked(false);
  EXPECT_FALSE(Sensor->NoSensor);
  Settings->CBInvertSensorData->setChecked(false);
  EXPECT_FALSE(Sensor->Invert);
  Settings->CBInvertSensorData->setChecked(true);
  EXPECT_TRUE(Sensor->Invert);
}

TEST_F(SettingsHandlers, LogosReachTheMainWindowTrimmed) {
  Settings->EOpLogo->setText(QStringLiteral("  Оп:  "));
  EXPECT_EQ(Main->OperatorLogo, QStringLiteral("Оп:"));
  EXPECT_EQ(Settings->EOpLogo->text(), QStringLiteral("  Оп:  "));
  Settings->ESpLogo->setText(QStringLiteral("\tДух: "));
  EXPECT_EQ(Main->SpiritLogo, QStringLiteral("Дух:"));
}

TEST_F(SettingsHandlers, LevelPercents) {
  Settings->EOnLevel->setText(QStringLiteral("150"));
  EXPECT_DOUBLE_EQ(LevelFromText(Settings->EOnLevel->text()), 100.0);
  Settings->EOnLevel->setText(QStringLiteral("30,5"));
  EXPECT_DOUBLE_EQ(LevelFromText(Settings->EOnLevel->text()), 30.5);
  Settings->EOffLevel->setText(QStringLiteral("-5"));
  EXPECT_DOUBLE_EQ(LevelFromText(Settings->EOffLevel->text()), 0.0);
  Settings->EOffLevel->setText(QStringLiteral("abc"));
  EXPECT_DOUBLE_EQ(LevelFromText(Settings->EOffLevel->text()), 0.0);
}

TEST_F(SettingsHandlers, WithoutAChainNothingBreaks) {
  SessionModel->UseChain(nullptr, nullptr, nullptr, nullptr);
  Settings->EDataAccDepth->setText(QStringLiteral("9"));
  Settings->ELevelAccDepth->setText(QStringLiteral("9"));
  Settings->EGaugeSpringDump->setText(QStringLiteral("9"));
  Settings->EGaugeSpringSpeed->setText(QStringLiteral("9"));
  Settings->CBGaugeSpringEn->setChecked(true);
  Settings->CBNoSensor->setChecked(true);
  Settings->CBInvertSensorData->setChecked(false);
  Settings->LoadSettings(PathOf("none.ini"));
  EXPECT_EQ(Probe->DataChannel().Depth(), 1);
  EXPECT_FALSE(Sensor->NoSensor);
}

TEST_F(SettingsHandlers, SessionLockTogglesExactlyTheSessionControls) {
  const QStringList locked = {
      "BOpenSettings", "BSaveSettings", "SGSymbolTable", "CBFixedSelected", "CBFastSlowMode",
      "EFastModeSymbol", "EStopSymbol", "EBackspaceSymbol", "EOnLevel", "EOffLevel",
      "CBNoSensor", "BAddSymbol", "BInsertSymbol", "BRemoveSymbol", "EOpLogo", "ESpLogo"};
  const QStringList free = {"EDataAccDepth", "ELevelAccDepth", "EGaugeSpringDump",
                            "EGaugeSpringSpeed", "CBGaugeSpringEn", "CBInvertSensorData",
                            "BTestSignal"};
  auto widget = [this](const QString& name) {
    QWidget* w = Settings->findChild<QWidget*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  };

  // Before the first session only the logos and their labels are disabled.
  for (const QString& name : locked + free)
    EXPECT_EQ(widget(name)->isEnabled(), name != "EOpLogo" && name != "ESpLogo") << name.toStdString();
  EXPECT_FALSE(Settings->LOpLogo->isEnabled());

  Settings->EnableSessionControls(false);
  for (const QString& name : locked) EXPECT_FALSE(widget(name)->isEnabled()) << name.toStdString();
  for (const QString& name : free) EXPECT_TRUE(widget(name)->isEnabled()) << name.toStdString();

  Settings->EnableSessionControls(true);
  for (const QString& name : locked + free) EXPECT_TRUE(widget(name)->isEnabled()) << name.toStdString();
  EXPECT_FALSE(Settings->LOpLogo->isEnabled());
  EXPECT_FALSE(Settings->LSpLogo->isEnabled());
}

TEST_F(SettingsHandlers, ControlsStartWithTheirTextsAndHints) {
  EXPECT_EQ(Settings->windowTitle(), QStringLiteral("Настройки"));
  EXPECT_EQ(Settings->EFastModeSymbol->text(), QStringLiteral("--"));
  EXPECT_EQ(Settings->EStopSymbol->text(), QStringLiteral("."));
  EXPECT_EQ(Settings->EBackspaceSymbol->text(), QStringLiteral("<"));
  EXPECT_EQ(Settings->EOnLevel->text(), QStringLiteral("30"));
  EXPECT_EQ(Settings->EOffLevel->text(), QStringLiteral("20"));
  EXPECT_EQ(Settings->EOpLogo->text(), QStringLiteral("Оп:"));
  EXPECT_EQ(Settings->ESpLogo->text(), QStringLiteral("Дух:"));
  EXPECT_EQ(Settings->EDataAccDepth->text(), QStringLiteral("1"));
  EXPECT_EQ(Settings->ELevelAccDepth->text(), QStringLiteral("5"));
  // The design texts, whatever the locale: the settings file keeps them as typed.
  EXPECT_EQ(Settings->EGaugeSpringDump->text(), QStringLiteral("3.1"));
  EXPECT_EQ(Settings->EGaugeSpringSpeed->text(), QStringLiteral("0.22"));
  EXPECT_FALSE(Settings->CBGaugeSpringEn->isChecked());
  EXPECT_TRUE(Settings->CBInvertSensorData->isChecked());
  EXPECT_FALSE(Settings->CBNoSensor->isChecked());
  EXPECT_EQ(Settings->CBNoSensor->text(), QStringLiteral("Без датчика"));
  EXPECT_EQ(Settings->BInsertSymbol->text(), QStringLiteral("|+|"));
  EXPECT_EQ(Settings->BTestSignal->text(), QStringLiteral("Имит. Сигн (F9)"));
  EXPECT_EQ(Settings->CBFastSlowMode->toolTip(), QStringLiteral("Режим \"быстро/медленно\""));
  EXPECT_EQ(Settings->EDataAccDepth->toolTip(), QStringLiteral("( 1 ... 1024 )"));
  EXPECT_EQ(Settings->BOpenSettings->toolTip(), QStringLiteral("Считать другие настройки"));
}
