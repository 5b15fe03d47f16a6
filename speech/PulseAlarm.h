#pragma once
// The call alarm over PulseAudio's simple API: a thread writes the signal's
// periods until it is silenced.

#include <atomic>
#include <thread>

#include "Alarm.h"

class TPulseAlarm : public TAlarm {
public:
  ~TPulseAlarm() override;
  bool Start() override;
  void Stop() override;
  bool Sounding() const override { return sounding_; }
  std::string Error() const override { return error_; }

private:
  void Play(struct pa_simple* stream);

  std::thread player_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> sounding_{false};
  std::string error_;
};
