#pragma once
// A settings window among the other windows, over a measurement chain built
// on a scripted capture device, with every file in a temporary folder.

#include "session/SessionModel.h"
#include "support/ScriptedDialogs.h"
#include "windows/Display.h"
#include "windows/Main.h"
#include "windows/Settings.h"
#include "windows/SymbolTable.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class QLineEdit;
class TAudioSensor_OneRun;
class TProbe;
class TGaugePM100;
class TInstDataRecorder;

// Types text into a widget key by key, any characters (QTest's own key
// clicks take ASCII only).
void TypeText(QWidget* widget, const QString& text);

class SettingsFixture : public ::testing::Test {
protected:
  SettingsFixture();
  ~SettingsFixture() override;
  void SetUp() override;
  void TearDown() override;

  // A path in the temporary folder.
  QString PathOf(const QString& name) const;
  // Symbols 1..N as they stand.
  QStringList Symbols() const;
  // Sets the table to these symbols, the current one being k.
  void SetSymbols(const QStringList& symbols, int current = 1);
  // Writes raw bytes (cp1251 text) to a file of the temporary folder.
  QString WriteFile(const QString& name, const QByteArray& bytes) const;
  // The main window's and the panel's fields this window loads and saves.
  QLineEdit* MainField(const char* name) const;
  QLineEdit* GainField() const;

  QTemporaryDir Dir;
  TScriptedDialogs Dialogs;
  std::unique_ptr<TAudioSensor_OneRun> Sensor;
  std::unique_ptr<TProbe> Probe;
  std::unique_ptr<TInstDataRecorder> Recorder;
  std::unique_ptr<TGaugePM100> Gauge;
  TSessionModel Model;
  TFMain* Main = nullptr;
  TFSettings* Settings = nullptr;
  TFDisplay* Display = nullptr;
  TSymbolTable* Grid = nullptr;
  // The panel's gain handler applies the gain to the model (false while the
  // panel is a stand-in without its gain field).
  bool PanelAppliesGain = false;
};
