#pragma once
// The main window: drum, tape, session controls; owns the measurement chain.
// (Skeleton: the public interface that the other windows use. The rest of
// the window is filled in with the session engine.)

#include <QString>
#include <QWidget>

class QKeyEvent;
class TAudioSensor_OneRun;
class TProbe;
class TGaugePM100;
class TInstDataRecorder;

class TFMain : public QWidget {
  Q_OBJECT
public:
  explicit TFMain(QWidget* parent = nullptr);
  ~TFMain() override;

  QString ProgramDir;          // folder of the settings and recording files, trailing separator
  bool Activated = false;      // the chain has been built
  bool DrumFrozen = false;     // while set, DrawDrum() does nothing
  bool SelectedThisStep = false;

  // The measurement chain, built at the first activation and kept for the
  // life of the process.
  TAudioSensor_OneRun* SoundSensor = nullptr;
  TProbe* SignalProbe = nullptr;
  TGaugePM100* GaugeModel = nullptr;
  TInstDataRecorder* DataRecorder = nullptr;

  bool Running = false;
  int StepPhase = 0;
  bool FastMode = false;

  QString OperatorLogo;
  QString SpiritLogo;

  void LoadWindowSettings(const QString& path);
  void SaveWindowSettings(const QString& path);
  void DrawDrum();
  void SelectSymbol();
  void BStopClick();
  // Key handler shared by every window; true when the key was consumed (F9).
  bool FormKeyDown(QKeyEvent* event);
};

extern TFMain* FMain;
