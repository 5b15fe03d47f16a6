#pragma once
// The call alarm over PulseAudio's simple API: a thread writes the signal's
// periods until it is silenced.

#include <atomic>
#include <mutex>
#include <thread>

#include "Alarm.h"

class TPulseAlarm : public TAlarm {
public:
  ~TPulseAlarm() override;
  bool Start() override;
  void Stop() override;
  bool Sounding() const override { return sounding_; }
  std::string Error() const override;

private:
  void Play(struct pa_simple* stream);
  void SetError(const std::string& text);

  std::thread player_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> sounding_{false};
  // Written by the player thread when the server goes away.
  mutable std::mutex errorMutex_;
  std::string error_;
};
