#include <termios.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <string>

#include "gbk_literal.h"
#include "modal_helpers.h"
#include "platform/balloon_tip.h"
#include "platform/shape_indicator.h"
#include "serial/port_list.h"
#include "serial/serial_port.h"
#include "serial_window.h"

using quorvel::kNoFill;
using quorvel::LineSettings;
using quorvel::test::G;
using quorvel::test::MessageBoxCatcher;
using quorvel::test::SerialWindow;

Q_DECLARE_METATYPE(LineSettings)

namespace {

constexpr std::uint32_t kGreen = 65280;

const char* const kLists[] = {"组合框_端口", "组合框_波特率", "组合框_数据位", "组合框_停止位", "组合框_校验位"};

// The state the port group shows: the indicator's fill, the caption and
// whether the five lists are enabled.
void VerifyPortGroup(const SerialWindow& w, bool open) {
  QCOMPARE(w.Find<quorvel::ShapeIndicator>("串口状态外形框")->FillColour(), open ? kGreen : kNoFill);
  QCOMPARE(w.Find<QPushButton>("按钮_打开串口")->text(), open ? QStringLiteral("关闭串口") : QStringLiteral("打开串口"));
  for (const char* list : kLists) QVERIFY2(w.Find<QComboBox>(list)->isEnabled() == !open, list);
}

}  // namespace

// The serial link through the main window: the open/close button with the
// five lists, the port list's tips, a device that goes away, and received
// bytes in the log. Every COMn is pinned in a temporary settings folder.
class TestSerialLink : public QObject {
  Q_OBJECT

 private slots:
  void toggleOpensWithTheListsAndCloses_data();
  void toggleOpensWithTheListsAndCloses();
  void failedOpenLeavesThePortClosed();
  void portListTipsFollowThePins();
  void lostDeviceClosesOnceWithOneMessage();

  void receivedBytesInHexDisplay();
  void textDisplayJoinsACharacterSplitAcrossWrites();
  void lineWrapStartsANewLineAfterAPause();
  void wrapIntervalHintPointsAtTheBox();
};

void TestSerialLink::toggleOpensWithTheListsAndCloses_data() {
  QTest::addColumn<int>("port");
  QTest::addColumn<int>("baud");
  QTest::addColumn<int>("data_bits");
  QTest::addColumn<int>("stop_bits");
  QTest::addColumn<int>("parity");
  QTest::addColumn<LineSettings>("settings");
  QTest::addColumn<speed_t>("speed");
  QTest::addColumn<tcflag_t>("cflag");  // character size, stop bits and parity

  // List indices: baud "300".."115200", data bits "8" "7" "6", stop bits
  // "1" "1.5" "2", parity "N 无" "O 奇" "E 偶" "M 标志" "S 空白".
  QTest::addRow("stored defaults: COM1 9600 8N1") << 0 << 5 << 0 << 0 << 0 << LineSettings{1, 9600, 8, 1, 0}
                                                  << speed_t(B9600) << tcflag_t(CS8);
  QTest::addRow("COM7 115200 7E2") << 6 << 9 << 1 << 2 << 2 << LineSettings{7, 115200, 7, 3, 2}
                                   << speed_t(B115200) << tcflag_t(CS7 | CSTOPB | PARENB);
  QTest::addRow("COM30 300 6O1") << 29 << 0 << 2 << 0 << 1 << LineSettings{30, 300, 6, 1, 1} << speed_t(B300)
                                 << tcflag_t(CS6 | PARENB | PARODD);
}

