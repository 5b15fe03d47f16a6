#pragma once
// The one-shot timers that drive a session. A tick handler stops its timer on
// entry and starts it again on exit, so ticks never overlap; started from a
// tick, the timer keeps to the schedule of the ticks before, so the time a
// handler takes is not added to every interval.

#include <cstdint>

class TTickTimer {
public:
  virtual ~TTickTimer() = default;
  // The next tick intervalMs from now, or, with onSchedule, intervalMs after
  // the tick now ending was due.
  virtual void Start(int intervalMs, bool onSchedule) = 0;
  virtual void Stop() = 0;
  virtual bool Pending() const = 0;
  // The interval the timer was last started with.
  virtual int Interval() const = 0;
};

// The schedule of a one-shot timer on a monotonic clock in ms.
class TTickSchedule {
public:
  // The delay from nowMs to the next tick, intervalMs after the last one was
  // due (onSchedule) or after now. A tick more than one interval late starts
  // a new schedule.
  int NextDelay(int64_t nowMs, int intervalMs, bool onSchedule);

private:
  int64_t due_ = 0;
};
