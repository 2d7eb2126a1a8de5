#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <string>

#include "gbk_literal.h"
#include "log/log_view.h"
#include "modal_helpers.h"
#include "platform/balloon_tip.h"
#include "platform/click_label.h"
#include "platform/period_timer.h"
#include "platform/shape_indicator.h"
#include "serial_window.h"
#include "tools/module_window.h"

using quorvel::kNoFill;
using quorvel::test::G;
using quorvel::test::HexDump;
using quorvel::test::MessageBoxCatcher;
using quorvel::test::SerialWindow;

namespace {

// Three polling lines of the module window, for addresses 1 to 3.
const QString kThreeLines = QStringLiteral(
    "01 03 10 00 00 25 D1 80  → 1\n02 03 10 00 00 25 E2 80  → 2\n03 03 10 00 00 25 33 81  → 3\n");
const std::string kFrame1 = "01 03 10 00 00 25 D1 80";
const std::string kFrame2 = "02 03 10 00 00 25 E2 80";
const std::string kFrame3 = "03 03 10 00 00 25 33 81";

// The automatic sender's controls, set for a run: hexadecimal sending
// without CRC, a short interval.
void PrepareRun(SerialWindow& w, const QString& list, bool loop) {
  w.Find<QCheckBox>("CRC选择框")->setChecked(false);
  w.Find<QComboBox>("组合框_毫秒")->setEditText(QStringLiteral("20"));
  w.Find<QCheckBox>("选择框_循环")->setChecked(loop);
  w.Find<QPlainTextEdit>("编辑框_循环")->setPlainText(list);
}

bool IsRunning(const SerialWindow& w) {
  return w.Find<QPushButton>("按钮_自动发送")->text() == QStringLiteral("停止发送");
}

// The three buttons the sender disables while it runs.
bool ButtonsEnabled(const SerialWindow& w) {
  return w.Find<QPushButton>("按钮_发送")->isEnabled() && w.Find<QPushButton>("按钮_打开串口")->isEnabled() &&
         w.Find<QPushButton>("按钮_保存")->isEnabled();
}

void VerifyIdle(const SerialWindow& w) {
  QVERIFY(!IsRunning(w));
  QCOMPARE(w.Find<QPushButton>("按钮_自动发送")->text(), QStringLiteral("自动发送"));
  QCOMPARE(w.Find<quorvel::PeriodTimer>("时钟甲型发送")->Period(), 0);
  QCOMPARE(w.Find<quorvel::ShapeIndicator>("外形框_自动发送")->FillColour(), kNoFill);
  QVERIFY(ButtonsEnabled(w));
}

}  // namespace

// The automatic sender, the module window and the radix tip through the
// main window, with a pseudo-terminal pinned as COM1 playing the device.
class TestAutomaticSend : public QObject {
  Q_OBJECT

 private slots:
  void itemsArriveInOrder_data();
  void itemsArriveInOrder();
  void portThatCannotOpenLeavesTheSenderIdle();
  void lostDeviceStopsTheSender();
  void typedIntervalIsNoChoice();
  void emptyListHintPointsIntoTheGroup();
  void arrowCopiesTheListIntoTheLog();
  void moduleLinesReplaceTheListWhileTheSenderRuns();
  void radixTipOnReleaseInTheLog();
};

void TestAutomaticSend::itemsArriveInOrder_data() {
  QTest::addColumn<bool>("loop");
  QTest::addRow("once") << false;
  QTest::addRow("in a loop") << true;
}

void TestAutomaticSend::itemsArriveInOrder() {
  QFETCH(bool, loop);
  SerialWindow w;
  QVERIFY(w.IsValid());
  PrepareRun(w, kThreeLines, loop);

  w.Find<QPushButton>("按钮_自动发送")->click();  // opens COM1 first
  QVERIFY(w.Window().PortLink().PortIsOpen());
  QVERIFY(IsRunning(w));
  QVERIFY(!ButtonsEnabled(w));

  const std::string three = HexDump(w.Device().ReadMaster(24, 10000));
  QCOMPARE(three, kFrame1 + " " + kFrame2 + " " + kFrame3);
  if (loop) {
    QCOMPARE(HexDump(w.Device().ReadMaster(8, 10000)), kFrame1);
    QVERIFY(IsRunning(w));
    w.Find<QPushButton>("按钮_自动发送")->click();
    VerifyIdle(w);
  } else {
    QTRY_VERIFY_WITH_TIMEOUT(!IsRunning(w), 10000);
    VerifyIdle(w);
    QCOMPARE(w.TxPanel(), QStringLiteral("TX:24"));
    QCOMPARE(w.Log(), G(u8"\r\n01 03 10 00 00 25 D1 80  → 1\r\n\r\n02 03 10 00 00 25 E2 80  → 2\r\n"
                        u8"\r\n03 03 10 00 00 25 33 81  → 3\r\n"));
    QCOMPARE(w.Find<QLineEdit>("编辑框_发送")->text(), QStringLiteral("03 03 10 00 00 25 33 81 "));
    // Nothing more goes out.
    QCOMPARE(w.Device().ReadMaster(1, 200), std::string());
  }
  QVERIFY(w.Window().PortLink().PortIsOpen());
}

