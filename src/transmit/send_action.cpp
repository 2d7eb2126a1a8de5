#include "transmit/send_action.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <string>

#include "log/log_view.h"
#include "log/text_style.h"
#include "log/traffic_counters.h"
#include "platform/gbk_codec.h"
#include "platform/message_box.h"
#include "transmit/send_frame.h"

namespace quorvel {

SendAction::SendAction(SendControls controls, PortAccess port, LogView& log, TrafficCounters& counters,
                       const TextStyle& tx_style, QWidget* message_parent)
    : controls_(controls),
      port_(std::move(port)),
      log_(log),
      counters_(counters),
      tx_style_(tx_style),
      message_parent_(message_parent) {}

void SendAction::Send() {
  if (!port_.PortIsOpen()) port_.TogglePort();  // reports its own failure
  if (!port_.PortIsOpen()) return;

  // Read after the open: its message box lets events run, the user's typing
  // among them.
  const std::string send_text = ToGbk(controls_.send_text->text());
  if (send_text.empty()) {
    ShowMessage(message_parent_, QStringLiteral("无输入数据"), QStringLiteral("提示"));
    return;
  }

  std::string logged;
  if (controls_.text_mode->isChecked()) {
    port_.PortSendText(send_text);
    counters_.CountTx(static_cast<std::int64_t>(send_text.size()));
    logged = send_text;
  } else if (controls_.hex_mode->isChecked()) {
    if (HasOddLength(send_text)) {
      ShowMessage(message_parent_, QStringLiteral("数据输入长度错误"), QStringLiteral("警告"));
      return;
    }
    SendFrame frame = BuildSendFrame(send_text, controls_.crc->isChecked(), controls_.crc_reversed->isChecked());
    // Counted before the write, and whatever the write gives.
    counters_.CountTx(static_cast<std::int64_t>(frame.bytes.size()));
    port_.PortSendBytes(frame.bytes);
    logged = std::move(frame.text);
  }

  log_.LogAppend("\r\n" + logged + "\r\n", tx_style_);
  log_.LogScrollToEnd();
}

}  // namespace quorvel
