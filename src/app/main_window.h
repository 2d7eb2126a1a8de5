#pragma once

// The program's one main window: every control of the working surface, the
// program-wide state, and the wiring between the parts.

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "app/program_state.h"
#include "platform/outer_size.h"
#include "transmit/port_access.h"

QT_BEGIN_NAMESPACE
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
QT_END_NAMESPACE

namespace quorvel {

class BalloonTip;
class ClickLabel;
class EditableComboBox;
class LogView;
class PeriodTimer;
class RulerStrip;
class ShapeIndicator;
struct MainLayoutRects;

// The serial link, the receive path and the manual send.
class EnterKeyService;
class PortList;
class PortSwitch;
class ReceiveDisplay;
class SendAction;
class SerialPort;

// The automatic sender and the module tools.
class AutoSender;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Asks the user for the path to save the log to; empty for a cancel.
  using SavePathChooser = std::function<QString(QWidget* parent)>;

  // Builds every control in its design state, then runs the creation
  // handler: the control skin, ConfigPath (`config_path`, by default
  // DefaultConfigPath()), the text styles, the port list COM1..COM30 and the
  // choices restored from the settings file.
  explicit MainWindow(QWidget* parent = nullptr);
  explicit MainWindow(std::string config_path, QWidget* parent = nullptr);
  ~MainWindow() override;

  ProgramState& State() { return state_; }
  const ProgramState& State() const { return state_; }

  // Add to TxCount / RxCount and show the new total in the status bar.
  void CountTx(std::int64_t n);
  void CountRx(std::int64_t n = 1);

  // 清除显示按钮: empties the log and both counters.
  void LogClear();
  // 按钮_保存: writes the log's text to a file the user chooses.
  void LogSave();

  // Replaces the save dialog, e.g. by a test that answers it.
  void SetSavePathChooser(SavePathChooser chooser) { choose_save_path_ = std::move(chooser); }

  // What the senders need of the serial link 端口1: PortIsOpen, TogglePort
  // (the action of 按钮_打开串口), PortSendText and PortSendBytes.
  const PortAccess& PortLink() const { return port_access_; }

 signals:
  // The left mouse button went down on the line-wrap interval box 编辑框1.
  void wrapIntervalPressed();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void BuildStatusBar();
  void Connect();
  void RunCreationHandler(std::string config_path);

  void OnWrapIntervalChanged();
  void OnHexSendClicked();
  void OnTextSendClicked();
  void OnHexDisplayClicked();
  void OnTextDisplayClicked();
  void OnAlwaysOnTopClicked();

  void ApplyLayout();
  void AlignRuler();
  MainLayoutRects CurrentLayoutRects() const;

  ProgramState state_;
  SavePathChooser choose_save_path_;
  bool layout_done_once_ = false;
  // 727 x 536 outside, centred on the screen when first shown.
  OuterSize outer_size_{QSize(727, 536), OuterSize::Border::kResizable};

  // On the window.
  QLineEdit* 编辑框_发送 = nullptr;
  QPushButton* 按钮_发送 = nullptr;
  RulerStrip* 图片框1 = nullptr;
  LogView* 超级编辑框1 = nullptr;
  QGroupBox* 分组框1 = nullptr;
  QGroupBox* 分组框3 = nullptr;
  QGroupBox* 分组框2 = nullptr;
  QStatusBar* 状态条1 = nullptr;
  QLabel* 状态条1_面板[3] = {};
  QLabel* 标签 = nullptr;

  // In 分组框1: the port settings.
  QLabel* 端口标签 = nullptr;
  PortList* 组合框_端口 = nullptr;
  QLabel* 波特率标签 = nullptr;
  QComboBox* 组合框_波特率 = nullptr;
  QLabel* 校验位标签 = nullptr;
  QComboBox* 组合框_校验位 = nullptr;
  QLabel* 数据位标签 = nullptr;
  QComboBox* 组合框_数据位 = nullptr;
  QLabel* 停止位标签 = nullptr;
  QComboBox* 组合框_停止位 = nullptr;
  ShapeIndicator* 串口状态外形框 = nullptr;
  QPushButton* 按钮_打开串口 = nullptr;

  // In 分组框3: the options.
  QWidget* 图片框2 = nullptr;
  QRadioButton* 单选框_16发送 = nullptr;
  QRadioButton* 单选框_ASCII发送 = nullptr;
  QWidget* 图片框3 = nullptr;
  QRadioButton* 单选框_16显示 = nullptr;
  QRadioButton* 单选框_ASCII显示 = nullptr;
  QCheckBox* CRC选择框 = nullptr;
  QCheckBox* CRC反 = nullptr;
  QCheckBox* 选择框_自动换行 = nullptr;
  QLineEdit* 编辑框1 = nullptr;
  QCheckBox* 窗口最前选择框 = nullptr;
  QCheckBox* 回车发送选择框 = nullptr;
  QPushButton* 清除显示按钮 = nullptr;
  QPushButton* 按钮_保存 = nullptr;

  // In 分组框2: the automatic sender.
  QPlainTextEdit* 编辑框_循环 = nullptr;
  ClickLabel* 透明标签1 = nullptr;
  QLabel* 标签_间隔毫秒 = nullptr;
  EditableComboBox* 组合框_毫秒 = nullptr;
  QCheckBox* 选择框_循环 = nullptr;
  ShapeIndicator* 外形框_自动发送 = nullptr;
  QPushButton* 按钮_自动发送 = nullptr;

  // Without a visible body. The serial port 端口1 is with the serial link.
  PeriodTimer* 时钟甲型发送 = nullptr;
  PeriodTimer* 时钟_换行 = nullptr;
  BalloonTip* 气球提示框1 = nullptr;

  // The serial link, the receive path and the manual send with the Enter key.
  void WireSerialLink();
  // The device went away while open: the closed state and one message.
  void OnPortLost();
  void ShowWrapIntervalHint();
  void OnEnterSendClicked();
  void OnEnterKeyFeedback(QObject* receiver, int id);

  SerialPort* 端口1 = nullptr;
  EnterKeyService* enter_key_service_ = nullptr;
  std::unique_ptr<PortSwitch> port_switch_;
  std::unique_ptr<ReceiveDisplay> receive_display_;
  std::unique_ptr<SendAction> send_action_;
  PortAccess port_access_;

  // The automatic sender, the module window and the selection radix tip.
  void WireAutoSender();
  void WireTools();
  // OpenModuleWindow: the module window, modal, created afresh.
  void OpenModuleWindow();

  AutoSender* auto_sender_ = nullptr;
};

}  // namespace quorvel
