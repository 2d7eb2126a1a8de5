#include <QCheckBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/main_window.h"
#include "log/log_view.h"
#include "modal_helpers.h"
#include "modbus_reference.h"
#include "pty_pair.h"

// The whole program against a real Modbus RTU device: the main window, as
// the program starts it, on COM1, which the settings folder pins to one end
// of two joined pseudo-terminals; a libmodbus slave (tests/e2e/
// modbus_rtu_slave) listens on the other end.

namespace {

// Received bytes as the log shows them in hexadecimal display.
std::string HexDisplay(const std::string& bytes) {
  std::string text;
  char group[4];
  for (unsigned char byte : bytes) {
    std::snprintf(group, sizeof group, "%02X ", byte);
    text += group;
  }
  return text;
}

}  // namespace

class TestModbusE2e : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void slaveAnswersOnlyTheLowByteFirstCrc();

 private:
  QTemporaryDir config_home_;
};

void TestModbusE2e::initTestCase() {
  QVERIFY(config_home_.isValid());
  // The program finds its settings, and the pinned COM1, here.
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_home_.path()));
  QVERIFY(QDir(config_home_.path()).mkpath(QStringLiteral("quorvel/ports")));
}

void TestModbusE2e::slaveAnswersOnlyTheLowByteFirstCrc() {
  const QString device_end = config_home_.filePath(QStringLiteral("device"));
  quorvel::test::SocatPair line(device_end, config_home_.filePath(QStringLiteral("quorvel/ports/COM1")));
  QVERIFY2(line.IsRunning(), "socat did not start");

  QProcess slave;
  QVERIFY(quorvel::test::StartModbusRtuSlave(slave, QStringLiteral(MODBUS_RTU_SLAVE), device_end));

  // The stored defaults: COM1, 9600 baud, 8 data bits, no parity, one stop
  // bit; hexadecimal send and display, CRC16 ticked, "01 03 10 00 00 25".
  quorvel::MainWindow window;
  window.show();
  auto* log = window.findChild<quorvel::LogView*>(QStringLiteral("超级编辑框1"));
  auto* send = window.findChild<QPushButton*>(QStringLiteral("按钮_发送"));
  const quorvel::TrafficCounters& counters = window.State().counters;
  quorvel::test::MessageBoxCatcher boxes;

  // High byte first, as the program sends by default: not Modbus, no answer.
  send->click();
  QVERIFY(window.PortLink().PortIsOpen());
  QCOMPARE(log->WholeText(), std::string("\r\n01 03 10 00 00 25 D1 80\r\n"));
  QTest::qWait(1500);
  QCOMPARE(counters.RxCount(), 0);

  window.findChild<QPushButton*>(QStringLiteral("清除显示按钮"))->click();
  window.findChild<QCheckBox*>(QStringLiteral("CRC反"))->setChecked(true);
  send->click();
  const std::string reply = quorvel::test::HoldingRegisterReply();
  QCOMPARE(reply.size(), std::size_t(79));
  QTRY_COMPARE_WITH_TIMEOUT(counters.RxCount(), 79, 10000);
  QTest::qWait(300);  // nothing more follows
  QCOMPARE(counters.RxCount(), 79);
  QCOMPARE(counters.TxCount(), 8);
  QCOMPARE(window.findChild<QLabel*>(QStringLiteral("panel0"))->text(), QStringLiteral("RX:79"));
  QCOMPARE(window.findChild<QLabel*>(QStringLiteral("panel1"))->text(), QStringLiteral("TX:8"));

  const std::string sent_line = "\r\n01 03 10 00 00 25 80 D1\r\n";
  QCOMPARE(log->WholeText(), sent_line + HexDisplay(reply));
  QCOMPARE(log->StyleAt(0), window.State().TxStyle);
  const auto reply_start = static_cast<qint64>(sent_line.size());
  QCOMPARE(log->StyleAt(reply_start), window.State().RxStyle);
  QCOMPARE(log->StyleAt(static_cast<qint64>(log->WholeText().size()) - 1), window.State().RxStyle);
  QCOMPARE(boxes.Seen(), QStringList());

  slave.terminate();
  QVERIFY(slave.waitForFinished(10000));
  QCOMPARE(slave.exitStatus(), QProcess::NormalExit);
  QCOMPARE(slave.exitCode(), 0);
}

QTEST_MAIN(TestModbusE2e)
#include "tst_modbus_e2e.moc"
