// The settings file byte for byte: what the windows write at exit and by the
// save button, for a few sets of edits, against files kept in data/. Set
// QUILLORA_WRITE_SETTINGS_DATA=1 to write the files instead of comparing.
#include "SettingsFixture.h"

#include "capture/FakeCaptureDevice.h"
#include "files/AppFolder.h"
#include "windows/Graph.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSpinBox>

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString DataPath(const char* name) {
  return QStringLiteral(QUILLORA_SETTINGS_DATA_DIR "/") + QLatin1String(name);
}

class SettingsFileBytes : public SettingsFixture {
protected:
  void SetUp() override {
    SettingsFixture::SetUp();
    Inputs.Inputs = {{"mic", "Микрофон"}, {"usb", "USB-вход"}};
    TFSettings::SetCaptureInputs(&Inputs);
    Graph = new TFGraph;
    FGraph = Graph;
  }
  void TearDown() override {
    delete Graph;
    FGraph = nullptr;
    SettingsFixture::TearDown();
    TFSettings::SetCaptureInputs(nullptr);
  }

  // The start: the default file read as at the main window's activation.
  void Start() { Main->LoadWindowSettings(SettingsFilePath()); }

  // The windows write their parts in the reverse order of their creation.
  void Exit() {
    delete Graph;
    Graph = nullptr;
    FGraph = nullptr;
    delete Display;
    Display = nullptr;
    FDisplay = nullptr;
    delete Settings;
    Settings = nullptr;
    FSettings = nullptr;
    Main->SaveWindowSettings(SettingsFilePath());
  }

  void SaveAs(const QString& path) {
    Dialogs.FileAnswers.push_back(path);
    Dialogs.Answers.push_back(true);
    Settings->BSaveSettingsClick();
  }

  void ChangeEveryOption() {
    SetSymbols({"А", "Б", "В", " ", "--", "<", "."}, 2);
    Settings->CBFixedSelected->setChecked(true);
    Settings->CBFastSlowMode->setChecked(true);
    Settings->EFastModeSymbol->setText(QStringLiteral("Б"));
    Settings->EStopSymbol->setText(QStringLiteral(".;!"));
    Settings->EBackspaceSymbol->setText(QStringLiteral("<<"));
    Settings->EOnLevel->setText(QStringLiteral("30,5"));
    Settings->EOffLevel->setText(QStringLiteral(" 12 "));
    Settings->CBNoSensor->setChecked(true);
    Settings->EDataAccDepth->setText(QStringLiteral("2000"));
    Settings->ELevelAccDepth->setText(QStringLiteral("abc"));
    Settings->EGaugeSpringDump->setText(QStringLiteral("2,5"));
    Settings->EGaugeSpringSpeed->setText(QStringLiteral("0.3"));
    Settings->CBGaugeSpringEn->setChecked(true);
    Settings->CBInvertSensorData->setChecked(false);
    Settings->EOpLogo->setText(QStringLiteral("  Оп:  "));
    Settings->ESpLogo->setText(QStringLiteral("\"Дух\""));
    MainField("ELevel")->setText(QStringLiteral("2.500"));
    MainField("ESymbolPeriod")->setText(QStringLiteral("0,750"));
    GainField()->setText(QStringLiteral("250"));
    Settings->DDSelectKey->setCurrentIndex(Settings->DDSelectKey->findData(QStringLiteral("Space")));
    Settings->DDStopKey->setCurrentIndex(Settings->DDStopKey->findData(QStringLiteral("F12")));
    Settings->ETapeFontSize->setValue(20);
    Settings->CBSaySelected->setChecked(true);
    Settings->ECueVolume->setValue(55);
    Settings->EMainRate->setValue(140);
    Settings->CBPredictLetter->setChecked(true);
    Settings->CBShowComingOrder->setChecked(true);
    Settings->CBCaptureDevice->setCurrentIndex(Settings->CBCaptureDevice->findData(QStringLiteral("usb")));
    Settings->CBCaptureDeviceChange();
    ASSERT_EQ(Settings->CaptureDevice(), QStringLiteral("usb"));
  }

  // Compares the file with data/<name>, or writes it there.
  void ExpectBytes(const QString& path, const char* name) {
    const QByteArray actual = ReadAll(path);
    ASSERT_FALSE(actual.isEmpty()) << path.toStdString();
    if (qEnvironmentVariableIsSet("QUILLORA_WRITE_SETTINGS_DATA")) {
      QFile out(DataPath(name));
      ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
      out.write(actual);
      return;
    }
    EXPECT_EQ(actual, ReadAll(DataPath(name))) << name;
  }

  TFakeCaptureInputs Inputs;
  TFGraph* Graph = nullptr;
};

TEST_F(SettingsFileBytes, DefaultsAtExit) {
  Start();
  Exit();
  ExpectBytes(SettingsFilePath(), "defaults-at-exit.ini");
}

TEST_F(SettingsFileBytes, EveryOptionChangedSavedAndAtExit) {
  Start();
  ChangeEveryOption();
  SaveAs(PathOf("saved.ini"));
  ExpectBytes(PathOf("saved.ini"), "every-option-saved.ini");
  Exit();
  ExpectBytes(SettingsFilePath(), "every-option-exit.ini");
}

TEST_F(SettingsFileBytes, HandEditedFileOpenedThenSavedOverItself) {
  const QString path = WriteFile("hand.ini", ReadAll(DataPath("hand-edited.ini")));
  Start();
  Dialogs.FileAnswers.push_back(path);
  Settings->BOpenSettingsClick();
  ASSERT_TRUE(Dialogs.Messages.isEmpty()) << Dialogs.Messages.join('\n').toStdString();
  SaveAs(path);
  ExpectBytes(path, "hand-edited-saved.ini");
  Exit();
  ExpectBytes(SettingsFilePath(), "hand-edited-exit.ini");
}

}  // namespace
