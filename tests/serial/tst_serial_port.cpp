#include <termios.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "gbk_literal.h"
#include "pty_pair.h"
#include "serial/serial_port.h"

using quorvel::LineSettings;
using quorvel::SerialPort;
using quorvel::test::PtyPair;
Q_DECLARE_METATYPE(LineSettings)

namespace {

constexpr LineSettings k9600{1, 9600, 8, 1, 0};

// A settings folder whose ports/ pins names to devices.
class PortsFolder {
 public:
  PortsFolder() { QDir(dir_.path()).mkdir(QStringLiteral("ports")); }
  QString Path() const { return dir_.path(); }
  bool Pin(int n, const QString& target) const {
    return QFile::link(target, dir_.filePath(QStringLiteral("ports/COM%1").arg(n)));
  }

 private:
  QTemporaryDir dir_;
};

// A pseudo-terminal whose slave side is pinned as COM1, and a port set to
// open it at 9600 8N1.
struct Com1OnPty {
  Com1OnPty() { port.SetLineSettings(k9600); }
  bool IsReady() const { return pinned; }

  PtyPair pty;
  PortsFolder folder;
  bool pinned = pty.IsValid() && folder.Pin(1, pty.SlavePath());
  SerialPort port{folder.Path()};
};

// Joins the concatenation of all batches a spy has seen.
std::string Received(const QSignalSpy& spy) {
  std::string all;
  for (const QList<QVariant>& batch : spy) all += batch.at(0).toByteArray().toStdString();
  return all;
}

// Bytes that show a dropped, doubled or reordered block: the position mixed
// into each byte does not repeat every 256 bytes.
std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

// A thread that is told to stop and joined when the test leaves, also when a
// check fails half way.
class ScopedThread {
 public:
  template <typename Body>
  explicit ScopedThread(Body body) : thread_([this, body] { body(stop_); }) {}
  ~ScopedThread() { Join(); }
  void Join() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace

class TestSerialPort : public QObject {
  Q_OBJECT

 private slots:
  void settingsReachDevice_data();
  void settingsReachDevice();
  void openPortIsNotReconfigured();
  void failedOpenReleasesDevice_data();
  void failedOpenReleasesDevice();
  void heldDeviceCannotBeOpenedAgain();
  void deviceHeldByAnotherProcess();
  void bytesArriveInOrderAcrossBatches();
  void receivedBytesSurviveWrites();
  void closeStopsDelivery();
  void sendResults_data();
  void sendResults();
  void sendsReturnAtOnceAndArriveInOrder();
  void farEndClosedIsLoss();
  void pinnedDeviceRemovedIsLoss();
};

void TestSerialPort::settingsReachDevice_data() {
  QTest::addColumn<LineSettings>("settings");
  QTest::addColumn<int>("pin");  // the COM number the pty is pinned to
  QTest::addColumn<speed_t>("speed");
  QTest::addColumn<tcflag_t>("size");
  QTest::addColumn<bool>("two_stop");
  QTest::addColumn<tcflag_t>("parity");  // PARENB, PARODD and CMSPAR as set

  QTest::addRow("COM7 115200 7E2") << LineSettings{7, 115200, 7, 3, 2} << 7 << speed_t(B115200) << tcflag_t(CS7)
                                   << true << tcflag_t(PARENB);
  QTest::addRow("9600 8N1") << LineSettings{3, 9600, 8, 1, 0} << 3 << speed_t(B9600) << tcflag_t(CS8) << false
                            << tcflag_t(0);
  QTest::addRow("300 6O1") << LineSettings{1, 300, 6, 1, 1} << 1 << speed_t(B300) << tcflag_t(CS6) << false
                           << tcflag_t(PARENB | PARODD);
  QTest::addRow("mark parity") << LineSettings{2, 19200, 8, 1, 3} << 2 << speed_t(B19200) << tcflag_t(CS8) << false
                               << tcflag_t(PARENB | PARODD | CMSPAR);
  QTest::addRow("space parity, 5 bits") << LineSettings{2, 38400, 5, 1, 4} << 2 << speed_t(B38400) << tcflag_t(CS5)
                                        << false << tcflag_t(PARENB | CMSPAR);
  // No port selected is stored as -5 and opens COM1; codes beyond the lists
  // are clamped to two stop bits and space parity.
  QTest::addRow("out of range opens COM1, clamped") << LineSettings{-5, 57600, 8, 9, 7} << 1 << speed_t(B57600)
                                                    << tcflag_t(CS8) << true << tcflag_t(PARENB | CMSPAR);
}

void TestSerialPort::settingsReachDevice() {
  QFETCH(LineSettings, settings);
  QFETCH(int, pin);
  QFETCH(speed_t, speed);
  QFETCH(tcflag_t, size);
  QFETCH(bool, two_stop);
  QFETCH(tcflag_t, parity);
  PtyPair pty;
  QVERIFY(pty.IsValid());
  PortsFolder folder;
  QVERIFY(folder.Pin(pin, pty.SlavePath()));

  SerialPort port(folder.Path());
  port.SetLineSettings(settings);
  QCOMPARE(port.PortOpen(), 1);
  QVERIFY(port.IsOpen());

  // Pseudo-terminals keep data bits and parity only with the help of
  // pty_keeps_line_bits.cpp, linked into this test.
  termios tio{};
  QCOMPARE(tcgetattr(pty.Slave(), &tio), 0);
  QCOMPARE(cfgetospeed(&tio), speed);
  QCOMPARE(cfgetispeed(&tio), speed);
  QCOMPARE(tio.c_cflag & CSIZE, size);
  QCOMPARE((tio.c_cflag & CSTOPB) != 0, two_stop);
  QCOMPARE(tio.c_cflag & (PARENB | PARODD | CMSPAR), parity);
  // The fixed settings: raw, receiver on, no flow control of either kind.
  QCOMPARE(tio.c_cflag & (CREAD | CLOCAL | CRTSCTS), tcflag_t(CREAD | CLOCAL));
  QCOMPARE(tio.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP | INPCK), tcflag_t(0));
  QCOMPARE(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), tcflag_t(0));
  QCOMPARE(tio.c_oflag & OPOST, tcflag_t(0));
}

