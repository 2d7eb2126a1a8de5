#include "log/receive_display.h"

#include <QAbstractButton>

#include "log/log_view.h"
#include "log/text_style.h"
#include "log/traffic_counters.h"
#include "platform/period_timer.h"

namespace quorvel {

ReceiveDisplay::ReceiveDisplay(ReceiveControls controls, const int& wrap_interval_ms, const TextStyle& rx_style,
                               TrafficCounters& counters)
    : controls_(controls), wrap_interval_ms_(wrap_interval_ms), rx_style_(rx_style), counters_(counters) {}

void ReceiveDisplay::ShowReceivedBytes(std::string_view bytes) {
  ReceiveOptions options;
  options.wrap = controls_.wrap->isChecked();
  options.hex_display = controls_.hex_display->isChecked();
  options.text_display = controls_.text_display->isChecked();
  options.WrapIntervalMs = wrap_interval_ms_;
  const ReceiveOutput out = decoder_.DecodeReceivedBytes(bytes, options);

  if (out.wrap_period) controls_.wrap_timer->SetPeriod(*out.wrap_period);
  // The break is written before the receive style is applied, in whatever
  // format the insertion point has.
  if (out.wrap_break) controls_.log->LogAppend("\r\n");
  if (out.set_style) controls_.log->LogSetStyle(rx_style_);
  if (out.append) controls_.log->LogAppend(out.text);
  if (out.scroll) controls_.log->LogScrollToEnd();
  if (out.count > 0) counters_.CountRx(static_cast<std::int64_t>(out.count));
}

void ReceiveDisplay::OnWrapTick() {
  decoder_.OnWrapTick();
  controls_.wrap_timer->SetPeriod(0);
}

}  // namespace quorvel
