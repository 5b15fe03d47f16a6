#pragma once
// The platform's speech engine: espeak-ng over PulseAudio on Linux, the
// system's voices (SAPI) on Windows.

#include <memory>

#include "Speech.h"

std::unique_ptr<TSpeech> CreateDefaultSpeech();
