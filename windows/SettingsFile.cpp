// The settings window's part of the settings file: LoadSettings and
// SaveSettings, the writes at exit, and the open- and save-settings flows.
#include "Settings.h"

#include "files/AppFolder.h"
#include "Display.h"
#include "Main.h"
#include "session/SessionModel.h"
#include "SymbolTable.h"
#include "seams/UserDialogs.h"
#include "session/SessionSpeaker.h"
#include "WindowBounds.h"
#include "inifile/Cp1251.h"
#include "inifile/IniFile.h"
#include "inifile/WholeFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QSpinBox>

#include <algorithm>
#include <QLineEdit>

namespace {

const char* const General = "General Options";
const char* const Speed = "Speed";
const char* const DisplayOptions = "Display Options";
const char* const SymbolSection = "Symbol Table";
const TBoundsKeys SettingsWindowBounds{"Settings Window"};
// This program's own option, in a section of its own.
const char* const CaptureSection = "Capture";

constexpr int DefaultSymbolCount = 28;

// A field of the main window that this window loads and saves for it.
QLineEdit* MainField(const char* name) {
  return FMain ? FMain->findChild<QLineEdit*>(QLatin1String(name)) : nullptr;
}

QLineEdit* GainField() { return FDisplay ? FDisplay->EGaugeAmp : nullptr; }

std::string SymbolKey(int k) { return "Symbol " + std::to_string(k); }

// The symbol a table without a key for symbol k (of n) gets: the cp1251
// character 64 + k ("A" for 1 ... "Z" for 26, then "[", "\", ...), then a
// space and a full stop for the last two.
QString DefaultSymbol(int k, int n) {
  if (k == n) return QStringLiteral(".");
  if (k == n - 1) return QStringLiteral(" ");
  const char32_t c = Cp1251ToUnicode(static_cast<unsigned char>(64 + k));
  return QString::fromUcs4(&c, 1);
}

TFileDialogRequest SettingsFileRequest(const QString& folder) {
  TFileDialogRequest r;
  r.InitialDir = folder;
  r.DefaultExtension = QStringLiteral("ini");
  r.Filters = QStringList{QStringLiteral("INI Files (*.ini)"), QStringLiteral("All Files (*.*)")};
  r.PathMustExist = true;
  return r;
}

} // namespace

// One pass of writes into a settings file. The first refused write is shown
// once and the writes after it are skipped; the file on disk is then left as
// it was, so a failed pass never leaves a half-written symbol table behind.
class TFSettings::TWriter {
public:
  TWriter(const QString& path, QWidget* parent) : Ini(path.toStdString()), Parent(parent) {}

  void String(const char* section, const std::string& key, const QString& value) {
    if (!Failed && !Ini.WriteString(section, key, value.toStdString())) Fail();
  }
  void Integer(const char* section, const char* key, int value) {
    if (!Failed && !Ini.WriteInteger(section, key, value)) Fail();
  }
  void Bool(const char* section, const char* key, bool value) {
    if (!Failed && !Ini.WriteBool(section, key, value)) Fail();
  }
  void Bounds(const TWindowBounds& bounds, const TBoundsKeys& keys) {
    if (!Failed && !bounds.Write(Ini, keys)) Fail();
  }
  void Erase(const char* section) {
    if (!Failed) Ini.EraseSection(section);
  }
  bool Exists(const char* section) const { return Ini.SectionExists(section); }
  // Writes the file; false when any write of the pass was refused.
  bool Finish() {
    if (!Failed && !Ini.UpdateFile()) Fail();
    return !Failed;
  }

private:
  void Fail() {
    Failed = true;
    ReportWriteFailure(Parent, QString::fromStdString(Ini.LastError()));
  }

  TIniFile Ini;
  QWidget* Parent;
  bool Failed = false;
};

