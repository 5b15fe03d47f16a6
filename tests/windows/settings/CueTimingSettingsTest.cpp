// The speech group's cue timing: offered only with the cue voice, the echo
// only while the sensor is blocked; its section "Cue Timing" appears once a
// value differs from the design and then round-trips.
#include <QCheckBox>
#include <QSpinBox>

#include "SettingsFixture.h"
#include "inifile/IniFile.h"

namespace {

using CueTimingSettings = SettingsFixture;

TEST_F(CueTimingSettings, OfferedWithTheCueVoiceAndSavedOnceChanged) {
  EXPECT_FALSE(Settings->CBOpenTime->isChecked());
  EXPECT_FALSE(Settings->CBOpenTime->isEnabled());
  EXPECT_FALSE(Settings->EEchoMs->isEnabled());
  const QString path = PathOf("cue.ini");
  Settings->CBAuditoryScanning->setChecked(true);
  EXPECT_TRUE(Settings->CBOpenTime->isEnabled());
  EXPECT_FALSE(Settings->EEchoMs->isEnabled());
  ASSERT_TRUE(Settings->SaveSettings(path, false));
  EXPECT_FALSE(TIniFile(path.toStdString()).SectionExists("Cue Timing")) << "as designed: no section";

  Settings->CBOpenTime->setChecked(true);
  EXPECT_TRUE(Settings->EEchoMs->isEnabled());
  Settings->EEchoMs->setValue(90);
  Settings->CBBlockSensor->setChecked(false);
  EXPECT_FALSE(Settings->EEchoMs->isEnabled()) << "no blocking: no echo to wait for";
  ASSERT_TRUE(Settings->SaveSettings(path, false));
  const TIniFile ini(path.toStdString());
  EXPECT_EQ(ini.ReadString("Cue Timing", "Open Time After Cue", ""), "1");
  EXPECT_EQ(ini.ReadString("Cue Timing", "Echo Ms", ""), "90");

  Settings->CBOpenTime->setChecked(false);
  Settings->EEchoMs->setValue(200);
  Settings->LoadSettings(path);
  EXPECT_TRUE(Settings->CBOpenTime->isChecked());
  EXPECT_EQ(Settings->EEchoMs->value(), 90);
  EXPECT_TRUE(Settings->SpeechOptions().OpenTime);
}

}  // namespace
