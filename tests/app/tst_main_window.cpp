#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/main_window.h"
#include "gbk_literal.h"
#include "log/log_view.h"
#include "modal_helpers.h"
#include "platform/balloon_tip.h"
#include "platform/gbk_codec.h"
#include "platform/period_timer.h"
#include "platform/shape_indicator.h"

using quorvel::MainWindow;
using quorvel::test::G;

namespace {

// What ReadSetting gives for a key that is not in the file.
constexpr char kAbsent[] = "<absent>";

std::string ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return kAbsent;
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool WriteBytes(const QString& path, const std::string& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) &&
         file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

}  // namespace

Q_DECLARE_METATYPE(std::string)

class TestMainWindow : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void freshStartShowsDesignStates();
  void freshStartRestoresDefaults();
  void creationHandlerFinishesTheTextStyles();
  void storedListIndexIsClamped_data();
  void storedListIndexIsClamped();
  void storedWrapInterval_data();
  void storedWrapInterval();
  void restoreWritesNoIndexBack();
  void selectingAnEntryWritesOnlyItsKey_data();
  void selectingAnEntryWritesOnlyItsKey();
  void typedIntervalWritesNothing();
  void editingWrapIntervalWritesEachChange();
  void wrapIntervalPressSignals();

  void countersShowPast32Bits();
  void clearHandlesEventsDuringItsPause();
  void save_data();
  void save();
  void saveCancelledWritesNothing();
  void failedSaveKeepsOldFileAndTells();
  void saveIntoReadOnlyFolderFails();

  void optionCoupling_data();
  void optionCoupling();
  void alwaysOnTopFollowsTheBox();
  void layoutRunsWhenShownAndOnResize();

 private:
  QString ConfigFile() const { return dir_->filePath(QStringLiteral("peizhi.ini")); }
  std::string ConfigPath() const { return ConfigFile().toStdString(); }
  std::unique_ptr<MainWindow> Start() { return std::make_unique<MainWindow>(ConfigPath()); }
  std::string Stored(const char8_t* section, const char8_t* key) const {
    return quorvel::SettingsStore(ConfigPath()).ReadSetting(G(section), G(key), kAbsent);
  }

  std::unique_ptr<QTemporaryDir> dir_;
};

void TestMainWindow::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
}

void TestMainWindow::cleanup() { dir_.reset(); }

void TestMainWindow::freshStartShowsDesignStates() {
  auto w = Start();
  QCOMPARE(w->windowTitle(), QStringLiteral("Quorvel串口调试v2.31"));
  QVERIFY(w->findChild<QRadioButton*>("单选框_16发送")->isChecked());
  QVERIFY(!w->findChild<QRadioButton*>("单选框_ASCII发送")->isChecked());
  QVERIFY(w->findChild<QRadioButton*>("单选框_16显示")->isChecked());
  QVERIFY(!w->findChild<QRadioButton*>("单选框_ASCII显示")->isChecked());
  auto* crc = w->findChild<QCheckBox*>("CRC选择框");
  QVERIFY(crc->isChecked());
  QVERIFY(crc->isEnabled());
  QVERIFY(!w->findChild<QCheckBox*>("CRC反")->isChecked());
  for (const char* box : {"选择框_自动换行", "窗口最前选择框", "回车发送选择框", "选择框_循环"}) {
    QVERIFY2(!w->findChild<QCheckBox*>(box)->isChecked(), box);
  }
  QCOMPARE(w->findChild<quorvel::ShapeIndicator*>("串口状态外形框")->FillColour(), quorvel::kNoFill);
  QCOMPARE(w->findChild<quorvel::ShapeIndicator*>("外形框_自动发送")->FillColour(), quorvel::kNoFill);
  QCOMPARE(w->findChild<QLabel*>("panel0")->text(), QStringLiteral("RX:0"));
  QCOMPARE(w->findChild<QLabel*>("panel1")->text(), QStringLiteral("TX:0"));
  QCOMPARE(w->findChild<QLabel*>("panel0")->toolTip(), QStringLiteral("接收字节数"));
  QCOMPARE(w->findChild<QLabel*>("panel1")->toolTip(), QStringLiteral("发送字节数"));
  QCOMPARE(w->findChild<QLineEdit*>("编辑框_发送")->text(), QStringLiteral("01 03 10 00 00 25"));
  QCOMPARE(w->findChild<QPushButton*>("按钮_打开串口")->text(), QStringLiteral("打开串口"));
  QCOMPARE(w->findChild<QPushButton*>("按钮_自动发送")->text(), QStringLiteral("自动发送"));
  QVERIFY(w->findChild<QPlainTextEdit*>("编辑框_循环")->toPlainText().isEmpty());
  QCOMPARE(w->findChild<quorvel::LogView*>("超级编辑框1")->WholeText(), std::string());
  QCOMPARE(w->findChild<quorvel::PeriodTimer*>("时钟甲型发送")->Period(), 0);
  QCOMPARE(w->findChild<quorvel::PeriodTimer*>("时钟_换行")->Period(), 0);
  QVERIFY(w->findChild<quorvel::BalloonTip*>("气球提示框1") != nullptr);

  auto* parity = w->findChild<QComboBox*>("组合框_校验位");
  QCOMPARE(parity->count(), 5);
  QCOMPARE(parity->itemText(4), QStringLiteral("S 空白"));
  auto* interval = w->findChild<QComboBox*>("组合框_毫秒");
  QVERIFY(interval->isEditable());
  QCOMPARE(interval->itemText(4), QStringLiteral("600"));
  QCOMPARE(interval->itemText(5), QStringLiteral("800"));
  auto* ports = w->findChild<QComboBox*>("组合框_端口");
  QCOMPARE(ports->count(), 30);
  QCOMPARE(ports->itemText(0), QStringLiteral("COM1"));
  QCOMPARE(ports->itemText(29), QStringLiteral("COM30"));

  w->show();
  QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  QVERIFY(w->findChild<QLabel*>("标签")->isHidden());
  for (QWidget* control : w->findChildren<QWidget*>()) {
    QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
  }
}

