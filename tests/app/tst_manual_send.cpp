#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>
#include <QtTest>
#include <string>

#include "gbk_literal.h"
#include "modal_helpers.h"
#include "platform/enter_key_service.h"
#include "platform/gbk_codec.h"
#include "platform/shape_indicator.h"
#include "serial_window.h"

using quorvel::test::G;
using quorvel::test::HexDump;
using quorvel::test::MessageBoxCatcher;
using quorvel::test::SerialWindow;

Q_DECLARE_METATYPE(std::string)

namespace {

constexpr std::uint32_t kGreen = 65280;

// What the far end has received within `ms` (at most `count` bytes).
std::string Arrived(SerialWindow& w, std::size_t count, int ms = 10000) {
  return w.Device().ReadMaster(count, ms);
}

void SetMode(SerialWindow& w, bool text_mode, bool crc, bool crc_reversed) {
  // A click on a mode button runs the option coupling, as the user's does.
  w.Find<QRadioButton>(text_mode ? "单选框_ASCII发送" : "单选框_16发送")->click();
  if (!text_mode) w.Find<QCheckBox>("CRC选择框")->setChecked(crc);
  w.Find<QCheckBox>("CRC反")->setChecked(crc_reversed);
}

}  // namespace

// The send action through the main window, by button and by the Enter key,
// with a pseudo-terminal pinned as COM1 playing the device.
class TestManualSend : public QObject {
  Q_OBJECT

 private slots:
  void sends_data();
  void sends();
  void refusedSendsNothing_data();
  void refusedSendsNothing();

  void enterSendsOnlyWhileTicked_data();
  void enterSendsOnlyWhileTicked();
  void feedbackWithAnOldIdIsIgnored();
};

void TestManualSend::sends_data() {
  QTest::addColumn<bool>("open_first");  // else the send opens the port
  QTest::addColumn<bool>("text_mode");
  QTest::addColumn<bool>("crc");
  QTest::addColumn<bool>("crc_reversed");
  QTest::addColumn<std::string>("send_text");  // GBK
  QTest::addColumn<std::string>("on_the_line");
  QTest::addColumn<std::string>("logged");

  QTest::addRow("hex with CRC, high byte first")
      << true << false << true << false << std::string("01 03 10 00 00 25")
      << std::string("\x01\x03\x10\x00\x00\x25\xD1\x80", 8) << std::string("01 03 10 00 00 25 D1 80");
  QTest::addRow("hex with CRC, low byte first")
      << true << false << true << true << std::string("01 03 10 00 00 25")
      << std::string("\x01\x03\x10\x00\x00\x25\x80\xD1", 8) << std::string("01 03 10 00 00 25 80 D1");
  QTest::addRow("hex without CRC") << true << false << false << false << std::string("01 03 10 00 00 25")
                                   << std::string("\x01\x03\x10\x00\x00\x25", 6)
                                   << std::string("01 03 10 00 00 25");
  QTest::addRow("hex digits run together are logged normalised")
      << true << false << true << false << std::string("0103 1000 0025")
      << std::string("\x01\x03\x10\x00\x00\x25\xD1\x80", 8) << std::string("01 03 10 00 00 25 D1 80");
  QTest::addRow("spaces only with CRC") << true << false << true << false << std::string("   ")
                                        << std::string("\x00\xFF\xFF", 3) << std::string(" FF FF");
  QTest::addRow("spaces only without CRC")
      << true << false << false << false << std::string("   ") << std::string() << std::string();
  QTest::addRow("text as typed, spaces included")
      << true << true << false << false << std::string("AB 12") << std::string("AB 12") << std::string("AB 12");
  QTest::addRow("text with a Chinese character counting 2")
      << true << true << false << false << G(u8"读A") << G(u8"读A") << G(u8"读A");
  QTest::addRow("closed port is opened first")
      << false << false << true << false << std::string("01 03 10 00 00 25")
      << std::string("\x01\x03\x10\x00\x00\x25\xD1\x80", 8) << std::string("01 03 10 00 00 25 D1 80");
}

void TestManualSend::sends() {
  QFETCH(bool, open_first);
  QFETCH(bool, text_mode);
  QFETCH(bool, crc);
  QFETCH(bool, crc_reversed);
  QFETCH(std::string, send_text);
  QFETCH(std::string, on_the_line);
  QFETCH(std::string, logged);
  SerialWindow w;
  QVERIFY(w.IsValid());
  MessageBoxCatcher boxes;
  SetMode(w, text_mode, crc, crc_reversed);
  w.Find<QLineEdit>("编辑框_发送")->setText(quorvel::FromGbk(send_text));
  if (open_first) w.Find<QPushButton>("按钮_打开串口")->click();

  w.Find<QPushButton>("按钮_发送")->click();
  QCOMPARE(w.Find<quorvel::ShapeIndicator>("串口状态外形框")->FillColour(), kGreen);
  QCOMPARE(w.Find<QPushButton>("按钮_打开串口")->text(), QStringLiteral("关闭串口"));
  QCOMPARE(HexDump(Arrived(w, on_the_line.size())), HexDump(on_the_line));
  QCOMPARE(HexDump(Arrived(w, 1, 300)), std::string());  // and nothing after it
  QCOMPARE(w.Window().State().counters.TxCount(), static_cast<std::int64_t>(on_the_line.size()));
  QCOMPARE(w.TxPanel(), QStringLiteral("TX:%1").arg(on_the_line.size()));
  QCOMPARE(w.Log(), "\r\n" + logged + "\r\n");
  const auto* log = w.Find<quorvel::LogView>("超级编辑框1");
  QCOMPARE(log->StyleAt(0), w.Window().State().TxStyle);
  QCOMPARE(log->StyleAt(static_cast<qint64>(w.Log().size()) - 1), w.Window().State().TxStyle);
  QCOMPARE(w.Window().State().TxStyle.colour, std::uint32_t(0x008000));
  QCOMPARE(boxes.Seen(), QStringList());
}

