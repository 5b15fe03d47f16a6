// The system's voices on Windows: the engine comes up or says why not, and
// speaking, cutting and asking are safe either way (under Wine there is
// usually no Russian voice).
#include <gtest/gtest.h>

#include <iostream>

#include <windows.h>

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

// With a Russian voice installed, speech is heard until it ends or is cut.
// Wine and most English Windows set-ups have no Russian SAPI voice: the test
// then says so and skips.
TEST(SapiSpeech, RussianVoiceSpeaksAndStopsWhenCut) {
  std::unique_ptr<TSpeech> speech = CreateDefaultSpeech();
  ASSERT_TRUE(speech);
  if (!speech->Error().empty())
    GTEST_SKIP() << "no Russian SAPI voice on this system (" << speech->Error() << ")";
  // Waits up to limitMs of the engine's own playing for Speaking() to turn.
  const auto waitFor = [&](bool speaking, int limitMs) {
    for (int waited = 0; waited < limitMs && speech->Speaking() != speaking; waited += 20) Sleep(20);
    return speech->Speaking() == speaking;
  };
  speech->SetVoice(TVoice::Main, TVoiceSettings{100, 170});
  speech->Say("проверка", TVoice::Main);
  EXPECT_TRUE(waitFor(true, 5000));
  EXPECT_TRUE(waitFor(false, 20000)) << "a single word still playing after 20 s";

  speech->SetVoice(TVoice::Cue, TVoiceSettings{40, 220});
  speech->Say("длинная подсказка, которая звучит несколько секунд подряд без остановки", TVoice::Cue);
  EXPECT_TRUE(waitFor(true, 5000));
  speech->Cut();
  // The cut ends the sound at once; Speaking() covers a short tail after it.
  EXPECT_TRUE(waitFor(false, 2000));
}
