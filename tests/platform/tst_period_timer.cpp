#include <QSignalSpy>
#include <QtTest>

#include "platform/event_pause.h"
#include "platform/period_timer.h"

// Uses generous margins: what is checked is which ticks come, not when.
class TestPeriodTimer : public QObject {
  Q_OBJECT

 private slots:
  void periodSetsState_data();
  void periodSetsState();
  void samePeriodKeepsSchedule();
  void stoppedTimerNeverTicks();
  void pauseDispatchesEvents();
};

void TestPeriodTimer::periodSetsState_data() {
  QTest::addColumn<int>("period");
  QTest::addColumn<int>("stored");
  QTest::addColumn<bool>("running");
  QTest::addRow("positive starts") << 50 << 50 << true;
  QTest::addRow("zero stops") << 0 << 0 << false;
  QTest::addRow("negative is zero") << -5 << 0 << false;
}

void TestPeriodTimer::periodSetsState() {
  QFETCH(int, period);
  QFETCH(int, stored);
  QFETCH(bool, running);
  quorvel::PeriodTimer timer;
  timer.SetPeriod(20);
  timer.SetPeriod(period);
  QCOMPARE(timer.Period(), stored);
  QCOMPARE(timer.IsRunning(), running);
}

void TestPeriodTimer::samePeriodKeepsSchedule() {
  // Setting the same period over and over must not restart the timer, or a
  // steady stream of received bytes would hold off its tick for ever.
  quorvel::PeriodTimer timer;
  QSignalSpy ticks(&timer, &quorvel::PeriodTimer::tick);
  timer.SetPeriod(100);
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 400 && ticks.isEmpty()) {
    timer.SetPeriod(100);
    QTest::qWait(5);
  }
  QVERIFY(!ticks.isEmpty());
}

void TestPeriodTimer::stoppedTimerNeverTicks() {
  quorvel::PeriodTimer timer;
  QSignalSpy ticks(&timer, &quorvel::PeriodTimer::tick);
  timer.SetPeriod(10);
  timer.SetPeriod(0);
  QTest::qWait(60);
  QCOMPARE(ticks.count(), 0);
}

void TestPeriodTimer::pauseDispatchesEvents() {
  bool delivered = false;
  QTimer::singleShot(0, [&] { delivered = true; });
  quorvel::PauseWithEvents(20);
  QVERIFY(delivered);
}

QTEST_GUILESS_MAIN(TestPeriodTimer)
#include "tst_period_timer.moc"