void TestSerialPort::openPortIsNotReconfigured() {
  Com1OnPty com1;
  QVERIFY(com1.IsReady());
  PtyPair& pty = com1.pty;
  SerialPort& port = com1.port;
  QCOMPARE(port.PortOpen(), 1);

  port.SetLineSettings(LineSettings{1, 115200, 7, 3, 0});
  termios tio{};
  QCOMPARE(tcgetattr(pty.Slave(), &tio), 0);
  QCOMPARE(cfgetospeed(&tio), speed_t(B9600));
  QCOMPARE(tio.c_cflag & (CSIZE | CSTOPB), tcflag_t(CS8));

  // Opening an open port closes it and opens it again with the new settings.
  QCOMPARE(port.PortOpen(), 1);
  QCOMPARE(tcgetattr(pty.Slave(), &tio), 0);
  QCOMPARE(cfgetospeed(&tio), speed_t(B115200));
  QCOMPARE(tio.c_cflag & (CSIZE | CSTOPB), tcflag_t(CS7 | CSTOPB));
}

void TestSerialPort::failedOpenReleasesDevice_data() {
  QTest::addColumn<LineSettings>("settings");
  QTest::addColumn<bool>("device_present");
  QTest::addRow("pinned device missing") << k9600 << false;
  QTest::addRow("no device with that number") << LineSettings{1000, 9600, 8, 1, 0} << false;
  QTest::addRow("1.5 stop bits refused") << LineSettings{1, 9600, 8, 2, 0} << true;
  QTest::addRow("9 data bits refused") << LineSettings{1, 9600, 9, 1, 0} << true;
  QTest::addRow("4 data bits refused") << LineSettings{1, 9600, 4, 1, 0} << true;
  QTest::addRow("baud rate 0") << LineSettings{1, -3, 8, 1, 0} << true;
}

