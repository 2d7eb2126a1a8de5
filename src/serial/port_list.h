#pragma once

// The port list 组合框_端口: a drop-down list of COM1..COMn whose entries,
// each time the list is opened, carry a tip naming the device the entry
// would open now and its description, or "无设备".

#include <QComboBox>
#include <QString>
#include <optional>

#include "serial/port_naming.h"

namespace quorvel {

class PortList : public QComboBox {
  Q_OBJECT

 public:
  explicit PortList(QWidget* parent = nullptr);

  // The settings folder, where ports/COMn pins names (see port_naming.h).
  void SetSettingsFolder(QString settings_folder) { settings_folder_ = std::move(settings_folder); }

  // Looks the devices up afresh and puts a tip on every entry (entry i is
  // COM<i+1>).
  void RefreshDeviceTips();

  void showPopup() override;

 private:
  QString settings_folder_;
};

// The tip of one entry: the device's path, and its description on a second
// line when it has one other than the path; "无设备" when there is none.
// {"/dev/ttyUSB0", "FT232R USB UART (FTDI)"} -> "/dev/ttyUSB0\nFT232R USB UART (FTDI)"
QString PortDeviceTip(const std::optional<PortDevice>& device);

}  // namespace quorvel
