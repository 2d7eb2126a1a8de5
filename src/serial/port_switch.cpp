#include "serial/port_switch.h"

#include <QComboBox>
#include <QPushButton>

#include "engine/colour.h"
#include "platform/gbk_codec.h"
#include "platform/message_box.h"
#include "platform/shape_indicator.h"
#include "serial/line_settings.h"
#include "serial/serial_port.h"

namespace quorvel {
namespace {

const QString kOpenCaption = QStringLiteral("打开串口");
const QString kCloseCaption = QStringLiteral("关闭串口");

}  // namespace

PortSwitch::PortSwitch(LineLists lists, QPushButton* button, ShapeIndicator* indicator, SerialPort* port,
                       QWidget* message_parent)
    : lists_(lists), button_(button), indicator_(indicator), port_(port), message_parent_(message_parent) {}

void PortSwitch::TogglePort() {
  // The lists are copied on every call, also before a close: with no entry
  // chosen the index is -1 and the text empty.
  port_->SetLineSettings(LineSettingsFromLists(
      lists_.port->currentIndex(), ToGbk(lists_.baud_rate->currentText()), ToGbk(lists_.data_bits->currentText()),
      lists_.stop_bits->currentIndex(), lists_.parity->currentIndex()));

  if (button_->text() == kOpenCaption) {
    if (port_->PortOpen() != 1) {
      ShowMessage(message_parent_, QStringLiteral("端口打开失败！"), QStringLiteral("错误"));
      return;
    }
    SetListsEnabled(false);
    indicator_->SetFillColour(kPortOpenFill);
    button_->setText(kCloseCaption);
    return;
  }
  port_->PortClose();
  ShowClosed();
}

bool PortSwitch::PortIsOpen() const { return indicator_->FillColour() != kNoFill; }

void PortSwitch::ShowClosed() {
  SetListsEnabled(true);
  button_->setText(kOpenCaption);
  indicator_->SetFillColour(kNoFill);
}

void PortSwitch::SetListsEnabled(bool enabled) {
  for (QComboBox* list : {lists_.port, lists_.baud_rate, lists_.data_bits, lists_.stop_bits, lists_.parity}) {
    list->setEnabled(enabled);
  }
}

}  // namespace quorvel
