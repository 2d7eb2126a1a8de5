#pragma once

#include <QObject>
#include <QTimer>

namespace quorvel {

// A timer that is driven by its period alone: a period of 0 or less stops it;
// a new positive period (re)starts it, the first tick one period later; the
// period it already has changes nothing, so a running timer keeps its
// schedule.
class PeriodTimer : public QObject {
  Q_OBJECT

 public:
  explicit PeriodTimer(QObject* parent = nullptr);

  void SetPeriod(int ms);
  int Period() const { return period_; }
  bool IsRunning() const { return timer_.isActive(); }

 signals:
  void tick();

 private:
  QTimer timer_;
  int period_ = 0;
};

}  // namespace quorvel
