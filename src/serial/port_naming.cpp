#include "serial/port_naming.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <string>
#include <vector>

#include "serial/device_order.h"

namespace quorvel {
namespace {

QString Describe(const QSerialPortInfo& info) {
  const QString description = info.description();
  const QString manufacturer = info.manufacturer();
  if (manufacturer.isEmpty() || description.contains(manufacturer)) return description;
  if (description.isEmpty()) return manufacturer;
  return description + QStringLiteral(" (") + manufacturer + QLatin1Char(')');
}

#ifdef Q_OS_WIN

QList<std::optional<PortDevice>> FindDevices(int first, int last, const QString&) {
  const QList<QSerialPortInfo> present = QSerialPortInfo::availablePorts();
  QList<std::optional<PortDevice>> found;
  for (int n = first; n <= last; ++n) {
    const QString name = QStringLiteral("COM%1").arg(n);
    std::optional<PortDevice> device;
    for (const QSerialPortInfo& info : present) {
      if (info.portName().compare(name, Qt::CaseInsensitive) == 0) {
        device = PortDevice{QStringLiteral("\\\\.\\") + name, Describe(info)};
        break;
      }
    }
    found.append(device);
  }
  return found;
}

#else

// Every serial device present, in port-number order. USB adapters are looked
// up in /dev as well as asked of the system, so they count even where the
// system's device database is not available (a container, a chroot).
std::vector<std::string> PresentDevices(const QList<QSerialPortInfo>& present) {
  std::vector<std::string> paths;
  const QStringList usb = QDir(QStringLiteral("/dev")).entryList(
      {QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")}, QDir::System | QDir::Files);
  for (const QString& name : usb) paths.push_back(QStringLiteral("/dev/%1").arg(name).toStdString());
  for (const QSerialPortInfo& info : present) paths.push_back(info.systemLocation().toStdString());
  return OrderSerialDevices(std::move(paths));
}

QString DescriptionOf(const QString& path, const QList<QSerialPortInfo>& present) {
  for (const QSerialPortInfo& info : present) {
    if (info.systemLocation() == path) return Describe(info);
  }
  return {};
}

QList<std::optional<PortDevice>> FindDevices(int first, int last, const QString& settings_folder) {
  const QList<QSerialPortInfo> present = QSerialPortInfo::availablePorts();
  std::vector<std::string> ordered;
  bool enumerated = false;
  QList<std::optional<PortDevice>> found;
  for (int n = first; n <= last; ++n) {
    if (n < 1) {
      found.append(std::nullopt);
      continue;
    }
    if (!settings_folder.isEmpty()) {
      const QFileInfo pin(QStringLiteral("%1/%2/COM%3").arg(settings_folder, QLatin1String(kPinnedPortsFolder)).arg(n));
      if (pin.isSymLink() || pin.exists()) {
        // canonicalFilePath() is empty when the link leads nowhere.
        const QString target = pin.canonicalFilePath();
        if (target.isEmpty()) {
          found.append(std::nullopt);
        } else {
          QString description = DescriptionOf(target, present);
          if (description.isEmpty() && pin.isSymLink()) description = pin.symLinkTarget();
          found.append(PortDevice{target, description});
        }
        continue;
      }
    }
    if (!enumerated) {
      ordered = PresentDevices(present);
      enumerated = true;
    }
    if (static_cast<std::size_t>(n) > ordered.size()) {
      found.append(std::nullopt);
      continue;
    }
    const QString path = QString::fromStdString(ordered[static_cast<std::size_t>(n) - 1]);
    found.append(PortDevice{path, DescriptionOf(path, present)});
  }
  return found;
}

#endif

}  // namespace

std::optional<PortDevice> FindPortDevice(int port_number, const QString& settings_folder) {
  return FindDevices(port_number, port_number, settings_folder).front();
}

QList<std::optional<PortDevice>> FindPortDevices(int count, const QString& settings_folder) {
  return FindDevices(1, count, settings_folder);
}

}  // namespace quorvel
