#pragma once

#include "sensor/Utils.h"

// A clock the test sets by hand; installed for the lifetime of the object.
class TScriptedClock : public TClock {
public:
  TScriptedClock() { SetClock(this); }
  ~TScriptedClock() override { SetClock(nullptr); }

  TLocalDateTime Now() const override { return now; }
  void Set(int hour, int minute, int second, int ms) {
    now.Hour = hour;
    now.Minute = minute;
    now.Second = second;
    now.Millisecond = ms;
  }

  TLocalDateTime now{2026, 3, 14, 12, 0, 0, 0};
};
