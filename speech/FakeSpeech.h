#pragma once
// A scripted speech engine for tests: it logs what it was asked to say and
// keeps a cue "sounding" until it is cut or replaced.

#include <map>

#include "Speech.h"

class TFakeSpeech : public TSpeech {
public:
  std::string Error() const override { return Missing; }
  void SetVoice(TVoice voice, const TVoiceSettings& settings) override;
  void Prepare(const std::vector<std::string>& cues) override { Prepared = cues; }
  void Say(const std::string& text, TVoice voice) override;
  void Cut() override;
  bool Speaking() const override { return SpeakingNow; }
  bool Lost() const override { return LostNow; }
  void SetEchoMs(int ms) override { EchoMs = ms; }
  int CueMs(const std::string& text) override;

  std::string Missing;               // the error to report; empty: available
  std::vector<std::string> Log;      // "cue:<text>", "main:<text>", "cut"
  std::vector<std::string> Prepared;
  std::string CueSounding;           // the cue heard now; empty: none
  bool SpeakingNow = false;          // what Speaking() answers
  bool LostNow = false;              // what Lost() answers
  TVoiceSettings Voices[2];
  int EchoMs = 250;                  // as last set
  std::map<std::string, int> CueLengths;  // what CueMs answers; 0 for others
};