void TestManualSend::refusedSendsNothing_data() {
  QTest::addColumn<bool>("device_present");
  QTest::addColumn<QString>("send_text");
  QTest::addColumn<QString>("message");
  QTest::addColumn<bool>("opened");
  QTest::addRow("empty send text") << true << QString() << QStringLiteral("提示|无输入数据") << true;
  QTest::addRow("odd number of hex digits") << true << QStringLiteral("01 03 1")
                                            << QStringLiteral("警告|数据输入长度错误") << true;
  QTest::addRow("port cannot be opened") << false << QStringLiteral("01 03")
                                         << QStringLiteral("错误|端口打开失败！") << false;
}

void TestManualSend::refusedSendsNothing() {
  QFETCH(bool, device_present);
  QFETCH(QString, send_text);
  QFETCH(QString, message);
  QFETCH(bool, opened);
  SerialWindow w;
  QVERIFY(w.IsValid());
  if (!device_present) QVERIFY(w.Pin(1, w.Nowhere()));
  w.Find<QLineEdit>("编辑框_发送")->setText(send_text);
  MessageBoxCatcher boxes;

  w.Find<QPushButton>("按钮_发送")->click();
  QCOMPARE(boxes.Seen(), QStringList{message});
  QCOMPARE(w.Window().PortLink().PortIsOpen(), opened);
  QCOMPARE(HexDump(Arrived(w, 1, 500)), std::string());
  QCOMPARE(w.Window().State().counters.TxCount(), 0);
  QCOMPARE(w.TxPanel(), QStringLiteral("TX:0"));
  QCOMPARE(w.Log(), std::string());
}

void TestManualSend::enterSendsOnlyWhileTicked_data() {
  QTest::addColumn<int>("clicks");  // on 回车发送选择框
  QTest::addColumn<bool>("sends");
  QTest::addRow("ticked") << 1 << true;
  QTest::addRow("ticked, then unticked") << 2 << false;
  QTest::addRow("ticked again") << 3 << true;
}

void TestManualSend::enterSendsOnlyWhileTicked() {
  QFETCH(int, clicks);
  QFETCH(bool, sends);
  SerialWindow w;
  QVERIFY(w.IsValid());
  w.Window().show();
  w.Window().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w.Window()));
  auto* box = w.Find<QCheckBox>("回车发送选择框");
  for (int i = 0; i < clicks; ++i) box->click();
  QCOMPARE(box->isChecked(), sends);
  // The focus in the automatic sender's list, where Enter would start a
  // new line.
  auto* list = w.Find<QPlainTextEdit>("编辑框_循环");
  list->setPlainText(QStringLiteral("01 03"));
  list->moveCursor(QTextCursor::End);
  list->setFocus();
  QTRY_VERIFY(list->hasFocus());

  QTest::keyClick(w.Window().windowHandle(), Qt::Key_Return);
  if (sends) {
    QCOMPARE(HexDump(Arrived(w, 8)), std::string("01 03 10 00 00 25 D1 80"));
    QCOMPARE(list->toPlainText(), QStringLiteral("01 03"));
    QCOMPARE(w.Log(), std::string("\r\n01 03 10 00 00 25 D1 80\r\n"));
  } else {
    QCOMPARE(HexDump(Arrived(w, 1, 500)), std::string());
    QCOMPARE(list->toPlainText(), QStringLiteral("01 03\n"));
    QCOMPARE(w.Log(), std::string());
  }
}

void TestManualSend::feedbackWithAnOldIdIsIgnored() {
  SerialWindow w;
  QVERIFY(w.IsValid());
  auto* service = w.Window().findChild<quorvel::EnterKeyService*>();
  QVERIFY(service != nullptr);
  auto* label = w.Find<QLabel>("标签");
  auto* box = w.Find<QCheckBox>("回车发送选择框");
  QCOMPARE(w.Window().State().HotkeyId, 0);

  box->click();
  const int first = w.Window().State().HotkeyId;
  QVERIFY(first != 0);
  box->click();
  QCOMPARE(w.Window().State().HotkeyId, first);  // kept when unticked
  box->click();
  const int second = w.Window().State().HotkeyId;
  QVERIFY(second != 0 && second != first);

  emit service->feedback(label, first, 0);
  QCOMPARE(HexDump(Arrived(w, 1, 500)), std::string());
  QVERIFY(!w.Window().PortLink().PortIsOpen());
  emit service->feedback(label, second, 0);
  QCOMPARE(HexDump(Arrived(w, 8)), std::string("01 03 10 00 00 25 D1 80"));
}

QTEST_MAIN(TestManualSend)
#include "tst_manual_send.moc"
