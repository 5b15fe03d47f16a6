#pragma once
// A session tick timer that never fires by itself: tests call the tick
// handlers and read what the timer was last told.

#include "session/TickTimer.h"

class TManualTickTimer : public TTickTimer {
public:
  void Start(int intervalMs, bool) override {
    Interval_ = intervalMs;
    Pending_ = true;
  }
  void Stop() override { Pending_ = false; }
  bool Pending() const override { return Pending_; }
  int Interval() const override { return Interval_; }

private:
  int Interval_ = 0;
  bool Pending_ = false;
};
