#pragma once
// A session tick timer on a one-shot precise QTimer: the program's timers.
// Tests replace them with timers they tick by hand (TFMain::SetTickTimerFactory).

#include <QTimer>
#include <functional>

#include "session/TickTimer.h"

class TQtTickTimer : public TTickTimer {
public:
  // The QTimer is a child of owner, named name; onTick runs at each tick.
  TQtTickTimer(QObject* owner, const char* name, std::function<void()> onTick);

  void Start(int intervalMs, bool onSchedule) override;
  void Stop() override;
  bool Pending() const override { return timer_->isActive(); }
  int Interval() const override { return interval_; }

  QTimer* Timer() const { return timer_; }

private:
  QTimer* timer_;
  TTickSchedule schedule_;
  int interval_ = 0;
};