void TestMainWindow::freshStartRestoresDefaults() {
  auto w = Start();
  QCOMPARE(w->findChild<QComboBox*>("组合框_端口")->currentText(), QStringLiteral("COM1"));
  QCOMPARE(w->findChild<QComboBox*>("组合框_波特率")->currentText(), QStringLiteral("9600"));
  QCOMPARE(w->findChild<QComboBox*>("组合框_校验位")->currentText(), QStringLiteral("N 无"));
  QCOMPARE(w->findChild<QComboBox*>("组合框_数据位")->currentText(), QStringLiteral("8"));
  QCOMPARE(w->findChild<QComboBox*>("组合框_停止位")->currentText(), QStringLiteral("1"));
  QCOMPARE(w->findChild<QComboBox*>("组合框_毫秒")->currentText(), QStringLiteral("500"));
  QCOMPARE(w->findChild<QLineEdit*>("编辑框1")->text(), QStringLiteral("50"));
  QCOMPARE(w->State().WrapIntervalMs, 50);
  // The interval's text is written back at start even though it equals the
  // design text; no index is.
  QCOMPARE(ReadBytes(ConfigFile()), G(u8"[自动换行]\r\n间隔毫秒=50\r\n"));
}

void TestMainWindow::creationHandlerFinishesTheTextStyles() {
  auto w = Start();
  const quorvel::ProgramState& state = w->State();
  QCOMPARE(state.settings.ConfigPath(), ConfigPath());
  const std::pair<const quorvel::TextStyle*, std::uint32_t> styles[] = {
      {&state.TxStyle, 0x008000u}, {&state.RxStyle, 0xFF0000u}, {&state.ListStyle, 0x808080u}};
  for (const auto& [style, colour] : styles) {
    QCOMPARE(style->font_name, G(u8"宋体"));
    QCOMPARE(style->size_pt, 11);
    QCOMPARE(style->offset_pt, 0);
    QCOMPARE(style->effects, 0u);
    QCOMPARE(style->colour, colour);
  }
}

