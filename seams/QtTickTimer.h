#pragma once
// A session tick timer on a one-shot precise QTimer: the program's timers.
// Tests replace them with timers they tick by hand (TFMain::SetTickTimerFactory).

#include <QTimer>
#include <functional>
#include <memory>

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

// Makes a window's tick timer: the QTimer one above, or what a test hands
// out instead (timers it ticks by hand).
using TTickTimerFactory = std::function<std::unique_ptr<TTickTimer>(
    QObject* owner, const char* name, std::function<void()> onTick)>;
// The factory's timer, or a TQtTickTimer when the factory is empty.
std::unique_ptr<TTickTimer> MakeTickTimer(const TTickTimerFactory& factory, QObject* owner,
                                          const char* name, std::function<void()> onTick);
