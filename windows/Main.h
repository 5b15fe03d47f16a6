#pragma once
// The main window: the symbol drum, the tape and the session controls. It
// hosts the session engine of the model (SessionModel), which owns the
// measurement chain, the engine with its two one-shot timers, speech and the
// tape's recovery copy; the window builds the chain at its first activation
// and shows what the engine tells it.
//
// The code is split by concern: Main.cpp (window, start-up, settings, exit),
// MainSession.cpp (the engine's host and listener: handlers, drum,
// statistics), MainTape.cpp (tape and tape files), MainSpeech.cpp ("Сказать").

#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

#include "seams/QtTickTimer.h"
#include "session/SessionEngine.h"
#include "session/SessionModel.h"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TAudioSensor_OneRun;
class TImageView;
class TMainSemaphore;
class TSpeech;
class TTapeRecovery;
class TTickTimer;
class TWindowBounds;

class TFMain : public QWidget, public TSessionHost, private TSessionListener {
  Q_OBJECT
public:
  explicit TFMain(QWidget* parent = nullptr);
  ~TFMain() override;

  // The model's sensor factory (TSessionModel::SetSensorFactory).
  using TSensorFactory = TSessionModel::TSensorFactory;
  static void SetSensorFactory(TSensorFactory factory);
  // Makes the session's tick timers (named "RunTimer" and "PollTimer"); an
  // empty factory restores the default: precise one-shot QTimers.
  using TTickTimerFactory = ::TTickTimerFactory;
  static void SetTickTimerFactory(TTickTimerFactory factory);

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
  // This session's entry: characters written, per minute, undone.
  QLabel* LStats = nullptr;
  QPlainTextEdit* MTape = nullptr;
  QPushButton* BSaveTape = nullptr;
  QPushButton* BSaveTapeToFile = nullptr;
  QPushButton* BClear = nullptr;
  QPushButton* BTimeStamp = nullptr;
  // Notices that must not stop start-up or a session (a restored tape,
  // problems of the recording file or the settings file, a capture device
  // that is gone), one a line; hidden while there are none.
  QLabel* LNotice = nullptr;
  // Reads the tape's last line aloud; shown while the option to read lines
  // is on.
  QPushButton* BSay = nullptr;
  // Silences the call alarm; shown only while it is on. Esc does the same.
  QPushButton* BSilenceCall = nullptr;

  QString ProgramDir;          // folder of the settings and recording files, trailing separator
  // The bounds written to the settings file (see TWindowBounds).
  TWindowBounds* Bounds = nullptr;
  int SavedLeft() const;
  int SavedTop() const;
  int SavedWidth() const;
  int SavedHeight() const;

  bool Activated = false;      // the chain has been built
  // The first activation is under way: problems go to LNotice, since a box
  // would hold start-up half-way (settings not loaded, drum not drawn).
  bool StartingUp = false;
  bool DrumFrozen = false;     // while set, DrawDrum() does nothing
  bool DrumStale = false;      // a drawing was skipped while the window was not seen
  // The drum's picture, painted in place by DrawDrum() frame after frame.
  std::shared_ptr<struct TDrumCanvas> DrumCanvas;

  QString TapeFileName;        // current tape file; empty until one is chosen
  QString TapeInitialDir;      // initial folder of the tape save dialog

  // The session engine of the model (SessionModel), made with the window,
  // which hosts it.
  TSessionEngine& Engine() const;
  // A session is in progress.
  bool Running() const;

  QString OperatorLogo;
  QString SpiritLogo;

  // Speech (MainSpeech.cpp). The model's speech options changed: "Сказать"
  // shows while lines are read.
  void SpeechChange();
  void BSayClick();
  // The model's speech factory (TSessionModel::SetSpeechFactory).
  using TSpeechFactory = TSessionModel::TSpeechFactory;
  static void SetSpeechFactory(TSpeechFactory factory);