void TestMainWindow::storedListIndexIsClamped_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<QString>("list");
  QTest::addColumn<int>("index");
  QTest::addColumn<QString>("shown");
  QTest::addRow("com=29 selects COM30") << u8"[端口]\r\ncom=29\r\n" << "组合框_端口" << 29 << "COM30";
  QTest::addRow("com=45 selects the last item") << u8"[端口]\r\ncom=45\r\n" << "组合框_端口" << 29 << "COM30";
  QTest::addRow("com=-1 selects nothing") << u8"[端口]\r\ncom=-1\r\n" << "组合框_端口" << -1 << "";
  QTest::addRow("com=-7 selects nothing") << u8"[端口]\r\ncom=-7\r\n" << "组合框_端口" << -1 << "";
  QTest::addRow("com=abc selects COM1") << u8"[端口]\r\ncom=abc\r\n" << "组合框_端口" << 0 << "COM1";
  QTest::addRow("full-width 5 under 波特率") << u8"[端口]\r\n波特率=５\r\n" << "组合框_波特率" << 5 << "9600";
  QTest::addRow("校验位 past the end") << u8"[端口]\r\n校验位=9\r\n" << "组合框_校验位" << 4 << "S 空白";
  QTest::addRow("数据位=2") << u8"[端口]\r\n数据位=2\r\n" << "组合框_数据位" << 2 << "6";
  QTest::addRow("停止位=1") << u8"[端口]\r\n停止位=1\r\n" << "组合框_停止位" << 1 << "1.5";
  QTest::addRow("毫秒=6 shows 900") << u8"[MoKuai]\r\n毫秒=6\r\n" << "组合框_毫秒" << 6 << "900";
  QTest::addRow("毫秒=-2 leaves the interval empty") << u8"[MoKuai]\r\n毫秒=-2\r\n" << "组合框_毫秒" << -1 << "";
}

void TestMainWindow::storedListIndexIsClamped() {
  QFETCH(QString, file);
  QFETCH(QString, list);
  QFETCH(int, index);
  QFETCH(QString, shown);
  QVERIFY(WriteBytes(ConfigFile(), quorvel::ToGbk(file)));
  auto w = Start();
  auto* combo = w->findChild<QComboBox*>(list);
  QCOMPARE(combo->currentIndex(), index);
  QCOMPARE(combo->currentText(), shown);
}

void TestMainWindow::storedWrapInterval_data() {
  QTest::addColumn<QString>("stored");
  QTest::addColumn<int>("interval");
  QTest::addRow("no digits") << "abc" << 0;
  QTest::addRow("digits then letters") << "75ms" << 75;
  QTest::addRow("full-width digits") << u8"７５" << 75;
  QTest::addRow("leading minus") << "-20" << -20;
  QTest::addRow("empty") << "" << 0;
}

void TestMainWindow::storedWrapInterval() {
  QFETCH(QString, stored);
  QFETCH(int, interval);
  QVERIFY(WriteBytes(ConfigFile(), quorvel::ToGbk(QStringLiteral("[自动换行]\r\n间隔毫秒=") + stored + QStringLiteral("\r\n"))));
  auto w = Start();
  QCOMPARE(w->findChild<QLineEdit*>("编辑框1")->text(), stored);
  QCOMPARE(w->State().WrapIntervalMs, interval);
  QCOMPARE(Stored(u8"自动换行", u8"间隔毫秒"), quorvel::ToGbk(stored));
}

void TestMainWindow::restoreWritesNoIndexBack() {
  const std::string before = G(
      u8"[端口]\r\ncom=45\r\n波特率=abc\r\n校验位=-3\r\n数据位=１\r\n停止位=2\r\n"
      u8"[MoKuai]\r\n毫秒=77\r\n[自动换行]\r\n间隔毫秒=120\r\n");
  QVERIFY(WriteBytes(ConfigFile(), before));
  Start();
  QCOMPARE(ReadBytes(ConfigFile()), before);

  // From no file at all: the second start leaves what the first one wrote.
  QVERIFY(QFile::remove(ConfigFile()));
  Start();
  const std::string first = ReadBytes(ConfigFile());
  Start();
  QCOMPARE(ReadBytes(ConfigFile()), first);
}

