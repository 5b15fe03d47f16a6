#include "FakeSpeech.h"

void TFakeSpeech::SetVoice(TVoice voice, const TVoiceSettings& settings) {
  Voices[voice == TVoice::Cue ? 0 : 1] = settings;
}

void TFakeSpeech::Say(const std::string& text, TVoice voice) {
  Log.push_back((voice == TVoice::Cue ? "cue:" : "main:") + text);
  if (voice == TVoice::Cue) CueSounding = text;
}

void TFakeSpeech::Cut() {
  Log.push_back("cut");
  CueSounding.clear();
}

int TFakeSpeech::CueMs(const std::string& text) {
  const auto found = CueLengths.find(text);
  return found == CueLengths.end() ? 0 : found->second;
}
