#pragma once
// Speech on Windows through the system's voices (SAPI 5): two voice objects,
// a quiet cue voice and the main voice, both set to the first Russian voice
// installed. Calls come from the thread that made the object (the user
// interface's, which has COM ready); SAPI speaks asynchronously.

#include <chrono>
#include <string>

#include "Speech.h"

struct ISpVoice;

class TSapiSpeech : public TSpeech {
public:
  TSapiSpeech();
  ~TSapiSpeech() override;

  std::string Error() const override { return error_; }
  void SetVoice(TVoice voice, const TVoiceSettings& settings) override;
  void Prepare(const std::vector<std::string>&) override {}
  void Say(const std::string& text, TVoice voice) override;
  void Cut() override;
  bool Speaking() const override;
  void SetEchoMs(int ms) override;
  int CueMs(const std::string& text) override;

private:
  ISpVoice* VoiceFor(TVoice voice) const { return voice == TVoice::Cue ? cue_ : main_; }
  void Release();

  ISpVoice* cue_ = nullptr;
  ISpVoice* main_ = nullptr;
  bool comStarted_ = false;
  std::string error_;
  // When speech was last heard playing: the sensor may still pick it up a
  // moment later.
  mutable std::chrono::steady_clock::time_point lastHeard_{};
  // How long after its sound ends speech may still reach a microphone.
  std::chrono::milliseconds tail_{DefaultEchoMs};
  int cueRate_ = 220;  // the cue voice's words per minute
};