void TestMainWindow::selectingAnEntryWritesOnlyItsKey_data() {
  QTest::addColumn<QString>("list");
  QTest::addColumn<QString>("key");
  QTest::addColumn<QString>("value");
  QTest::addRow("port") << "组合框_端口" << "com" << "1";
  QTest::addRow("baud rate") << "组合框_波特率" << u8"波特率" << "6";
  QTest::addRow("parity") << "组合框_校验位" << u8"校验位" << "1";
  QTest::addRow("data bits") << "组合框_数据位" << u8"数据位" << "1";
  QTest::addRow("stop bits") << "组合框_停止位" << u8"停止位" << "1";
  QTest::addRow("send interval") << "组合框_毫秒" << u8"毫秒" << "4";
}

void TestMainWindow::selectingAnEntryWritesOnlyItsKey() {
  QFETCH(QString, list);
  QFETCH(QString, key);
  QFETCH(QString, value);
  auto w = Start();
  // The arrow key selects the next entry as a user would.
  QTest::keyClick(w->findChild<QComboBox*>(list), Qt::Key_Down);

  const quorvel::SettingsStore store(ConfigPath());
  const std::pair<const char8_t*, const char8_t*> keys[] = {
      {u8"端口", u8"com"},    {u8"端口", u8"波特率"}, {u8"端口", u8"校验位"},
      {u8"端口", u8"数据位"}, {u8"端口", u8"停止位"}, {u8"MoKuai", u8"毫秒"},
  };
  for (const auto& [section, name] : keys) {
    const bool selected = QString::fromUtf8(reinterpret_cast<const char*>(name)) == key;
    QCOMPARE(Stored(section, name), selected ? value.toStdString() : std::string(kAbsent));
  }
}

void TestMainWindow::typedIntervalWritesNothing() {
  auto w = Start();
  auto* interval = w->findChild<QComboBox*>("组合框_毫秒");
  interval->lineEdit()->clear();
  QTest::keyClicks(interval->lineEdit(), "800");
  QTest::keyClick(interval->lineEdit(), Qt::Key_Return);
  QCOMPARE(interval->currentText(), QStringLiteral("800"));
  QCOMPARE(interval->count(), 7);
  QCOMPARE(Stored(u8"MoKuai", u8"毫秒"), std::string(kAbsent));
}

void TestMainWindow::editingWrapIntervalWritesEachChange() {
  auto w = Start();
  auto* box = w->findChild<QLineEdit*>("编辑框1");
  box->clear();
  QCOMPARE(Stored(u8"自动换行", u8"间隔毫秒"), std::string());
  QCOMPARE(w->State().WrapIntervalMs, 0);
  QTest::keyClicks(box, "120");
  QCOMPARE(Stored(u8"自动换行", u8"间隔毫秒"), std::string("120"));
  QCOMPARE(w->State().WrapIntervalMs, 120);
}

void TestMainWindow::wrapIntervalPressSignals() {
  auto w = Start();
  w->show();
  QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  QSignalSpy pressed(w.get(), &MainWindow::wrapIntervalPressed);
  auto* box = w->findChild<QLineEdit*>("编辑框1");
  QTest::mousePress(box, Qt::RightButton);
  QTest::mouseRelease(box, Qt::RightButton);
  QCOMPARE(pressed.count(), 0);
  QTest::mousePress(box, Qt::LeftButton);
  QCOMPARE(pressed.count(), 1);
  QTest::mouseRelease(box, Qt::LeftButton);
  QCOMPARE(pressed.count(), 1);
}

void TestMainWindow::countersShowPast32Bits() {
  auto w = Start();
  w->CountRx(4294967295LL);
  w->CountRx();
  w->CountTx(4294967295LL);
  w->CountTx(2);
  QCOMPARE(w->findChild<QLabel*>("panel0")->text(), QStringLiteral("RX:4294967296"));
  QCOMPARE(w->findChild<QLabel*>("panel1")->text(), QStringLiteral("TX:4294967297"));
}

void TestMainWindow::clearHandlesEventsDuringItsPause() {
  auto w = Start();
  w->show();
  QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  auto* log = w->findChild<quorvel::LogView*>("超级编辑框1");
  const int width = log->width();
  log->LogAppend("01 03 ");
  w->CountRx(2);
  w->CountTx(8);

  // A byte that arrives while the clear pauses: it must land in the emptied
  // log and be counted from 0, and it sees the view one pixel wider.
  int width_during_pause = 0;
  QTimer::singleShot(20, w.get(), [&] {
    width_during_pause = log->width();
    log->LogAppend("10 ");
    w->CountRx();
  });
  QTest::mouseClick(w->findChild<QPushButton*>("清除显示按钮"), Qt::LeftButton);

  QCOMPARE(width_during_pause, width + 1);
  QCOMPARE(log->WholeText(), std::string("10 "));
  QCOMPARE(w->findChild<QLabel*>("panel0")->text(), QStringLiteral("RX:1"));
  QCOMPARE(w->findChild<QLabel*>("panel1")->text(), QStringLiteral("TX:0"));
  QCOMPARE(log->width(), width);
}

