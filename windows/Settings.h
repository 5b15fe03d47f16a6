#pragma once
// The settings window: the symbol table editor, the session options, the
// signal-processing options that act on the measurement chain at once, and
// the settings file's load and save (SettingsFile.cpp).

#include <QString>
#include <QWidget>

#include "OptionsInForce.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QSpinBox;
class QVBoxLayout;
class QLabel;
class QLineEdit;
class QTableWidget;
class QToolButton;
class QPushButton;
class TCaptureInputs;
class TSymbolTable;
class TWindowBounds;
enum class TAlphabetPreset;

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
  // Group "Скорость": faster entry, both off as designed.
  QCheckBox* CBRestartAfterSelect = nullptr;
  QCheckBox* CBPredictLetter = nullptr;
  QSpinBox* EUndoPlace = nullptr;
  QCheckBox* CBShowComingOrder = nullptr;  // marks of the coming order on the drum
  QCheckBox* CBGroupScan = nullptr;        // prediction in two levels: a group, then its letter

  // Group "Речь" (section "Speech" of the settings file, written once an
  // option has been on): what the program says, and its two voices.
  QGroupBox* GBSpeech = nullptr;
  QCheckBox* CBAuditoryScanning = nullptr;
  QCheckBox* CBSaySelected = nullptr;
  QCheckBox* CBReadLines = nullptr;
  QCheckBox* CBBlockSensor = nullptr;
  QSpinBox* ECueVolume = nullptr;
  QSpinBox* ECueRate = nullptr;
  QSpinBox* EMainVolume = nullptr;
  QSpinBox* EMainRate = nullptr;
  // Cue timing (section "Cue Timing", written once it differs from the
  // design): the rest lengthened by its cue, and the speech's echo.
  QCheckBox* CBOpenTime = nullptr;
  QSpinBox* EEchoMs = nullptr;
  // The speech options in force.
  TSpeechOptions SpeechOptions() const;
  // Any change of the group: the main window's speech follows at once.
  void SpeechChange();

  // Keys of a switch and the tape's text size ("Клавиши и лента"). Saved in
  // the sections "Keys" and "Tape" once they differ from their defaults:
  // no key besides F9, and the tape at its design size.
  QGroupBox* GBKeysAndTape = nullptr;
  QComboBox* DDSelectKey = nullptr;   // drop-downs of key names
  QComboBox* DDStartKey = nullptr;
  QComboBox* DDStopKey = nullptr;
  QSpinBox* ETapeFontSize = nullptr;
  // The chosen keys (Qt key codes) of the options in force, 0 for none. The selection key acts
  // during a session besides F9, the start key outside one, the stop key
  // during one.
  int SelectKey() const;
  int StartKey() const;
  int StopKey() const;
  // Whether a key pressed (Qt key code) is the chosen key; Enter of the
  // number pad counts as Enter.
  static bool IsKey(int pressed, int chosen);
  // The key names offered (as the settings file stores them, "" for none).
  static QStringList KeyNames();
  void KeysChange();
  void ETapeFontSizeChange();
  // The sound input, an option of this program's own (section "Capture" of
  // the settings file, written only when a device is chosen): the system's
  // recording devices, the default first and the one in use marked. A choice
  // applies from the sensor's next capture.
  QComboBox* CBCaptureDevice = nullptr;
  QToolButton* BRefreshDevices = nullptr;
  QLabel* LCaptureStatus = nullptr;  // what went wrong with the device, if anything

  // Group "Переключатель" (section "Switch" of the settings file, written
  // once a value has been other than 0): the switch's timing in ms, and the
  // scan loops before the drum pauses; 0 ("нет") is off.
  QGroupBox* GBSwitch = nullptr;
  QSpinBox* EAcceptanceTime = nullptr;
  QSpinBox* EReleaseTime = nullptr;
  QSpinBox* EFirstRestExtra = nullptr;
  QSpinBox* EScanLoops = nullptr;
  QSpinBox* EMaxHold = nullptr;
  void SwitchChange();

  // Group "Без помощника" (section "Hands Free" of the settings file,
  // written once a value is set): a new session by a reaction after a stop
  // symbol, and the pause, call and read-line symbols (empty: none). A
  // warning line tells a symbol not in the table or taken by another action.
  QGroupBox* GBHandsFree = nullptr;
  QCheckBox* CBStartByReaction = nullptr;
  QLineEdit* EPauseSymbol = nullptr;
  QLineEdit* ECallSymbol = nullptr;
  QLineEdit* EReadLineSymbol = nullptr;
  QLabel* LHandsFreeWarning = nullptr;
  void HandsFreeChange();
  // Shows the hands-free options and what is wrong with them.
  void ShowHandsFreeOptions();

  // The alphabet menu under the table ("Алфавит"): ready-made tables.
  QPushButton* BAlphabet = nullptr;
  // Fills the table with a preset as if typed, after asking when the table
  // holds symbols of its own. False when the answer was No.
  bool BAlphabetChoose(TAlphabetPreset preset);
  // Whether the table is the design table or one of the presets as chosen.
  bool SymbolTableIsPreset() const;

  // The symbol table: N (2..100) and symbol k, k = 1..N, as typed.
  int SymbolCount() const;
  QString Symbol(int k) const;
  TSymbolTable* SymbolTable() const { return grid_; }

  // Session lock (false while a session runs).
  void EnableSessionControls(bool on);
  void LoadSettings(const QString& path);
  // Why a settings file that exists cannot be read (too large, no
  // permission, a folder or a FIFO in its place), in words for the user;
  // empty when it can be read or does not exist.
  static QString UnreadableReason(const QString& path);
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
  QString CaptureDevice() const;
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
  QGroupBox* BuildKeysAndTape();
  void BuildCaptureGroup(class QVBoxLayout* into);
  QGroupBox* BuildSpeedGroup();
  QPushButton* BuildAlphabetButton();
  QGroupBox* BuildSpeechGroup();
  QGroupBox* BuildSwitchGroup();
  void ShowSwitchOptions();
  QGroupBox* BuildHandsFreeGroup();
  void BuildCueTiming(QVBoxLayout* layout);
  void ReadBounds();
  // The window's bounds and SaveSettings(default file, false) in one pass;
  // nothing when the main window could not read that file at start.
  void SaveAtExit();
  // The controls show the options in force: all of them, or one group when
  // it changed. Each edit goes back to the options at once (not while the
  // controls are being filled).
  void ShowOptions();
  void ShowOptions(TOptionGroup group);
  void ConnectEdits();
  void WriteSymbolsBack();
  bool filling_ = false;
  // Changes one group of the options in force, unless the controls are
  // being filled from them.
  template <class T, class F>
  void Edit(const T& (TOptionsModel::*group)() const, F change) {
    if (filling_) return;
    TOptionsModel& model = OptionsInForce();
    T value = (model.*group)();
    change(value);
    model.Set(value);
  }
  void DrawDrum();

  TSymbolTable* grid_ = nullptr;
  TWindowBounds* bounds_ = nullptr;
};

extern TFSettings* FSettings;
