#pragma once
// The settings window: the symbol table editor, the session options, the
// signal-processing options that act on the measurement chain at once, and
// the settings file's load and save (SettingsFile.cpp).

#include <QString>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class QToolButton;
class QPushButton;
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
  // Group "Скорость": faster entry, both off as designed.
  QCheckBox* CBRestartAfterSelect = nullptr;
  QCheckBox* CBPredictLetter = nullptr;

  // The symbol table: N (2..100) and symbol k, k = 1..N, as typed.
  int SymbolCount() const;
  QString Symbol(int k) const;
  TSymbolTable* SymbolTable() const { return Grid; }

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

  // The folder the file dialogs start in; empty once a file was chosen, so
  // that the system's dialog returns to the last folder used.
  QString OpenDialogFolder;
  QString SaveDialogFolder;

  static constexpr int MaxSymbols = 100;
  static constexpr int MinSymbols = 2;

private:
  void BuildControls();
  QGroupBox* BuildSpeedGroup();
  void ReadBounds();
  // The window's bounds and SaveSettings(default file, false) in one pass.
  void SaveAtExit();
  // The keys of SaveSettings into an open file; false after a refused write.
  class TWriter;
  void WriteSettings(TWriter& writer, bool includeOthers);
  void DrawDrum();

  TSymbolTable* Grid = nullptr;
  TWindowBounds* Bounds = nullptr;
};

extern TFSettings* FSettings;