void TestSerialPort::failedOpenReleasesDevice() {
  QFETCH(LineSettings, settings);
  QFETCH(bool, device_present);
  PtyPair pty;
  QVERIFY(pty.IsValid());
  PortsFolder folder;
  QVERIFY(folder.Pin(1, device_present ? pty.SlavePath() : folder.Path() + QStringLiteral("/unplugged")));

  SerialPort port(folder.Path());
  port.SetLineSettings(settings);
  QCOMPARE(port.PortOpen(), 0);
  QVERIFY(!port.IsOpen());
  QCOMPARE(port.PortSendBytes("x"), 0);

  if (device_present) {
    // Released: another port object, and this one with good settings, can
    // take the device now.
    SerialPort other(folder.Path());
    other.SetLineSettings(k9600);
    QCOMPARE(other.PortOpen(), 1);
    other.PortClose();
    port.SetLineSettings(k9600);
    QCOMPARE(port.PortOpen(), 1);
  }
}

void TestSerialPort::heldDeviceCannotBeOpenedAgain() {
  PtyPair pty;
  QVERIFY(pty.IsValid());
  PortsFolder folder;
  QVERIFY(folder.Pin(1, pty.SlavePath()));
  // The same device under a second name is still the same device.
  QVERIFY(folder.Pin(2, pty.SlavePath()));
  SerialPort first(folder.Path());
  SerialPort second(folder.Path());
  first.SetLineSettings(k9600);
  second.SetLineSettings(LineSettings{2, 9600, 8, 1, 0});

  QCOMPARE(first.PortOpen(), 1);
  QCOMPARE(second.PortOpen(), 0);
  QVERIFY(first.IsOpen());
  QVERIFY(!second.IsOpen());
  first.PortClose();
  QCOMPARE(second.PortOpen(), 1);
}

void TestSerialPort::deviceHeldByAnotherProcess() {
  PtyPair pty;
  QVERIFY(pty.IsValid());
  PortsFolder folder;
  QVERIFY(folder.Pin(1, pty.SlavePath()));

  // This test program run with --hold opens COM1 and keeps it until its
  // standard input closes (see main below).
  QProcess holder;
  holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), folder.Path()});
  QVERIFY(holder.waitForStarted(10000));
  QVERIFY(holder.waitForReadyRead(10000));
  QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));

  SerialPort port(folder.Path());
  port.SetLineSettings(k9600);
  QCOMPARE(port.PortOpen(), 0);

  holder.closeWriteChannel();
  QVERIFY(holder.waitForFinished(10000));
  QCOMPARE(holder.exitCode(), 0);
  QCOMPARE(port.PortOpen(), 1);
}

void TestSerialPort::bytesArriveInOrderAcrossBatches() {
  Com1OnPty com1;
  QVERIFY(com1.IsReady());
  PtyPair& pty = com1.pty;
  SerialPort& port = com1.port;
  QSignalSpy batches(&port, &SerialPort::PortBytesReceived);
  QCOMPARE(port.PortOpen(), 1);

  // The device writes from its own thread, as fast as the terminal takes it,
  // while this thread delivers.
  const std::string sent = Pattern(1 << 20);
  ScopedThread device([&](const std::atomic<bool>& stop) {
    std::string_view rest = sent;
    while (!rest.empty() && !stop) {
      const ssize_t written = ::write(pty.Master(), rest.data(), std::min<std::size_t>(rest.size(), 4096));
      if (written > 0) {
        rest.remove_prefix(static_cast<std::size_t>(written));
      } else {
        pollfd fd{pty.Master(), POLLOUT, 0};
        ::poll(&fd, 1, 50);
      }
    }
  });

  QTRY_COMPARE_WITH_TIMEOUT(Received(batches).size(), sent.size(), 60000);
  QVERIFY(Received(batches) == sent);
  QVERIFY(batches.count() > 1);
}

void TestSerialPort::receivedBytesSurviveWrites() {
  // Bytes waiting in the driver when a write is made are delivered, not
  // discarded to make way for the answer.
  Com1OnPty com1;
  QVERIFY(com1.IsReady());
  PtyPair& pty = com1.pty;
  SerialPort& port = com1.port;
  QSignalSpy batches(&port, &SerialPort::PortBytesReceived);
  QCOMPARE(port.PortOpen(), 1);

  QVERIFY(pty.WriteMaster("\x01\x03\x02"));
  pollfd waiting{pty.Slave(), POLLIN, 0};
  QCOMPARE(::poll(&waiting, 1, 5000), 1);  // in the driver, not yet read
  QCOMPARE(port.PortSendBytes("\x01\x06"), 1);
  QCOMPARE(port.PortSendBytes("\x07"), 1);
  QTRY_COMPARE(Received(batches), std::string("\x01\x03\x02"));
  QCOMPARE(pty.ReadMaster(3, 5000), std::string("\x01\x06\x07"));
}

