#pragma once
// The program's model below the windows: the options in force, the
// measurement chain (sensor, probe, recorder, instrument model), the session
// engine with its two timers, speech and the tape's recovery copy. It is
// made before the windows and outlives them; the windows reach what they
// share through it, never through each other's controls, and follow what
// happens by listening to the engine and the options.

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

#include "OptionsModel.h"
#include "SessionEngine.h"

class TAlarm;
class TAudioSensor_OneRun;
class TBaselineWatch;
class TGaugePM100;
class TInstDataRecorder;
class TProbe;
class TSessionSpeaker;
class TSpeech;
class TTapeRecovery;
class TTickTimer;

class TSessionModel : public QObject, private TSessionListener {
  Q_OBJECT
public:
  // The first model made becomes SessionModel until it is destroyed.
  explicit TSessionModel(QObject* parent = nullptr);
  ~TSessionModel() override;

  TOptionsModel& Options() { return options_; }
  const TOptionsModel& Options() const { return options_; }

  // The settings file existed at start but could not be read (too large,
  // no permission, not a regular file): the program runs on its defaults
  // and writes nothing of them into that file at exit.
  bool SettingsFileUnread() const { return settingsFileUnread_; }
  void SetSettingsFileUnread(bool unread) { settingsFileUnread_ = unread; }

  // --- the measurement chain -------------------------------------------
  // Makes the sensor of the chain; the owner window handle is passed on. An
  // empty factory restores the default: the sound-card sensor over the
  // platform's capture device.
  using TSensorFactory = std::function<std::unique_ptr<TAudioSensor_OneRun>(void* ownerWindow)>;
  static void SetSensorFactory(TSensorFactory factory);
  // Builds the chain once, with the recording file "instrec.data" in
  // dataFolder (trailing separator); later calls do nothing. Problems of the
  // recording file come as Notice.
  void BuildChain(void* ownerWindow, const QString& dataFolder);
  // Uses a chain made elsewhere (not owned; all nullptr lets it go), as
  // tests do; BuildChain then builds nothing.
  void UseChain(TAudioSensor_OneRun* sensor, TProbe* probe, TInstDataRecorder* recorder,
                TGaugePM100* gauge);
  bool ChainBuilt() const { return gauge_ != nullptr; }
  // The chain's parts; nullptr until it is built. Kept until the model goes.
  TAudioSensor_OneRun* Sensor() const { return sensor_; }
  TProbe* Probe() const { return probe_; }
  TInstDataRecorder* Recorder() const { return recorder_; }
  TGaugePM100* Gauge() const { return gauge_; }

  // --- the session -----------------------------------------------------
  // Makes the engine over host with its two timers (drum, poll); the model
  // is its first listener (the recorder, speech), so readings reach the
  // recorder before any window. Once only; DetachHost before the host goes.
  void AttachHost(TSessionHost& host, std::unique_ptr<TTickTimer> drumTimer,
                  std::unique_ptr<TTickTimer> pollTimer);
  // Lets the engine and its timers go (a session just ends, as at exit).
  void DetachHost();
  // nullptr while no host is attached.
  TSessionEngine* Engine() const { return engine_.get(); }
  TTickTimer* DrumTimer() const { return drumTimer_.get(); }
  TTickTimer* PollTimer() const { return pollTimer_.get(); }
  bool Running() const { return engine_ && engine_->Running(); }
  // Adds a listener to the engine now or once it is made (in that order).
  void Listen(TSessionListener* listener);
  void StopListening(TSessionListener* listener);

