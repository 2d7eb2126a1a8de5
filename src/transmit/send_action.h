#pragma once

// The send action of 按钮_发送 and of the Enter key: sends the text of
// 编辑框_发送 as typed (text mode) or as the bytes its hexadecimal digits
// denote, optionally followed by the CRC-16 (hexadecimal mode), counts the
// bytes and copies what was sent into the log in the transmit style.

#include <QtGlobal>

#include "transmit/port_access.h"

QT_BEGIN_NAMESPACE
class QAbstractButton;
class QLineEdit;
class QWidget;
QT_END_NAMESPACE

namespace quorvel {

class LogView;
class TrafficCounters;
struct TextStyle;

// What the send action reads; nothing is owned.
struct SendControls {
  QLineEdit* send_text = nullptr;           // 编辑框_发送
  QAbstractButton* text_mode = nullptr;     // 单选框_ASCII发送
  QAbstractButton* hex_mode = nullptr;      // 单选框_16发送
  QAbstractButton* crc = nullptr;           // CRC选择框
  QAbstractButton* crc_reversed = nullptr;  // CRC反: the CRC's low byte first
};

class SendAction {
 public:
  // `tx_style` (TxStyle) is read at each send. Messages are shown over
  // `message_parent`.
  SendAction(SendControls controls, PortAccess port, LogView& log, TrafficCounters& counters,
             const TextStyle& tx_style, QWidget* message_parent);

  // One send, in this order:
  // - a closed port is opened with TogglePort; if it stays closed, the send
  //   ends without a message of its own;
  // - an empty send text: "无输入数据" titled "提示";
  // - text mode: the text's GBK bytes go out unchanged, counted by their
  //   number; the log shows the text;
  // - hexadecimal mode: an odd number of digits (spaces not counted) gives
  //   "数据输入长度错误" titled "警告"; otherwise the frame (BuildSendFrame,
  //   with the CRC as the two boxes say) is counted, then sent; the log shows
  //   its text;
  // - the log gets CR LF, the logged text and CR LF in TxStyle and is
  //   scrolled to its end.
  // A refused send sends, counts and logs nothing.
  // "01 03 10 00 00 25" in hex mode with CRC -> 01 03 10 00 00 25 D1 80 sent,
  // TX +8, the log "\r\n01 03 10 00 00 25 D1 80\r\n"
  void Send();

 private:
  SendControls controls_;
  PortAccess port_;
  LogView& log_;
  TrafficCounters& counters_;
  const TextStyle& tx_style_;
  QWidget* message_parent_;
};

}  // namespace quorvel
