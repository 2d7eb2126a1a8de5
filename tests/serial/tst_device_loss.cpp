#include <QtTest>

#include "serial/device_loss.h"

using Report = quorvel::DeviceLossDetector::Report;
Q_DECLARE_METATYPE(QList<Report>)

class TestDeviceLoss : public QObject {
  Q_OBJECT

 private slots:
  void verdicts_data();
  void verdicts();
  void resetStartsAfresh();
};

// Each row feeds the reports in order; `lost_at` is the index of the report
// that must be the only one answered with true, or -1 for none.
void TestDeviceLoss::verdicts_data() {
  constexpr int kRun = quorvel::DeviceLossDetector::kReadErrorsMeaningLoss;
  QTest::addColumn<QList<Report>>("reports");
  QTest::addColumn<int>("lost_at");

  QTest::addRow("data only") << QList<Report>{Report::kData, Report::kData} << -1;
  QTest::addRow("resource error at once") << QList<Report>{Report::kData, Report::kResourceError} << 1;
  QTest::addRow("one read error is passing") << QList<Report>{Report::kReadError, Report::kData} << -1;
  QTest::addRow("read errors one short of a run")
      << QList<Report>(kRun - 1, Report::kReadError) << -1;
  QTest::addRow("a run of read errors") << QList<Report>(kRun + 3, Report::kReadError) << kRun - 1;

  QList<Report> broken(kRun - 1, Report::kReadError);
  broken << Report::kData << QList<Report>(kRun - 1, Report::kReadError);
  QTest::addRow("data breaks the run") << broken << -1;

  QList<Report> other(kRun - 1, Report::kReadError);
  other << Report::kOtherError << Report::kReadError;
  QTest::addRow("other errors neither break nor extend the run") << other << kRun;

  QTest::addRow("other errors alone") << QList<Report>(kRun * 2, Report::kOtherError) << -1;
  QTest::addRow("only the first resource error counts")
      << QList<Report>{Report::kResourceError, Report::kResourceError, Report::kData, Report::kResourceError} << 0;
}

void TestDeviceLoss::verdicts() {
  QFETCH(QList<Report>, reports);
  QFETCH(int, lost_at);
  quorvel::DeviceLossDetector detector;
  for (int i = 0; i < reports.size(); ++i) {
    QCOMPARE(detector.Note(reports[i]), i == lost_at);
  }
  QCOMPARE(detector.Gone(), lost_at >= 0);
}

void TestDeviceLoss::resetStartsAfresh() {
  quorvel::DeviceLossDetector detector;
  for (int i = 0; i < quorvel::DeviceLossDetector::kReadErrorsMeaningLoss - 1; ++i) detector.Note(Report::kReadError);
  detector.Reset();
  // The run before the reset does not carry over into the next device.
  QVERIFY(!detector.Note(Report::kReadError));
  QVERIFY(detector.Note(Report::kResourceError));
  detector.Reset();
  QVERIFY(!detector.Gone());
  QVERIFY(detector.Note(Report::kResourceError));
}

QTEST_APPLESS_MAIN(TestDeviceLoss)
#include "tst_device_loss.moc"
