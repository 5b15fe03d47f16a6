#pragma once
// The settings window: symbol table editor, session and signal options, and
// the settings file's load and save. (Skeleton: the interface other windows use.)

#include <QString>
#include <QWidget>

class QCheckBox;
class QLineEdit;
class QTableWidget;

class TFSettings : public QWidget {
  Q_OBJECT
public:
  explicit TFSettings(QWidget* parent = nullptr);
  ~TFSettings() override;

  QTableWidget* SGSymbolTable = nullptr;  // header row is the table's header; symbol k is row k-1
  QCheckBox* CBFixedSelected = nullptr;
  QCheckBox* CBFastSlowMode = nullptr;
  QLineEdit* EFastModeSymbol = nullptr;
  QLineEdit* EStopSymbol = nullptr;
  QLineEdit* EBackspaceSymbol = nullptr;
  QLineEdit* EOnLevel = nullptr;
  QLineEdit* EOffLevel = nullptr;

  // The symbol table: N (2..100) and symbol k, k = 1..N, as typed.
  int SymbolCount() const;
  QString Symbol(int k) const;

  void EnableSessionControls(bool on);
  void LoadSettings(const QString& path);
  // Returns false when a write was refused (the message has been shown).
  bool SaveSettings(const QString& path, bool includeOthers);
};

extern TFSettings* FSettings;
