#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "gbk_literal.h"
#include "log/log_view.h"
#include "log/text_style.h"
#include "log/traffic_counters.h"
#include "platform/balloon_tip.h"
#include "platform/click_label.h"
#include "platform/period_timer.h"
#include "platform/shape_indicator.h"
#include "transmit/auto_sender.h"

using quorvel::AutoSender;
using quorvel::kNoFill;
using quorvel::test::G;
using quorvel::test::HexDump;
using Items = std::vector<std::string>;

Q_DECLARE_METATYPE(std::string)

namespace {

constexpr std::uint32_t kYellow = 0x0000FFFF;
constexpr std::uint32_t kTxColour = 0x008000;
constexpr std::uint32_t kListColour = 0x808080;

// A serial link that records what is written: "bytes 01 03" or "text ABCD"
// (GBK shown as hex) per write.
struct FakePort {
  bool open = true;
  bool opens = true;  // TogglePort opens a closed port
  int toggles = 0;
  QStringList writes;

  quorvel::PortAccess Access() {
    return {[this] { return open; },
            [this] {
              ++toggles;
              open = open ? false : opens;
            },
            [this](std::string_view text) {
              writes << QStringLiteral("text ") + QString::fromStdString(HexDump(std::string(text)));
              return 1;
            },
            [this](std::string_view bytes) {
              writes << QStringLiteral("bytes ") + QString::fromStdString(HexDump(std::string(bytes)));
              return 1;
            }};
  }
};

// The automatic sender's controls in a window laid out like the main
// window's lower group, over a fake link.
struct Bench {
  Bench() {
    window.setGeometry(100, 80, 727, 500);
    group = new QGroupBox(&window);
    group->setGeometry(2, 427, 718, 61);
    list = new QPlainTextEdit(group);
    copy_label = new quorvel::ClickLabel(QStringLiteral("↑"), group);
    interval = new QComboBox(group);
    interval->setEditable(true);
    interval->addItems({"200", "300", "400", "500", "600", "800", "900"});
    interval->setEditText(QStringLiteral("20"));
    loop = new QCheckBox(QStringLiteral("循环"), group);
    indicator = new quorvel::ShapeIndicator(group);
    toggle = new QPushButton(QStringLiteral("自动发送"), group);
    send_text = new QLineEdit(QStringLiteral("01 03 10 00 00 25"), &window);
    hex_mode = new QRadioButton(QStringLiteral("16进制发送"), &window);
    text_mode = new QRadioButton(QStringLiteral("ASCII码发送"), &window);
    hex_mode->setChecked(true);
    crc = new QCheckBox(QStringLiteral("CRC16校验"), &window);
    crc_reversed = new QCheckBox(QStringLiteral("反"), &window);
    send_button = new QPushButton(QStringLiteral("发送"), &window);
    open_button = new QPushButton(QStringLiteral("打开串口"), &window);
    save_button = new QPushButton(QStringLiteral("保存"), &window);
    log = new quorvel::LogView(&window);
    log->setGeometry(1, 45, 583, 379);
    timer = new quorvel::PeriodTimer(&window);
    tip = new quorvel::BalloonTip(&window);
    tx_style.colour = kTxColour;
    list_style.colour = kListColour;
    sender = std::make_unique<AutoSender>(
        quorvel::AutoSendControls{list, copy_label, interval, loop, indicator, toggle, timer, send_text, text_mode,
                                  hex_mode, crc, crc_reversed, send_button, open_button, save_button, group, log, tip},
        port.Access(), send_list, send_index, counters, tx_style, list_style, &window);
  }

  void SetList(const QString& text) { list->setPlainText(text); }
  bool ButtonsEnabled() const {
    return send_button->isEnabled() && open_button->isEnabled() && save_button->isEnabled();
  }
  bool ButtonsDisabled() const {
    return !send_button->isEnabled() && !open_button->isEnabled() && !save_button->isEnabled();
  }