void TFSettings::LoadSettings(const QString& path) {
  const TIniFile ini(path.toStdString());
  // A missing key leaves the text as it is: its default is the current one.
  auto read = [&ini](const char* section, const std::string& key, const QString& current) {
    return QString::fromStdString(ini.ReadString(section, key, current.toStdString()));
  };
  auto readInto = [&read](QLineEdit* edit, const char* section, const char* key) {
    edit->setText(read(section, key, edit->text()));
  };
  auto check = [&ini](QCheckBox* box, const char* key) {
    box->setChecked(ini.ReadBool(General, key, box->isChecked()));
  };

  if (FMain) FMain->DrumFrozen = true;

  if (QLineEdit* level = MainField("ELevel")) readInto(level, General, "V Level");
  if (QLineEdit* period = MainField("ESymbolPeriod")) readInto(period, General, "Char Period");

  if (QLineEdit* gain = GainField()) {
    readInto(gain, DisplayOptions, "Gauge Amp");
    FDisplay->BAmpUpClick(gain);
  }

  check(CBFixedSelected, "Fixed Selected");
  check(CBFastSlowMode, "Fast Slow Mode");
  readInto(EFastModeSymbol, General, "Fast Symbol");
  readInto(EStopSymbol, General, "Stop Symbol");
  readInto(EBackspaceSymbol, General, "Backspace Symbol");
  readInto(EOnLevel, General, "On Level");
  readInto(EOffLevel, General, "Off Level");

  check(CBNoSensor, "No Sensor Mode");
  CBNoSensorClick();

  const int n = qBound(MinSymbols, ini.ReadInteger(SymbolSection, "Count", DefaultSymbolCount),
                       MaxSymbols);
  Grid->SetSymbolCount(n);
  for (int k = 1; k <= n; ++k) Grid->SetSymbol(k, read(SymbolSection, SymbolKey(k), DefaultSymbol(k, n)));
  Grid->Renumber();

  readInto(EDataAccDepth, General, "Data Acc Depth");
  EDataAccDepthChange();
  readInto(ELevelAccDepth, General, "Level Acc Depth");
  ELevelAccDepthChange();
  readInto(EGaugeSpringDump, General, "Gauge Spring Dump");
  EGaugeSpringDumpChange();
  readInto(EGaugeSpringSpeed, General, "Gauge Spring Speed");
  EGaugeSpringSpeedChange();

  check(CBGaugeSpringEn, "Gauge Spring En");
  CBGaugeSpringEnClick();
  check(CBInvertSensorData, "Invert Sensor Data");
  CBInvertSensorDataClick();

  // The main window keeps the logos trimmed, also when the text read equals
  // the field's text and so raises no change.
  readInto(EOpLogo, General, "Operator Logo");
  EOpLogoChange();
  readInto(ESpLogo, General, "Spirit Logo");
  ESpLogoChange();

  LoadKeysAndTape(ini);
  const QString device = read(CaptureSection, "Device", CaptureDeviceName);
  SetCaptureDevice(device);
  bool listed = false;
  if (!RefreshCaptureDevices(&listed) && listed) {
    const QString message = QStringLiteral("Устройство записи \"%1\" не найдено. "
                                           "Запись будет идти с устройства по умолчанию.")
                                .arg(ElidedName(device));
    if (FMain)
      FMain->ReportProblem(this, message);
    else
      Dialogs().Message(this, message);
  }
  CBRestartAfterSelect->setChecked(ini.ReadBool(Speed, "Restart After Selection", CBRestartAfterSelect->isChecked()));
  CBPredictLetter->setChecked(ini.ReadBool(Speed, "Predict Next Letter", CBPredictLetter->isChecked()));
  LoadSpeech(ini);

  if (FMain) {
    FMain->DrumFrozen = false;
    FMain->DrawDrum();
  }
}

