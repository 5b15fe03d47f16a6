#pragma once
// A session engine over the real measurement chain with the scripted sensor,
// a host that records what the engine asks of it and tells its listeners,
// and timers ticked by hand. The probe's level is held at 0 and the gain is
// 100, so the instrument value is the reading × 100 (unless the rig is made
// with the automatic level).

#include <QStringList>
#include <functional>
#include <memory>

#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "session/SessionEngine.h"
#include "session/SessionSpeaker.h"
#include "speech/FakeSpeech.h"
#include "tests/support/ManualTickTimer.h"
#include "tests/support/ScriptedSensor.h"

class TScriptedHost : public TSessionHost, public TSessionListener {
public:
  TScriptedHost(TSensor& sensor, TInstrument& model) : sensor_(sensor), model_(model) {}

  TSensor* Sensor() override { return &sensor_; }
  TInstrument* Model() override { return &model_; }
  TSessionOptions StartOptions() override { return Options; }
  TSpeedOptions StartSpeed() override { return Speed; }
  TSwitchOptions StartSwitch() override { return Switch; }
  bool FastSlowOption() override { return FastSlowNow; }
  void DrawDrum() override { ++DrumDrawn; }
  QStringList TapeLines() override { return Tape; }
  void AddTapeLine(const QString& line) override {
    Tape << line;
    Events << QStringLiteral("add ") + line;
  }
  void ReplaceLastTapeLine(const QString& line) override {
    Tape.last() = line;
    Events << QStringLiteral("replace ") + line;
  }
  void Message(const QString& text) override { Events << QStringLiteral("message ") + text; }
  bool SensorBlocked() override { return Speaker && Speaker->SensorBlocked(); }
  int RestExtraMs(const TSessionEngine& engine) override { return Speaker ? Speaker->RestExtraMs(engine) : 0; }
  bool SensorBlanked() override { return Speaker && Speaker->SensorBlanked(); }
  THandsFreeOptions StartHandsFree() override { return HandsFree; }
  void StartByReaction() override {
    Events << "start by reaction";
    if (StartAgain) StartAgain();
  }
  void Notice(const QString& text) override { Events << QStringLiteral("notice ") + text; }

  void SessionStarted(const TSessionEngine&) override { Events << "lock"; }
  void SessionEnded(const TSessionEngine&) override { Events << "unlock"; }
  void LightChanged(TSessionLight light) override {
    Light = light;
    Events << QStringLiteral("light %1").arg(static_cast<int>(light));
  }
  void ReadingTaken(const TInstData& record) override {
    Events << QStringLiteral("reading %1").arg(record.Inst);
  }
  void RestBegan(const TSessionEngine& engine) override {
    if (Speaker) Speaker->RestBegan(engine);
  }
  void PauseChanged(const TSessionEngine& engine) override {
    Events << (engine.Paused() ? QStringLiteral("paused") : QStringLiteral("resumed"));
  }
  void WaitingChanged(const TSessionEngine& engine) override {
    Events << (engine.Waiting() ? QStringLiteral("waiting") : QStringLiteral("not waiting"));
  }
  void RestEnded(const TSessionEngine&) override {
    if (Speaker) Speaker->RestEnded();
  }
  void SymbolTaken(const TSessionEngine& engine, const QString& symbol,
                   TSymbolAction action) override {
    if (Speaker) Speaker->SymbolTaken(engine, symbol, action, Tape);
  }

  TSessionOptions Options;
  TSpeedOptions Speed;
  TSwitchOptions Switch;
  THandsFreeOptions HandsFree;
  // What StartByReaction does besides logging it.
  std::function<void()> StartAgain;
  bool FastSlowNow = false;
  QStringList Tape;
  QStringList Events;
  TSessionLight Light = TSessionLight::Idle;
  int DrumDrawn = 0;
  // Speaks the session's events, when set.
  TSessionSpeaker* Speaker = nullptr;

private:
  TSensor& sensor_;
  TInstrument& model_;
};

enum class TRigLevel { HeldAtZero, Automatic };

// A scripted speech engine and the session's speaker on it, speaking for a
// host as the options say.
struct TRigVoice {
  TRigVoice(TScriptedHost& host, const TSpeechOptions& options) {
    Speaker.SetOptions(options);
    host.Speaker = &Speaker;
  }
  TFakeSpeech Speech;
  TSessionSpeaker Speaker{Speech};
};

struct TSessionRig {
  explicit TSessionRig(TRigLevel level = TRigLevel::HeldAtZero) {
    if (level == TRigLevel::HeldAtZero) {
      Probe.LevelMode = TProbe::LevelFixed;
      Probe.Level = 0.0;
    }
    Host.Options.Symbols = TSessionOptions::DesignSymbols();
    Engine.AddListener(&Host);
  }

  void Poll(double reading, bool samples = true) {
    Sensor.NextReading = reading;
    Sensor.Samples = samples;
    Engine.PollTick();
  }
  // n frames of the drum.
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Engine.DrumTick();
  }
  // The five frames of a move and the next rest.
  void NextSymbol() { Frames(6); }
  void MoveTo(const QString& symbol) {
    for (int i = 0;
         i < Engine.Symbols().size() && Engine.Symbols().value(Engine.DrumPosition() - 1) != symbol; ++i)
      NextSymbol();
  }
  // A quiet poll, then one above the on level.
  void Fire() {
    Poll(0.0);
    Poll(0.5);
  }
  // The last tape line without its "- ".
  QString Written() const { return Host.Tape.isEmpty() ? QString() : Host.Tape.last().mid(2); }

  TScriptedSensor Sensor;
  TProbe Probe{Sensor, false};
  TGaugePM100 Model{Probe, nullptr};
  TScriptedHost Host{Sensor, Model};
  TManualTickTimer DrumTimer;
  TManualTickTimer PollTimer;
  TSessionEngine Engine{Host, DrumTimer, PollTimer};
};
