#pragma once
// The settings window: the symbol table editor, the session options, the
// signal-processing options that act on the measurement chain at once, and
// the settings file's load and save (SettingsFile.cpp).

#include <QString>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class QToolButton;
class QPushButton;
class TCaptureInputs;
class TSymbolTable;
class TWindowBounds;

class TFSettings : public QWidget {
  Q_OBJECT
public:
  explicit TFSettings(QWidget* parent = nullptr);
  // Writes the window's bounds and its settings to the default file.
  ~TFSettings() override;

  QTableWidget* SGSymbolTable = nullptr;  // header row is the table's header; symbol k is row k-1
  QCheckBox* CBFixedSelected = nullptr;
  QCheckBox* CBFastSlowMode = nullptr;
  QLineEdit* EFastModeSymbol = nullptr;
  QLineEdit* EStopSymbol = nullptr;
  QLineEdit* EBackspaceSymbol = nullptr;
  QLineEdit* EOnLevel = nullptr;
  QLineEdit* EOffLevel = nullptr;

  QToolButton* BOpenSettings = nullptr;
  QToolButton* BSaveSettings = nullptr;
  QLineEdit* EOpLogo = nullptr;
  QLineEdit* ESpLogo = nullptr;
  QLabel* LOpLogo = nullptr;
  QLabel* LSpLogo = nullptr;
  QPushButton* BAddSymbol = nullptr;
  QPushButton* BInsertSymbol = nullptr;
  QPushButton* BRemoveSymbol = nullptr;
  QLineEdit* EDataAccDepth = nullptr;
  QLineEdit* ELevelAccDepth = nullptr;
  QLineEdit* EGaugeSpringDump = nullptr;
  QLineEdit* EGaugeSpringSpeed = nullptr;
  QCheckBox* CBGaugeSpringEn = nullptr;
  QCheckBox* CBInvertSensorData = nullptr;
  QCheckBox* CBNoSensor = nullptr;
  QToolButton* BTestSignal = nullptr;

  // The sound input, an option of this program's own (section "Capture" of
  // the settings file, written only when a device is chosen): the system's
  // recording devices, the default first and the one in use marked. A choice
  // applies from the sensor's next capture.
  QComboBox* CBCaptureDevice = nullptr;
  QToolButton* BRefreshDevices = nullptr;
  QLabel* LCaptureStatus = nullptr;  // what went wrong with the device, if anything

  // The symbol table: N (2..100) and symbol k, k = 1..N, as typed.
  int SymbolCount() const;
  QString Symbol(int k) const;
  TSymbolTable* SymbolTable() const { return Grid; }

  // The on and off levels in percent: the field's number, 0 when it is not
  // one, clamped to 0..100.
  double OnLevelPercent() const;
  double OffLevelPercent() const;

  // Session lock (false while a session runs).
  void EnableSessionControls(bool on);
  void LoadSettings(const QString& path);
  // Returns false when a write was refused (the message has been shown).
  bool SaveSettings(const QString& path, bool includeOthers);

  // Handlers, bound to the controls; callable directly.
  void BOpenSettingsClick();
  void BSaveSettingsClick();
  void BTestSignalClick();
  void BAddSymbolClick();
  void BInsertSymbolClick();
  void BRemoveSymbolClick();
  void SGSymbolTableSetEditText();
  void CBGaugeSpringEnClick();
  void EGaugeSpringDumpChange();
  void EGaugeSpringSpeedChange();
  void EDataAccDepthChange();
  void ELevelAccDepthChange();
  void CBInvertSensorDataClick();
  void CBNoSensorClick();
  void EOpLogoChange();
  void ESpLogoChange();
  void CBCaptureDeviceChange();

  // The chosen recording device's name; empty for the system's default.
  QString CaptureDevice() const { return CaptureDeviceName; }
  // Chooses a device (empty: the default) for the sensor's next capture.
  void SetCaptureDevice(const QString& name);
  // Lists the devices anew into CBCaptureDevice. False when the chosen
  // device is not among them; listed tells whether a list was had at all.
  bool RefreshCaptureDevices(bool* listed = nullptr);
  // The device list in force: the platform's unless a test installed one
  // (not owned; nullptr restores the platform's).
  static void SetCaptureInputs(TCaptureInputs* inputs);

  // The folder the file dialogs start in; empty once a file was chosen, so
  // that the system's dialog returns to the last folder used.
  QString OpenDialogFolder;
  QString SaveDialogFolder;

  static constexpr int MaxSymbols = 100;
  static constexpr int MinSymbols = 2;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void BuildControls();
  void BuildCaptureGroup(class QVBoxLayout* into);
  void ReadBounds();
  // The window's bounds and SaveSettings(default file, false) in one pass.
  void SaveAtExit();
  // The keys of SaveSettings into an open file; false after a refused write.
  class TWriter;
  void WriteSettings(TWriter& writer, bool includeOthers);
  void DrawDrum();

  TSymbolTable* Grid = nullptr;
  TWindowBounds* Bounds = nullptr;
  QString CaptureDeviceName;
};

extern TFSettings* FSettings;
