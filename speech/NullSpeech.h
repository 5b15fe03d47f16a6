#pragma once
// No speech engine on this platform: says nothing and tells why once asked.

#include "Speech.h"

class TNullSpeech : public TSpeech {
public:
  std::string Error() const override;
  void SetVoice(TVoice, const TVoiceSettings&) override {}
  void Prepare(const std::vector<std::string>&) override {}
  void Say(const std::string&, TVoice) override {}
  void Cut() override {}
  bool Speaking() const override { return false; }
};
