#pragma once

// The automatic sender in 分组框2: sends the lines of the list box
// 编辑框_循环 one per tick of 时钟甲型发送 through the current send mode,
// once or in a loop, with the blinking indicator 外形框_自动发送; and the
// "↑" label that copies the list into the log.

#include <QObject>
#include <string>
#include <vector>

#include "transmit/port_access.h"

QT_BEGIN_NAMESPACE
class QAbstractButton;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;
QT_END_NAMESPACE

namespace quorvel {

class BalloonTip;
class ClickLabel;
class LogView;
class PeriodTimer;
class ShapeIndicator;
class TrafficCounters;
struct TextStyle;

// What the automatic sender reads and writes; nothing is owned.
struct AutoSendControls {
  QPlainTextEdit* list = nullptr;           // 编辑框_循环: one item per line
  ClickLabel* copy_label = nullptr;         // 透明标签1, "↑"
  QComboBox* interval = nullptr;            // 组合框_毫秒: milliseconds, typed or chosen
  QAbstractButton* loop = nullptr;          // 选择框_循环
  ShapeIndicator* indicator = nullptr;      // 外形框_自动发送
  QAbstractButton* toggle = nullptr;        // 按钮_自动发送: its caption is the running state
  PeriodTimer* timer = nullptr;             // 时钟甲型发送
  QLineEdit* send_text = nullptr;           // 编辑框_发送: each tick writes its item here
  QAbstractButton* text_mode = nullptr;     // 单选框_ASCII发送
  QAbstractButton* hex_mode = nullptr;      // 单选框_16发送
  QAbstractButton* crc = nullptr;           // CRC选择框
  QAbstractButton* crc_reversed = nullptr;  // CRC反: the CRC's low byte first
  QWidget* send_button = nullptr;           // 按钮_发送, disabled while running
  QWidget* open_button = nullptr;           // 按钮_打开串口, disabled while running
  QWidget* save_button = nullptr;           // 按钮_保存, disabled while running
  QWidget* group = nullptr;                 // 分组框2: the hint points into it
  LogView* log = nullptr;                   // 超级编辑框1
  BalloonTip* tip = nullptr;                // 气球提示框1
};

class AutoSender : public QObject {
  Q_OBJECT

 public:
  // Connects the toggle button's click, the timer's tick and the label's
  // left-button release to the operations below. `send_list` (SendList, GBK
  // items) and `send_index` (SendIndex, 1-based) are the program-wide state
  // the sender works on. `tx_style` (TxStyle) and `list_style` (ListStyle)
  // are read at each write. `window` is the main window: the hint is placed
  // from its frame, messages are shown over it.
  AutoSender(AutoSendControls controls, PortAccess port, std::vector<std::string>& send_list, int& send_index,
             TrafficCounters& counters, const TextStyle& tx_style, const TextStyle& list_style, QWidget* window,
             QObject* parent = nullptr);

  // Click on 按钮_自动发送. A list of nothing but spaces shows the hint and
  // changes nothing else, even while running. Otherwise SendList becomes the
  // split list box text (SplitSendList), then the sender stops when running,
  // else starts.
  void AutoSendToggle();

  // Opens a closed port with TogglePort (which reports its own failure) and
  // stays idle when it stays closed. Else: caption "停止发送", the timer's
  // period the integer value of the interval text (0 or less: no tick ever
  // comes), the three buttons disabled, SendIndex 1. The first tick comes one
  // period later.
  void AutoSendStart();

  // Timer stopped, caption "自动发送", indicator unfilled, the three buttons
  // enabled. SendList and SendIndex stay.
  void AutoSendStop();

  // Sends item SendIndex: flips the indicator (unfilled <-> yellow), writes
  // the item's ChosenText into 编辑框_发送 and sends that box's text:
  // - text mode: without its spaces, counted by the bytes sent; the log
  //   shows it with its spaces;
  // - hexadecimal mode: an odd number of digits gives "数据输入长度错误"
  //   titled "警告" and ends the tick with SendIndex unchanged (ticks that
  //   fall due while that box is up are dropped); else the frame
  //   (BuildSendFrame) is counted and sent; the log shows the frame with a
  //   CRC, the whole item (annotation included) without.
  // The log gets CR LF, the logged text and CR LF in TxStyle and scrolls to
  // its end. Past the last item SendIndex goes back to 1 with 选择框_循环
  // ticked, else the sender stops.
  // "01 03 10 00 00 25 D1 80  → 1", hex, no CRC -> box "01 03 10 00 00 25 D1 80 ",
  // the 8 bytes sent, TX +8, the log "\r\n01 03 10 00 00 25 D1 80  → 1\r\n"
  void AutoSendTick();

  // Left-button release over "↑": an empty list (spaces only) shows the
  // hint; else CR LF and the list text in ListStyle at the log's caret, no
  // scroll, and the focus to the log. The sender's state is not touched.
  void CopyListToLog();

  // The balloon tip "请输入要自动发送的数据，一行为一条数据！" 50 pixels
  // right of and below the top left of 分组框2, counted from the window's
  // outer top left; it stays until the next click or key press.
  void ShowSendListHint();

  // The caption of 按钮_自动发送 is not "自动发送".
  bool IsRunning() const;

 private:
  // The list box text as GBK with CR LF line breaks.
  std::string ListText() const;
  void SetButtonsEnabled(bool enabled);

  AutoSendControls controls_;
  PortAccess port_;
  std::vector<std::string>& send_list_;  // SendList
  int& send_index_;                      // SendIndex
  TrafficCounters& counters_;
  const TextStyle& tx_style_;
  const TextStyle& list_style_;
  QWidget* window_;
  bool warning_up_ = false;             // a tick's length warning is on screen
};

}  // namespace quorvel
