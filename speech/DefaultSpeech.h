#pragma once
// The platform's speech engine: espeak-ng over PulseAudio on Linux, none
// elsewhere.

#include <memory>

#include "Speech.h"

std::unique_ptr<TSpeech> CreateDefaultSpeech();
