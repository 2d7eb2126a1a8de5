#include "platform/period_timer.h"

namespace quorvel {

PeriodTimer::PeriodTimer(QObject* parent) : QObject(parent) {
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &PeriodTimer::tick);
}

void PeriodTimer::SetPeriod(int ms) {
  if (ms < 0) ms = 0;
  if (ms == period_) return;
  period_ = ms;
  if (ms == 0) {
    timer_.stop();
  } else {
    timer_.start(ms);
  }
}

}  // namespace quorvel