void TestMainWindow::save_data() {
  QTest::addColumn<std::string>("log");
  QTest::addColumn<std::string>("old");
  QTest::addRow("Chinese and CR LF, byte for byte")
      << G(u8"\r\n01 03 10 00 00 25 D1 80\r\n收到：数据\r\n") << std::string(kAbsent);
  QTest::addRow("empty log gives an empty file") << std::string() << std::string(kAbsent);
  QTest::addRow("overwrites a longer file") << std::string("AB\r\n") << std::string(5000, 'x');
}

void TestMainWindow::save() {
  QFETCH(std::string, log);
  QFETCH(std::string, old);
  const QString target = dir_->filePath(QStringLiteral("日志.txt"));
  if (old != kAbsent) QVERIFY(WriteBytes(target, old));
  auto w = Start();
  w->findChild<quorvel::LogView*>("超级编辑框1")->SetWholeText(log);
  int asked = 0;
  w->SetSavePathChooser([&](QWidget*) {
    ++asked;
    return target;
  });
  quorvel::test::MessageBoxCatcher boxes;
  QTest::mouseClick(w->findChild<QPushButton*>("按钮_保存"), Qt::LeftButton);
  QCOMPARE(asked, 1);
  QCOMPARE(ReadBytes(target), log);
  QVERIFY(boxes.Seen().isEmpty());
}

void TestMainWindow::saveCancelledWritesNothing() {
  auto w = Start();
  const QStringList before = QDir(dir_->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
  w->findChild<quorvel::LogView*>("超级编辑框1")->SetWholeText("data");
  w->SetSavePathChooser([](QWidget*) { return QString(); });
  quorvel::test::MessageBoxCatcher boxes;
  w->LogSave();
  QCOMPARE(QDir(dir_->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), before);
  QVERIFY(boxes.Seen().isEmpty());
}

void TestMainWindow::failedSaveKeepsOldFileAndTells() {
  // The chosen name is a folder: nothing can replace it.
  const QString target = dir_->filePath(QStringLiteral("folder.txt"));
  QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("folder.txt")));
  QVERIFY(WriteBytes(target + QStringLiteral("/inside"), "kept"));
  auto w = Start();
  w->findChild<quorvel::LogView*>("超级编辑框1")->SetWholeText("data");
  w->SetSavePathChooser([&](QWidget*) { return target; });
  const QStringList before = QDir(dir_->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
  quorvel::test::MessageBoxCatcher boxes;
  w->LogSave();
  QCOMPARE(boxes.Seen(), QStringList{QStringLiteral("错误|保存失败！")});
  QCOMPARE(ReadBytes(target + QStringLiteral("/inside")), std::string("kept"));
  QCOMPARE(QDir(dir_->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), before);
}

void TestMainWindow::saveIntoReadOnlyFolderFails() {
  const QString folder = dir_->filePath(QStringLiteral("locked"));
  QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("locked")));
  const QString target = folder + QStringLiteral("/log.txt");
  QVERIFY(WriteBytes(target, "old content"));
  QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
  if (QFile probe(folder + QStringLiteral("/probe")); probe.open(QIODevice::WriteOnly)) {
    probe.remove();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QSKIP("folder permissions do not bind this user (running as root)");
  }
  auto w = Start();
  w->findChild<quorvel::LogView*>("超级编辑框1")->SetWholeText("new");
  w->SetSavePathChooser([&](QWidget*) { return target; });
  quorvel::test::MessageBoxCatcher boxes;
  w->LogSave();
  QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QCOMPARE(boxes.Seen(), QStringList{QStringLiteral("错误|保存失败！")});
  QCOMPARE(ReadBytes(target), std::string("old content"));
  QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{QStringLiteral("log.txt")});
}

