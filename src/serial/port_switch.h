#pragma once

// The open/close switch of the serial link: the five line-setting lists, the
// button 按钮_打开串口 and the port-status indicator 串口状态外形框, over the
// serial port 端口1. The open state lives in the indicator: the port counts
// as open exactly while the indicator is filled.

#include <QtGlobal>
#include <cstdint>

QT_BEGIN_NAMESPACE
class QComboBox;
class QPushButton;
class QWidget;
QT_END_NAMESPACE

namespace quorvel {

class SerialPort;
class ShapeIndicator;

// The indicator's fill while the port is open: 65280, pure green (0x00BBGGRR).
inline constexpr std::uint32_t kPortOpenFill = 65280;

// The five lists, in the order they are disabled and enabled.
struct LineLists {
  QComboBox* port = nullptr;       // 组合框_端口
  QComboBox* baud_rate = nullptr;  // 组合框_波特率
  QComboBox* data_bits = nullptr;  // 组合框_数据位
  QComboBox* stop_bits = nullptr;  // 组合框_停止位
  QComboBox* parity = nullptr;     // 组合框_校验位
};

class PortSwitch {
 public:
  // Messages are shown over `message_parent`. Nothing is owned.
  PortSwitch(LineLists lists, QPushButton* button, ShapeIndicator* indicator, SerialPort* port,
             QWidget* message_parent);

  // The action of 按钮_打开串口. Copies the lists into the port's line
  // settings, then by the button's caption: "打开串口" opens the port (on
  // failure "端口打开失败！" titled "错误", and nothing else changes; on
  // success the lists are disabled, the indicator green, the caption
  // "关闭串口"); any other caption closes it and shows the closed state.
  void TogglePort();

  // True while the indicator is filled (its colour is not kNoFill).
  bool PortIsOpen() const;

  // The closed state, as a close by the button leaves it: the lists enabled,
  // the caption "打开串口", the indicator unfilled. The port is not touched.
  void ShowClosed();

 private:
  void SetListsEnabled(bool enabled);

  LineLists lists_;
  QPushButton* button_;
  ShapeIndicator* indicator_;
  SerialPort* port_;
  QWidget* message_parent_;
};

}  // namespace quorvel
