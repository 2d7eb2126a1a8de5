#pragma once

// Modbus RTU facts the tests check the program against, computed bit by bit
// and independently of the program's own CRC text, and the test device that
// answers on a terminal.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel::test {

// CRC-16/MODBUS: reflected polynomial 0xA001, start 0xFFFF, no final xor.
inline std::uint16_t ModbusCrc(std::string_view bytes) {
  std::uint16_t crc = 0xFFFF;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
  }
  return crc;
}

// The frame with its CRC appended low byte first, as Modbus sends it.
inline std::string WithModbusCrc(std::string frame) {
  const std::uint16_t crc = ModbusCrc(frame);
  frame.push_back(static_cast<char>(crc & 0xFF));
  frame.push_back(static_cast<char>(crc >> 8));
  return frame;
}

// The test device's (tests/e2e/modbus_rtu_slave) 79-byte answer to "slave 1,
// read 37 holding registers from 0x1000": register 0x1000 + k holds
// k * 0x0101.
inline std::string HoldingRegisterReply() {
  std::string reply("\x01\x03\x4A", 3);
  for (int k = 0; k < 37; ++k) reply.append(2, static_cast<char>(k));
  return WithModbusCrc(reply);
}

// Starts the test device (tests/e2e/modbus_rtu_slave at `program`) on the
// terminal `device`; true once it reports that its line is open.
inline bool StartModbusRtuSlave(QProcess& slave, const QString& program, const QString& device) {
  slave.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  slave.start(program, {device});
  return slave.waitForStarted(10000) && slave.waitForReadyRead(10000) &&
         slave.readLine().trimmed() == QByteArray("ready");
}

}  // namespace quorvel::test
