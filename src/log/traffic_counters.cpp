#include "log/traffic_counters.h"

namespace quorvel {

void TrafficCounters::CountTx(std::int64_t n) {
  tx_count_ += n;
  Show(Counter::kTx);
}

void TrafficCounters::CountRx(std::int64_t n) {
  rx_count_ += n;
  Show(Counter::kRx);
}

void TrafficCounters::Reset() {
  tx_count_ = 0;
  rx_count_ = 0;
  Show(Counter::kTx);
  Show(Counter::kRx);
}

std::string TrafficCounters::TxText(std::int64_t count) { return "TX:" + std::to_string(count); }
std::string TrafficCounters::RxText(std::int64_t count) { return "RX:" + std::to_string(count); }

void TrafficCounters::Show(Counter counter) {
  if (!show_) return;
  show_(counter, counter == Counter::kTx ? TxText(tx_count_) : RxText(rx_count_));
}

}  // namespace quorvel
