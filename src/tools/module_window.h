#pragma once

// The module window "模块发送数据生成窗口": the polling frames for a range of
// module addresses, one line per address, handed on to the automatic
// sender's list box in the main window.

#include <QDialog>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "platform/outer_size.h"

QT_BEGIN_NAMESPACE
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
QT_END_NAMESPACE

namespace quorvel {

class EditableComboBox;
class RulerStrip;

// What the module window needs of the main window.
struct ModuleWindowHost {
  // ReadSetting and WriteSetting of the settings file; GBK texts.
  std::function<std::string(std::string_view section, std::string_view key, std::string_view default_value)>
      ReadSetting;
  std::function<void(std::string_view section, std::string_view key, std::string_view value)> WriteSetting;
  // The main window's CRC反 is ticked: the CRC's low byte first.
  std::function<bool()> CrcLowByteFirst;
  // Replaces the text of the main window's list box 编辑框_循环 by `lines`
  // (a box's text, LF line breaks) and unticks its CRC选择框.
  std::function<void(const QString& lines)> AddToSendList;
};

class ModuleWindow : public QDialog {
  Q_OBJECT

 public:
  // Modal, 625 x 500 outside, centred on the screen, fixed in size, a close
  // box only. Its creation restores the type, channel and address choices
  // from section "MoKuai" ("类型" default "0", "路数" default "2", "地址起"
  // default "0", "地址终" default "251"; a stored index past the end selects
  // the last item, -1 or below none) and fills both address lists with "1"
  // to "506", or to "255" for 乙型模块, whose channel box is disabled.
  // Every later change of a choice is written as it happens:
  // - type or channel chosen: "类型" or "路数", the chosen index; a type
  //   also refills the address lists and enables the channel box only for
  //   甲型模块, the address texts staying;
  // - the start address edited by the user (each keystroke) or chosen, and
  //   the end address chosen or left: if the end's integer value is below
  //   the start's, the other box takes this box's text; then "地址起" and
  //   "地址终", both texts.
  // "生成数据" empties the output, lets events run for 1 ms and sets it to
  // GenerateFrames over the two integer values, the type and channel texts
  // and the host's CRC order; "加入" hands the output to the host; "关闭"
  // and the close box end the window.
  explicit ModuleWindow(ModuleWindowHost host, QWidget* parent = nullptr);
  ~ModuleWindow() override;

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  void Connect();
  void ModuleWindowInit();
  void FillAddressLists(int count);
  void OnTypeChanged();
  void StartAddressChanged();
  void EndAddressChanged();
  void OnChannelChanged();
  void WriteAddresses();
  void GenerateFrames();
  void AddFramesToSendList();
  void AlignRuler();

  ModuleWindowHost host_;
  // 625 x 500 outside, fixed, centred on the screen.
  OuterSize outer_size_{QSize(625, 500), OuterSize::Border::kFixed};

  RulerStrip* 图片框1 = nullptr;
  QPlainTextEdit* 编辑框1 = nullptr;
  QGroupBox* 分组框2 = nullptr;

  // In 分组框2.
  QLabel* 标签_发送地址 = nullptr;
  EditableComboBox* 组合框_地址起 = nullptr;
  EditableComboBox* 组合框_地址终 = nullptr;
  QComboBox* 组合框_路数 = nullptr;
  QComboBox* 组合框_模块类型 = nullptr;
  QPushButton* 按钮_生成 = nullptr;
  QPushButton* 按钮_加入 = nullptr;
  QPushButton* 按钮_关闭 = nullptr;
};

}  // namespace quorvel
