#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdint>
#include <string>

#include "gbk_literal.h"
#include "modbus_reference.h"
#include "pty_pair.h"
#include "serial/serial_port.h"

// The adapter against the Modbus RTU device of the whole-program tests
// (tests/e2e/modbus_rtu_slave), over two pseudo-terminals joined by socat.

namespace {

const std::string kRequest("\x01\x03\x10\x00\x00\x25\x80\xD1", 8);
const std::string kRequestCrcSwapped("\x01\x03\x10\x00\x00\x25\xD1\x80", 8);

std::string Received(const QSignalSpy& spy) {
  std::string all;
  for (const QList<QVariant>& batch : spy) all += batch.at(0).toByteArray().toStdString();
  return all;
}

}  // namespace

class TestModbusPeer : public QObject {
  Q_OBJECT

 private slots:
  void requestIsStandardModbus();
  void answersOnlyFramesWithValidCrc();
};

void TestModbusPeer::requestIsStandardModbus() {
  // The frame the program sends carries the CRC low byte first.
  QCOMPARE(quorvel::test::WithModbusCrc(kRequest.substr(0, 6)), kRequest);
}

void TestModbusPeer::answersOnlyFramesWithValidCrc() {
  QTemporaryDir folder;
  QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("ports")));
  const QString device_end = folder.filePath(QStringLiteral("device"));
  const QString program_end = folder.filePath(QStringLiteral("ports/COM1"));
  quorvel::test::SocatPair line(device_end, program_end);
  QVERIFY2(line.IsRunning(), "socat did not start");

  QProcess slave;
  QVERIFY(quorvel::test::StartModbusRtuSlave(slave, QStringLiteral(MODBUS_RTU_SLAVE), device_end));

  quorvel::SerialPort port(folder.path());
  port.SetLineSettings(quorvel::LineSettings{1, 9600, 8, 1, 0});
  QSignalSpy batches(&port, &quorvel::SerialPort::PortBytesReceived);
  QCOMPARE(port.PortOpen(), 1);

  const std::string reply = quorvel::test::HoldingRegisterReply();
  QCOMPARE(reply.size(), std::size_t(79));
  QCOMPARE(port.PortSendBytes(kRequest), 1);
  QTRY_COMPARE_WITH_TIMEOUT(Received(batches).size(), reply.size(), 10000);
  QCOMPARE(quorvel::test::HexDump(Received(batches)), quorvel::test::HexDump(reply));

  batches.clear();
  QCOMPARE(port.PortSendBytes(kRequestCrcSwapped), 1);
  QTest::qWait(1000);
  QCOMPARE(quorvel::test::HexDump(Received(batches)), std::string());

  // Still there: the silence was the CRC, not a device that had gone.
  QCOMPARE(port.PortSendBytes(kRequest), 1);
  QTRY_COMPARE_WITH_TIMEOUT(Received(batches).size(), reply.size(), 10000);
  QCOMPARE(quorvel::test::HexDump(Received(batches)), quorvel::test::HexDump(reply));

  port.PortClose();
  slave.terminate();
  QVERIFY(slave.waitForFinished(10000));
  QCOMPARE(slave.exitStatus(), QProcess::NormalExit);
  QCOMPARE(slave.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestModbusPeer)
#include "tst_modbus_peer.moc"
