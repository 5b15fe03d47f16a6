#pragma once
// The call alarm over the Windows wave output: one period of the signal
// looped by the device until it is silenced.

#include <windows.h>
#include <mmsystem.h>

#include "Alarm.h"

class TWaveAlarm : public TAlarm {
public:
  ~TWaveAlarm() override { Stop(); }
  bool Start() override;
  void Stop() override;
  bool Sounding() const override { return out_ != nullptr; }
  std::string Error() const override { return error_; }

private:
  HWAVEOUT out_ = nullptr;
  WAVEHDR header_{};
  std::string pcm_;
  std::string error_;
};