void TFSettings::WriteSettings(TWriter& w, bool includeOthers) {
  // Strings go out exactly as they stand in their fields, blanks included.
  if (includeOthers) {
    if (const QLineEdit* level = MainField("ELevel")) w.String(General, "V Level", level->text());
    if (const QLineEdit* period = MainField("ESymbolPeriod"))
      w.String(General, "Char Period", period->text());
    if (const QLineEdit* gain = GainField()) w.String(DisplayOptions, "Gauge Amp", gain->text());
  }
  w.Bool(General, "Fixed Selected", CBFixedSelected->isChecked());
  w.Bool(General, "Fast Slow Mode", CBFastSlowMode->isChecked());
  w.String(General, "Fast Symbol", EFastModeSymbol->text());
  w.String(General, "Stop Symbol", EStopSymbol->text());
  w.String(General, "Backspace Symbol", EBackspaceSymbol->text());
  w.String(General, "On Level", EOnLevel->text());
  w.String(General, "Off Level", EOffLevel->text());
  w.Bool(General, "No Sensor Mode", CBNoSensor->isChecked());

  // Rewritten whole, so that no key of a removed symbol stays behind.
  w.Erase(SymbolSection);
  const int n = SymbolCount();
  w.Integer(SymbolSection, "Count", n);
  for (int k = 1; k <= n; ++k) w.String(SymbolSection, SymbolKey(k), Symbol(k));

  w.String(General, "Data Acc Depth", EDataAccDepth->text());
  w.String(General, "Level Acc Depth", ELevelAccDepth->text());
  w.String(General, "Gauge Spring Dump", EGaugeSpringDump->text());
  w.String(General, "Gauge Spring Speed", EGaugeSpringSpeed->text());
  w.Bool(General, "Gauge Spring En", CBGaugeSpringEn->isChecked());
  w.Bool(General, "Invert Sensor Data", CBInvertSensorData->isChecked());
  w.String(General, "Operator Logo", EOpLogo->text());
  w.String(General, "Spirit Logo", ESpLogo->text());

  WriteKeysAndTape(w);
  // Only a chosen device is written: with the default the file stays as it
  // would be without this option.
  if (CaptureDeviceName.isEmpty())
    w.Erase(CaptureSection);
  else
    w.String(CaptureSection, "Device", CaptureDeviceName);
  // The section appears once an option has been on, so a file of a program
  // that never used them keeps exactly its usual sections.
  if (CBRestartAfterSelect->isChecked() || CBPredictLetter->isChecked() || w.Exists(Speed)) {
    w.Bool(Speed, "Restart After Selection", CBRestartAfterSelect->isChecked());
    w.Bool(Speed, "Predict Next Letter", CBPredictLetter->isChecked());
  }
  WriteSpeech(w);
}

bool TFSettings::SaveSettings(const QString& path, bool includeOthers) {
  TWriter w(path, this);
  WriteSettings(w, includeOthers);
  return w.Finish();
}

void TFSettings::ReadBounds() {
  Bounds->Load(TIniFile(SettingsFilePath().toStdString()), SettingsWindowBounds);
}

void TFSettings::SaveAtExit() {
  // The user's own file stays as it is rather than get the defaults the
  // program ran on.
  if (SessionModel && SessionModel->SettingsFileUnread()) return;
  TWriter w(SettingsFilePath(), nullptr);
  w.Bounds(*Bounds, SettingsWindowBounds);
  WriteSettings(w, false);
  w.Finish();
}

void TFSettings::BOpenSettingsClick() {
  TFileDialogRequest request = SettingsFileRequest(OpenDialogFolder);
  request.FileMustExist = true;
  const QString path = Dialogs().OpenFile(this, request);
  if (path.isEmpty()) return;
  OpenDialogFolder.clear();
  if (!QFileInfo::exists(path)) {
    Dialogs().Message(this, QStringLiteral("Файл не существует."));
    return;
  }
  // Read as empty, such a file would reset every setting to its default.
  const QString unread = UnreadableReason(path);
  if (!unread.isEmpty()) {
    Dialogs().Message(this, QStringLiteral("Файл настроек \"%1\" не прочитан (%2).")
                                .arg(ElidedName(QDir::toNativeSeparators(path)), unread));
    return;
  }
  // The main window places itself, then hands the file back to LoadSettings.
  if (FMain) FMain->LoadWindowSettings(path);
  else LoadSettings(path);
}

QString TFSettings::UnreadableReason(const QString& path) {
  std::string contents, detail;
  if (ReadWholeFile(path.toStdString(), contents, detail) != TReadStatus::Failed) return {};
  const QFileInfo info(path);
  if (info.isDir()) return QStringLiteral("на его месте папка");
  if (!info.isFile()) return QStringLiteral("это не обычный файл");
  if (static_cast<unsigned long long>(info.size()) > MaxWholeFileBytes)
    return QStringLiteral("файл больше %1 МБ").arg(MaxWholeFileBytes >> 20);
  if (!info.isReadable()) return QStringLiteral("нет доступа на чтение");
  return QStringLiteral("ошибка чтения");
}

