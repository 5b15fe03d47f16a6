#pragma once
// No alarm player on this platform: the call is told, not heard.

#include "Alarm.h"

class TNullAlarm : public TAlarm {
public:
  bool Start() override { return false; }
  void Stop() override {}
  bool Sounding() const override { return false; }
  std::string Error() const override { return "Сигнал вызова на этой системе не звучит."; }
};
