#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <string>
#include <vector>

#include "pty_pair.h"
#include "serial/device_order.h"
#include "serial/port_naming.h"

using Paths = std::vector<std::string>;
Q_DECLARE_METATYPE(Paths)

class TestPortNaming : public QObject {
  Q_OBJECT

 private slots:
  void order_data();
  void order();
  void pinnedNameReachesLinkTarget_data();
  void pinnedNameReachesLinkTarget();
  void pinnedNameWithoutDeviceReachesNothing();
  void listAgreesWithSingleLookups();
};

void TestPortNaming::order_data() {
  QTest::addColumn<Paths>("present");
  QTest::addColumn<Paths>("ordered");
  QTest::addRow("nothing present") << Paths{} << Paths{};
  QTest::addRow("one usb adapter is first")
      << Paths{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0"} << Paths{"/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS1"};
  QTest::addRow("usb, then acm, then others")
      << Paths{"/dev/ttyS0", "/dev/ttyACM0", "/dev/ttyUSB1", "/dev/ttyAMA0", "/dev/ttyUSB0"}
      << Paths{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyAMA0", "/dev/ttyS0"};
  QTest::addRow("numbers by value, not by text")
      << Paths{"/dev/ttyUSB10", "/dev/ttyUSB2", "/dev/ttyACM11", "/dev/ttyACM9", "/dev/ttyUSB1"}
      << Paths{"/dev/ttyUSB1", "/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM9", "/dev/ttyACM11"};
  QTest::addRow("leading zeros do not change the value")
      << Paths{"/dev/ttyUSB010", "/dev/ttyUSB9"} << Paths{"/dev/ttyUSB9", "/dev/ttyUSB010"};
  QTest::addRow("number longer than any integer")
      << Paths{"/dev/ttyUSB99999999999999999999999", "/dev/ttyUSB3"}
      << Paths{"/dev/ttyUSB3", "/dev/ttyUSB99999999999999999999999"};
  QTest::addRow("others by name")
      << Paths{"/dev/ttyS10", "/dev/ttyS2", "/dev/rfcomm0"} << Paths{"/dev/rfcomm0", "/dev/ttyS10", "/dev/ttyS2"};
  QTest::addRow("usb name without a number is other")
      << Paths{"/dev/ttyUSB", "/dev/ttyUSBx1", "/dev/ttyS0", "/dev/ttyUSB4"}
      << Paths{"/dev/ttyUSB4", "/dev/ttyS0", "/dev/ttyUSB", "/dev/ttyUSBx1"};
  QTest::addRow("usb outside /dev is other")
      << Paths{"/tmp/ttyUSB0", "/dev/ttyACM0"} << Paths{"/dev/ttyACM0", "/tmp/ttyUSB0"};
  QTest::addRow("listed twice counts once")
      << Paths{"/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyS0"} << Paths{"/dev/ttyUSB0", "/dev/ttyS0"};
}

void TestPortNaming::order() {
  QFETCH(Paths, present);
  QFETCH(Paths, ordered);
  QCOMPARE(quorvel::OrderSerialDevices(present), ordered);
}

// `via_name` links ports/COM4 to an intermediate name (as /dev/serial/by-id
// does) instead of straight to the device.
void TestPortNaming::pinnedNameReachesLinkTarget_data() {
  QTest::addColumn<bool>("via_name");
  QTest::addRow("link to the device") << false;
  QTest::addRow("link to a link to the device") << true;
}

void TestPortNaming::pinnedNameReachesLinkTarget() {
  QFETCH(bool, via_name);
  quorvel::test::PtyPair pty;
  QVERIFY(pty.IsValid());
  QTemporaryDir folder;
  QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("ports")));
  QString target = pty.SlavePath();
  if (via_name) {
    target = folder.filePath(QStringLiteral("usb-Maker_Adapter-if00"));
    QVERIFY(QFile::link(pty.SlavePath(), target));
  }
  QVERIFY(QFile::link(target, folder.filePath(QStringLiteral("ports/COM4"))));

  const std::optional<quorvel::PortDevice> device = quorvel::FindPortDevice(4, folder.path());
  QVERIFY(device.has_value());
  QCOMPARE(device->path, pty.SlavePath());
  QCOMPARE(device->description, target);
}

void TestPortNaming::pinnedNameWithoutDeviceReachesNothing() {
  // A pinned adapter that is unplugged must not hand its number to whatever
  // other device happens to be n-th.
  QTemporaryDir folder;
  QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("ports")));
  QVERIFY(QFile::link(folder.filePath(QStringLiteral("unplugged")), folder.filePath(QStringLiteral("ports/COM1"))));
  QVERIFY(!quorvel::FindPortDevice(1, folder.path()).has_value());
  QVERIFY(!quorvel::FindPortDevice(1000, QString()).has_value());
}

void TestPortNaming::listAgreesWithSingleLookups() {
  quorvel::test::PtyPair pty;
  QVERIFY(pty.IsValid());
  QTemporaryDir folder;
  QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("ports")));
  QVERIFY(QFile::link(pty.SlavePath(), folder.filePath(QStringLiteral("ports/COM3"))));
  QVERIFY(QFile::link(folder.filePath(QStringLiteral("gone")), folder.filePath(QStringLiteral("ports/COM2"))));

  const auto devices = quorvel::FindPortDevices(30, folder.path());
  QCOMPARE(devices.size(), 30);
  for (int n = 1; n <= 30; ++n) {
    const auto single = quorvel::FindPortDevice(n, folder.path());
    QCOMPARE(devices[n - 1].has_value(), single.has_value());
    if (single) QCOMPARE(devices[n - 1]->path, single->path);
  }
  QVERIFY(!devices[1].has_value());
  QCOMPARE(devices[2]->path, pty.SlavePath());
}

QTEST_GUILESS_MAIN(TestPortNaming)
#include "tst_port_naming.moc"