void TFSettings::BSaveSettingsClick() {
  TFileDialogRequest request = SettingsFileRequest(SaveDialogFolder);
  request.NoReadOnly = true;
  const QString path = Dialogs().SaveFile(this, request);
  if (path.isEmpty()) return;
  SaveDialogFolder.clear();
  if (QFileInfo::exists(path) &&
      !Dialogs().Confirm(this, QStringLiteral("Перезаписать существующий файл?")))
    return;
  // The file gets every key that the open-settings button reads.
  if (FMain) FMain->SaveWindowSettings(path);
  SaveSettings(path, true);
}

// The switch keys and the tape's text size. Their sections are written only
// once a value differs from its default or the file holds them already, so
// a file of a run that never touched them stays as it was.
namespace {
const char* const KeysSection = "Keys";
const char* const TapeSection = "Tape";
}  // namespace

void TFSettings::LoadKeysAndTape(const TIniFile& ini) {
  const auto readKey = [&ini](QComboBox* box, const char* key) {
    const QString name = QString::fromStdString(
        ini.ReadString(KeysSection, key, box->currentData().toString().toStdString()));
    // An unknown name chooses no key.
    box->setCurrentIndex(std::max(0, box->findData(name)));
  };
  readKey(DDSelectKey, "Select Key");
  readKey(DDStartKey, "Start Key");
  readKey(DDStopKey, "Stop Key");
  KeysChange();
  ETapeFontSize->setValue(ini.ReadInteger(TapeSection, "Font Size", ETapeFontSize->value()));
  ETapeFontSizeChange();
}

void TFSettings::WriteKeysAndTape(TWriter& w) {
  const QString select = DDSelectKey->currentData().toString();
  const QString start = DDStartKey->currentData().toString();
  const QString stop = DDStopKey->currentData().toString();
  if (w.Exists(KeysSection) || !select.isEmpty() || !start.isEmpty() || !stop.isEmpty()) {
    w.String(KeysSection, "Select Key", select);
    w.String(KeysSection, "Start Key", start);
    w.String(KeysSection, "Stop Key", stop);
  }
  if (w.Exists(TapeSection) || ETapeFontSize->value() != TFMain::DesignTapeFontSize)
    w.Integer(TapeSection, "Font Size", ETapeFontSize->value());
}

// ---------------------------------------------------------------------------
// Section "Speech": written once an option has been on, so a file of a
// program that never spoke keeps exactly its usual sections.

namespace {

const char* const SpeechSection = "Speech";

}  // namespace

void TFSettings::LoadSpeech(const TIniFile& ini) {
  const auto check = [&](QCheckBox* box, const char* key) {
    box->setChecked(ini.ReadBool(SpeechSection, key, box->isChecked()));
  };
  const auto number = [&](QSpinBox* box, const char* key) {
    box->setValue(ini.ReadInteger(SpeechSection, key, box->value()));
  };
  check(CBAuditoryScanning, "Auditory Scanning");
  check(CBSaySelected, "Say Selected Symbol");
  check(CBReadLines, "Read Finished Line");
  check(CBBlockSensor, "Ignore Sensor While Speaking");
  number(ECueVolume, "Cue Volume");
  number(ECueRate, "Cue Rate");
  number(EMainVolume, "Main Volume");
  number(EMainRate, "Main Rate");
  SpeechChange();
}

void TFSettings::WriteSpeech(TWriter& w) {
  if (!SpeechOptions().Speaks() && !w.Exists(SpeechSection)) return;
  w.Bool(SpeechSection, "Auditory Scanning", CBAuditoryScanning->isChecked());
  w.Bool(SpeechSection, "Say Selected Symbol", CBSaySelected->isChecked());
  w.Bool(SpeechSection, "Read Finished Line", CBReadLines->isChecked());
  w.Bool(SpeechSection, "Ignore Sensor While Speaking", CBBlockSensor->isChecked());
  w.Integer(SpeechSection, "Cue Volume", ECueVolume->value());
  w.Integer(SpeechSection, "Cue Rate", ECueRate->value());
  w.Integer(SpeechSection, "Main Volume", EMainVolume->value());
  w.Integer(SpeechSection, "Main Rate", EMainRate->value());
}
