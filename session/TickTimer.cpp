#include "TickTimer.h"

#include <algorithm>

int TTickSchedule::NextDelay(int64_t nowMs, int intervalMs, bool onSchedule) {
  if (!onSchedule || nowMs - due_ > intervalMs) due_ = nowMs;
  due_ += intervalMs;
  return static_cast<int>(std::max<int64_t>(0, due_ - nowMs));
}