void TestAutomaticSend::portThatCannotOpenLeavesTheSenderIdle() {
  SerialWindow w;
  QVERIFY(w.IsValid());
  QVERIFY(w.Pin(1, w.Nowhere()));
  PrepareRun(w, QStringLiteral("01"), false);
  MessageBoxCatcher boxes;
  w.Find<QPushButton>("按钮_自动发送")->click();
  QCOMPARE(boxes.Seen(), QStringList{"错误|端口打开失败！"});
  VerifyIdle(w);
  QCOMPARE(w.Window().State().SendList, std::vector<std::string>{"01"});
}

void TestAutomaticSend::lostDeviceStopsTheSender() {
  SerialWindow w;
  QVERIFY(w.IsValid());
  PrepareRun(w, QStringLiteral("01\n02"), true);
  w.Find<QPushButton>("按钮_自动发送")->click();
  QCOMPARE(w.Device().ReadMaster(2, 10000), std::string("\x01\x02"));

  MessageBoxCatcher boxes;
  w.Device().CloseMaster();
  QTRY_COMPARE_WITH_TIMEOUT(boxes.Seen().size(), 1, 10000);
  QCOMPARE(boxes.Seen().front(), QStringLiteral("错误|串口已断开！"));
  VerifyIdle(w);
}

// Only a chosen item is stored: a typed value that matches an item writes
// nothing, whether the box is left or Enter is pressed.
void TestAutomaticSend::typedIntervalIsNoChoice() {
  SerialWindow w;
  QVERIFY(w.IsValid());
  w.Window().show();
  w.Window().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w.Window()));
  auto* interval = w.Find<QComboBox>("组合框_毫秒");
  const quorvel::SettingsStore& settings = w.Window().State().settings;
  auto stored = [&] { return settings.ReadSetting("MoKuai", G(u8"毫秒"), "<absent>"); };

  interval->setFocus();
  interval->lineEdit()->selectAll();
  QTest::keyClicks(interval, "800");
  QTest::keyClick(interval, Qt::Key_Return);
  w.Find<QLineEdit>("编辑框_发送")->setFocus();
  QCOMPARE(interval->currentText(), QStringLiteral("800"));
  QCOMPARE(stored(), std::string("<absent>"));

  interval->setFocus();
  QTest::keyClick(interval, Qt::Key_Down);  // "900", chosen
  QCOMPARE(stored(), std::string("6"));
}

void TestAutomaticSend::emptyListHintPointsIntoTheGroup() {
  SerialWindow w;
  QVERIFY(w.IsValid());
  w.Window().show();
  QVERIFY(QTest::qWaitForWindowExposed(&w.Window()));
  w.Find<QPlainTextEdit>("编辑框_循环")->setPlainText(QStringLiteral("  　"));
  auto* group = w.Find<QGroupBox>("分组框2");
  auto* tip = w.Find<quorvel::BalloonTip>("气球提示框1");

  w.Find<QPushButton>("按钮_自动发送")->click();
  QVERIFY(tip->IsShown());
  QCOMPARE(tip->Text(), QStringLiteral("请输入要自动发送的数据，一行为一条数据！"));
  const QPoint frame = w.Window().frameGeometry().topLeft();
  QCOMPARE(tip->PointedAt(), QPoint(frame.x() + group->x() + 50, frame.y() + group->y() + 50));
  VerifyIdle(w);
  QVERIFY(!w.Window().PortLink().PortIsOpen());

  // It stays until the next click.
  QTest::qWait(300);
  QVERIFY(tip->IsShown());
  QTest::mouseClick(w.Find<QLineEdit>("编辑框_发送"), Qt::LeftButton);
  QVERIFY(!tip->IsShown());
}

void TestAutomaticSend::arrowCopiesTheListIntoTheLog() {
  SerialWindow w;
  QVERIFY(w.IsValid());
  w.Window().show();
  w.Window().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w.Window()));
  w.Find<QPlainTextEdit>("编辑框_循环")->setPlainText(QStringLiteral("A\nB"));
  auto* log = w.Find<quorvel::LogView>("超级编辑框1");
  const QSize size = log->size();

  QTest::mouseRelease(w.Find<quorvel::ClickLabel>("透明标签1"), Qt::LeftButton);
  QCOMPARE(w.Log(), std::string("\r\nA\r\nB"));
  QCOMPARE(log->StyleAt(2).colour, w.Window().State().ListStyle.colour);
  QCOMPARE(log->StyleAt(2).colour, 0x808080u);
  QCOMPARE(log->size(), size);
  QTRY_VERIFY(log->hasFocus());
  QVERIFY(!w.Window().PortLink().PortIsOpen());
}

