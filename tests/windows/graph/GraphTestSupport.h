#pragma once
// A graph window over a measurement chain of its own: the sensor on a
// scripted capture device, the probe, the instrument model and the recorder
// on "instrec.data" in a temporary data folder, all handed to a main window
// as its chain. Dialogs and save progress are scripted.

#include "tests/support/ManualTickTimer.h"
#include "session/SessionModel.h"
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "capture/FakeCaptureDevice.h"
#include "indicators/Instgraph.h"
#include "recording/Instrecord.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "tests/support/Readings.h"
#include "support/ScriptedDialogs.h"
#include "files/AppFolder.h"
#include "windows/Graph.h"
#include "windows/ImageView.h"
#include "windows/Main.h"
#include "seams/SaveProgress.h"

// Dialogs that also run a step while the save dialog is "open".
class TGraphDialogs : public TScriptedDialogs {
public:
  std::function<void()> WhileSaveDialogOpen;
  QString SaveFile(QWidget* parent, const TFileDialogRequest& request) override {
    if (WhileSaveDialogOpen) WhileSaveDialogOpen();
    return TScriptedDialogs::SaveFile(parent, request);
  }
};

// Progress that records its calls and cancels at a chosen step.
class TScriptedProgress : public TSaveProgress {
public:
  TScriptedProgress() { SetSaveProgress(this); }
  ~TScriptedProgress() override { SetSaveProgress(nullptr); }

  int Total = -1;
  QList<int> Advances;
  int Ends = 0;
  int CancelAtAdvance = -1;  // 1-based; -1: never

  void Begin(QWidget*, int total) override { Total = total; }
  bool Advance(int done) override {
    Advances << done;
    return Advances.size() != CancelAtAdvance;
  }
  void End() override { ++Ends; }
};

class GraphWindowFixture : public ::testing::Test {
protected:
  QTemporaryDir Folder;
  TGraphDialogs Dialogs;
  TScriptedProgress Progress;
  TAudioSensor_OneRun Sensor{nullptr, std::make_unique<TFakeCaptureDevice>()};
  TProbe Probe{Sensor};
  std::unique_ptr<TInstDataRecorder> Recorder;
  std::unique_ptr<TGaugePM100> Gauge;
  TSessionModel Model;
  std::unique_ptr<TFMain> Main;
  std::unique_ptr<TFGraph> Graph;

  void SetUp() override {
    ASSERT_TRUE(Folder.isValid());
    QLocale::setDefault(QLocale::c());
    SetAppDataFolder(Folder.path());
    Recorder = std::make_unique<TInstDataRecorder>(DataFile().toStdString(), 1000, false);
    Gauge = std::make_unique<TGaugePM100>(Probe, Recorder.get());
    // Sessions of these tests are ticked by nobody.
    TFMain::SetTickTimerFactory([](QObject*, const char*, std::function<void()>) {
      return std::make_unique<TManualTickTimer>();
    });
    Main = std::make_unique<TFMain>();
    FMain = Main.get();
    SessionModel->UseChain(&Sensor, &Probe, Recorder.get(), Gauge.get());
    Graph = std::make_unique<TFGraph>();
    FGraph = Graph.get();
    Graph->show();
    Graph->FormActivate();
  }

  void TearDown() override {
    Graph.reset();
    FGraph = nullptr;
    // The chain belongs to the test, not to the main window.
    SessionModel->UseChain(nullptr, nullptr, nullptr, nullptr);
    Main.reset();
    FMain = nullptr;
    TFMain::SetTickTimerFactory({});
    QLocale::setDefault(QLocale::c());
    SetAppDataFolder(QString());
  }

  // The graph window reads this recorder from now on.
  void UseRecorder(TInstDataRecorder* recorder) {
    SessionModel->UseChain(&Sensor, &Probe, recorder, Gauge.get());
  }

  QString DataFile() const { return Folder.filePath(QStringLiteral("instrec.data")); }
  QString Path(const char* name) const { return Folder.filePath(QLatin1String(name)); }

  TInstGraph& View() { return *Graph->View(); }
  int PlotWidth() const { return Graph->GraphWindow->width(); }

  // n readings 40 ms apart from `start`, Sensor i / 1000, shown and recorded
  // twice as the poll does.
  void Poll(int n, double start = DayTime(12, 0, 0, 0), int first = 0) {
    for (int i = first; i < first + n; ++i) {
      const TInstData r = Reading(start + i * 40 / 86400000.0, i / 1000.0);
      Recorder->Write(r);
      Recorder->Write(r);
      Graph->AddReading(r);
      Graph->UpdateCounters();
    }
  }

  // n readings written to the recorder only (the window hidden), twice each.
  void Record(int n, double start = DayTime(12, 0, 0, 0)) {
    for (int i = 0; i < n; ++i) {
      const TInstData r = Reading(start + i * 40 / 86400000.0, i / 1000.0);
      Recorder->Write(r);
      Recorder->Write(r);
    }
  }

  static QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.readAll();
  }
};
