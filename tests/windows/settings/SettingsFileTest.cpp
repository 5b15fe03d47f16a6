// LoadSettings, SaveSettings, the writes at exit and the two file buttons.
#include "SettingsFixture.h"

#include "inifile/IniFile.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "files/AppFolder.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>

namespace {

QStringList AToZ() {
  QStringList s;
  for (char c = 'A'; c <= 'Z'; ++c) s << QString(QChar(c));
  return s;
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class SettingsFile : public SettingsFixture {};

TEST_F(SettingsFile, NoFileGivesTheDefaultTableAndKeepsTheFields) {
  Settings->EOnLevel->setText(QStringLiteral("44"));
  Settings->LoadSettings(PathOf("missing.ini"));
  EXPECT_EQ(Symbols(), AToZ() + QStringList({" ", "."}));
  EXPECT_EQ(Settings->EOnLevel->text(), QStringLiteral("44"));
  EXPECT_EQ(Settings->EStopSymbol->text(), QStringLiteral("."));
  EXPECT_TRUE(Settings->CBInvertSensorData->isChecked());
  EXPECT_FALSE(Main->DrumFrozen);
  EXPECT_EQ(Grid->item(27, TSymbolTable::NumberColumn)->text(), QStringLiteral("28"));
}

TEST_F(SettingsFile, MissingSymbolKeysTakeTheirDefaults) {
  // On disk in cp1251: "Б" is byte 0xC1.
  const QString path = WriteFile("five.ini", "[Symbol Table]\r\nCount=5\r\nSymbol 2=\xC1\r\n");
  Settings->LoadSettings(path);
  EXPECT_EQ(Symbols(), QStringList({"A", "Б", "C", " ", "."}));
}

TEST_F(SettingsFile, CountIsClampedAndReadInHex) {
  Settings->LoadSettings(WriteFile("one.ini", "[Symbol Table]\r\nCount=1\r\n"));
  EXPECT_EQ(Symbols(), QStringList({" ", "."}));

  Settings->LoadSettings(WriteFile("many.ini", "[Symbol Table]\r\nCount=250\r\n"));
  ASSERT_EQ(Settings->SymbolCount(), 100);
  // After "Z" come the following cp1251 characters.
  EXPECT_EQ(Settings->Symbol(26), QStringLiteral("Z"));
  EXPECT_EQ(Settings->Symbol(27), QStringLiteral("["));
  EXPECT_EQ(Settings->Symbol(28), QStringLiteral("\\"));
  EXPECT_EQ(Settings->Symbol(29), QStringLiteral("]"));
  EXPECT_EQ(Settings->Symbol(64), QStringLiteral("Ђ"));  // 0x80
  EXPECT_EQ(Settings->Symbol(98), QStringLiteral("ў"));  // 0xA2
  EXPECT_EQ(Settings->Symbol(99), QStringLiteral(" "));
  EXPECT_EQ(Settings->Symbol(100), QStringLiteral("."));

  Settings->LoadSettings(WriteFile("hex.ini", "[Symbol Table]\r\nCount=0x1E\r\n"));
  EXPECT_EQ(Settings->SymbolCount(), 30);
  EXPECT_EQ(Settings->Symbol(28), QStringLiteral("\\"));
}

TEST_F(SettingsFile, SymbolKeysBeyondTheCountAreNotRead) {
  Settings->LoadSettings(
      WriteFile("extra.ini", "[Symbol Table]\r\nCount=3\r\nSymbol 3=Q\r\nSymbol 4=R\r\n"));
  EXPECT_EQ(Symbols(), QStringList({"A", " ", "Q"}));
}

TEST_F(SettingsFile, SavedFileRestoresEverything) {
  SetSymbols({"А", "Б", " ", "--", "\"q\"", "."}, 2);
  Settings->CBFixedSelected->setChecked(true);
  Settings->CBFastSlowMode->setChecked(true);
  Settings->EFastModeSymbol->setText(QStringLiteral("Б"));
  Settings->EStopSymbol->setText(QStringLiteral(".;!"));
  Settings->EBackspaceSymbol->setText(QStringLiteral("<<"));
  Settings->EOnLevel->setText(QStringLiteral("45,5"));
  Settings->EOffLevel->setText(QStringLiteral("12"));
  Settings->CBNoSensor->setChecked(true);
  Settings->EDataAccDepth->setText(QStringLiteral("3"));
  Settings->ELevelAccDepth->setText(QStringLiteral("40"));
  Settings->EGaugeSpringDump->setText(QStringLiteral("2,5"));
  Settings->EGaugeSpringSpeed->setText(QStringLiteral("0.3"));
  Settings->CBGaugeSpringEn->setChecked(true);
  Settings->CBInvertSensorData->setChecked(false);
  Settings->EOpLogo->setText(QStringLiteral("  Оп:  "));
  Settings->ESpLogo->setText(QStringLiteral("Дух: "));
  MainField("ELevel")->setText(QStringLiteral("2.500"));
  MainField("ESymbolPeriod")->setText(QStringLiteral("0,750"));
  GainField()->setText(QStringLiteral("250"));

  const QString path = PathOf("saved.ini");
  ASSERT_TRUE(Settings->SaveSettings(path, true));

  // Everything back to other values, the chain too.
  SetSymbols({"x", "y"});
  for (QCheckBox* b : {Settings->CBFixedSelected, Settings->CBFastSlowMode, Settings->CBNoSensor,
                       Settings->CBGaugeSpringEn})
    b->setChecked(false);
  Settings->CBInvertSensorData->setChecked(true);
  for (QLineEdit* e : {Settings->EFastModeSymbol, Settings->EStopSymbol, Settings->EBackspaceSymbol,
                       Settings->EOnLevel, Settings->EOffLevel, Settings->EDataAccDepth,
                       Settings->ELevelAccDepth, Settings->EGaugeSpringDump,
                       Settings->EGaugeSpringSpeed, Settings->EOpLogo, Settings->ESpLogo,
                       MainField("ELevel"), MainField("ESymbolPeriod"), GainField()})
    e->setText(QStringLiteral("1"));
  Main->OperatorLogo.clear();

  Settings->LoadSettings(path);
  EXPECT_EQ(Symbols(), QStringList({"А", "Б", " ", "--", "\"q\"", "."}));
  EXPECT_TRUE(Settings->CBFixedSelected->isChecked());
  EXPECT_TRUE(Settings->CBFastSlowMode->isChecked());
  EXPECT_EQ(Settings->EFastModeSymbol->text(), QStringLiteral("Б"));
  EXPECT_EQ(Settings->EStopSymbol->text(), QStringLiteral(".;!"));
  EXPECT_EQ(Settings->EBackspaceSymbol->text(), QStringLiteral("<<"));
  EXPECT_EQ(Settings->EOnLevel->text(), QStringLiteral("45,5"));
  EXPECT_EQ(Settings->EOffLevel->text(), QStringLiteral("12"));
  EXPECT_TRUE(Settings->CBNoSensor->isChecked());
  EXPECT_TRUE(Sensor->NoSensor);
  EXPECT_EQ(Probe->DataChannel().Depth(), 3);
  EXPECT_EQ(Probe->LevelChannel().Depth(), 40);
  EXPECT_DOUBLE_EQ(Gauge->NeedleChannel().Damping, 2.5);
  EXPECT_DOUBLE_EQ(Gauge->NeedleChannel().TimeStep, 0.3);
  EXPECT_TRUE(Gauge->NeedleChannel().SpringEnabled);
  EXPECT_FALSE(Settings->CBInvertSensorData->isChecked());
  EXPECT_FALSE(Sensor->Invert);
  EXPECT_EQ(Settings->EOpLogo->text(), QStringLiteral("  Оп:  "));
  EXPECT_EQ(Main->OperatorLogo, QStringLiteral("Оп:"));
  EXPECT_EQ(Settings->ESpLogo->text(), QStringLiteral("Дух: "));
  EXPECT_EQ(Main->SpiritLogo, QStringLiteral("Дух:"));
  EXPECT_EQ(MainField("ELevel")->text(), QStringLiteral("2.500"));
  EXPECT_EQ(MainField("ESymbolPeriod")->text(), QStringLiteral("0,750"));
  EXPECT_EQ(GainField()->text(), QStringLiteral("250"));
  if (PanelAppliesGain) {
    EXPECT_DOUBLE_EQ(Gauge->Gain(), 250.0);
  }
  EXPECT_FALSE(Main->DrumFrozen);
}

TEST_F(SettingsFile, OthersKeysOnlyWithTheFlag) {
  const QString path = PathOf("own.ini");
  ASSERT_TRUE(Settings->SaveSettings(path, false));
  const TIniFile ini(path.toStdString());
  EXPECT_FALSE(ini.ValueExists("General Options", "V Level"));
  EXPECT_FALSE(ini.ValueExists("General Options", "Char Period"));
  EXPECT_FALSE(ini.SectionExists("Display Options"));
  EXPECT_EQ(ini.ReadString("General Options", "Operator Logo", ""), "Оп:");
  EXPECT_EQ(ini.ReadInteger("Symbol Table", "Count", 0), 28);
}

TEST_F(SettingsFile, SaveErasesStaleSymbolKeys) {
  const QString path = PathOf("stale.ini");
  Settings->LoadSettings(path);  // 28 default symbols
  ASSERT_TRUE(Settings->SaveSettings(path, false));
  for (int i = 0; i < 25; ++i) Settings->BRemoveSymbolClick();
  ASSERT_EQ(Settings->SymbolCount(), 3);
  ASSERT_TRUE(Settings->SaveSettings(path, false));
  const TIniFile ini(path.toStdString());
  EXPECT_EQ(ini.ReadInteger("Symbol Table", "Count", 0), 3);
  EXPECT_TRUE(ini.ValueExists("Symbol Table", "Symbol 3"));
  EXPECT_FALSE(ini.ValueExists("Symbol Table", "Symbol 4"));
  EXPECT_FALSE(ini.ValueExists("Symbol Table", "Symbol 28"));
}

TEST_F(SettingsFile, BlanksSurviveTheRoundTrip) {
  SetSymbols({" ", "  a ", "."});
  Settings->EOpLogo->setText(QStringLiteral("  Оп:  "));
  Settings->EStopSymbol->setText(QStringLiteral(" . "));
  const QString path = PathOf("blanks.ini");
  ASSERT_TRUE(Settings->SaveSettings(path, false));
  SetSymbols({"x", "y"});
  Settings->EOpLogo->setText(QString());
  Settings->EStopSymbol->setText(QString());
  Settings->LoadSettings(path);
  EXPECT_EQ(Symbols(), QStringList({" ", "  a ", "."}));
  EXPECT_EQ(Settings->EOpLogo->text(), QStringLiteral("  Оп:  "));
  EXPECT_EQ(Settings->EStopSymbol->text(), QStringLiteral(" . "));
  // And the file is cp1251 on disk.
  EXPECT_TRUE(ReadAll(path).contains("\xCE\xEF:"));
}

TEST_F(SettingsFile, RefusedWriteIsShownOnce) {
  const QString path = PathOf("no/such/folder/x.ini");
  EXPECT_FALSE(Settings->SaveSettings(path, true));
  ASSERT_EQ(Dialogs.Messages.size(), 1);
  EXPECT_EQ(Dialogs.Messages[0], QStringLiteral("Unable to write to ") + path);
}

TEST_F(SettingsFile, WritesAtExitAndBoundsAtCreation) {
  Settings->EOnLevel->setText(QStringLiteral("33"));
  delete Settings;
  Settings = nullptr;
  FSettings = nullptr;
  {
    const TIniFile ini(SettingsFilePath().toStdString());
    EXPECT_EQ(ini.ReadString("General Options", "On Level", ""), "33");
    EXPECT_EQ(ini.ReadInteger("Settings Window", "Window Width", 0), 457);
    EXPECT_EQ(ini.ReadInteger("Settings Window", "Window Height", 0), 589);
    EXPECT_TRUE(ini.ValueExists("Settings Window", "Position Left"));
  }
  {
    TIniFile ini(SettingsFilePath().toStdString());
    ini.WriteInteger("Settings Window", "Position Left", 40);
    ini.WriteInteger("Settings Window", "Position Top", 30);
    ini.WriteInteger("Settings Window", "Window Width", 420);
    ini.WriteInteger("Settings Window", "Window Height", 500);
    ASSERT_TRUE(ini.UpdateFile());
  }
  Settings = new TFSettings;
  FSettings = Settings;
  Grid = Settings->SymbolTable();
  EXPECT_EQ(Settings->pos(), QPoint(40, 30));
  EXPECT_EQ(Settings->size(), QSize(420, 500));
}

TEST_F(SettingsFile, OpenButtonDialogAndMissingFile) {
  Dialogs.FileAnswers.push_back(PathOf("gone.ini"));
  Settings->BOpenSettingsClick();
  EXPECT_EQ(Dialogs.Messages, QStringList({QStringLiteral("Файл не существует.")}));
  ASSERT_EQ(Dialogs.FileRequests.size(), 1);
  const TFileDialogRequest& r = Dialogs.FileRequests[0];
  EXPECT_EQ(r.InitialDir, AppDataFolder());
  EXPECT_EQ(r.FileName, QString());
  EXPECT_EQ(r.DefaultExtension, QStringLiteral("ini"));
  EXPECT_EQ(r.Filters, QStringList({"INI Files (*.ini)", "All Files (*.*)"}));
  EXPECT_TRUE(r.FileMustExist);
  EXPECT_TRUE(r.PathMustExist);

  // After a confirmed choice the dialog returns to the last folder used.
  Settings->BOpenSettingsClick();  // cancelled
  EXPECT_EQ(Dialogs.FileRequests[1].InitialDir, QString());
  EXPECT_EQ(Dialogs.Messages.size(), 1);
}

TEST_F(SettingsFile, CancelledOpenKeepsTheFirstFolder) {
  Settings->BOpenSettingsClick();
  Settings->BOpenSettingsClick();
  ASSERT_EQ(Dialogs.FileRequests.size(), 2);
  EXPECT_EQ(Dialogs.FileRequests[1].InitialDir, AppDataFolder());
}

TEST_F(SettingsFile, OpenButtonLoadsTheChosenFile) {
  const QString path =
      WriteFile("chosen.ini", "[General Options]\r\nStop Symbol=!\r\n[Symbol Table]\r\nCount=3\r\n");
  Dialogs.FileAnswers.push_back(path);
  Settings->BOpenSettingsClick();
  EXPECT_TRUE(Dialogs.Messages.isEmpty());
  EXPECT_EQ(Settings->EStopSymbol->text(), QStringLiteral("!"));
  EXPECT_EQ(Symbols(), QStringList({"A", " ", "."}));
}

TEST_F(SettingsFile, SaveButtonOverwriteAnsweredNoWritesNothing) {
  const QByteArray before = "[General Options]\r\nOn Level=77\r\n";
  const QString path = WriteFile("exists.ini", before);
  Dialogs.FileAnswers.push_back(path);
  Dialogs.Answers.push_back(false);
  Settings->BSaveSettingsClick();
  EXPECT_EQ(Dialogs.Questions, QStringList({QStringLiteral("Перезаписать существующий файл?")}));
  EXPECT_EQ(ReadAll(path), before);

  const TFileDialogRequest& r = Dialogs.FileRequests[0];
  EXPECT_EQ(r.InitialDir, AppDataFolder());
  EXPECT_EQ(r.DefaultExtension, QStringLiteral("ini"));
  EXPECT_TRUE(r.NoReadOnly);
  EXPECT_TRUE(r.PathMustExist);
}

TEST_F(SettingsFile, SaveButtonWritesEveryKeyTheOpenButtonReads) {
  const QString path = WriteFile("exists.ini", "[General Options]\r\nOn Level=77\r\n");
  GainField()->setText(QStringLiteral("321"));
  Dialogs.FileAnswers.push_back(path);
  Dialogs.Answers.push_back(true);
  Settings->BSaveSettingsClick();
  const TIniFile ini(path.toStdString());
  EXPECT_EQ(ini.ReadString("General Options", "On Level", ""), "30");
  EXPECT_EQ(ini.ReadString("Display Options", "Gauge Amp", ""), "321");
  EXPECT_TRUE(ini.ValueExists("General Options", "V Level"));
  EXPECT_TRUE(ini.ValueExists("General Options", "Char Period"));
  EXPECT_EQ(ini.ReadInteger("Symbol Table", "Count", 0), 28);

  // A new file asks nothing.
  Dialogs.FileAnswers.push_back(PathOf("new.ini"));
  Settings->BSaveSettingsClick();
  EXPECT_EQ(Dialogs.Questions.size(), 1);
  EXPECT_TRUE(QFile::exists(PathOf("new.ini")));
  EXPECT_EQ(Dialogs.FileRequests[1].InitialDir, QString());
}
