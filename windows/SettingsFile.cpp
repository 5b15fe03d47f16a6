// The settings window's part of the settings file: LoadSettings and
// SaveSettings, the writes at exit, and the open- and save-settings flows.
#include "Settings.h"

#include "files/AppFolder.h"
#include "Display.h"
#include "Main.h"
#include "OptionsInForce.h"
#include "session/SessionModel.h"
#include "seams/UserDialogs.h"
#include "session/ChainOptions.h"
#include "session/OptionsFile.h"
#include "WindowBounds.h"
#include "inifile/WholeFile.h"
#include "sensor/Inst.h"

#include <QDir>
#include <QFileInfo>

namespace {

TFileDialogRequest SettingsFileRequest(const QString& folder) {
  TFileDialogRequest r;
  r.InitialDir = folder;
  r.DefaultExtension = QStringLiteral("ini");
  r.Filters = QStringList{QStringLiteral("INI Files (*.ini)"), QStringLiteral("All Files (*.*)")};
  r.PathMustExist = true;
  return r;
}

} // namespace

void TFSettings::LoadSettings(const QString& path) {
  TOptionsModel& model = OptionsInForce();
  TOptions options = model.Get();
  ReadOptions(path, options);

  if (FMain) FMain->DrumFrozen = true;
  // The windows show what was read; each value then acts at once, also
  // where a control did not change and so ran no handler.
  model.Set(options);
  if (TGaugePM100* gauge = SessionModel ? SessionModel->Gauge() : nullptr) ApplyGain(options.Needle, *gauge);
  CBNoSensorClick();
  EDataAccDepthChange();
  ELevelAccDepthChange();
  EGaugeSpringDumpChange();
  EGaugeSpringSpeedChange();
  CBGaugeSpringEnClick();
  CBInvertSensorDataClick();
  // The main window keeps the logos trimmed.
  EOpLogoChange();
  ESpLogoChange();
  KeysChange();
  ETapeFontSizeChange();

  const QString device = options.Capture.Device;
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
  SpeechChange();

  if (FMain) {
    FMain->DrumFrozen = false;
    FMain->DrawDrum();
  }
}

bool TFSettings::SaveSettings(const QString& path, bool includeOthers) {
  TOptionsWriter w(path);
  w.Settings(OptionsInForce().Get(), includeOthers);
  if (w.Finish()) return true;
  ReportWriteFailure(this, w.Error());
  return false;
}

void TFSettings::ReadBounds() { bounds_->Load(SettingsFilePath(), SettingsWindowBounds); }

void TFSettings::SaveAtExit() {
  // The user's own file stays as it is rather than get the defaults the
  // program ran on.
  if (SettingsFileUnread()) return;
  TOptionsWriter w(SettingsFilePath());
  w.Bounds(SettingsWindowBounds, bounds_->Saved);
  w.Settings(OptionsInForce().Get(), false);
  if (!w.Finish()) ReportWriteFailure(nullptr, w.Error());
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

