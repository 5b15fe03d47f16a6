// The "Переключатель" group: the switch timing in the settings file's
// "Switch" section, and locked during a session like the other session options.
#include <QGroupBox>
#include <QSpinBox>

#include "SettingsFixture.h"
#include "inifile/IniFile.h"
#include "windows/OptionsInForce.h"

namespace {

using SwitchSettings = SettingsFixture;

TEST_F(SwitchSettings, OffAddsNoSectionAndValuesRoundTripThroughTheOptionsInForce) {
  EXPECT_EQ(Settings->GBSwitch->title(), QStringLiteral("Переключатель"));
  EXPECT_EQ(Settings->EAcceptanceTime->text(), QStringLiteral("нет"));
  const QString path = PathOf("switch.ini");
  ASSERT_TRUE(Settings->SaveSettings(path, false));
  EXPECT_FALSE(TIniFile(path.toStdString()).SectionExists("Switch"));

  Settings->EAcceptanceTime->setValue(200);
  Settings->EScanLoops->setValue(3);
  EXPECT_EQ(OptionsInForce().Switch().AcceptanceMs, 200) << "an edit is in force at once";
  ASSERT_TRUE(Settings->SaveSettings(path, false));
  EXPECT_EQ(TIniFile(path.toStdString()).ReadString("Switch", "Scan Loops", ""), "3");
  Settings->EAcceptanceTime->setValue(0);
  Settings->EScanLoops->setValue(0);
  Settings->LoadSettings(path);
  EXPECT_EQ(Settings->EAcceptanceTime->value(), 200);
  EXPECT_EQ(Settings->EScanLoops->value(), 3);
  EXPECT_EQ(Settings->EMaxHold->value(), 0);
}

TEST_F(SwitchSettings, LockedWhileASessionRuns) {
  Settings->EnableSessionControls(false);
  EXPECT_FALSE(Settings->EReleaseTime->isEnabled());
  Settings->EnableSessionControls(true);
  EXPECT_TRUE(Settings->EMaxHold->isEnabled());
}

}  // namespace