void TestSerialPort::closeStopsDelivery() {
  Com1OnPty com1;
  QVERIFY(com1.IsReady());
  PtyPair& pty = com1.pty;
  SerialPort& port = com1.port;
  QSignalSpy batches(&port, &SerialPort::PortBytesReceived);
  QCOMPARE(port.PortOpen(), 1);

  QVERIFY(pty.WriteMaster("first"));
  QTRY_COMPARE(Received(batches), std::string("first"));
  QVERIFY(pty.WriteMaster("late"));
  pollfd waiting{pty.Slave(), POLLIN, 0};
  QCOMPARE(::poll(&waiting, 1, 5000), 1);
  port.PortClose();
  QVERIFY(!port.IsOpen());
  QTest::qWait(200);
  QCOMPARE(Received(batches), std::string("first"));
  QCOMPARE(port.PortSendBytes("x"), 0);
}

void TestSerialPort::sendResults_data() {
  QTest::addColumn<bool>("open");
  QTest::addColumn<bool>("as_text");
  QTest::addColumn<std::string>("bytes");
  QTest::addColumn<int>("result");
  QTest::addRow("bytes on open port") << true << false << std::string("\x01\x00\xFF", 3) << 1;
  QTest::addRow("text on open port") << true << true << quorvel::test::G(u8"中文ok") << 1;
  QTest::addRow("empty bytes") << true << false << std::string() << 1;
  QTest::addRow("empty text") << true << true << std::string() << 1;
  QTest::addRow("bytes on closed port") << false << false << std::string("\x01") << 0;
  QTest::addRow("text on closed port") << false << true << std::string("a") << 0;
}

void TestSerialPort::sendResults() {
  QFETCH(bool, open);
  QFETCH(bool, as_text);
  QFETCH(std::string, bytes);
  QFETCH(int, result);
  Com1OnPty com1;
  QVERIFY(com1.IsReady());
  PtyPair& pty = com1.pty;
  SerialPort& port = com1.port;
  if (open) QCOMPARE(port.PortOpen(), 1);

  QCOMPARE(as_text ? port.PortSendText(bytes) : port.PortSendBytes(bytes), result);
  // A marker after the payload shows that exactly the payload went out
  // before it, nothing else and nothing more.
  const std::string expected = open ? bytes + "#" : std::string();
  if (open) QCOMPARE(port.PortSendBytes("#"), 1);
  QCOMPARE(pty.ReadMaster(open ? expected.size() : 1, open ? 5000 : 200), expected);
}

void TestSerialPort::sendsReturnAtOnceAndArriveInOrder() {
  PtyPair pty;
  QVERIFY(pty.IsValid());
  PortsFolder folder;
  QVERIFY(folder.Pin(1, pty.SlavePath()));
  SerialPort port(folder.Path());
  port.SetLineSettings(LineSettings{1, 300, 8, 1, 0});
  QCOMPARE(port.PortOpen(), 1);

  // Far more than the terminal holds: a send that waited for the line would
  // wait for a reader that only starts once every send has returned. The
  // reader gives up waiting after a while, so such a fault fails the test
  // instead of hanging it.
  const std::string payload = Pattern(1 << 20);
  std::atomic<bool> sends_returned{false};
  std::atomic<bool> reader_gave_up{false};
  std::atomic<std::size_t> arrived_size{0};
  std::string arrived;  // the reader's until it is joined
  ScopedThread reader([&](const std::atomic<bool>& stop) {
    QDeadlineTimer patience(20000);
    while (!sends_returned && !patience.hasExpired() && !stop) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    reader_gave_up = !sends_returned;
    char buffer[65536];
    while (arrived.size() < payload.size() && !stop) {
      pollfd fd{pty.Master(), POLLIN, 0};
      if (::poll(&fd, 1, 50) <= 0) continue;
      const ssize_t got = ::read(pty.Master(), buffer, sizeof buffer);
      if (got > 0) arrived.append(buffer, static_cast<std::size_t>(got));
      arrived_size = arrived.size();
    }
  });

  const std::size_t frame = 16 * 1024;
  for (std::size_t at = 0; at < payload.size(); at += frame) {
    const std::string_view piece = std::string_view(payload).substr(at, frame);
    QCOMPARE((at / frame) % 2 ? port.PortSendText(piece) : port.PortSendBytes(piece), 1);
  }
  sends_returned = true;

  QTRY_COMPARE_WITH_TIMEOUT(arrived_size.load(), payload.size(), 60000);
  reader.Join();
  QVERIFY2(!reader_gave_up, "the sends waited for the line");
  QVERIFY(arrived == payload);
}

