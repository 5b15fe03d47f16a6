#pragma once
// A session engine over the real measurement chain with a scripted sensor,
// a host that records what the engine asks of it, and timers ticked by hand.
// The probe's level is held at 0 and the gain is 100, so the instrument
// value is the reading × 100.

#include <QStringList>

#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "session/SessionEngine.h"
#include "tests/support/ManualTickTimer.h"

class TScriptedSensor : public TSensor {
public:
  bool Start(int periodMs) override {
    Calls << QStringLiteral("Start %1").arg(periodMs);
    return true;
  }
  void Stop() override { Calls << QStringLiteral("Stop"); }
  void Rearm(int periodMs) override { Calls << QStringLiteral("Rearm %1").arg(periodMs); }
  bool Read() override {
    Reading = NextReading;
    return !FailRead;
  }
  double NextReading = 0.0;
  bool FailRead = false;
  QStringList Calls;
};

class TScriptedHost : public TSessionHost {
public:
  TScriptedHost(TSensor& sensor, TInstrument& model) : sensor_(sensor), model_(model) {}

  TSensor* Sensor() override { return &sensor_; }
  TInstrument* Model() override { return &model_; }
  TSessionOptions StartOptions() override { return Options; }
  TSpeedOptions StartSpeed() override { return Speed; }
  bool FastSlowOption() override { return FastSlowNow; }
  void LockSettings(bool locked) override { Events << (locked ? "lock" : "unlock"); }
  void ShowLight(TSessionLight light) override {
    Light = light;
    Events << QStringLiteral("light %1").arg(static_cast<int>(light));
  }
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
  void ReadingTaken(const TInstData& record) override {
    Events << QStringLiteral("reading %1").arg(record.Inst);
  }
  void Message(const QString& text) override { Events << QStringLiteral("message ") + text; }

  TSessionOptions Options;
  TSpeedOptions Speed;
  bool FastSlowNow = false;
  QStringList Tape;
  QStringList Events;
  TSessionLight Light = TSessionLight::Idle;
  int DrumDrawn = 0;

private:
  TSensor& sensor_;
  TInstrument& model_;
};

struct TSessionRig {
  TSessionRig() {
    Probe.LevelMode = TProbe::LevelFixed;
    Probe.Level = 0.0;
    for (char c = 'A'; c <= 'Z'; ++c) Host.Options.Symbols << QString(QLatin1Char(c));
    Host.Options.Symbols << QStringLiteral(" ") << QStringLiteral(".");
  }

  void Poll(double reading) {
    Sensor.NextReading = reading;
    Engine.PollTick();
  }
  // The five frames of a move and the next rest.
  void NextSymbol() {
    for (int i = 0; i < 6; ++i) Engine.DrumTick();
  }
  void MoveTo(const QString& symbol) {
    for (int i = 0;
         i < Engine.Symbols.size() && Engine.Symbols.value(Engine.DrumPosition - 1) != symbol; ++i)
      NextSymbol();
  }
  // A quiet poll, then one above the on level.
  void Fire() {
    Poll(0.0);
    Poll(0.5);
  }

  TScriptedSensor Sensor;
  TProbe Probe{Sensor, false};
  TGaugePM100 Model{Probe, nullptr};
  TScriptedHost Host{Sensor, Model};
  TManualTickTimer DrumTimer;
  TManualTickTimer PollTimer;
  TSessionEngine Engine{Host, DrumTimer, PollTimer};
};