  FakePort port;
  Items send_list;
  int send_index = 0;
  quorvel::TrafficCounters counters;
  quorvel::TextStyle tx_style;
  quorvel::TextStyle list_style;
  QWidget window;
  QGroupBox* group;
  QPlainTextEdit* list;
  quorvel::ClickLabel* copy_label;
  QComboBox* interval;
  QCheckBox* loop;
  quorvel::ShapeIndicator* indicator;
  QPushButton* toggle;
  QLineEdit* send_text;
  QRadioButton* hex_mode;
  QRadioButton* text_mode;
  QCheckBox* crc;
  QCheckBox* crc_reversed;
  QPushButton* send_button;
  QPushButton* open_button;
  QPushButton* save_button;
  quorvel::LogView* log;
  quorvel::PeriodTimer* timer;
  quorvel::BalloonTip* tip;
  std::unique_ptr<AutoSender> sender;
};

QList<QMessageBox*> OpenBoxes() {
  QList<QMessageBox*> boxes;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && box->isVisible()) boxes << box;
  }
  return boxes;
}

}  // namespace

class TestAutoSender : public QObject {
  Q_OBJECT

 private slots:
  void startAndStopByClick();
  void runsThroughTheListOnceOrInALoop_data();
  void runsThroughTheListOnceOrInALoop();
  void indicatorFlipsAtEachTick();
  void closedPortIsOpenedFirst_data();
  void closedPortIsOpenedFirst();
  void intervalIsTheTypedText_data();
  void intervalIsTheTypedText();
  void tickSendsTheChosenText_data();
  void tickSendsTheChosenText();
  void oddLengthWarnsOnceAtATimeAndHoldsTheIndex();
  void emptyListShowsTheHint_data();
  void emptyListShowsTheHint();
  void emptiedListKeepsTheRunningSenderGoing();
  void copyListToLog();
};

void TestAutoSender::startAndStopByClick() {
  Bench b;
  b.SetList(QStringLiteral("01 03\n\n02 03\n"));
  b.interval->setEditText(QStringLiteral("0"));  // no tick comes in between

  b.toggle->click();
  QCOMPARE(b.toggle->text(), QStringLiteral("停止发送"));
  QVERIFY(b.sender->IsRunning());
  QVERIFY(b.ButtonsDisabled());
  QCOMPARE(b.send_list, (Items{"01 03", "", "02 03"}));
  QCOMPARE(b.send_index, 1);

  b.sender->AutoSendTick();
  QCOMPARE(b.send_index, 2);
  b.SetList(QStringLiteral("09"));
  b.toggle->click();
  QCOMPARE(b.toggle->text(), QStringLiteral("自动发送"));
  QVERIFY(!b.sender->IsRunning());
  QVERIFY(b.ButtonsEnabled());
  QCOMPARE(b.indicator->FillColour(), kNoFill);
  QCOMPARE(b.timer->Period(), 0);
  // The stopping click takes the list too; the index stays.
  QCOMPARE(b.send_list, (Items{"09"}));
  QCOMPARE(b.send_index, 2);
  QCOMPARE(b.port.toggles, 0);
}

void TestAutoSender::runsThroughTheListOnceOrInALoop_data() {
  QTest::addColumn<bool>("loop");
  QTest::addRow("once: stops after the last item") << false;
  QTest::addRow("loop: the first item comes round again") << true;
}

void TestAutoSender::runsThroughTheListOnceOrInALoop() {
  QFETCH(bool, loop);
  Bench b;
  b.crc->setChecked(false);
  b.loop->setChecked(loop);
  b.SetList(QStringLiteral("01\n02\n03"));
  b.toggle->click();
  QCOMPARE(b.timer->Period(), 20);

  if (loop) {
    QTRY_VERIFY_WITH_TIMEOUT(b.port.writes.size() >= 4, 10000);
    QVERIFY(b.sender->IsRunning());
    QCOMPARE(b.port.writes.mid(0, 4), (QStringList{"bytes 01", "bytes 02", "bytes 03", "bytes 01"}));
    b.toggle->click();
  } else {
    QTRY_VERIFY_WITH_TIMEOUT(!b.sender->IsRunning(), 10000);
    QCOMPARE(b.port.writes, (QStringList{"bytes 01", "bytes 02", "bytes 03"}));
    QCOMPARE(b.log->WholeText(), std::string("\r\n01\r\n\r\n02\r\n\r\n03\r\n"));
    QCOMPARE(b.counters.TxCount(), 3);
  }
  QCOMPARE(b.toggle->text(), QStringLiteral("自动发送"));
  QCOMPARE(b.indicator->FillColour(), kNoFill);
  QCOMPARE(b.timer->Period(), 0);
  QVERIFY(b.ButtonsEnabled());
}

