#pragma once

// TxCount and RxCount, the bytes sent and received since the start or the
// last clear, and the status-bar texts that show them ("TX:8", "RX:4294967296").

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quorvel {

class TrafficCounters {
 public:
  // Which counter a shown text belongs to.
  enum class Counter { kRx, kTx };

  // Called with the new text every time a counter changes or is reset; the
  // window puts it into the counter's status-bar panel.
  using ShowFunction = std::function<void(Counter counter, std::string_view text)>;

  void SetShowFunction(ShowFunction show) { show_ = std::move(show); }

  // Adds `n` bytes and shows the new total. 64-bit, never wraps in practice.
  void CountTx(std::int64_t n);
  void CountRx(std::int64_t n = 1);

  // Both counters to 0, both shown.
  void Reset();

  std::int64_t TxCount() const { return tx_count_; }
  std::int64_t RxCount() const { return rx_count_; }

  // "TX:" / "RX:" followed by the count in decimal, no separators.
  // TxText(4294967296) -> "TX:4294967296"
  static std::string TxText(std::int64_t count);
  static std::string RxText(std::int64_t count);

 private:
  void Show(Counter counter);

  std::int64_t tx_count_ = 0;
  std::int64_t rx_count_ = 0;
  ShowFunction show_;
};

}  // namespace quorvel