void TestSerialPort::farEndClosedIsLoss() {
  PtyPair pty;
  QVERIFY(pty.IsValid());
  pty.CloseSlave();  // the adapter's descriptor is the only one on that side
  PortsFolder folder;
  QVERIFY(folder.Pin(1, pty.SlavePath()));
  SerialPort port(folder.Path());
  port.SetLineSettings(k9600);
  QSignalSpy batches(&port, &SerialPort::PortBytesReceived);
  QSignalSpy lost(&port, &SerialPort::PortLost);
  QCOMPARE(port.PortOpen(), 1);
  QVERIFY(pty.WriteMaster("ab"));
  QTRY_COMPARE(Received(batches), std::string("ab"));

  pty.CloseMaster();
  QTRY_COMPARE(lost.count(), 1);
  QVERIFY(!port.IsOpen());
  QCOMPARE(port.PortSendBytes("x"), 0);
  QTest::qWait(300);
  QCOMPARE(lost.count(), 1);
  QCOMPARE(batches.count(), 1);
  // Whether opening again fails is not asked here: the kernel hands the
  // freed terminal number to the next pseudo-terminal, which a test running
  // alongside may own by now.
}

void TestSerialPort::pinnedDeviceRemovedIsLoss() {
  // COM2 is pinned to a name that socat keeps for its terminal, as udev
  // keeps /dev/serial/by-id names; ending socat removes device and name.
  PortsFolder folder;
  const QString device = folder.Path() + QStringLiteral("/usb-adapter");
  const QString far_end = folder.Path() + QStringLiteral("/far-end");
  quorvel::test::SocatPair socat(far_end, device);
  QVERIFY2(socat.IsRunning(), "socat did not start");
  QVERIFY(folder.Pin(2, device));
  SerialPort port(folder.Path());
  port.SetLineSettings(LineSettings{2, 9600, 8, 1, 0});
  QSignalSpy batches(&port, &SerialPort::PortBytesReceived);
  QSignalSpy lost(&port, &SerialPort::PortLost);
  QCOMPARE(port.PortOpen(), 1);

  socat.Stop();
  QTRY_COMPARE(lost.count(), 1);
  QVERIFY(!port.IsOpen());
  QCOMPARE(port.PortSendText("x"), 0);
  QTest::qWait(300);
  QCOMPARE(lost.count(), 1);
  QCOMPARE(batches.count(), 0);
  QVERIFY(!QFile::exists(device));
  QCOMPARE(port.PortOpen(), 0);
}

// --hold FOLDER: open COM1 pinned in FOLDER, print "held" and keep the port
// until standard input closes.
static int HoldPort(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  SerialPort port(QString::fromLocal8Bit(argv[2]));
  port.SetLineSettings(k9600);
  if (port.PortOpen() != 1) {
    std::puts("failed");
    return 1;
  }
  std::puts("held");
  std::fflush(stdout);
  while (std::getchar() != EOF) {
  }
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 3 && qstrcmp(argv[1], "--hold") == 0) return HoldPort(argc, argv);
  QCoreApplication app(argc, argv);
  TestSerialPort test;
  QTEST_SET_MAIN_SOURCE_PATH
  return QTest::qExec(&test, argc, argv);
}

#include "tst_serial_port.moc"
