#include "transmit/auto_sender.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

#include "engine/gbk_text.h"
#include "log/log_view.h"
#include "log/text_style.h"
#include "log/traffic_counters.h"
#include "platform/balloon_tip.h"
#include "platform/click_label.h"
#include "platform/gbk_codec.h"
#include "platform/message_box.h"
#include "platform/period_timer.h"
#include "platform/shape_indicator.h"
#include "transmit/send_frame.h"
#include "transmit/send_list.h"

namespace quorvel {
namespace {

// The caption of 按钮_自动发送 is the sender's running state.
const QString kIdleCaption = QStringLiteral("自动发送");
const QString kRunningCaption = QStringLiteral("停止发送");

constexpr std::uint32_t kBlinkYellow = 0x0000FFFF;  // COLORREF: red and green full
constexpr int kHintOffset = 50;                     // pixels into 分组框2, both ways

}  // namespace

AutoSender::AutoSender(AutoSendControls controls, PortAccess port, std::vector<std::string>& send_list,
                       int& send_index, TrafficCounters& counters, const TextStyle& tx_style,
                       const TextStyle& list_style, QWidget* window, QObject* parent)
    : QObject(parent),
      controls_(controls),
      port_(std::move(port)),
      send_list_(send_list),
      send_index_(send_index),
      counters_(counters),
      tx_style_(tx_style),
      list_style_(list_style),
      window_(window) {
  connect(controls_.toggle, &QAbstractButton::clicked, this, &AutoSender::AutoSendToggle);
  connect(controls_.timer, &PeriodTimer::tick, this, &AutoSender::AutoSendTick);
  connect(controls_.copy_label, &ClickLabel::leftButtonReleased, this, &AutoSender::CopyListToLog);
}

bool AutoSender::IsRunning() const { return controls_.toggle->text() != kIdleCaption; }

std::string AutoSender::ListText() const { return ToGbkLines(controls_.list->toPlainText()); }

void AutoSender::SetButtonsEnabled(bool enabled) {
  controls_.send_button->setEnabled(enabled);
  controls_.open_button->setEnabled(enabled);
  controls_.save_button->setEnabled(enabled);
}

void AutoSender::AutoSendToggle() {
  const std::string list_text = ListText();
  // Checked first, so that a click on "停止发送" with an emptied list box
  // only shows the hint and the sender keeps running.
  if (IsSendListEmpty(list_text)) {
    ShowSendListHint();
    return;
  }
  send_list_ = SplitSendList(list_text);
  if (IsRunning()) {
    AutoSendStop();
  } else {
    AutoSendStart();
  }
}

void AutoSender::AutoSendStart() {
  if (!port_.PortIsOpen()) port_.TogglePort();  // reports its own failure
  if (!port_.PortIsOpen()) return;
  controls_.toggle->setText(kRunningCaption);
  controls_.timer->SetPeriod(TextToInteger(ToGbk(controls_.interval->currentText())));
  SetButtonsEnabled(false);
  send_index_ = 1;
}

void AutoSender::AutoSendStop() {
  controls_.timer->SetPeriod(0);
  controls_.toggle->setText(kIdleCaption);
  controls_.indicator->SetFillColour(kNoFill);
  SetButtonsEnabled(true);
}

void AutoSender::AutoSendTick() {
  // The warning's box runs a nested event loop; a tick delivered there is
  // dropped, so boxes never pile up, and the first tick after the box has
  // closed tries the same item again.
  if (warning_up_) return;

  controls_.indicator->SetFillColour(controls_.indicator->FillColour() == kNoFill ? kBlinkYellow : kNoFill);

  // SendIndex stays within SendList while running: SendList is only rebuilt
  // from a list that is not empty, and the index is reset at every start.
  const std::string item = send_list_.at(static_cast<std::size_t>(send_index_ - 1));
  controls_.send_text->setText(FromGbk(ChosenText(item)));
  // What is sent is what the box now holds.
  const std::string send_text = ToGbk(controls_.send_text->text());

  std::string logged;
  if (controls_.text_mode->isChecked()) {
    const std::string sent = RemoveSpaces(send_text);
    counters_.CountTx(static_cast<std::int64_t>(sent.size()));
    port_.PortSendText(sent);
    logged = send_text;
  } else if (controls_.hex_mode->isChecked()) {
    if (HasOddLength(send_text)) {
      warning_up_ = true;
      ShowMessage(window_, QStringLiteral("数据输入长度错误"), QStringLiteral("警告"));
      warning_up_ = false;
      return;
    }
    const bool with_crc = controls_.crc->isChecked();
    SendFrame frame = BuildSendFrame(send_text, with_crc, controls_.crc_reversed->isChecked());
    // Counted before the write, and whatever the write gives.
    counters_.CountTx(static_cast<std::int64_t>(frame.bytes.size()));
    port_.PortSendBytes(frame.bytes);
    // Without a CRC of its own the item is logged as listed, annotation and all.
    logged = with_crc ? std::move(frame.text) : item;
  }

  controls_.log->LogAppend("\r\n" + logged + "\r\n", tx_style_);
  controls_.log->LogScrollToEnd();

  ++send_index_;
  if (send_index_ > static_cast<int>(send_list_.size())) {
    if (controls_.loop->isChecked()) {
      send_index_ = 1;
    } else {
      AutoSendStop();
    }
  }
}

void AutoSender::CopyListToLog() {
  const std::string list_text = ListText();
  if (IsSendListEmpty(list_text)) {
    ShowSendListHint();
    return;
  }
  LogView* log = controls_.log;
  log->LogAppend("\r\n" + list_text, list_style_);
  // One pixel wider and back makes the view lay out its text and scroll bar
  // anew; the focus shows the caret after the copy.
  log->resize(log->width() + 1, log->height());
  log->setFocus();
  log->resize(log->width() - 1, log->height());
}

void AutoSender::ShowSendListHint() {
  const QPoint window = window_->frameGeometry().topLeft();
  const QPoint point(window.x() + controls_.group->x() + kHintOffset, window.y() + controls_.group->y() + kHintOffset);
  controls_.tip->ShowTip(point, QStringLiteral("请输入要自动发送的数据，一行为一条数据！"), 0);
}

}  // namespace quorvel
