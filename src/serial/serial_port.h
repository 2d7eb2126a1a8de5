#pragma once

// The serial port the program talks through: opens COMn with the line
// settings, sends without blocking and hands received bytes to the window's
// thread in batches.

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <string_view>

#include "serial/device_loss.h"
#include "serial/line_settings.h"

namespace quorvel {

class SerialPort : public QObject {
  Q_OBJECT

 public:
  // `settings_folder` is the folder of the settings file, where ports/COMn
  // pins a name to a device (see port_naming.h); empty pins nothing.
  explicit SerialPort(QString settings_folder = {}, QObject* parent = nullptr);
  ~SerialPort() override;

  void SetSettingsFolder(QString settings_folder) { settings_folder_ = std::move(settings_folder); }
  const QString& SettingsFolder() const { return settings_folder_; }

  // Stored, clamped (ClampLineSettings), for the next open; an open port is
  // not reconfigured.
  void SetLineSettings(const LineSettings& settings) { settings_ = ClampLineSettings(settings); }
  const LineSettings& CurrentLineSettings() const { return settings_; }

  // Closes the port if it is open, then opens COM<port number> for reading
  // and writing, exclusively, with the line settings, raw, without flow
  // control, RTS asserted and DTR as the driver has it; discards what the
  // driver holds and starts reception. 1 when open; 0 when any step fails
  // (no device, device in use, settings the driver refuses), the device then
  // released.
  int PortOpen();

  // Stops reception and closes the device; bytes not yet delivered are
  // dropped. Nothing happens when the port is not open.
  void PortClose();

  bool IsOpen() const { return port_.isOpen(); }

  // Queue bytes for the line and return at once: 1 when queued (or when there
  // is nothing to send), 0 when the port is not open or its device is gone.
  // Bytes go out in the order they were queued. PortSendText takes the GBK
  // bytes of a text and sends them unchanged, without a terminating zero.
  int PortSendText(std::string_view gbk);
  int PortSendBytes(std::string_view bytes);

 signals:
  // Every received byte, in arrival order, in batches as they were read;
  // only while the port is open.
  void PortBytesReceived(const QByteArray& bytes);

  // The device went away while open (a USB adapter pulled out). The port is
  // already closed when this is emitted; emitted once per loss.
  void PortLost();

 private:
  void OnReadyRead();
  void OnError(QSerialPort::SerialPortError error);
  void CloseAfterLoss(quint64 session);

  QString settings_folder_;
  LineSettings settings_;
  QSerialPort port_;
  DeviceLossDetector loss_;
  // Counts opens and closes, so that a loss noticed during one session is not
  // acted on in the next.
  quint64 session_ = 0;
};

}  // namespace quorvel
