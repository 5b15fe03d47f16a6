#pragma once
// What a session says: the cue voice names the symbol at rest and is cut
// when the drum moves on; the main voice says the symbol taken, or reads the
// line that a "." has finished. It also tells when the sensor must not be
// listened to because the program is speaking, and, with open time, how much
// longer each rest is for its cue.

#include <QString>
#include <QStringList>

#include "Options.h"
#include "speech/Speech.h"

class TSessionEngine;
enum class TSymbolAction;

class TSessionSpeaker {
public:
  explicit TSessionSpeaker(TSpeech& speech) : speech_(speech) {}

  // Takes new options; the voices change at once.
  void SetOptions(const TSpeechOptions& options);
  const TSpeechOptions& Options() const { return options_; }
  // The hands-free options: the read-line symbol and the prompt after a
  // stop symbol speak even with every speech option off.
  void SetHandsFree(const THandsFreeOptions& options) { handsFree_ = options; }
  // Whether anything is to be said at all.
  bool Speaks() const { return options_.Speaks() || handsFree_.Speaks(); }
  // Whether the speech engine is ready.
  bool Available() const { return speech_.Available(); }

  // The drum has come to rest: the cue names the symbol in the window.
  void RestBegan(const TSessionEngine& engine);
  // The drum moves on (or the session stopped): a cue still playing is cut.
  void RestEnded();
  // A selection took a symbol; tapeLines are the tape's lines after it.
  void SymbolTaken(const TSessionEngine& engine, const QString& symbol, TSymbolAction action,
                   const QStringList& tapeLines);
  // Reads a tape line aloud with the main voice.
  void SayLine(const QString& line);
  // Says a prompt of the calibration assistant with the main voice while
  // speech is on and the engine is ready; otherwise nothing.
  void SayPrompt(const QString& prompt);
  // The prompt once a stop symbol has ended a session and a reaction will
  // start the next.
  void SayWaiting();
  static QString WaitingPrompt();
  // Whether the sensor is to be ignored now.
  // How much longer the rest beginning now is: with the cue voice and open
  // time on, its cue's length, and the echo and a poll after it when the
  // sensor is blanked, so the whole time per symbol is left after the name;
  // else 0.
  int RestExtraMs(const TSessionEngine& engine);
  // Whether the sensor is to be ignored now (the blocking without open time).
  bool SensorBlocked() const;
  // Whether speech may be reaching the sensor now (the blocking with open
  // time): readings neither fire nor move the level.
  bool SensorBlanked() const;

private:
  bool OpenTime() const { return options_.OpenTime && options_.AuditoryScanning; }
  bool Blocking() const { return options_.BlockSensor && Speaks(); }
  // Readies the cues of the session's table when it is new.
  void PrepareCues(const TSessionEngine& engine);
  // What the cue of the symbol at rest says.
  std::string CueAtRest(const TSessionEngine& engine) const;

  TSpeech& speech_;
  TSpeechOptions options_;
  THandsFreeOptions handsFree_;
  // The symbols and special symbols whose cues were prepared.
  QStringList prepared_;
};
