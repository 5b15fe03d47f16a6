#pragma once
// The instrument panel over a main window whose chain is a scripted one: a
// sound-card sensor over a fake capture device, its probe and the model. The
// settings file lives in a temporary folder.

#include "session/SessionModel.h"
#include "support/ScriptedDialogs.h"

#include "capture/FakeCaptureDevice.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "files/AppFolder.h"
#include "windows/Display.h"
#include "windows/Main.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

struct TScriptedChain {
  TFakeCaptureDevice* Device = new TFakeCaptureDevice;
  TAudioSensor_OneRun Sensor{nullptr, std::unique_ptr<TCaptureDevice>(Device)};
  TProbe Probe{Sensor};
  TGaugePM100 Model{Probe, nullptr};

  // Starts a capture in which every poll brings bytes of the given peak
  // amplitude (0..127 around the middle 128), and polls until the sensor
  // value has settled on amplitude / 128.
  void RunWithAmplitude(int amplitude) {
    Sensor.Start(1000);
    Device->SetAutoDeliver(std::vector<uint8_t>(40, uint8_t(128 + amplitude)));
    for (int i = 0; i < 3; ++i) Model.Measure();
  }
};

class DisplayTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Folder.isValid());
    SetAppDataFolder(Folder.path());
    Main = std::make_unique<TFMain>();
    FMain = Main.get();
  }

  void TearDown() override {
    Display.reset();
    DetachChain();
    Main.reset();
    FMain = nullptr;
    SetAppDataFolder(QString());
  }

  // Hands the scripted chain to the main window, as its first activation would.
  void AttachChain() {
    SessionModel->UseChain(&Chain.Sensor, &Chain.Probe, nullptr, &Chain.Model);
  }
  void DetachChain() {
    if (!Main) return;
    SessionModel->UseChain(nullptr, nullptr, nullptr, nullptr);
  }

  TFDisplay& MakeDisplay() {
    Display = std::make_unique<TFDisplay>();
    return *Display;
  }

  QString IniPath() const { return Folder.filePath(QStringLiteral("Quillora.ini")); }

  QTemporaryDir Folder;
  TScriptedDialogs Dialogs;
  TScriptedChain Chain;
  TSessionModel Model;
  std::unique_ptr<TFMain> Main;
  std::unique_ptr<TFDisplay> Display;
};