void TestAutoSender::indicatorFlipsAtEachTick() {
  Bench b;
  b.loop->setChecked(true);
  b.SetList(QStringLiteral("01\n02"));
  b.interval->setEditText(QStringLiteral("0"));
  b.toggle->click();
  QCOMPARE(b.indicator->FillColour(), kNoFill);
  const std::uint32_t expected[] = {kYellow, kNoFill, kYellow};
  for (std::uint32_t colour : expected) {
    b.sender->AutoSendTick();
    QCOMPARE(b.indicator->FillColour(), colour);
  }
  b.toggle->click();
  QCOMPARE(b.indicator->FillColour(), kNoFill);
}

void TestAutoSender::closedPortIsOpenedFirst_data() {
  QTest::addColumn<bool>("opens");
  QTest::addRow("the port opens: running") << true;
  QTest::addRow("the port stays closed: idle") << false;
}

void TestAutoSender::closedPortIsOpenedFirst() {
  QFETCH(bool, opens);
  Bench b;
  b.port.open = false;
  b.port.opens = opens;
  b.SetList(QStringLiteral("01"));
  b.toggle->click();
  QCOMPARE(b.port.toggles, 1);
  QCOMPARE(b.sender->IsRunning(), opens);
  QCOMPARE(b.ButtonsEnabled(), !opens);
  QCOMPARE(b.timer->IsRunning(), opens);
  QCOMPARE(b.send_list, (Items{"01"}));  // taken before the open
}

void TestAutoSender::intervalIsTheTypedText_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<int>("period");
  QTest::addRow("number and unit") << "20ms" << 20;
  QTest::addRow("full-width digits") << "３０" << 30;
  QTest::addRow("letters") << "abc" << 0;
  QTest::addRow("zero") << "0" << 0;
  QTest::addRow("negative") << "-5" << 0;
}

void TestAutoSender::intervalIsTheTypedText() {
  QFETCH(QString, typed);
  QFETCH(int, period);
  Bench b;
  b.interval->setCurrentIndex(3);  // "500" was chosen, then a value typed
  b.interval->setEditText(typed);
  b.SetList(QStringLiteral("01"));
  b.toggle->click();
  QCOMPARE(b.timer->Period(), period);
  QCOMPARE(b.timer->IsRunning(), period > 0);
  // Running even without ticks; the next click stops it.
  QVERIFY(b.sender->IsRunning());
  QVERIFY(b.ButtonsDisabled());
  b.toggle->click();
  QVERIFY(!b.sender->IsRunning());
  QVERIFY(b.ButtonsEnabled());
}

