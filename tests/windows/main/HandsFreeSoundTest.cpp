// A session started by a real reaction: after the stop symbol the window
// waits, and a tone burst played into the virtual source of the PulseAudio
// server of scripts/pulse-start.sh starts the next session. Nothing is
// recorded while it waits.
#include "RealSoundFixture.h"
#include "recording/Instrecord.h"
#include "session/SessionModel.h"
#include "windows/MainSemaphore.h"
#include "windows/OptionsInForce.h"

namespace {

using HandsFreeSound = RealSoundFixture;

TEST_F(HandsFreeSound, AReactionAfterTheStopSymbolStartsTheNextSession) {
  RequireSound();
  PresetSymbols({QStringLiteral("."), QStringLiteral("A")});
  LiveTimers = true;
  Launch(true, false);
  THandsFreeOptions options;
  options.StartByReaction = true;
  OptionsInForce().Set(options);
  Start(QStringLiteral("1"));
  ASSERT_TRUE(FMain->Running());
  // F9 takes the stop symbol at the first rest.
  FMain->SelectSymbol();
  ASSERT_TRUE(FMain->Engine().Waiting());
  const int recorded = SessionModel->Recorder()->Count();
  // The capture is listened to: the light turns green once the sensor is quiet.
  RunWhile([] { return FMain->SSemaphore->Color() != TFMain::ReadyColor(); }, 10000);
  ASSERT_EQ(FMain->SSemaphore->Color(), TFMain::ReadyColor());
  EXPECT_EQ(SessionModel->Recorder()->Count(), recorded)
      << "readings while waiting are not recorded";
  Player = std::make_unique<TTonePlayer>();
  ASSERT_TRUE(Player->Open()) << "no playback stream on the sound server";
  Player->Begin(0.5, 0.4, 0.0);
  RunWhile([] { return !FMain->Running(); }, 10000);
  ASSERT_TRUE(FMain->Running()) << "the reaction did not start a session";
  EXPECT_FALSE(FMain->Engine().Waiting());
  EXPECT_EQ(Tape(), QStringList{QStringLiteral("- .")}) << "the starting reaction took nothing";
  FMain->BStopClick();
}

}  // namespace
