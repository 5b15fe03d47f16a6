// The main window's speech: off as designed (no engine, no button, no
// section in the file); on, the button reads the last line, the options
// reach the file, and a missing engine is reported once.
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "MainFixture.h"
#include "inifile/IniFile.h"
#include "speech/FakeSpeech.h"
#include "windows/Main.h"
#include "windows/Settings.h"

namespace {

class MainSpeech : public MainFixture {
protected:
  void SetUp() override {
    MainFixture::SetUp();
    TFMain::SetSpeechFactory([this] {
      auto speech = std::make_unique<TFakeSpeech>();
      speech->Missing = "Речь недоступна: проверка.";
      Speech = speech.get();
      ++Made;
      return speech;
    });
  }
  void TearDown() override {
    MainFixture::TearDown();
    TFMain::SetSpeechFactory({});
  }
  TFakeSpeech* Speech = nullptr;
  int Made = 0;
};

TEST_F(MainSpeech, OffAsDesignedThenOnReadsTheLineAndReportsAMissingEngineOnce) {
  Launch();
  EXPECT_TRUE(FMain->BSay->isHidden());
  Shutdown();
  EXPECT_EQ(Made, 0) << "no engine is made while no option is on";
  EXPECT_FALSE(TIniFile(IniPath().toStdString()).SectionExists("Speech"));

  Launch();
  FSettings->CBReadLines->setChecked(true);
  FSettings->CBSaySelected->setChecked(true);
  FSettings->EMainRate->setValue(200);
  EXPECT_TRUE(FMain->BSay->isVisibleTo(FMain));
  EXPECT_EQ(FMain->BSay->toolTip(), QStringLiteral("Прочитать вслух последнюю строку ленты"));
  EXPECT_EQ(FMain->LNotice->text(), QStringLiteral("Речь недоступна: проверка."));
  FMain->MTape->setPlainText(QStringLiteral("- ПЕРВАЯ.\n- ВТОРАЯ СТРОКА"));
  FMain->BSay->click();
  ASSERT_TRUE(Speech);
  EXPECT_EQ(Speech->Log, std::vector<std::string>{"main:ВТОРАЯ СТРОКА"});
  EXPECT_EQ(Speech->Voices[1].Rate, 200);
  Shutdown();
  EXPECT_EQ(Made, 1);

  Launch();
  EXPECT_TRUE(FSettings->CBReadLines->isChecked());
  EXPECT_TRUE(FSettings->CBBlockSensor->isChecked()) << "on by default with speech";
  EXPECT_EQ(FSettings->EMainRate->value(), 200);
  EXPECT_TRUE(FMain->BSay->isVisibleTo(FMain));
}

}  // namespace