// One tick of a single-item list in hexadecimal (with or without CRC) or
// text mode: the send box, what goes out, the count and the log.
void TestAutoSender::tickSendsTheChosenText_data() {
  QTest::addColumn<QString>("list");
  QTest::addColumn<bool>("text_mode");
  QTest::addColumn<bool>("with_crc");
  QTest::addColumn<bool>("crc_reversed");
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("written");
  QTest::addColumn<int>("counted");
  QTest::addColumn<std::string>("logged");

  QTest::addRow("module line without CRC: 8 bytes, the whole item logged")
      << "01 03 10 00 00 25 D1 80  → 1" << false << false << false << "01 03 10 00 00 25 D1 80 "
      << "bytes 01 03 10 00 00 25 D1 80" << 8 << G(u8"\r\n01 03 10 00 00 25 D1 80  → 1\r\n");
  QTest::addRow("module line with CRC: 10 bytes, the frame logged")
      << "01 03 10 00 00 25 D1 80  → 1" << false << true << false << "01 03 10 00 00 25 D1 80 "
      << "bytes 01 03 10 00 00 25 D1 80 6C FC" << 10 << std::string("\r\n01 03 10 00 00 25 D1 80 6C FC\r\n");
  QTest::addRow("CRC low byte first") << "01 03 10 00 00 25" << false << true << true << "01 03 10 00 00 25"
                                      << "bytes 01 03 10 00 00 25 80 D1" << 8
                                      << std::string("\r\n01 03 10 00 00 25 80 D1\r\n");
  QTest::addRow("left-arrow line: 4 bytes") << "EA 05 05 BC  ← 5" << false << false << false << "EA 05 05 BC "
                                            << "bytes EA 05 05 BC" << 4 << G(u8"\r\nEA 05 05 BC  ← 5\r\n");
  QTest::addRow("hex typed without spaces is logged normalised with CRC")
      << "0103100000 25" << false << true << false << "0103100000 25" << "bytes 01 03 10 00 00 25 D1 80" << 8
      << std::string("\r\n01 03 10 00 00 25 D1 80\r\n");
  QTest::addRow("empty item with CRC: 00 FF FF") << "\n" << false << true << false << "" << "bytes 00 FF FF" << 3
                                                 << std::string("\r\n FF FF\r\n");
  QTest::addRow("empty item without CRC: nothing") << "\n" << false << false << false << "" << "bytes " << 0
                                                   << std::string("\r\n\r\n");
  QTest::addRow("text sent without spaces, counted, logged with them")
      << "AB CD" << true << false << false << "AB CD" << "text 41 42 43 44" << 4 << std::string("\r\nAB CD\r\n");
  QTest::addRow("text: short item with arrow taken whole")
      << "01 → 2" << true << false << false << "01 → 2" << "text 30 31 A1 FA 32" << 5 << G(u8"\r\n01 → 2\r\n");
  QTest::addRow("text: ideographic space removed too")
      << "中　文 A" << true << false << false << "中　文 A" << "text D6 D0 CE C4 41" << 5 << G(u8"\r\n中　文 A\r\n");
}

void TestAutoSender::tickSendsTheChosenText() {
  QFETCH(QString, list);
  QFETCH(bool, text_mode);
  QFETCH(bool, with_crc);
  QFETCH(bool, crc_reversed);
  QFETCH(QString, box);
  QFETCH(QString, written);
  QFETCH(int, counted);
  QFETCH(std::string, logged);
  Bench b;
  (text_mode ? static_cast<QRadioButton*>(b.text_mode) : b.hex_mode)->setChecked(true);
  b.crc->setChecked(with_crc);
  b.crc_reversed->setChecked(crc_reversed);
  b.interval->setEditText(QStringLiteral("0"));
  b.SetList(list);
  b.toggle->click();
  QVERIFY(b.sender->IsRunning());

  b.sender->AutoSendTick();
  QCOMPARE(b.send_text->text(), box);
  QCOMPARE(b.port.writes, QStringList{written});
  QCOMPARE(b.counters.TxCount(), counted);
  QCOMPARE(b.log->WholeText(), logged);
  QCOMPARE(b.log->StyleAt(1).colour, kTxColour);
  // A one-item list without loop is done after its tick.
  QVERIFY(!b.sender->IsRunning());
}

// While the warning of a tick is up, ticks that fall due are dropped rather
// than opening boxes on top of it; after it closes, the next tick tries the
// same item again.
void TestAutoSender::oddLengthWarnsOnceAtATimeAndHoldsTheIndex() {
  Bench b;
  b.crc->setChecked(false);
  b.SetList(QStringLiteral("01 0\n02"));

  QStringList seen;
  int most_open = 0;
  bool indicator_held = true;
  std::uint32_t colour_at_open = 0;
  QElapsedTimer up_for;
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    const QList<QMessageBox*> boxes = OpenBoxes();
    most_open = std::max(most_open, static_cast<int>(boxes.size()));
    if (boxes.isEmpty()) return;
    if (!up_for.isValid()) {
      up_for.start();
      colour_at_open = b.indicator->FillColour();
      // Ticks delivered while the first box is up, as a timer may deliver them.
      if (seen.isEmpty()) {
        for (int i = 0; i < 3; ++i) QTimer::singleShot(0, b.sender.get(), &AutoSender::AutoSendTick);
      }
      return;
    }
    // Kept up over several periods of the timer.
    if (up_for.elapsed() < 150) return;
    up_for.invalidate();
    indicator_held = indicator_held && b.indicator->FillColour() == colour_at_open;
    seen << boxes.first()->windowTitle() + QLatin1Char('|') + boxes.first()->text();
    boxes.first()->accept();
  });
  watcher.start(5);

  b.toggle->click();
  QTRY_VERIFY_WITH_TIMEOUT(seen.size() >= 2, 20000);
  b.toggle->click();
  QVERIFY(!b.sender->IsRunning());

  QCOMPARE(most_open, 1);
  QVERIFY(indicator_held);
  QCOMPARE(seen.first(), QStringLiteral("警告|数据输入长度错误"));
  QCOMPARE(b.send_index, 1);
  QCOMPARE(b.send_text->text(), QStringLiteral("01 0"));
  QVERIFY(b.port.writes.isEmpty());
  QCOMPARE(b.counters.TxCount(), 0);
  QCOMPARE(b.log->WholeText(), std::string());
}

