#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <memory>
#include <string>

#include "platform/gbk_codec.h"
#include "tools/module_window.h"

using quorvel::FromGbk;
using quorvel::ModuleWindow;
using quorvel::ToGbk;

namespace {

// The main window as the module window sees it: a settings file kept as
// "section/key" -> value, the writes in their order, the CRC order and what
// "加入" handed over.
struct FakeHost {
  QMap<QString, QString> settings;
  QStringList writes;
  bool crc_low_byte_first = false;
  QStringList added;

  quorvel::ModuleWindowHost Host() {
    return {[this](std::string_view section, std::string_view key, std::string_view default_value) {
              const QString name = FromGbk(section) + QLatin1Char('/') + FromGbk(key);
              return ToGbk(settings.value(name, FromGbk(default_value)));
            },
            [this](std::string_view section, std::string_view key, std::string_view value) {
              const QString name = FromGbk(section) + QLatin1Char('/') + FromGbk(key);
              settings[name] = FromGbk(value);
              writes << FromGbk(key) + QLatin1Char('=') + FromGbk(value);
            },
            [this] { return crc_low_byte_first; }, [this](const QString& lines) { added << lines; }};
  }
};

struct Window {
  explicit Window(FakeHost& host) : window(host.Host()) {}

  template <typename Control>
  Control* Find(const char* name) {
    return window.findChild<Control*>(QString::fromUtf8(name));
  }
  QComboBox* Type() { return Find<QComboBox>("组合框_模块类型"); }
  QComboBox* Channels() { return Find<QComboBox>("组合框_路数"); }
  QComboBox* Start() { return Find<QComboBox>("组合框_地址起"); }
  QComboBox* End() { return Find<QComboBox>("组合框_地址终"); }
  QPlainTextEdit* Output() { return Find<QPlainTextEdit>("编辑框1"); }
  QStringList OutputLines() { return Output()->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

  // The window up and active, as the user sees it.
  bool ShowActive() {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
  }

  ModuleWindow window;
};

// "1" to "N", exactly.
bool OffersOneTo(QComboBox* box, int n) {
  if (box->count() != n) return false;
  for (int i = 0; i < n; ++i) {
    if (box->itemText(i) != QString::number(i + 1)) return false;
  }
  return true;
}

}  // namespace

class TestModuleWindow : public QObject {
  Q_OBJECT