// The module window opens on a right-button release over the indicator and
// runs modally while the sender keeps ticking; "加入" replaces the list box
// and unticks CRC16, and the running sender keeps its old list.
void TestAutomaticSend::moduleLinesReplaceTheListWhileTheSenderRuns() {
  SerialWindow w;
  QVERIFY(w.IsValid());
  quorvel::ProgramState& state = w.Window().State();
  state.settings.WriteSetting("MoKuai", G(u8"地址起"), "1");
  state.settings.WriteSetting("MoKuai", G(u8"地址终"), "3");
  PrepareRun(w, QStringLiteral("01\n02"), true);
  w.Find<QCheckBox>("CRC选择框")->setChecked(true);
  w.Find<QPushButton>("按钮_自动发送")->click();
  QCOMPARE(HexDump(w.Device().ReadMaster(6, 10000)), std::string("01 80 7E 02 81 3E"));

  // The user, inside the modal window: generate, add, see the sender tick
  // on, close.
  QString title;
  QFont label_font;
  qint64 ticks_while_open = -1;
  qint64 tx_at_add = -1;
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    auto* window = qobject_cast<quorvel::ModuleWindow*>(QApplication::activeModalWidget());
    if (window == nullptr) return;
    if (tx_at_add < 0) {
      title = window->windowTitle();
      // In the main window's font.
      label_font = window->findChild<QLabel*>(QStringLiteral("标签_发送地址"))->font();
      window->findChild<QPushButton*>(QStringLiteral("按钮_生成"))->click();
      window->findChild<QPushButton*>(QStringLiteral("按钮_加入"))->click();
      tx_at_add = state.counters.TxCount();
      return;
    }
    if (state.counters.TxCount() <= tx_at_add) return;
    ticks_while_open = state.counters.TxCount() - tx_at_add;
    window->findChild<QPushButton*>(QStringLiteral("按钮_关闭"))->click();
  });
  user.start(5);
  w.Device().ReadMaster(1000, 0);  // what went out so far
  QTest::mouseRelease(w.Find<quorvel::ShapeIndicator>("外形框_自动发送"), Qt::RightButton);
  user.stop();

  QCOMPARE(title, QStringLiteral("模块发送数据生成窗口"));
  QCOMPARE(label_font, w.Window().font());
  QVERIFY(ticks_while_open > 0);
  QCOMPARE(w.Find<QPlainTextEdit>("编辑框_循环")->toPlainText(), kThreeLines);
  QVERIFY(!w.Find<QCheckBox>("CRC选择框")->isChecked());
  QVERIFY(IsRunning(w));
  QCOMPARE(state.SendList, (std::vector<std::string>{"01", "02"}));
  // The old items go on, now without CRC: two single bytes in turn.
  w.Device().ReadMaster(1000, 100);
  const std::string later = w.Device().ReadMaster(4, 10000);
  QVERIFY2(later == "\x01\x02\x01\x02" || later == "\x02\x01\x02\x01", HexDump(later).c_str());

  // The next click takes the new list.
  w.Find<QPushButton>("按钮_自动发送")->click();
  QVERIFY(!IsRunning(w));
  QCOMPARE(state.SendList.size(), std::size_t{3});
  QCOMPARE(state.SendList.front(), G(u8"01 03 10 00 00 25 D1 80  → 1"));
}

void TestAutomaticSend::radixTipOnReleaseInTheLog() {
  SerialWindow w;
  QVERIFY(w.IsValid());
  w.Window().show();
  QVERIFY(QTest::qWaitForWindowExposed(&w.Window()));
  auto* log = w.Find<quorvel::LogView>("超级编辑框1");
  auto* tip = w.Find<quorvel::BalloonTip>("气球提示框1");
  log->SetWholeText("01 FF 1A ");

  // A plain click: nothing selected, no tip.
  const QPoint in_log = log->viewport()->rect().center();
  QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, in_log);
  QVERIFY(!tip->IsShown());

  // A drag over the three bytes, released with the pointer at `pointer`.
  const QPoint first = log->CharacterRect(0).topLeft() + QPoint(1, 2);
  const QPoint last = log->CharacterRect(7).topRight() + QPoint(0, 2);
  QTest::mousePress(log->viewport(), Qt::LeftButton, {}, first);
  QTest::mouseMove(log->viewport(), last);
  const QPoint pointer(333, 222);
  QCursor::setPos(pointer);
  QTest::mouseRelease(log->viewport(), Qt::LeftButton, {}, last);
  QCOMPARE(log->SelectedText(), std::string("01 FF 1A"));
  QVERIFY(tip->IsShown());
  QCOMPARE(tip->Text(), QStringLiteral("16进制：      01       FF       1A \n10进制：       1      255       26 \n"
                                       " 2进制：00000001 11111111 00011010 "));
  QCOMPARE(tip->PointedAt(), pointer);

  // The next click takes it away and, selecting nothing, shows none.
  QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, in_log);
  QVERIFY(!tip->IsShown());
}

QTEST_MAIN(TestAutomaticSend)
#include "tst_automatic_send.moc"