  // --- speech ----------------------------------------------------------
  // Makes the speech engine; an empty factory restores the platform's.
  using TSpeechFactory = std::function<std::unique_ptr<TSpeech>()>;
  static void SetSpeechFactory(TSpeechFactory factory);
  // The session's speaker; none while no speech option was ever on. It is
  // made when an option first needs it; an engine that is missing is told
  // once as Notice, and so is a sound server lost later (speech comes back
  // by itself when the server does).
  TSessionSpeaker* Speaker() const { return speaker_.get(); }
  // Whether the sensor is to be ignored now (speech is playing).
  bool SensorBlocked() const;
  // The host's answers for open time after the cue (TSessionHost).
  int RestExtraMs(const TSessionEngine& engine);
  bool SensorBlanked() const;
  // Tells once per loss that the speech's sound server went away; a timer
  // calls it twice a second while there is speech.
  void WatchSpeech();

  // --- the call alarm --------------------------------------------------
  // Makes the alarm; an empty factory restores the platform's.
  using TAlarmFactory = std::function<std::unique_ptr<TAlarm>()>;
  static void SetAlarmFactory(TAlarmFactory factory);
  // The call symbol was taken and the alarm has not been silenced since
  // (also when it could not sound, which was told as Notice). The sensor is
  // ignored meanwhile: the alarm can reach it.
  bool AlarmOn() const { return alarmOn_; }
  void SilenceAlarm();
  // While the call stands, starts the alarm again when it stopped sounding
  // by itself or never could (no sound server), and tells each failure
  // once; a timer calls it twice a second while the call stands.
  void WatchAlarm();
  TAlarm* Alarm() const { return alarm_.get(); }

  // --- the tape's recovery copy ----------------------------------------
  // Keeps the copy "tape.recovery" in dataFolder from now on; nullptr until
  // then. Problems come as Notice.
  void KeepTapeCopy(const QString& dataFolder);
  TTapeRecovery* TapeRecovery() const { return tapeRecovery_.get(); }

signals:
  // Something the user must know that must not stop start-up or a session.
  void Notice(const QString& text);
  // The alarm began or was silenced (AlarmOn() tells which).
  void AlarmChanged();

private:
  void ApplySpeechOptions();
  // The recorder and speech hear the engine first.
  void RestBegan(const TSessionEngine& engine) override;
  void RestEnded(const TSessionEngine& engine) override;
  void ReadingTaken(const TInstData& record) override;
  void SymbolTaken(const TSessionEngine& engine, const QString& symbol,
                   TSymbolAction action) override;
  void WaitingChanged(const TSessionEngine& engine) override;
  void SoundAlarm();

  TOptionsModel options_;
  bool settingsFileUnread_ = false;
  std::unique_ptr<TAudioSensor_OneRun> ownSensor_;
  std::unique_ptr<TProbe> ownProbe_;
  std::unique_ptr<TInstDataRecorder> ownRecorder_;
  std::unique_ptr<TGaugePM100> ownGauge_;
  // The chain in use: the one built, or one made elsewhere.
  TAudioSensor_OneRun* sensor_ = nullptr;
  TProbe* probe_ = nullptr;
  TInstDataRecorder* recorder_ = nullptr;
  TGaugePM100* gauge_ = nullptr;
  std::unique_ptr<TSpeech> speech_;
  std::unique_ptr<TSessionSpeaker> speaker_;  // speaks through speech_
  QTimer speechWatch_;
  bool speechLossTold_ = false;
  std::unique_ptr<TAlarm> alarm_;
  bool alarmOn_ = false;
  bool alarmFailureTold_ = false;
  QTimer alarmWatch_;  // calls WatchAlarm while the alarm is on
  TSessionHost* host_ = nullptr;
  std::unique_ptr<TTickTimer> drumTimer_;
  std::unique_ptr<TTickTimer> pollTimer_;
  std::unique_ptr<TSessionEngine> engine_;
  // Tells when the baseline has left the accepted calibration's rest.
  std::unique_ptr<TBaselineWatch> baselineWatch_;
  QList<TSessionListener*> waiting_;  // listeners added before the engine
  std::unique_ptr<TTapeRecovery> tapeRecovery_;
};

// The model of this run; nullptr while there is none.
extern TSessionModel* SessionModel;