 private slots:
  void firstOpeningWithoutSettings();
  void storedChoicesAreRestored_data();
  void storedChoicesAreRestored();
  void typeChangeSwitchesListsAndChannelBox();
  void startAddressPullsTheEndUpAtEachKeystroke();
  void endAddressPullsTheStartDownWhenLeft();
  void chosenItemsCoupleAndPersist();
  void generate_data();
  void generate();
  void choicesAreShownAgainAtTheNextOpening();
  void addHandsTheOutputOver();
  void onlyCloseAndTheCloseBoxEndTheWindow_data();
  void onlyCloseAndTheCloseBoxEndTheWindow();
};

void TestModuleWindow::firstOpeningWithoutSettings() {
  FakeHost host;
  Window w(host);
  QCOMPARE(w.window.windowTitle(), QStringLiteral("模块发送数据生成窗口"));
  QVERIFY(w.window.isModal());
  const Qt::WindowFlags flags = w.window.windowFlags();
  QVERIFY(flags & Qt::WindowCloseButtonHint);
  QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
  QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
  QCOMPARE(w.window.minimumSize(), w.window.maximumSize());

  QCOMPARE(w.Type()->currentText(), QStringLiteral("甲型模块"));
  QCOMPARE(w.Channels()->currentText(), QStringLiteral("9路"));
  QVERIFY(w.Channels()->isEnabled());
  QCOMPARE(w.Start()->currentText(), QStringLiteral("0"));
  QCOMPARE(w.End()->currentText(), QStringLiteral("251"));
  QVERIFY(OffersOneTo(w.Start(), 506));
  QVERIFY(OffersOneTo(w.End(), 506));
  QCOMPARE(w.Output()->toPlainText(), QStringLiteral("E9 03 10 00 00 25 F9 97"));
  QCOMPARE(w.Find<QLabel>("标签_发送地址")->text(), QStringLiteral("发送地址：          至"));
  QVERIFY(host.writes.isEmpty());

  QVERIFY(w.ShowActive());
  QCOMPARE(w.window.frameGeometry().size(), QSize(625, 500));
  const QPoint off_centre = w.window.frameGeometry().center() - w.window.screen()->availableGeometry().center();
  QVERIFY(off_centre.manhattanLength() <= 2);

  w.Find<QPushButton>("按钮_生成")->click();
  const QStringList lines = w.OutputLines();
  QCOMPARE(lines.size(), 252);
  QCOMPARE(lines.first(), QStringLiteral("00 03 10 00 00 25 00 81  → 0"));
  QCOMPARE(lines.last(), QStringLiteral("FB 03 10 00 00 25 8B 94  → 251"));
}

void TestModuleWindow::storedChoicesAreRestored_data() {
  QTest::addColumn<QString>("type");
  QTest::addColumn<QString>("channels");
  QTest::addColumn<QString>("start");
  QTest::addColumn<QString>("end");
  QTest::addColumn<QString>("shown_type");
  QTest::addColumn<QString>("shown_channels");
  QTest::addColumn<bool>("channels_enabled");
  QTest::addColumn<int>("list_size");

  QTest::addRow("乙型模块") << "1" << "0" << "7" << "9" << "乙型模块" << "1路" << false << 255;
  QTest::addRow("index past the end selects the last") << "5" << "9" << "7" << "9" << "乙型模块" << "9路" << false
                                                      << 255;
  QTest::addRow("-1 selects nothing") << "-1" << "-1" << "1" << "2" << "" << "" << true << 506;
  QTest::addRow("below -1 selects nothing") << "0" << "-4" << "1" << "2" << "甲型模块" << "" << true << 506;
  QTest::addRow("addresses not checked or coupled") << "0" << "1" << "abc" << "-2" << "甲型模块" << "4路" << true
                                                    << 506;
}

void TestModuleWindow::storedChoicesAreRestored() {
  QFETCH(QString, type);
  QFETCH(QString, channels);
  QFETCH(QString, start);
  QFETCH(QString, end);
  QFETCH(QString, shown_type);
  QFETCH(QString, shown_channels);
  QFETCH(bool, channels_enabled);
  QFETCH(int, list_size);
  FakeHost host;
  host.settings = {{"MoKuai/类型", type}, {"MoKuai/路数", channels}, {"MoKuai/地址起", start}, {"MoKuai/地址终", end}};
  Window w(host);
  QCOMPARE(w.Type()->currentText(), shown_type);
  QCOMPARE(w.Channels()->currentText(), shown_channels);
  QCOMPARE(w.Channels()->isEnabled(), channels_enabled);
  QCOMPARE(w.Start()->currentText(), start);
  QCOMPARE(w.End()->currentText(), end);
  QVERIFY(OffersOneTo(w.Start(), list_size));
  QVERIFY(OffersOneTo(w.End(), list_size));
  QVERIFY(host.writes.isEmpty());
}

void TestModuleWindow::typeChangeSwitchesListsAndChannelBox() {
  FakeHost host;
  Window w(host);
  QVERIFY(w.ShowActive());
  w.Type()->setFocus();

  QTest::keyClick(w.Type(), Qt::Key_Down);  // 乙型模块
  QCOMPARE(w.Type()->currentText(), QStringLiteral("乙型模块"));
  QVERIFY(!w.Channels()->isEnabled());
  QVERIFY(OffersOneTo(w.Start(), 255));
  QVERIFY(OffersOneTo(w.End(), 255));
  QCOMPARE(w.Start()->currentText(), QStringLiteral("0"));
  QCOMPARE(w.End()->currentText(), QStringLiteral("251"));
  QCOMPARE(host.writes, QStringList{"类型=1"});

  QTest::keyClick(w.Type(), Qt::Key_Up);  // 甲型模块
  QVERIFY(w.Channels()->isEnabled());
  QVERIFY(OffersOneTo(w.Start(), 506));
  QVERIFY(OffersOneTo(w.End(), 506));
  QCOMPARE(w.Start()->currentText(), QStringLiteral("0"));
  QCOMPARE(w.End()->currentText(), QStringLiteral("251"));
  QCOMPARE(host.writes, (QStringList{"类型=1", "类型=0"}));
}

void TestModuleWindow::startAddressPullsTheEndUpAtEachKeystroke() {
  FakeHost host;
  host.settings = {{"MoKuai/地址终", "100"}};
  Window w(host);
  QVERIFY(w.ShowActive());
  w.Start()->setFocus();
  w.Start()->lineEdit()->clear();

  const std::pair<Qt::Key, const char*> keystrokes[] = {
      {Qt::Key_3, "100"}, {Qt::Key_0, "100"}, {Qt::Key_0, "300"}};
  for (const auto& [key, end] : keystrokes) {
    QTest::keyClick(w.Start(), key);
    QCOMPARE(w.End()->currentText(), QString::fromUtf8(end));
  }
  QCOMPARE(w.Start()->currentText(), QStringLiteral("300"));
  QCOMPARE(host.writes, (QStringList{"地址起=3", "地址终=100", "地址起=30", "地址终=100", "地址起=300", "地址终=300"}));

  // At most three characters.
  QTest::keyClick(w.Start(), Qt::Key_5);
  QCOMPARE(w.Start()->currentText(), QStringLiteral("300"));
}

void TestModuleWindow::endAddressPullsTheStartDownWhenLeft() {
  FakeHost host;
  host.settings = {{"MoKuai/地址起", "20"}};
  Window w(host);
  QVERIFY(w.ShowActive());
  w.End()->setFocus();
  QTRY_VERIFY(w.End()->hasFocus());
  w.End()->lineEdit()->clear();

  QTest::keyClick(w.End(), Qt::Key_5);
  QCOMPARE(w.Start()->currentText(), QStringLiteral("20"));  // typing alone couples nothing
  QVERIFY(host.writes.isEmpty());

  // Leaving the box for the button couples before the click is handled.
  QTest::mouseClick(w.Find<QPushButton>("按钮_生成"), Qt::LeftButton);
  QCOMPARE(w.Start()->currentText(), QStringLiteral("5"));
  QCOMPARE(host.writes, (QStringList{"地址起=5", "地址终=5"}));
  QCOMPARE(w.OutputLines(), QStringList{"05 03 10 00 00 25 55 81  → 5"});
}

// Items chosen with the arrow keys (as from the lists) couple and write
// like the user's typing and leaving.
void TestModuleWindow::chosenItemsCoupleAndPersist() {
  FakeHost host;
  host.settings = {{"MoKuai/地址起", "10"}, {"MoKuai/地址终", "12"}};
  Window w(host);
  QVERIFY(w.ShowActive());

  w.End()->setFocus();
  QTest::keyClick(w.End(), Qt::Key_Down);  // "1"
  QCOMPARE(w.End()->currentText(), QStringLiteral("1"));
  QCOMPARE(w.Start()->currentText(), QStringLiteral("1"));
  w.Start()->setFocus();  // leaving the end box writes again
  QTest::keyClick(w.Start(), Qt::Key_Down);  // "1"
  QTest::keyClick(w.Start(), Qt::Key_Down);  // "2"
  QCOMPARE(w.End()->currentText(), QStringLiteral("2"));
  w.Channels()->setFocus();
  QTest::keyClick(w.Channels(), Qt::Key_Up);  // "4路"
  QCOMPARE(host.writes, (QStringList{"地址起=1", "地址终=1", "地址起=1", "地址终=1", "地址起=1", "地址终=1",
                                     "地址起=2", "地址终=2", "路数=1"}));
}

void TestModuleWindow::generate_data() {
  QTest::addColumn<QString>("type");
  QTest::addColumn<QString>("channels");
  QTest::addColumn<QString>("start");
  QTest::addColumn<QString>("end");
  QTest::addColumn<bool>("low_byte_first");
  QTest::addColumn<QString>("output");

  QTest::addRow("甲型模块 9路 across 252")
      << "0" << "2" << "252" << "253" << false
      << "FC 03 10 00 00 25 3C 95  → 252\n00 03 10 00 01 25 90 80  → 253\n";
  QTest::addRow("CRC low byte first") << "0" << "2" << "1" << "1" << true << "01 03 10 00 00 25 80 D1  → 1\n";
  QTest::addRow("4路") << "0" << "1" << "1" << "1" << false << "01 03 10 00 00 16 C4 C0  → 1\n";
  QTest::addRow("乙型模块") << "1" << "2" << "1" << "2" << false << "EA 01 01 BC  ← 1\nEA 02 02 BC  ← 2\n";
  QTest::addRow("no channel row: the frame ends in its space")
      << "0" << "-1" << "1" << "1" << false << "01 03 10 00 00  41 18  → 1\n";
  QTest::addRow("start above end: nothing") << "0" << "2" << "9" << "8" << false << "";
  QTest::addRow("no type: nothing") << "-1" << "2" << "1" << "3" << false << "";
  QTest::addRow("text counts as 0") << "1" << "2" << "abc" << "1" << false << "EA 00 00 BC  ← 0\nEA 01 01 BC  ← 1\n";
}

void TestModuleWindow::generate() {
  QFETCH(QString, type);
  QFETCH(QString, channels);
  QFETCH(QString, start);
  QFETCH(QString, end);
  QFETCH(bool, low_byte_first);
  QFETCH(QString, output);
  FakeHost host;
  host.settings = {{"MoKuai/类型", type}, {"MoKuai/路数", channels}, {"MoKuai/地址起", start}, {"MoKuai/地址终", end}};
  host.crc_low_byte_first = low_byte_first;
  Window w(host);
  w.Find<QPushButton>("按钮_生成")->click();
  QCOMPARE(w.Output()->toPlainText(), output);
}

void TestModuleWindow::choicesAreShownAgainAtTheNextOpening() {
  FakeHost host;
  {
    Window w(host);
    QVERIFY(w.ShowActive());
    w.Channels()->setFocus();
    QTest::keyClick(w.Channels(), Qt::Key_Up);  // 4路
    w.Type()->setFocus();
    QTest::keyClick(w.Type(), Qt::Key_Down);  // 乙型模块
    w.Start()->setFocus();
    w.Start()->lineEdit()->selectAll();
    QTest::keyClicks(w.Start(), "12");
    w.End()->setFocus();
    w.End()->lineEdit()->selectAll();
    QTest::keyClicks(w.End(), "34");
    w.Start()->setFocus();  // leaves the end box
    QCOMPARE(host.settings.value("MoKuai/地址终"), QStringLiteral("34"));
  }
  Window again(host);
  QCOMPARE(again.Type()->currentText(), QStringLiteral("乙型模块"));
  QCOMPARE(again.Channels()->currentText(), QStringLiteral("4路"));
  QVERIFY(!again.Channels()->isEnabled());
  QCOMPARE(again.Start()->currentText(), QStringLiteral("12"));
  QCOMPARE(again.End()->currentText(), QStringLiteral("34"));
  QVERIFY(OffersOneTo(again.Start(), 255));
  // The output is not kept.
  QCOMPARE(again.Output()->toPlainText(), QStringLiteral("E9 03 10 00 00 25 F9 97"));
}

void TestModuleWindow::addHandsTheOutputOver() {
  FakeHost host;
  host.settings = {{"MoKuai/地址起", "1"}, {"MoKuai/地址终", "2"}};
  Window w(host);
  QVERIFY(w.ShowActive());
  w.Find<QPushButton>("按钮_生成")->click();
  w.Output()->appendPlainText(QStringLiteral("edited"));
  w.Find<QPushButton>("按钮_加入")->click();
  QCOMPARE(host.added, QStringList{"01 03 10 00 00 25 D1 80  → 1\n02 03 10 00 00 25 E2 80  → 2\n\nedited"});
  QVERIFY(w.window.isVisible());
}

void TestModuleWindow::onlyCloseAndTheCloseBoxEndTheWindow_data() {
  QTest::addColumn<QString>("how");
  QTest::addColumn<bool>("ends");
  QTest::addRow("关闭") << "button" << true;
  QTest::addRow("close box") << "close" << true;
  QTest::addRow("Escape") << "escape" << false;
  QTest::addRow("Enter in an address box") << "enter" << false;
}

void TestModuleWindow::onlyCloseAndTheCloseBoxEndTheWindow() {
  QFETCH(QString, how);
  QFETCH(bool, ends);
  FakeHost host;
  Window w(host);
  // exec() runs its own loop: the user acts from inside it, once the window
  // is up, and a window still up a moment later is closed by the test.
  bool acted = false;
  bool still_up = false;
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    if (acted || !w.window.isActiveWindow()) return;
    acted = true;
    if (how == "button") {
      QTest::mouseClick(w.Find<QPushButton>("按钮_关闭"), Qt::LeftButton);
    } else if (how == "close") {
      w.window.close();
    } else if (how == "escape") {
      QTest::keyClick(&w.window, Qt::Key_Escape);
    } else {
      w.Start()->setFocus();
      QTest::keyClick(w.Start(), Qt::Key_Return);
    }
    QTimer::singleShot(50, &w.window, [&] {
      still_up = w.window.isVisible();
      w.window.reject();
    });
  });
  user.start(5);
  const QString before = w.Output()->toPlainText();
  w.window.exec();
  QVERIFY(acted);
  QCOMPARE(still_up, !ends);
  QCOMPARE(w.Output()->toPlainText(), before);  // "生成数据" was not pressed
}

QTEST_MAIN(TestModuleWindow)
#include "tst_module_window.moc"