void TestSerialLink::toggleOpensWithTheListsAndCloses() {
  QFETCH(int, port);
  QFETCH(int, baud);
  QFETCH(int, data_bits);
  QFETCH(int, stop_bits);
  QFETCH(int, parity);
  QFETCH(LineSettings, settings);
  QFETCH(speed_t, speed);
  QFETCH(tcflag_t, cflag);
  SerialWindow w;
  QVERIFY(w.IsValid());
  QVERIFY(w.Pin(port + 1, w.Device().SlavePath()));
  const int indices[] = {port, baud, data_bits, stop_bits, parity};
  for (int i = 0; i < 5; ++i) w.Find<QComboBox>(kLists[i])->setCurrentIndex(indices[i]);
  auto* button = w.Find<QPushButton>("按钮_打开串口");
  auto* serial = w.Find<quorvel::SerialPort>("端口1");

  button->click();
  VerifyPortGroup(w, true);
  QVERIFY(w.Window().PortLink().PortIsOpen());
  QVERIFY(serial->IsOpen());
  QCOMPARE(serial->CurrentLineSettings(), settings);
  // What reached the device (data bits and parity kept for the pty by
  // pty_keeps_line_bits.cpp, linked into this test).
  termios tio{};
  QCOMPARE(tcgetattr(w.Device().Slave(), &tio), 0);
  QCOMPARE(cfgetospeed(&tio), speed);
  QCOMPARE(tio.c_cflag & (CSIZE | CSTOPB | PARENB | PARODD | CMSPAR), cflag);

  button->click();
  VerifyPortGroup(w, false);
  QVERIFY(!w.Window().PortLink().PortIsOpen());
  QVERIFY(!serial->IsOpen());
  // The lists still show what the port was opened with.
  for (int i = 0; i < 5; ++i) QCOMPARE(w.Find<QComboBox>(kLists[i])->currentIndex(), indices[i]);
}

void TestSerialLink::failedOpenLeavesThePortClosed() {
  SerialWindow w;
  QVERIFY(w.IsValid());
  QVERIFY(w.Pin(1, w.Nowhere()));
  MessageBoxCatcher boxes;
  w.Find<QPushButton>("按钮_打开串口")->click();
  QCOMPARE(boxes.Seen(), QStringList{QStringLiteral("错误|端口打开失败！")});
  VerifyPortGroup(w, false);
  QVERIFY(!w.Find<quorvel::SerialPort>("端口1")->IsOpen());
  // The lists were copied all the same.
  QCOMPARE(w.Find<quorvel::SerialPort>("端口1")->CurrentLineSettings(), (LineSettings{1, 9600, 8, 1, 0}));
}

void TestSerialLink::portListTipsFollowThePins() {
  SerialWindow w;
  QVERIFY(w.IsValid());
  auto* list = w.Find<quorvel::PortList>("组合框_端口");
  QVERIFY(list != nullptr);
  QCOMPARE(list->count(), 30);
  const QString device = QFileInfo(w.Device().SlavePath()).canonicalFilePath();

  list->showPopup();
  QCOMPARE(list->itemData(0, Qt::ToolTipRole).toString(), device);
  QCOMPARE(list->itemData(1, Qt::ToolTipRole).toString(), QStringLiteral("无设备"));
  QCOMPARE(list->itemData(29, Qt::ToolTipRole).toString(), QStringLiteral("无设备"));
  list->hidePopup();

  // Looked up afresh at every opening.
  QVERIFY(w.Pin(1, w.Nowhere()));
  QVERIFY(w.Pin(30, w.Device().SlavePath()));
  list->showPopup();
  QCOMPARE(list->itemData(0, Qt::ToolTipRole).toString(), QStringLiteral("无设备"));
  QCOMPARE(list->itemData(29, Qt::ToolTipRole).toString(), device);
  list->hidePopup();
}

void TestSerialLink::lostDeviceClosesOnceWithOneMessage() {
  SerialWindow w;
  QVERIFY(w.IsValid());
  w.Find<QPushButton>("按钮_打开串口")->click();
  VerifyPortGroup(w, true);

  MessageBoxCatcher boxes;
  w.Device().CloseMaster();
  QTRY_COMPARE_WITH_TIMEOUT(boxes.Seen().size(), 1, 10000);
  QCOMPARE(boxes.Seen().front(), QStringLiteral("错误|串口已断开！"));
  VerifyPortGroup(w, false);
  QVERIFY(!w.Window().PortLink().PortIsOpen());
  QTest::qWait(500);
  QCOMPARE(boxes.Seen().size(), 1);
}