void TestMainWindow::optionCoupling_data() {
  QTest::addColumn<QStringList>("clicks");
  QTest::addColumn<QString>("checked");  // send and display radio button checked, in that order
  QTest::addColumn<bool>("crc_ticked");
  QTest::addColumn<bool>("crc_enabled");
  const QString hex_send = QStringLiteral("单选框_16发送");
  const QString text_send = QStringLiteral("单选框_ASCII发送");
  const QString hex_shown = QStringLiteral("单选框_16显示");
  const QString text_shown = QStringLiteral("单选框_ASCII显示");
  QTest::addRow("text sending switches display, unticks and disables CRC")
      << QStringList{text_send} << text_send + "," + text_shown << false << false;
  QTest::addRow("back to hex sending: hex display, CRC enabled but unticked")
      << QStringList{text_send, hex_send} << hex_send + "," + hex_shown << false << true;
  QTest::addRow("text display alone keeps send mode and CRC")
      << QStringList{text_shown} << hex_send + "," + text_shown << true << true;
  QTest::addRow("clicking checked hex sending re-applies its coupling")
      << QStringList{text_shown, hex_send} << hex_send + "," + hex_shown << true << true;
  QTest::addRow("hex display while sending text keeps CRC off")
      << QStringList{text_send, hex_shown} << text_send + "," + hex_shown << false << false;
}

void TestMainWindow::optionCoupling() {
  QFETCH(QStringList, clicks);
  QFETCH(QString, checked);
  QFETCH(bool, crc_ticked);
  QFETCH(bool, crc_enabled);
  auto w = Start();
  w->show();
  QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  for (const QString& name : clicks) {
    auto* button = w->findChild<QRadioButton*>(name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  }
  const QStringList expected = checked.split(QLatin1Char(','));
  for (const char* name : {"单选框_16发送", "单选框_ASCII发送", "单选框_16显示", "单选框_ASCII显示"}) {
    QCOMPARE(w->findChild<QRadioButton*>(name)->isChecked(), expected.contains(QString::fromUtf8(name)));
  }
  auto* crc = w->findChild<QCheckBox*>("CRC选择框");
  QCOMPARE(crc->isChecked(), crc_ticked);
  QCOMPARE(crc->isEnabled(), crc_enabled);
  QVERIFY(!w->findChild<QCheckBox*>("CRC反")->isChecked());
}

void TestMainWindow::alwaysOnTopFollowsTheBox() {
  auto w = Start();
  w->show();
  QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  auto* box = w->findChild<QCheckBox*>("窗口最前选择框");
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
  QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QVERIFY(w->isVisible());
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
  QVERIFY(!w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QVERIFY(w->isVisible());
}

void TestMainWindow::layoutRunsWhenShownAndOnResize() {
  auto w = Start();
  w->show();
  QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  QCOMPARE(w->frameGeometry().size(), QSize(727, 536));
  QCOMPARE(w->findChild<QLineEdit*>("编辑框_发送")->width(), 507);
  QCOMPARE(w->findChild<QPushButton*>("按钮_发送")->x(), 519);
  QCOMPARE(w->findChild<QGroupBox*>("分组框1")->x(), 586);
  QCOMPARE(w->findChild<QGroupBox*>("分组框3")->x(), 586);
  QCOMPARE(w->findChild<QWidget*>("图片框1")->width(), 579);
  QCOMPARE(w->findChild<quorvel::LogView*>("超级编辑框1")->size(), QSize(581, 379));
  QCOMPARE(w->findChild<QGroupBox*>("分组框2")->geometry(), QRect(2, 420, 715, 61));
  QCOMPARE(w->findChild<QPushButton*>("按钮_自动发送")->x(), 629);

  w->resize(w->size() + QSize(0, 100));
  QTRY_COMPARE(w->findChild<quorvel::LogView*>("超级编辑框1")->height(), 479);
  QCOMPARE(w->findChild<QGroupBox*>("分组框2")->y(), 520);
  QCOMPARE(w->findChild<QGroupBox*>("分组框1")->pos(), QPoint(586, 2));
  QCOMPARE(w->findChild<QGroupBox*>("分组框3")->pos(), QPoint(586, 173));
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