void TestAutoSender::emptyListShowsTheHint_data() {
  QTest::addColumn<QString>("list");
  QTest::addColumn<bool>("running");
  QTest::addRow("empty, idle") << "" << false;
  QTest::addRow("ascii and ideographic spaces, idle") << "  　 " << false;
  QTest::addRow("empty, running") << "" << true;
}

void TestAutoSender::emptyListShowsTheHint() {
  QFETCH(QString, list);
  QFETCH(bool, running);
  Bench b;
  b.window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&b.window));
  if (running) {
    b.interval->setEditText(QStringLiteral("0"));
    b.SetList(QStringLiteral("01"));
    b.toggle->click();
  }
  b.SetList(list);

  b.toggle->click();
  QVERIFY(b.tip->IsShown());
  QCOMPARE(b.tip->Text(), QStringLiteral("请输入要自动发送的数据，一行为一条数据！"));
  const QPoint frame = b.window.frameGeometry().topLeft();
  QCOMPARE(b.tip->PointedAt(), frame + QPoint(2 + 50, 427 + 50));
  QCOMPARE(b.sender->IsRunning(), running);
  QCOMPARE(b.send_list, running ? Items{"01"} : Items{});
  QCOMPARE(b.port.toggles, 0);
}

void TestAutoSender::emptiedListKeepsTheRunningSenderGoing() {
  Bench b;
  b.crc->setChecked(false);
  b.interval->setEditText(QStringLiteral("0"));
  b.SetList(QStringLiteral("01\n02"));
  b.toggle->click();
  b.SetList(QStringLiteral(" "));
  b.toggle->click();
  QVERIFY(b.tip->IsShown());
  QVERIFY(b.sender->IsRunning());
  b.sender->AutoSendTick();
  QCOMPARE(b.port.writes, QStringList{"bytes 01"});

  b.tip->HideTip();
  b.SetList(QStringLiteral(" x"));
  b.toggle->click();
  QVERIFY(!b.sender->IsRunning());
  QVERIFY(!b.tip->IsShown());
  QCOMPARE(b.send_list, Items{" x"});
}

void TestAutoSender::copyListToLog() {
  Bench b;
  b.window.show();
  b.window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&b.window));
  b.send_text->setFocus();
  const QSize log_size = b.log->size();

  QTest::mouseRelease(b.copy_label, Qt::LeftButton);
  QVERIFY(b.tip->IsShown());  // nothing to copy
  QCOMPARE(b.log->WholeText(), std::string());
  b.tip->HideTip();

  b.log->LogAppend("01", b.tx_style);
  b.SetList(QStringLiteral("A\nB"));
  QTest::mouseRelease(b.copy_label, Qt::LeftButton);
  QCOMPARE(b.log->WholeText(), std::string("01\r\nA\r\nB"));
  QCOMPARE(b.log->StyleAt(2).colour, kListColour);
  QCOMPARE(b.log->StyleAt(5).colour, kListColour);
  QCOMPARE(b.log->size(), log_size);
  QTRY_VERIFY(b.log->hasFocus());
  QVERIFY(!b.tip->IsShown());
  QVERIFY(!b.sender->IsRunning());
  QVERIFY(b.port.writes.isEmpty());
}

QTEST_MAIN(TestAutoSender)
#include "tst_auto_sender.moc"
