// The "Скорость" group: its options in the settings file's "Speed"
// section, and locked during a session like the other session options.
#include <QCheckBox>
#include <QGroupBox>
#include <QSpinBox>

#include "SettingsFixture.h"
#include "inifile/IniFile.h"
#include "session/Options.h"

namespace {

using SpeedSettings = SettingsFixture;

TEST_F(SpeedSettings, OffOptionsAddNoSectionAndOnOnesRoundTrip) {
  EXPECT_FALSE(Settings->CBRestartAfterSelect->isChecked());
  EXPECT_FALSE(Settings->CBPredictLetter->isChecked());
  EXPECT_FALSE(Settings->CBShowComingOrder->isChecked());
  EXPECT_EQ(Settings->findChild<QGroupBox*>(QStringLiteral("GBSpeed"))->title(), QStringLiteral("Скорость"));

  const QString path = PathOf("speed.ini");
  ASSERT_TRUE(Settings->SaveSettings(path, false));
  EXPECT_FALSE(TIniFile(path.toStdString()).SectionExists("Speed")) << "off as designed: the file as designed";

  Settings->CBPredictLetter->setChecked(true);
  Settings->CBShowComingOrder->setChecked(true);
  ASSERT_TRUE(Settings->SaveSettings(path, false));
  Settings->CBPredictLetter->setChecked(false);
  Settings->CBShowComingOrder->setChecked(false);
  Settings->LoadSettings(path);
  EXPECT_TRUE(Settings->CBPredictLetter->isChecked());
  EXPECT_TRUE(Settings->CBShowComingOrder->isChecked());
  EXPECT_EQ(TIniFile(path.toStdString()).ReadString("Speed", "Show Coming Order", ""), "1");
  EXPECT_FALSE(Settings->CBRestartAfterSelect->isChecked());

  // Turned off again, the section keeps saying so.
  Settings->CBPredictLetter->setChecked(false);
  ASSERT_TRUE(Settings->SaveSettings(path, false));
  EXPECT_EQ(TIniFile(path.toStdString()).ReadString("Speed", "Predict Next Letter", ""), "0");

  // The backspace symbol's place: offered at the measured best, 0 for none.
  EXPECT_EQ(Settings->EUndoPlace->value(), TSpeedOptions::DefaultUndoPlace);
  Settings->EUndoPlace->setValue(0);
  EXPECT_EQ(Settings->EUndoPlace->text(), QStringLiteral("нет"));
  ASSERT_TRUE(Settings->SaveSettings(path, false));
  EXPECT_EQ(TIniFile(path.toStdString()).ReadString("Speed", "Undo Place", ""), "0");
  Settings->EUndoPlace->setValue(2);
  Settings->LoadSettings(path);
  EXPECT_EQ(Settings->EUndoPlace->value(), 0);

  // The group scan: written only once it has been on.
  EXPECT_FALSE(Settings->CBGroupScan->isChecked());
  EXPECT_FALSE(TIniFile(path.toStdString()).ValueExists("Speed", "Group Scan"));
  Settings->CBGroupScan->setChecked(true);
  ASSERT_TRUE(Settings->SaveSettings(path, false));
  Settings->CBGroupScan->setChecked(false);
  Settings->LoadSettings(path);
  EXPECT_TRUE(Settings->CBGroupScan->isChecked());
  Settings->CBGroupScan->setChecked(false);
  ASSERT_TRUE(Settings->SaveSettings(path, false));
  EXPECT_EQ(TIniFile(path.toStdString()).ReadString("Speed", "Group Scan", ""), "0");
}

TEST_F(SpeedSettings, LockedWhileASessionRuns) {
  Settings->EnableSessionControls(false);
  EXPECT_FALSE(Settings->CBRestartAfterSelect->isEnabled());
  EXPECT_FALSE(Settings->CBPredictLetter->isEnabled());
  EXPECT_FALSE(Settings->EUndoPlace->isEnabled());
  EXPECT_FALSE(Settings->CBShowComingOrder->isEnabled());
  EXPECT_FALSE(Settings->CBGroupScan->isEnabled());
  Settings->EnableSessionControls(true);
  EXPECT_TRUE(Settings->CBPredictLetter->isEnabled());
}

}  // namespace
