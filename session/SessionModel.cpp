#include "SessionModel.h"

#include <QCoreApplication>

#include "BaselineWatch.h"
#include "SessionRules.h"
#include "SessionSpeaker.h"
#include "TapeRecovery.h"
#include "TickTimer.h"
#include "recording/Instrecord.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "speech/Alarm.h"
#include "speech/DefaultSpeech.h"

TSessionModel* SessionModel = nullptr;

namespace {

TSessionModel::TSensorFactory& SensorFactory() {
  static TSessionModel::TSensorFactory factory;
  return factory;
}

TSessionModel::TSpeechFactory& SpeechFactory() {
  static TSessionModel::TSpeechFactory factory;
  return factory;
}

TSessionModel::TAlarmFactory& AlarmFactory() {
  static TSessionModel::TAlarmFactory factory;
  return factory;
}

}  // namespace

void TSessionModel::SetSensorFactory(TSensorFactory factory) { SensorFactory() = std::move(factory); }
void TSessionModel::SetSpeechFactory(TSpeechFactory factory) { SpeechFactory() = std::move(factory); }
void TSessionModel::SetAlarmFactory(TAlarmFactory factory) { AlarmFactory() = std::move(factory); }

TSessionModel::TSessionModel(QObject* parent) : QObject(parent) {
  if (!SessionModel) SessionModel = this;
  connect(&alarmWatch_, &QTimer::timeout, this, &TSessionModel::WatchAlarm);
  connect(&options_, &TOptionsModel::Changed, this, [this](TOptionGroup group) {
    if (group == TOptionGroup::Speech || group == TOptionGroup::HandsFree) ApplySpeechOptions();
  });
}

TSessionModel::~TSessionModel() {
  DetachHost();
  // The copy's last change is written while the chain still stands; then
  // the chain goes in the reverse order of its construction (the model and
  // the probe hold references to the parts built before them).
  tapeRecovery_.reset();
  speaker_.reset();
  speech_.reset();
  alarm_.reset();
  UseChain(nullptr, nullptr, nullptr, nullptr);
  ownGauge_.reset();
  ownRecorder_.reset();
  ownProbe_.reset();
  ownSensor_.reset();
  if (SessionModel == this) SessionModel = nullptr;
}

void TSessionModel::BuildChain(void* ownerWindow, const QString& dataFolder) {
  if (gauge_) return;
  ownSensor_ = SensorFactory() ? SensorFactory()(ownerWindow)
                               : std::make_unique<TAudioSensor_OneRun>(ownerWindow);
  ownProbe_ = std::make_unique<TProbe>(*ownSensor_, false);
  // A file that cannot be opened is found during start-up, which must not
  // stop half-way; later problems come up inside a poll, which must go on,
  // and the operator may not be able to click: neither opens a box.
  ownRecorder_ = std::make_unique<TInstDataRecorder>(
      (dataFolder + QStringLiteral("instrec.data")).toStdString(), 1000, false,
      [this](const std::string& message) { emit Notice(QString::fromStdString(message)); });
  ownGauge_ = std::make_unique<TGaugePM100>(*ownProbe_, ownRecorder_.get());
  UseChain(ownSensor_.get(), ownProbe_.get(), ownRecorder_.get(), ownGauge_.get());
}

void TSessionModel::UseChain(TAudioSensor_OneRun* sensor, TProbe* probe,
                             TInstDataRecorder* recorder, TGaugePM100* gauge) {
  sensor_ = sensor;
  probe_ = probe;
  recorder_ = recorder;
  gauge_ = gauge;
}

void TSessionModel::AttachHost(TSessionHost& host, std::unique_ptr<TTickTimer> drumTimer,
                               std::unique_ptr<TTickTimer> pollTimer) {
  if (engine_) return;
  host_ = &host;
  drumTimer_ = std::move(drumTimer);
  pollTimer_ = std::move(pollTimer);
  engine_ = std::make_unique<TSessionEngine>(host, *drumTimer_, *pollTimer_);
  engine_->AddListener(this);
  baselineWatch_ = std::make_unique<TBaselineWatch>(
      [this] { return options_.Calibration(); }, [this]() -> const TProbe* { return probe_; },
      [this](const QString& text) { emit Notice(text); });
  engine_->AddListener(baselineWatch_.get());
  for (TSessionListener* l : waiting_) engine_->AddListener(l);
  waiting_.clear();
}

void TSessionModel::DetachHost() {
  if (!engine_) return;
  // The host is going: nothing of it is called any more, not even to stop.
  drumTimer_->Stop();
  pollTimer_->Stop();
  engine_.reset();
  baselineWatch_.reset();
  drumTimer_.reset();
  pollTimer_.reset();
  host_ = nullptr;
}

void TSessionModel::Listen(TSessionListener* listener) {
  if (engine_)
    engine_->AddListener(listener);
  else if (!waiting_.contains(listener))
    waiting_.append(listener);
}

