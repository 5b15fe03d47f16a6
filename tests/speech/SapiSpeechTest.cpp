// The system's voices on Windows: the engine comes up or says why not, and
// speaking, cutting and asking are safe either way (under Wine there is
// usually no Russian voice).
#include <gtest/gtest.h>

#include <iostream>

#include "speech/DefaultSpeech.h"

TEST(SapiSpeech, ComesUpOrSaysWhyAndIsSafeToUseEitherWay) {
  std::unique_ptr<TSpeech> speech = CreateDefaultSpeech();
  ASSERT_TRUE(speech);
  const std::string error = speech->Error();
  std::cout << "engine: " << (error.empty() ? std::string("a Russian voice") : error) << "\n";
  if (!error.empty()) {
    EXPECT_EQ(error.rfind("Речь недоступна", 0), 0u) << error;
  }
  speech->SetVoice(TVoice::Cue, TVoiceSettings{40, 220});
  speech->SetVoice(TVoice::Main, TVoiceSettings{100, 450});
  speech->Say("а", TVoice::Cue);
  speech->Cut();
  speech->Say("проверка", TVoice::Main);
  if (!error.empty()) {
    // Nothing can be playing: the sensor must not be blocked for nothing.
    EXPECT_FALSE(speech->Speaking());
  } else {
    EXPECT_TRUE(speech->Speaking());
  }
}
