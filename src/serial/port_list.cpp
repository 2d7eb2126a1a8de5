#include "serial/port_list.h"

namespace quorvel {

PortList::PortList(QWidget* parent) : QComboBox(parent) {}

void PortList::RefreshDeviceTips() {
  const QList<std::optional<PortDevice>> devices = FindPortDevices(count(), settings_folder_);
  for (int i = 0; i < count() && i < devices.size(); ++i) {
    setItemData(i, PortDeviceTip(devices.at(i)), Qt::ToolTipRole);
  }
}

void PortList::showPopup() {
  // Adapters come and go while the program runs; the tips say what an entry
  // reaches at the moment the user looks.
  RefreshDeviceTips();
  QComboBox::showPopup();
}

QString PortDeviceTip(const std::optional<PortDevice>& device) {
  if (!device) return QStringLiteral("无设备");
  // A link straight to a device node has that node as its description.
  if (device->description.isEmpty() || device->description == device->path) return device->path;
  return device->path + QLatin1Char('\n') + device->description;
}

}  // namespace quorvel
