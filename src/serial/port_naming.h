#pragma once

// Which device "COMn" stands for.
//
// On Windows COMn is the device \\.\COMn. On Linux COMn is worked out afresh
// at every open:
//   1. <settings folder>/ports/COMn, when that entry exists: a symbolic link
//      to a device (for example to /dev/serial/by-id/usb-FTDI_...), the way a
//      user pins a name to one adapter. A pinned name whose device is absent
//      reaches nothing; it never falls back to another device.
//   2. Otherwise the n-th serial device present, in the order of
//      OrderSerialDevices: /dev/ttyUSB*, /dev/ttyACM*, then the other serial
//      devices the system reports. With one USB adapter plugged in, COM1
//      reaches it.

#include <QList>
#include <QString>
#include <optional>

namespace quorvel {

struct PortDevice {
  QString path;         // the device node that would be opened, links resolved
  QString description;  // the device's description and maker, or the pinned
                        // link's target; may be empty
};

// The device COM<port_number> would open now, or nothing when there is none.
// `settings_folder` is the folder of the settings file; empty means no names
// are pinned. COM1 with ports/COM1 -> /dev/ttyUSB3 -> {"/dev/ttyUSB3", "FT232R USB UART (FTDI)"}
std::optional<PortDevice> FindPortDevice(int port_number, const QString& settings_folder);

// FindPortDevice for COM1..COM<count>, enumerating the system's devices once
// (for the tips of the port list).
QList<std::optional<PortDevice>> FindPortDevices(int count, const QString& settings_folder);

// The folder, below the settings folder, that holds the pinned names.
inline constexpr char kPinnedPortsFolder[] = "ports";

}  // namespace quorvel
