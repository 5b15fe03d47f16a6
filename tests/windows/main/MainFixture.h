#pragma once
// The four windows in a temporary data folder, with scripted dialogs and a
// sensor whose readings the test sets, for driving the main window's
// handlers directly.

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "support/ScriptedDialogs.h"
#include "capture/FakeCaptureDevice.h"
#include "sensor/Sens.h"
#include "app/KeyForwarder.h"

// A sound-card sensor over the scripted capture device whose Read() gives the
// reading the test asks for (or fails when told to). It records the capture
// calls the session makes.
class TScriptedSensor : public TAudioSensor_OneRun {
public:
  TScriptedSensor();
  bool Start(int periodMs) override;
  void Stop() override;
  void Rearm(int periodMs) override;
  bool Read() override;

  double NextReading = 0.0;
  bool FailRead = false;
  QStringList Calls;  // "Start 100", "Rearm 40", "Stop"
};

// Writes the keys of an INI file (UTF-8 in, cp1251 on disk).
void WriteIniKeys(const QString& path, const QString& section,
                  const std::vector<std::pair<QString, QString>>& keys);
// The file's bytes.
QByteArray FileBytes(const QString& path);

class MainFixture : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // The settings file of the temporary folder.
  QString IniPath() const;
  // General Options keys, written before the windows start.
  void Preset(const std::vector<std::pair<QString, QString>>& general);
  // A symbol table written before the windows start.
  void PresetSymbols(const QStringList& symbols);

  // Creates the four windows in order and activates the main window.
  // fixedLevel: the probe's level held at 0, so the value is reading × 100.
  void Launch(bool activate = true, bool fixedLevel = true);
  // Destroys the windows in reverse order (each writes its settings).
  void Shutdown();

  // The probe's level held at 0 (done by Launch unless told otherwise).
  void HoldLevel();
  // Session helpers: the instrument value is reading × 100 (fixed level 0,
  // gain 100, no spring).
  void Start(const QString& period = QStringLiteral("0.1"));
  void Poll(double reading);
  // The drum moves on to the next symbol (five frames and the new rest).
  void NextSymbol();
  // Moves until the symbol at rest is `symbol` (at most one revolution).
  void MoveTo(const QString& symbol);
  // Fires: a quiet poll, then one above the on level.
  void Fire();
  QStringList Tape() const;
  // The last tape line without its "- ".
  QString Written() const;
  // Runs the event loop, calling step every intervalMs until it returns
  // false or limitMs have passed.
  static void RunWhile(const std::function<bool()>& step, int limitMs, int intervalMs = 10);

  std::unique_ptr<QTemporaryDir> Dir;
  std::unique_ptr<TScriptedDialogs> Dialogs;
  std::unique_ptr<TKeyForwarder> Forwarder;
  TScriptedSensor* Sensor = nullptr;
  bool Launched = false;
  // The session's timers run on the event loop; otherwise the test ticks them.
  bool LiveTimers = false;
};
