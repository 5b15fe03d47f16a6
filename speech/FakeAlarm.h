#pragma once
// A scripted alarm for tests: it sounds when started unless told it cannot.

#include "Alarm.h"

class TFakeAlarm : public TAlarm {
public:
  bool Start() override {
    ++Starts;
    if (!Missing.empty()) return false;
    SoundingNow = true;
    return true;
  }
  void Stop() override { SoundingNow = false; }
  bool Sounding() const override { return SoundingNow; }
  std::string Error() const override { return Missing; }

  std::string Missing;  // the error to report; empty: it sounds
  bool SoundingNow = false;
  int Starts = 0;
};