  // The interval each timer was last started with and whether it is pending.
  int RunTimerInterval() const;
  int PollTimerInterval() const;
  bool RunTimerPending() const;
  bool PollTimerPending() const;

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
  void DrawDrum() override;
  void SelectSymbol();
  void BStartClick();
  void BStopClick();
  void RunTimerTimer();
  void PollTimerTimer();
  // Refreshes LStats from the engine's counts and the session's time.
  void UpdateStats();
  // Polls between two refreshes of LStats for its rate alone: a written or
  // undone symbol and the session's end show at once.
  static constexpr int StatsPolls = 25;
  int UnstatedPolls = 0;

  // Tape.
  void BClearClick();
  void BTimeStampClick();
  void BSaveTapeClick();
  void BSaveTapeToFileClick();
  void AppendTapeToFile();
  // The tape's lines; an empty tape has none.
  QStringList TapeLines() override;
  // Adds a line at the end of the tape.
  void AddTapeLine(const QString& line) override;
  void ReplaceLastTapeLine(const QString& line) override;
  // Whether the tape holds more than blanks and line breaks.
  bool TapeHoldsText() const;
  // The tape's text size in pixels (13 by design), bold Arial as designed.
  void SetTapeFontSize(int pixels);
  static constexpr int DesignTapeFontSize = 13;
  // The copy of the tape in the data folder, kept at every change.
  TTapeRecovery* TapeRecovery() const;
  // The tape's text as held: no-break spaces stay as they are, lines are
  // separated by line feeds.
  QString TapeText() const;
  // Adds a line to LNotice (once per text, long names elided); nothing
  // waits for the user.
  void ShowNotice(const QString& text);
  // Takes a line shown by ShowNotice off LNotice again.
  void HideNotice(const QString& text);
  // The notice while the drum pauses after the scan loops.
  static QString PausedNotice();

  // Hands-free sessions (MainHands.cpp). The notices while the drum stands
  // on the pause or call symbol, while the alarm is on, and while a
  // reaction will start the next session.
  static QString HeldNotice();
  static QString CallNotice();
  static QString WaitingNotice();
  // The caption over the dimmed drum while waiting.
  static QString WaitingCaption();
  void BSilenceCallClick();
  // The model's alarm began or was silenced.
  void AlarmChange();
  // Dims the drum's picture and writes the waiting caption over it; the
  // region painted.
  QRegion VeilDrum(QImage& picture) const;
  // A problem the user must see: in LNotice during start-up, else in a
  // message box over parent.
  void ReportProblem(QWidget* parent, const QString& text);

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
  // Scrolls the tape to its newest character, with the caret there.
  void ShowTapeEnd();
  // Builds the chain unless it is built.
  void BuildChain();
  double sessionStartDays_ = 0.0;  // local date and time of Start, in days
  double sessionMinutes_ = 0.0;    // minutes of the session so far (or in all, once stopped)
  double MinutesSinceStart() const;

  // The engine's host.
  TSensor* Sensor() override;
  TInstrument* Model() override;
  TSessionOptions StartOptions() override;
  TSpeedOptions StartSpeed() override;
  TSwitchOptions StartSwitch() override;
  bool FastSlowOption() override;
  void Message(const QString& text) override;
  bool SensorBlocked() override;
  int RestExtraMs(const TSessionEngine& engine) override;
  bool SensorBlanked() override;
  THandsFreeOptions StartHandsFree() override;
  void StartByReaction() override;
  void Notice(const QString& text) override;
  // The engine's listener: the light, the settings lock and the statistics.
  void SessionStarted(const TSessionEngine& engine) override;
  void SessionEnded(const TSessionEngine& engine) override;
  void LightChanged(TSessionLight light) override;
  void ReadingTaken(const TInstData& record) override;
  void SymbolTaken(const TSessionEngine& engine, const QString& symbol, TSymbolAction action) override;
  void GroupTaken(const TSessionEngine& engine) override;
  void PauseChanged(const TSessionEngine& engine) override;
  void WaitingChanged(const TSessionEngine& engine) override;
  // The drum was last drawn dimmed (waiting).
  bool drumVeiled_ = false;

  TSessionModel& model_;  // the model the window was made with
  bool firstShowDone_ = false;
  QStringList reportedProblems_;
};

extern TFMain* FMain;
