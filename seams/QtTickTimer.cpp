#include "QtTickTimer.h"

#include <QElapsedTimer>

namespace {

int64_t MonotonicMs() {
  static QElapsedTimer clock;
  if (!clock.isValid()) clock.start();
  return clock.elapsed();
}

}  // namespace

TQtTickTimer::TQtTickTimer(QObject* owner, const char* name, std::function<void()> onTick)
    : timer_(new QTimer(owner)) {
  timer_->setObjectName(QString::fromLatin1(name));
  timer_->setSingleShot(true);
  timer_->setTimerType(Qt::PreciseTimer);
  QObject::connect(timer_, &QTimer::timeout, timer_, std::move(onTick));
}

void TQtTickTimer::Start(int intervalMs, bool onSchedule) {
  interval_ = intervalMs;
  timer_->start(schedule_.NextDelay(MonotonicMs(), intervalMs, onSchedule));
}

void TQtTickTimer::Stop() { timer_->stop(); }

std::unique_ptr<TTickTimer> MakeTickTimer(const TTickTimerFactory& factory, QObject* owner,
                                          const char* name, std::function<void()> onTick) {
  if (factory) return factory(owner, name, std::move(onTick));
  return std::make_unique<TQtTickTimer>(owner, name, std::move(onTick));
}
