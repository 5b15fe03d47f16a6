#pragma once
// The main window over the platform's capture on the test sound server
// (scripts/pulse-start.sh), every capture logged, with a tone player that
// the test makes when it first plays.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "MainFixture.h"
#include "capture/CaptureInputs.h"
#include "tests/support/SpellingBursts.h"
#include "windows/Main.h"

class RealSoundFixture : public MainFixture {
protected:
  void SetUp() override {
    MainFixture::SetUp();
    TFMain::SetSensorFactory(CaptureLogSensorFactory(Log));
  }
  void TearDown() override {
    Player.reset();
    MainFixture::TearDown();
  }

  static void RequireSound() {
    ASSERT_TRUE(std::getenv("PULSE_SERVER") || std::getenv("XDG_RUNTIME_DIR"))
        << "no sound server: run eval \"$(scripts/pulse-start.sh)\" first";
    std::vector<TCaptureInput> inputs;
    ASSERT_TRUE(CreateDefaultCaptureInputs()->List(inputs) && !inputs.empty())
        << "no audio input: the PulseAudio server of scripts/pulse-start.sh is not running";
  }

  std::unique_ptr<TTonePlayer> Player;
  TCaptureLogSensor* Log = nullptr;
};
