#pragma once
// Speech output: a cue voice that names the symbol at rest and a main voice
// that says what was written. Plain C++, so each platform brings its own
// engine behind this interface and tests script it.

#include <string>
#include <vector>

enum class TVoice { Cue, Main };

// How a voice sounds: volume in percent of the engine's full level, rate in
// words per minute.
struct TVoiceSettings {
  int Volume = 100;
  int Rate = 170;
};

class TSpeech {
public:
  virtual ~TSpeech() = default;

  // Empty when the engine and its Russian voice are ready; otherwise what is
  // missing, as the user is told it.
  virtual std::string Error() const = 0;
  bool Available() const { return Error().empty(); }

  virtual void SetVoice(TVoice voice, const TVoiceSettings& settings) = 0;
  // Readies the cue texts (UTF-8) so that saying one later starts at once.
  virtual void Prepare(const std::vector<std::string>& cues) = 0;
  // Says a text (UTF-8) and returns at once. Main texts are said in order,
  // before any cue; a new cue replaces the cue playing or waiting.
  virtual void Say(const std::string& text, TVoice voice) = 0;
  // Silences the cue voice: the cue playing stops, one waiting is dropped.
  // The main voice goes on.
  virtual void Cut() = 0;
  // Whether the program's speech may be reaching a microphone now: while it
  // plays and a short while after, for the sound's way back.
  virtual bool Speaking() const = 0;
  // How long Speaking() stays true after the last sound has left the
  // program: the way from the speaker back through a microphone and the
  // capture to the readings. DefaultEchoMs unless set.
  static constexpr int DefaultEchoMs = 250;
  virtual void SetEchoMs(int /*ms*/) {}
  // How long the cue for this text sounds (ms) at the cue voice's present
  // rate, readying it when it was not; 0 for an empty text or without an
  // engine.
  virtual int CueMs(const std::string& /*text*/) { return 0; }
  // Whether the sound server is away (gone, or not there at the start):
  // texts are dropped until it is back, which each new text tries.
  virtual bool Lost() const { return false; }
};
