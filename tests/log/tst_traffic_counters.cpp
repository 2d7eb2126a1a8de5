#include <QtTest>
#include <string>
#include <vector>

#include "log/traffic_counters.h"

using quorvel::TrafficCounters;

namespace {

// Records every text the counters show, as "RX:1" / "TX:8".
struct Shown {
  std::vector<std::string> texts;
  void Attach(TrafficCounters& counters) {
    counters.SetShowFunction([this](TrafficCounters::Counter counter, std::string_view text) {
      const bool rx = counter == TrafficCounters::Counter::kRx;
      QVERIFY(text.substr(0, 3) == (rx ? "RX:" : "TX:"));
      texts.emplace_back(text);
    });
  }
};

}  // namespace

class TestTrafficCounters : public QObject {
  Q_OBJECT

 private slots:
  void countsShowTheirTotal();
  void countsGoPast32Bits();
  void resetShowsBothZeros();
};

void TestTrafficCounters::countsShowTheirTotal() {
  TrafficCounters counters;
  Shown shown;
  shown.Attach(counters);
  counters.CountTx(8);
  counters.CountRx();
  counters.CountRx(3);
  counters.CountTx(0);
  QCOMPARE(counters.TxCount(), 8);
  QCOMPARE(counters.RxCount(), 4);
  QCOMPARE(shown.texts, (std::vector<std::string>{"TX:8", "RX:1", "RX:4", "TX:8"}));
}

void TestTrafficCounters::countsGoPast32Bits() {
  TrafficCounters counters;
  Shown shown;
  shown.Attach(counters);
  counters.CountRx(4294967295LL);
  counters.CountRx();
  counters.CountTx(2147483647);
  counters.CountTx(2147483647);
  counters.CountTx(2);
  QCOMPARE(counters.RxCount(), 4294967296LL);
  QCOMPARE(shown.texts.at(1), std::string("RX:4294967296"));
  QCOMPARE(shown.texts.back(), std::string("TX:4294967296"));
}

void TestTrafficCounters::resetShowsBothZeros() {
  TrafficCounters counters;
  counters.CountTx(5);
  counters.CountRx(7);
  Shown shown;
  shown.Attach(counters);
  counters.Reset();
  QCOMPARE(counters.TxCount(), 0);
  QCOMPARE(counters.RxCount(), 0);
  QCOMPARE(shown.texts, (std::vector<std::string>{"TX:0", "RX:0"}));
  counters.CountRx();
  QCOMPARE(shown.texts.back(), std::string("RX:1"));
}

QTEST_APPLESS_MAIN(TestTrafficCounters)
#include "tst_traffic_counters.moc"
