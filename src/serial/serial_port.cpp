#include "serial/serial_port.h"

#include <QMetaObject>

#include "serial/port_naming.h"

namespace quorvel {
namespace {

// QSerialPort's parity values are not the program's codes (its odd is 3, even 2).
QSerialPort::Parity ParityOf(int parity_code) {
  switch (parity_code) {
    case 1: return QSerialPort::OddParity;
    case 2: return QSerialPort::EvenParity;
    case 3: return QSerialPort::MarkParity;
    case 4: return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
  }
}

QSerialPort::StopBits StopBitsOf(int stop_bits_code) {
  switch (stop_bits_code) {
    case 2: return QSerialPort::OneAndHalfStop;
    case 3: return QSerialPort::TwoStop;
    default: return QSerialPort::OneStop;
  }
}

// POSIX terminals know one or two stop bits. Qt would quietly set one for
// one and a half, so the adapter refuses it the way a driver would.
bool StopBitsSupported(int stop_bits_code) {
#ifdef Q_OS_WIN
  Q_UNUSED(stop_bits_code);
  return true;
#else
  return stop_bits_code != 2;
#endif
}

QString DeviceFor(int port_number, const QString& settings_folder) {
#ifdef Q_OS_WIN
  Q_UNUSED(settings_folder);
  return QStringLiteral("\\\\.\\COM%1").arg(port_number);
#else
  const std::optional<PortDevice> device = FindPortDevice(port_number, settings_folder);
  return device ? device->path : QString();
#endif
}

}  // namespace

SerialPort::SerialPort(QString settings_folder, QObject* parent)
    : QObject(parent), settings_folder_(std::move(settings_folder)) {
  connect(&port_, &QSerialPort::readyRead, this, &SerialPort::OnReadyRead);
  connect(&port_, &QSerialPort::errorOccurred, this, &SerialPort::OnError);
}

SerialPort::~SerialPort() { PortClose(); }

int SerialPort::PortOpen() {
  PortClose();
  const QString device = DeviceFor(settings_.port_number, settings_folder_);
  if (device.isEmpty()) return 0;

  const bool data_bits_supported =
      settings_.data_bits >= QSerialPort::Data5 && settings_.data_bits <= QSerialPort::Data8;
  if (!data_bits_supported || !StopBitsSupported(settings_.stop_bits_code)) return 0;

  // Settings given to a closed QSerialPort are only stored; its open takes
  // the lock file (the exclusive hold between programs), opens the device and
  // applies all of them, and fails, releasing the device, on anything the
  // driver refuses. Setting every one each time also keeps settings of an
  // earlier session from reaching this device.
  port_.setPortName(device);
  port_.setBaudRate(settings_.baud_rate);
  port_.setDataBits(static_cast<QSerialPort::DataBits>(settings_.data_bits));
  port_.setParity(ParityOf(settings_.parity_code));
  port_.setStopBits(StopBitsOf(settings_.stop_bits_code));
  port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!port_.open(QIODevice::ReadWrite)) return 0;

  // A device without modem lines (a pseudo-terminal) refuses RTS; it is still
  // a usable port.
  port_.setRequestToSend(true);
  if (!port_.clear(QSerialPort::AllDirections)) {
    port_.close();
    return 0;
  }
  port_.clearError();
  loss_.Reset();
  ++session_;
  return 1;
}

void SerialPort::PortClose() {
  ++session_;
  if (port_.isOpen()) port_.close();
}

int SerialPort::PortSendText(std::string_view gbk) { return PortSendBytes(gbk); }

int SerialPort::PortSendBytes(std::string_view bytes) {
  if (!port_.isOpen() || loss_.Gone()) return 0;
  if (bytes.empty()) return 1;
  // QSerialPort keeps what the driver cannot take yet and writes it as the
  // line drains, so this never waits for the line. Nothing received is
  // discarded before a write.
  const qint64 queued = port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
  return queued == static_cast<qint64>(bytes.size()) ? 1 : 0;
}

void SerialPort::OnReadyRead() {
  const QByteArray bytes = port_.readAll();
  if (bytes.isEmpty()) return;
  loss_.Note(DeviceLossDetector::Report::kData);
  emit PortBytesReceived(bytes);
}

void SerialPort::OnError(QSerialPort::SerialPortError error) {
  if (error == QSerialPort::NoError || !port_.isOpen()) return;
  DeviceLossDetector::Report report = DeviceLossDetector::Report::kOtherError;
  if (error == QSerialPort::ResourceError) report = DeviceLossDetector::Report::kResourceError;
  if (error == QSerialPort::ReadError) report = DeviceLossDetector::Report::kReadError;
  if (!loss_.Note(report)) return;
  // The report comes from inside QSerialPort's own notifier; closing here
  // would delete that notifier under its feet. Close once control is back in
  // the event loop, unless the port has been closed or reopened by then.
  const quint64 session = session_;
  QMetaObject::invokeMethod(this, [this, session] { CloseAfterLoss(session); }, Qt::QueuedConnection);
}

void SerialPort::CloseAfterLoss(quint64 session) {
  if (session != session_ || !port_.isOpen()) return;
  PortClose();
  emit PortLost();
}

}  // namespace quorvel