void TSessionModel::StopListening(TSessionListener* listener) {
  waiting_.removeAll(listener);
  if (engine_) engine_->RemoveListener(listener);
}

// --- speech ------------------------------------------------------------------

void TSessionModel::ApplySpeechOptions() {
  const TSpeechOptions& options = options_.Speech();
  if ((options.Speaks() || options_.HandsFree().Speaks()) && !speech_) {
    speech_ = SpeechFactory() ? SpeechFactory()() : CreateDefaultSpeech();
    speaker_ = std::make_unique<TSessionSpeaker>(*speech_);
    // Without an engine the program goes on silently.
    if (!speech_->Available()) {
      emit Notice(QString::fromStdString(speech_->Error()));
    } else if (speech_->Lost()) {
      emit Notice(QStringLiteral("Речь пока не звучит: нет связи со звуковым сервером. Она появится сама, "
                                 "когда сервер заработает."));
      speechLossTold_ = true;
    }
    connect(&speechWatch_, &QTimer::timeout, this, &TSessionModel::WatchSpeech);
    // Without an event loop (tests of the model alone) nothing would tick.
    if (QCoreApplication::instance()) speechWatch_.start(500);
  }
  if (speaker_) {
    speaker_->SetOptions(options);
    speaker_->SetHandsFree(options_.HandsFree());
  }
}

void TSessionModel::WatchSpeech() {
  const bool lost = speech_->Lost();
  if (lost && !speechLossTold_)
    emit Notice(QStringLiteral("Речь прервалась: нет связи со звуковым сервером. Она вернётся сама, "
                               "когда сервер снова заработает."));
  speechLossTold_ = lost;
}

bool TSessionModel::SensorBlocked() const {
  return alarmOn_ || (speaker_ && speaker_->SensorBlocked());
}

int TSessionModel::RestExtraMs(const TSessionEngine& engine) {
  return speaker_ ? speaker_->RestExtraMs(engine) : 0;
}

bool TSessionModel::SensorBlanked() const { return speaker_ && speaker_->SensorBlanked(); }

void TSessionModel::RestBegan(const TSessionEngine& engine) {
  if (speaker_) speaker_->RestBegan(engine);
}

void TSessionModel::RestEnded(const TSessionEngine&) {
  if (speaker_) speaker_->RestEnded();
}

void TSessionModel::ReadingTaken(const TInstData& record) {
  if (recorder_) recorder_->Write(record);
}

void TSessionModel::SymbolTaken(const TSessionEngine& engine, const QString& symbol,
                                TSymbolAction action) {
  if (action == TSymbolAction::Call) SoundAlarm();
  if (action == TSymbolAction::ReadLine && !(speaker_ && speaker_->Available()))
    emit Notice(QStringLiteral("Строку некому прочитать: речь недоступна."));
  if (speaker_ && speaker_->Speaks() && host_)
    speaker_->SymbolTaken(engine, symbol, action, host_->TapeLines());
}

void TSessionModel::WaitingChanged(const TSessionEngine& engine) {
  if (engine.Waiting() && speaker_ && speaker_->Speaks()) speaker_->SayWaiting();
}

// --- the call alarm ------------------------------------------------------------

void TSessionModel::SoundAlarm() {
  if (!alarm_) alarm_ = AlarmFactory() ? AlarmFactory()() : CreateDefaultAlarm();
  // Not heard is said, never passed over: whoever reads the notice line
  // knows that a call was made.
  alarmFailureTold_ = !alarm_->Start();
  if (alarmFailureTold_)
    emit Notice(QString::fromStdString(alarm_->Error()) +
                QStringLiteral(" Оператор вызывает помощника."));
  if (alarmOn_) return;
  alarmOn_ = true;
  if (QCoreApplication::instance()) alarmWatch_.start(500);
  emit AlarmChanged();
}

void TSessionModel::WatchAlarm() {
  if (!alarmOn_ || !alarm_ || alarm_->Sounding()) return;
  // It stopped by itself or never began (no sound server): tried again at
  // every watch, so it sounds once the server is back; told once a failure.
  if (alarm_->Start()) {
    alarmFailureTold_ = false;
    return;
  }
  if (!alarmFailureTold_)
    emit Notice(QString::fromStdString(alarm_->Error()) + QStringLiteral(" Оператор вызывает помощника."));
  alarmFailureTold_ = true;
}

void TSessionModel::SilenceAlarm() {
  if (!alarmOn_) return;
  if (alarm_) alarm_->Stop();
  alarmOn_ = false;
  alarmWatch_.stop();
  emit AlarmChanged();
}

// --- the tape's recovery copy -------------------------------------------------

void TSessionModel::KeepTapeCopy(const QString& dataFolder) {
  if (tapeRecovery_) return;
  tapeRecovery_ = std::make_unique<TTapeRecovery>(
      dataFolder + TTapeRecovery::FileName(), [this](const QString& m) { emit Notice(m); });
}