void TestSerialLink::receivedBytesInHexDisplay() {
  SerialWindow w;
  QVERIFY(w.IsValid());
  w.Find<QPushButton>("按钮_打开串口")->click();
  QVERIFY(w.Window().PortLink().PortIsOpen());

  QVERIFY(w.Device().WriteMaster("\x01\x03\x10"));
  QTRY_COMPARE_WITH_TIMEOUT(w.RxPanel(), QStringLiteral("RX:3"), 10000);
  QCOMPARE(w.Log(), std::string("01 03 10 "));
  const auto* log = w.Find<quorvel::LogView>("超级编辑框1");
  QCOMPARE(log->StyleAt(0), w.Window().State().RxStyle);
  QCOMPARE(log->StyleAt(8), w.Window().State().RxStyle);
  QCOMPARE(w.Window().State().counters.RxCount(), 3);
}

void TestSerialLink::textDisplayJoinsACharacterSplitAcrossWrites() {
  SerialWindow w;
  QVERIFY(w.IsValid());
  w.Find<QRadioButton>("单选框_ASCII显示")->click();
  w.Find<QPushButton>("按钮_打开串口")->click();
  QVERIFY(w.Window().PortLink().PortIsOpen());

  const std::string character = G(u8"读");
  QVERIFY(w.Device().WriteMaster("A" + character.substr(0, 1)));
  QTRY_COMPARE_WITH_TIMEOUT(w.RxPanel(), QStringLiteral("RX:2"), 10000);
  QCOMPARE(w.Log(), std::string("A"));
  QVERIFY(w.Device().WriteMaster(character.substr(1) + "B"));
  QTRY_COMPARE_WITH_TIMEOUT(w.RxPanel(), QStringLiteral("RX:4"), 10000);
  QCOMPARE(w.Log(), "A" + character + "B");
  QCOMPARE(w.Find<quorvel::LogView>("超级编辑框1")->StyleAt(1), w.Window().State().RxStyle);
}

void TestSerialLink::lineWrapStartsANewLineAfterAPause() {
  SerialWindow w;
  QVERIFY(w.IsValid());
  QCOMPARE(w.Window().State().WrapIntervalMs, 50);
  w.Find<QCheckBox>("选择框_自动换行")->click();
  w.Find<QPushButton>("按钮_打开串口")->click();
  QVERIFY(w.Window().PortLink().PortIsOpen());

  QVERIFY(w.Device().WriteMaster("\x01\x02"));
  QTRY_COMPARE_WITH_TIMEOUT(w.RxPanel(), QStringLiteral("RX:2"), 10000);
  QTest::qWait(300);  // well past the 50 ms interval
  QVERIFY(w.Device().WriteMaster("\x03\x04"));
  QTRY_COMPARE_WITH_TIMEOUT(w.RxPanel(), QStringLiteral("RX:4"), 10000);
  QCOMPARE(w.Log(), std::string("01 02 \r\n03 04 "));
}

void TestSerialLink::wrapIntervalHintPointsAtTheBox() {
  SerialWindow w;
  QVERIFY(w.IsValid());
  w.Window().show();
  QVERIFY(QTest::qWaitForWindowExposed(&w.Window()));
  auto* box = w.Find<QLineEdit>("编辑框1");
  auto* group = w.Find<QGroupBox>("分组框3");
  auto* tip = w.Find<quorvel::BalloonTip>("气球提示框1");
  const QPoint frame = w.Window().frameGeometry().topLeft();
  const QPoint expected(frame.x() + group->x() + box->x() + 15, frame.y() + group->y() + box->y() + 30);

  QTest::mousePress(box, Qt::LeftButton);
  QVERIFY(tip->IsShown());
  QCOMPARE(tip->Text(), QStringLiteral("换行间隔：毫秒"));
  QCOMPARE(tip->PointedAt(), expected);
  QTest::mouseRelease(box, Qt::LeftButton);

  // A second press shows the same hint again; it goes by itself.
  QTest::qWait(1000);
  QTest::mousePress(box, Qt::LeftButton);
  QTest::mouseRelease(box, Qt::LeftButton);
  QVERIFY(tip->IsShown());
  QCOMPARE(tip->Text(), QStringLiteral("换行间隔：毫秒"));
  QTRY_VERIFY_WITH_TIMEOUT(!tip->IsShown(), 10000);
}

QTEST_MAIN(TestSerialLink)
#include "tst_serial_link.moc"
