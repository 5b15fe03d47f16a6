#pragma once
// The main window: the symbol drum, the tape and the session controls. It
// owns the measurement chain (sensor, probe, recorder, instrument model),
// through which the other windows reach it, and runs the session engine with
// its two one-shot timers.
//
// The code is split by concern: Main.cpp (window, start-up, settings, exit),
// MainSession.cpp (session engine), MainTape.cpp (tape and tape files).

#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class TAudioSensor_OneRun;
class TGaugePM100;
class TImageView;
class TInstDataRecorder;
class TMainSemaphore;
class TProbe;
class TWindowBounds;

class TFMain : public QWidget {
  Q_OBJECT
public:
  explicit TFMain(QWidget* parent = nullptr);
  ~TFMain() override;

  // Makes the sensor of the chain built at the first activation; the owner
  // window handle is passed on. An empty factory restores the default: the
  // sound-card sensor over the platform's capture device.
  using TSensorFactory = std::function<std::unique_ptr<TAudioSensor_OneRun>(void* ownerWindow)>;
  static void SetSensorFactory(TSensorFactory factory);

  // Widgets (objectNames as the fields are named).
  TImageView* IDrum = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* ELevel = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* ESymbolPeriod = nullptr;
  QPushButton* BStart = nullptr;
  QPushButton* BStop = nullptr;
  QPushButton* BSettings = nullptr;
  QPushButton* BDisplay = nullptr;
  TMainSemaphore* SSemaphore = nullptr;
  QPlainTextEdit* MTape = nullptr;
  QPushButton* BSaveTape = nullptr;
  QPushButton* BSaveTapeToFile = nullptr;
  QPushButton* BClear = nullptr;
  QPushButton* BTimeStamp = nullptr;
  QTimer* RunTimer = nullptr;
  QTimer* PollTimer = nullptr;

  QString ProgramDir;          // folder of the settings and recording files, trailing separator
  // The bounds written to the settings file (see TWindowBounds).
  TWindowBounds* Bounds = nullptr;
  int SavedLeft() const;
  int SavedTop() const;
  int SavedWidth() const;
  int SavedHeight() const;

  bool Activated = false;      // the chain has been built
  bool DrumFrozen = false;     // while set, DrawDrum() does nothing
  bool SelectedThisStep = false;

  // The measurement chain, built at the first activation and kept until the
  // window is destroyed.
  TAudioSensor_OneRun* SoundSensor = nullptr;
  TProbe* SignalProbe = nullptr;
  TGaugePM100* GaugeModel = nullptr;
  TInstDataRecorder* DataRecorder = nullptr;

  QString TapeFileName;        // current tape file; empty until one is chosen
  QString TapeInitialDir;      // initial folder of the tape save dialog

  // Session state.
  bool Running = false;
  int SymbolPeriodMs = 0;
  int DrumPosition = 1;        // 1-based index of the symbol in the selection window
  int StepPhase = 0;           // 0 at rest, 1..5 moving to the next symbol
  bool FastMode = false;
  bool NewLinePending = false;
  double OnLevel = 0.0;
  double OffLevel = 0.0;
  bool SelectLatch = false;
  bool ReadyShown = false;
  QStringList Symbols;
  QString FastSymbol;
  QString BackspaceSymbol;
  QStringList StopSymbols;

  QString OperatorLogo;
  QString SpiritLogo;

  // The timers are one-shot, restarted at the end of each tick with a delay
  // that keeps the ticks on schedule; these hold the interval each was last
  // started with and whether it is pending. With TimersLive clear (tests) the QTimers
  // themselves are never started and the handlers are called by hand.
  bool TimersLive = true;
  int RunTimerInterval = 0;
  int PollTimerInterval = 0;
  bool RunTimerPending() const { return RunPending; }
  bool PollTimerPending() const { return PollPending; }

  // Window handlers.
  void FormActivate();
  // True when the window may close (asks when the tape holds text).
  bool FormClose();
  void FormDestroy();
  void FormResize();
  // Key handler shared by every window; true when the key was consumed (F9).
  bool FormKeyDown(QKeyEvent* event);
  void BSettingsClick();
  void BDisplayClick();

  // Settings file.
  void LoadWindowSettings(const QString& path);
  void SaveWindowSettings(const QString& path);

  // Drum and session.
  void DrawDrum();
  void SelectSymbol();
  void BStartClick();
  void BStopClick();
  void RunTimerTimer();
  void PollTimerTimer();

  // Tape.
  void BClearClick();
  void BTimeStampClick();
  void BSaveTapeClick();
  void BSaveTapeToFileClick();
  void AppendTapeToFile();
  // The tape's lines; an empty tape has none.
  QStringList TapeLines() const;
  // Adds a line at the end of the tape.
  void AddTapeLine(const QString& line);
  // Whether the tape holds more than blanks and line breaks.
  bool TapeHoldsText() const;

  // The session indicator's fill.
  static const QColor& IdleColor();
  static const QColor& ArmedColor();
  static const QColor& ReadyColor();

signals:
  // The window was closed; the program ends.
  void Closed();

protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  void BuildWidgets();
  void BuildChain();
  // Starts a timer for its next tick; fromTick: from the end of its own
  // handler, keeping to the schedule of the ticks before.
  void StartRunTimer(int ms, bool fromTick = false);
  void StartPollTimer(int ms, bool fromTick = false);
  void StopRunTimer();
  void StopPollTimer();
  void ReplaceLastTapeLine(const QString& line);
  void ReportRecorderProblem(const QString& message);

  bool RunPending = false;
  qint64 RunDue = 0;   // when the running timer's current tick was due (monotonic ms)
  qint64 PollDue = 0;
  bool PollPending = false;
  bool FirstShowDone = false;
  QStringList ReportedProblems;
  std::unique_ptr<TAudioSensor_OneRun> OwnedSensor;
  std::unique_ptr<TProbe> OwnedProbe;
  std::unique_ptr<TInstDataRecorder> OwnedRecorder;
  std::unique_ptr<TGaugePM100> OwnedModel;
};

extern TFMain* FMain;
