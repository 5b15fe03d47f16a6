#pragma once
// Speech by espeak-ng's Russian voice, played through PulseAudio on a
// low-latency stream to the default output. A worker thread synthesises and
// plays; the caller's calls only hand it work, so they never wait on sound.
// When the sound server goes away (or is not there at the start) the stream
// is dropped, and each later text tries to open a new one (at most once a
// second) until the server is back.

#include <memory>

#include "Speech.h"

class TEspeakSpeech : public TSpeech {
public:
  // Starts the worker and waits until the engine and the voice are up or
  // have failed (Error() tells which); without a stream it starts Lost().
  TEspeakSpeech();
  ~TEspeakSpeech() override;

  std::string Error() const override;
  void SetVoice(TVoice voice, const TVoiceSettings& settings) override;
  void Prepare(const std::vector<std::string>& cues) override;
  void Say(const std::string& text, TVoice voice) override;
  void Cut() override;
  bool Speaking() const override;
  void SetEchoMs(int ms) override;
  int CueMs(const std::string& text) override;
  bool Lost() const override;

private:
  struct TWorker;
  std::unique_ptr<TWorker> worker_;
};
