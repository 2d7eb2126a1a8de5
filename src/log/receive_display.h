#pragma once

// The receive path between the serial port and the log: decodes each batch
// of received bytes with the options the controls show at that moment and
// applies the result to the wrap timer 时钟_换行, the log and RxCount.

#include <QtGlobal>
#include <string_view>

#include "log/receive_decoder.h"

QT_BEGIN_NAMESPACE
class QAbstractButton;
QT_END_NAMESPACE

namespace quorvel {

class LogView;
class PeriodTimer;
class TrafficCounters;
struct TextStyle;

// What the receive path reads and writes; nothing is owned.
struct ReceiveControls {
  QAbstractButton* wrap = nullptr;          // 选择框_自动换行
  QAbstractButton* hex_display = nullptr;   // 单选框_16显示
  QAbstractButton* text_display = nullptr;  // 单选框_ASCII显示
  PeriodTimer* wrap_timer = nullptr;        // 时钟_换行
  LogView* log = nullptr;                   // 超级编辑框1
};

class ReceiveDisplay {
 public:
  // `wrap_interval_ms` (WrapIntervalMs), `rx_style` (RxStyle) and `counters`
  // are read when a batch arrives, so later changes to them count.
  ReceiveDisplay(ReceiveControls controls, const int& wrap_interval_ms, const TextStyle& rx_style,
                 TrafficCounters& counters);

  // A batch of received bytes, in arrival order: a pending line break when
  // line wrap is ticked, then the bytes in RxStyle, the log scrolled to its
  // end and every byte counted, once for the whole batch.
  void ShowReceivedBytes(std::string_view bytes);

  // The tick of the wrap timer: the next batch starts a new line; the timer
  // stops.
  void OnWrapTick();

 private:
  ReceiveControls controls_;
  const int& wrap_interval_ms_;
  const TextStyle& rx_style_;
  TrafficCounters& counters_;
  ReceiveDecoder decoder_;
};

}  // namespace quorvel
