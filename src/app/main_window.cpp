#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <cmath>

#include "app/control_skin.h"
#include "app/main_layout.h"
#include "engine/gbk_text.h"
#include "log/log_file.h"
#include "log/log_font.h"
#include "log/log_view.h"
#include "log/receive_display.h"
#include "platform/balloon_tip.h"
#include "platform/click_label.h"
#include "platform/editable_combo_box.h"
#include "platform/enter_key_service.h"
#include "platform/event_pause.h"
#include "platform/gbk_codec.h"
#include "platform/list_select.h"
#include "platform/message_box.h"
#include "platform/outer_size.h"
#include "platform/period_timer.h"
#include "platform/ruler_strip.h"
#include "platform/shape_indicator.h"
#include "serial/port_list.h"
#include "serial/port_switch.h"
#include "serial/serial_port.h"
#include "tools/module_window.h"
#include "tools/radix_tip_balloon.h"
#include "transmit/auto_sender.h"
#include "transmit/send_action.h"

namespace quorvel {
namespace {

// The colours of the log's three text styles (0x00BBGGRR).
constexpr std::uint32_t kTxColour = 0x008000;    // green
constexpr std::uint32_t kRxColour = 0xFF0000;    // blue
constexpr std::uint32_t kListColour = 0x808080;  // grey
constexpr int kLogStylePoints = 11;

// "宋体" at a pixel height, with its usual stand-ins where it is missing.
QFont SongTi(int pixels) {
  QFont font;
  font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Sans Mono CJK SC")});
  font.setPixelSize(pixels);
  return font;
}

// The GBK names of the settings file.
const std::string kSectionPort = ToGbk(QStringLiteral("端口"));
const std::string kSectionModule = "MoKuai";
const std::string kSectionWrap = ToGbk(QStringLiteral("自动换行"));
const std::string kKeyInterval = ToGbk(QStringLiteral("毫秒"));
const std::string kKeyWrapInterval = ToGbk(QStringLiteral("间隔毫秒"));

template <typename Widget>
Widget* Place(Widget* widget, const char16_t* name, int left, int top, int width, int height) {
  widget->setObjectName(QString::fromUtf16(name));
  widget->setGeometry(left, top, width, height);
  return widget;
}

void SetTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

QComboBox* MakeList(QWidget* parent, const QStringList& items) {
  auto* list = new QComboBox(parent);
  list->setEditable(false);
  list->addItems(items);
  return list;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : MainWindow(DefaultConfigPath(), parent) {}

MainWindow::MainWindow(std::string config_path, QWidget* parent)
    : QMainWindow(parent), choose_save_path_(&ChooseLogSavePath) {
  setWindowTitle(QStringLiteral("Quorvel串口调试v2.31"));
  BuildControls();
  BuildStatusBar();
  outer_size_.Apply(this);
  Connect();
  RunCreationHandler(std::move(config_path));
  WireSerialLink();
  WireAutoSender();
  WireTools();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildControls() {
  setFont(SongTi(12));

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  setCentralWidget(client);

  编辑框_发送 = Place(new QLineEdit(QStringLiteral("01 03 10 00 00 25"), client), u"编辑框_发送", 2, 4, 502, 24);
  编辑框_发送->setFont(SongTi(16));
  SetTextColour(编辑框_发送, QPalette::Text, QColor(0, 0, 128));
  按钮_发送 = Place(new QPushButton(QStringLiteral("发送"), client), u"按钮_发送", 531, 4, 52, 24);
  图片框1 = Place(new RulerStrip(client), u"图片框1", 2, 32, 2000, 12);
  超级编辑框1 = Place(new LogView(client), u"超级编辑框1", 1, 45, 583, 379);
  分组框1 = Place(new QGroupBox(client), u"分组框1", 587, 2, 131, 174);
  分组框3 = Place(new QGroupBox(client), u"分组框3", 587, 173, 131, 251);
  分组框2 = Place(new QGroupBox(client), u"分组框2", 2, 427, 718, 61);
  标签 = Place(new QLabel(QStringLiteral("标签"), client), u"标签", 0, 0, 0, 0);
  标签->hide();

  // The port settings.
  端口标签 = Place(new QLabel(QStringLiteral("端口号"), 分组框1), u"端口标签", 11, 11, 40, 24);
  QStringList ports;
  for (int n = 1; n <= 16; ++n) ports << QStringLiteral("COM%1").arg(n);
  组合框_端口 = Place(new PortList(分组框1), u"组合框_端口", 55, 13, 60, 20);
  组合框_端口->addItems(ports);
  波特率标签 = Place(new QLabel(QStringLiteral("波特率"), 分组框1), u"波特率标签", 11, 34, 40, 24);
  组合框_波特率 = Place(MakeList(分组框1, {QStringLiteral("300"), QStringLiteral("600"), QStringLiteral("1200"),
                                         QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600"),
                                         QStringLiteral("19200"), QStringLiteral("38400"), QStringLiteral("57600"),
                                         QStringLiteral("115200")}),
                         u"组合框_波特率", 55, 36, 60, 20);
  校验位标签 = Place(new QLabel(QStringLiteral("校验位"), 分组框1), u"校验位标签", 11, 57, 40, 24);
  组合框_校验位 = Place(MakeList(分组框1, {QStringLiteral("N 无"), QStringLiteral("O 奇"), QStringLiteral("E 偶"),
                                         QStringLiteral("M 标志"), QStringLiteral("S 空白")}),
                         u"组合框_校验位", 55, 59, 60, 20);
  数据位标签 = Place(new QLabel(QStringLiteral("数据位"), 分组框1), u"数据位标签", 11, 80, 40, 24);
  组合框_数据位 = Place(MakeList(分组框1, {QStringLiteral("8"), QStringLiteral("7"), QStringLiteral("6")}),
                         u"组合框_数据位", 55, 82, 60, 20);
  停止位标签 = Place(new QLabel(QStringLiteral("停止位"), 分组框1), u"停止位标签", 11, 103, 40, 24);
  组合框_停止位 = Place(MakeList(分组框1, {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")}),
                         u"组合框_停止位", 55, 105, 60, 20);
  串口状态外形框 = Place(new ShapeIndicator(分组框1), u"串口状态外形框", 21, 137, 20, 20);
  按钮_打开串口 = Place(new QPushButton(QStringLiteral("打开串口"), 分组框1), u"按钮_打开串口", 55, 133, 60, 29);

  // The options. Each picture box holds one group of exclusive radio buttons.
  图片框2 = Place(new QWidget(分组框3), u"图片框2", 3, 9, 121, 50);
  单选框_16发送 = Place(new QRadioButton(QStringLiteral("16进制发送"), 图片框2), u"单选框_16发送", 9, 2, 96, 24);
  单选框_16发送->setChecked(true);
  单选框_ASCII发送 =
      Place(new QRadioButton(QStringLiteral("ASCII码发送"), 图片框2), u"单选框_ASCII发送", 9, 24, 96, 24);
  图片框3 = Place(new QWidget(分组框3), u"图片框3", 3, 64, 121, 50);
  单选框_16显示 = Place(new QRadioButton(QStringLiteral("16进制显示"), 图片框3), u"单选框_16显示", 9, 2, 96, 24);
  单选框_16显示->setChecked(true);
  单选框_ASCII显示 =
      Place(new QRadioButton(QStringLiteral("ASCII码显示"), 图片框3), u"单选框_ASCII显示", 9, 24, 96, 24);
  SetTextColour(单选框_16显示, QPalette::WindowText, QColor(128, 128, 128));
  SetTextColour(单选框_ASCII显示, QPalette::WindowText, QColor(128, 128, 128));
  CRC选择框 = Place(new QCheckBox(QStringLiteral("CRC16校验"), 分组框3), u"CRC选择框", 13, 121, 88, 16);
  CRC选择框->setChecked(true);
  CRC反 = Place(new QCheckBox(QStringLiteral("反"), 分组框3), u"CRC反", 91, 121, 30, 16);
  选择框_自动换行 = Place(new QCheckBox(QStringLiteral("自动换行"), 分组框3), u"选择框_自动换行", 12, 142, 71, 16);
  编辑框1 = Place(new QLineEdit(QStringLiteral("50"), 分组框3), u"编辑框1", 90, 141, 30, 16);
  编辑框1->setAlignment(Qt::AlignCenter);
  窗口最前选择框 = Place(new QCheckBox(QStringLiteral("窗口总在最前"), 分组框3), u"窗口最前选择框", 12, 167, 100, 16);
  回车发送选择框 = Place(new QCheckBox(QStringLiteral("按回车键发送"), 分组框3), u"回车发送选择框", 12, 186, 100, 16);
  SetTextColour(窗口最前选择框, QPalette::WindowText, QColor(0, 136, 255));
  SetTextColour(回车发送选择框, QPalette::WindowText, QColor(0, 136, 255));
  清除显示按钮 = Place(new QPushButton(QStringLiteral("清除"), 分组框3), u"清除显示按钮", 11, 210, 52, 28);
  按钮_保存 = Place(new QPushButton(QStringLiteral("保存"), 分组框3), u"按钮_保存", 69, 210, 52, 28);

  // The automatic sender.
  编辑框_循环 = Place(new QPlainTextEdit(分组框2), u"编辑框_循环", 4, 11, 378, 43);
  编辑框_循环->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  编辑框_循环->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  透明标签1 = Place(new ClickLabel(QStringLiteral("↑"), 分组框2), u"透明标签1", 383, 11, 24, 43);
  {
    QFont arrow = 透明标签1->font();
    arrow.setPixelSize(24);
    透明标签1->setFont(arrow);
  }
  透明标签1->setAlignment(Qt::AlignCenter);
  透明标签1->setCursor(Qt::PointingHandCursor);
  标签_间隔毫秒 = Place(new QLabel(QStringLiteral("间隔毫秒："), 分组框2), u"标签_间隔毫秒", 415, 23, 56, 20);
  // A typed value is only text: it never becomes an item, is not completed
  // from the items and is no choice of an item, neither at Enter nor when
  // the box is left.
  组合框_毫秒 = Place(new EditableComboBox(分组框2), u"组合框_毫秒", 472, 23, 48, 20);
  组合框_毫秒->addItems({QStringLiteral("200"), QStringLiteral("300"), QStringLiteral("400"), QStringLiteral("500"),
                        QStringLiteral("600"), QStringLiteral("800"), QStringLiteral("900")});
  选择框_循环 = Place(new QCheckBox(QStringLiteral("循环"), 分组框2), u"选择框_循环", 536, 25, 46, 16);
  外形框_自动发送 = Place(new ShapeIndicator(分组框2), u"外形框_自动发送", 601, 23, 20, 20);
  按钮_自动发送 = Place(new QPushButton(QStringLiteral("自动发送"), 分组框2), u"按钮_自动发送", 631, 17, 77, 32);

  时钟甲型发送 = new PeriodTimer(this);
  时钟甲型发送->setObjectName(QStringLiteral("时钟甲型发送"));
  时钟_换行 = new PeriodTimer(this);
  时钟_换行->setObjectName(QStringLiteral("时钟_换行"));
  气球提示框1 = new BalloonTip(this);
  气球提示框1->setObjectName(QStringLiteral("气球提示框1"));

  编辑框1->installEventFilter(this);
}

void MainWindow::BuildStatusBar() {
  状态条1 = new QStatusBar(this);
  状态条1->setObjectName(QStringLiteral("状态条1"));
  setStatusBar(状态条1);
  struct Panel {
    int width;
    QString text;
    QString tip;
  };
  const Panel panels[3] = {
      {60, QStringLiteral("RX:0"), QStringLiteral("接收字节数")},
      {60, QStringLiteral("TX:0"), QStringLiteral("发送字节数")},
      {800, QStringLiteral("欢迎使用Quorvel串口调试v2.31"), QString()},
  };
  for (int i = 0; i < 3; ++i) {
    auto* panel = new QLabel(panels[i].text, 状态条1);
    panel->setObjectName(QStringLiteral("panel%1").arg(i));
    panel->setToolTip(panels[i].tip);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setIndent(3);
    if (i < 2) {
      panel->setFixedWidth(panels[i].width);
    } else {
      // The last panel runs past the window's edge; it must not make the
      // window wider than its design size.
      panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
      panel->setMaximumWidth(panels[i].width);
    }
    状态条1->addWidget(panel, i < 2 ? 0 : 1);
    状态条1_面板[i] = panel;
  }
}

void MainWindow::Connect() {
  state_.counters.SetShowFunction([this](TrafficCounters::Counter counter, std::string_view text) {
    状态条1_面板[counter == TrafficCounters::Counter::kRx ? 0 : 1]->setText(FromGbk(text));
  });

  // Each line-setting list and the interval list keep their selection.
  const std::pair<QComboBox*, std::string> persisted[] = {
      {组合框_端口, "com"},
      {组合框_波特率, ToGbk(QStringLiteral("波特率"))},
      {组合框_校验位, ToGbk(QStringLiteral("校验位"))},
      {组合框_数据位, ToGbk(QStringLiteral("数据位"))},
      {组合框_停止位, ToGbk(QStringLiteral("停止位"))},
  };
  for (const auto& [list, key] : persisted) {
    connect(list, &QComboBox::activated, this, [this, list, key] {
      state_.settings.WriteSetting(kSectionPort, key, std::to_string(list->currentIndex()));
    });
  }
  connect(组合框_毫秒, &EditableComboBox::itemChosen, this, [this] {
    state_.settings.WriteSetting(kSectionModule, kKeyInterval, std::to_string(组合框_毫秒->currentIndex()));
  });

  connect(编辑框1, &QLineEdit::textChanged, this, &MainWindow::OnWrapIntervalChanged);
  connect(清除显示按钮, &QPushButton::clicked, this, &MainWindow::LogClear);
  connect(按钮_保存, &QPushButton::clicked, this, &MainWindow::LogSave);
  connect(单选框_16发送, &QRadioButton::clicked, this, &MainWindow::OnHexSendClicked);
  connect(单选框_ASCII发送, &QRadioButton::clicked, this, &MainWindow::OnTextSendClicked);
  connect(单选框_16显示, &QRadioButton::clicked, this, &MainWindow::OnHexDisplayClicked);
  connect(单选框_ASCII显示, &QRadioButton::clicked, this, &MainWindow::OnTextDisplayClicked);
  connect(窗口最前选择框, &QCheckBox::clicked, this, &MainWindow::OnAlwaysOnTopClicked);
}

void MainWindow::RunCreationHandler(std::string config_path) {
  ApplyControlSkin();

  state_.settings.SetConfigPath(std::move(config_path));

  for (TextStyle* style : {&state_.TxStyle, &state_.RxStyle, &state_.ListStyle}) {
    *style = TextStyle{};
    style->size_pt = kLogStylePoints;
  }
  state_.TxStyle.colour = kTxColour;
  state_.RxStyle.colour = kRxColour;
  state_.ListStyle.colour = kListColour;

  组合框_端口->clear();
  for (int n = 1; n <= 30; ++n) 组合框_端口->addItem(QStringLiteral("COM%1").arg(n));

  const SettingsStore& settings = state_.settings;
  const std::pair<QComboBox*, const char16_t*> port_lists[] = {
      {组合框_端口, u"com"},          {组合框_波特率, u"波特率"}, {组合框_校验位, u"校验位"},
      {组合框_数据位, u"数据位"}, {组合框_停止位, u"停止位"},
  };
  const char* const port_defaults[] = {"0", "5", "0", "0", "0"};
  for (int i = 0; i < 5; ++i) {
    const std::string key = ToGbk(QString::fromUtf16(port_lists[i].second));
    SelectClamped(port_lists[i].first, TextToInteger(settings.ReadSetting(kSectionPort, key, port_defaults[i])));
  }
  SelectClamped(组合框_毫秒, TextToInteger(settings.ReadSetting(kSectionModule, kKeyInterval, "3")));

  // Putting the stored text into 编辑框1 counts as one change of its text,
  // even when it equals the design text, so the handler runs exactly once.
  const QString interval = FromGbk(settings.ReadSetting(kSectionWrap, kKeyWrapInterval, "50"));
  if (编辑框1->text() == interval) {
    OnWrapIntervalChanged();
  } else {
    编辑框1->setText(interval);
  }
  state_.WrapIntervalMs = TextToInteger(ToGbk(编辑框1->text()));
}

void MainWindow::CountTx(std::int64_t n) { state_.counters.CountTx(n); }
void MainWindow::CountRx(std::int64_t n) { state_.counters.CountRx(n); }

void MainWindow::LogClear() {
  超级编辑框1->SetWholeText({});
  // Widening and narrowing again makes the view lay out and repaint its text
  // and scroll bar anew.
  超级编辑框1->resize(超级编辑框1->width() + 1, 超级编辑框1->height());
  state_.counters.Reset();
  PauseWithEvents(100);
  超级编辑框1->resize(超级编辑框1->width() - 1, 超级编辑框1->height());
}

void MainWindow::LogSave() {
  const QString path = choose_save_path_ ? choose_save_path_(this) : QString();
  if (path.isEmpty()) return;
  if (!WriteLogFile(path, 超级编辑框1->WholeText())) {
    ShowMessage(this, QStringLiteral("保存失败！"), QStringLiteral("错误"));
  }
}

void MainWindow::OnWrapIntervalChanged() {
  const std::string text = ToGbk(编辑框1->text());
  state_.WrapIntervalMs = TextToInteger(text);
  state_.settings.WriteSetting(kSectionWrap, kKeyWrapInterval, text);
}

void MainWindow::OnHexSendClicked() {
  if (!单选框_16发送->isChecked()) return;
  单选框_16显示->setChecked(true);  // unchecks 单选框_ASCII显示, its group mate
  CRC选择框->setEnabled(true);
}

void MainWindow::OnTextSendClicked() {
  if (!单选框_ASCII发送->isChecked()) return;
  单选框_ASCII显示->setChecked(true);  // unchecks 单选框_16显示
  CRC选择框->setChecked(false);
  CRC选择框->setEnabled(false);
}

// The display buttons share a container, which already keeps one of them
// checked; checking the clicked one again states the rule.
void MainWindow::OnHexDisplayClicked() {
  if (单选框_16显示->isChecked()) 单选框_ASCII显示->setChecked(false);
}

void MainWindow::OnTextDisplayClicked() {
  if (单选框_ASCII显示->isChecked()) 单选框_16显示->setChecked(false);
}

void MainWindow::OnAlwaysOnTopClicked() {
  setWindowFlag(Qt::WindowStaysOnTopHint, 窗口最前选择框->isChecked());
  // Changing the flags hides a top-level window.
  show();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == 编辑框1 && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    emit wrapIntervalPressed();
  }
  return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::event(QEvent* event) {
  const bool handled = QMainWindow::event(event);
  if (event->type() == QEvent::Move || event->type() == QEvent::Resize) outer_size_.AdoptFrame(this);
  return handled;
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  outer_size_.AdoptFrame(this);
  if (!layout_done_once_) {
    layout_done_once_ = true;
    ApplyLayout();
  }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (layout_done_once_) ApplyLayout();
}

MainLayoutRects MainWindow::CurrentLayoutRects() const {
  return {编辑框_发送->geometry(), 按钮_发送->geometry(), 图片框1->geometry(),
          超级编辑框1->geometry(), 分组框1->geometry(),   分组框3->geometry(),
          分组框2->geometry(),     外形框_自动发送->geometry(), 按钮_自动发送->geometry()};
}

void MainWindow::ApplyLayout() {
  const MainLayoutRects r = LayoutMainWindow(frameGeometry().size(), CurrentLayoutRects());
  编辑框_发送->setGeometry(r.send_edit);
  按钮_发送->setGeometry(r.send_button);
  分组框1->setGeometry(r.port_group);
  分组框3->setGeometry(r.option_group);
  图片框1->setGeometry(r.ruler);
  超级编辑框1->setGeometry(r.log);
  分组框2->setGeometry(r.auto_group);
  按钮_自动发送->setGeometry(r.auto_button);
  AlignRuler();
}

void MainWindow::AlignRuler() {
  // A received byte in hexadecimal display is "XX " in the receive style; the
  // view lays out every character at its advance in 1/64 pixel.
  const QFontMetricsF metrics(LogFont(state_.RxStyle), 超级编辑框1->viewport());
  auto advance = [&](QChar ch) { return std::round(metrics.horizontalAdvance(ch) * 64) / 64; };
  const qreal group = 2 * advance(QLatin1Char('0')) + advance(QLatin1Char(' '));
  const int text_left = 超级编辑框1->x() + 超级编辑框1->viewport()->geometry().left() + LogView::kTextMargin;
  图片框1->SetColumnGeometry(text_left - 图片框1->x(), group);
}

// The serial link, the receive path and the manual send with the Enter key.

void MainWindow::WireSerialLink() {
  // COMn may be pinned to a device by ports/COMn beside the settings file.
  const QString settings_folder = QFileInfo(QFile::decodeName(state_.settings.ConfigPath().c_str())).absolutePath();
  端口1 = new SerialPort(settings_folder, this);
  端口1->setObjectName(QStringLiteral("端口1"));
  组合框_端口->SetSettingsFolder(settings_folder);

  port_switch_ = std::make_unique<PortSwitch>(
      LineLists{组合框_端口, 组合框_波特率, 组合框_数据位, 组合框_停止位, 组合框_校验位}, 按钮_打开串口,
      串口状态外形框, 端口1, this);
  port_access_.PortIsOpen = [this] { return port_switch_->PortIsOpen(); };
  port_access_.TogglePort = [this] { port_switch_->TogglePort(); };
  port_access_.PortSendText = [this](std::string_view gbk) { return 端口1->PortSendText(gbk); };
  port_access_.PortSendBytes = [this](std::string_view bytes) { return 端口1->PortSendBytes(bytes); };
  connect(按钮_打开串口, &QPushButton::clicked, this, [this] { port_switch_->TogglePort(); });
  connect(端口1, &SerialPort::PortLost, this, &MainWindow::OnPortLost);

  receive_display_ = std::make_unique<ReceiveDisplay>(
      ReceiveControls{选择框_自动换行, 单选框_16显示, 单选框_ASCII显示, 时钟_换行, 超级编辑框1}, state_.WrapIntervalMs,
      state_.RxStyle, state_.counters);
  connect(端口1, &SerialPort::PortBytesReceived, this, [this](const QByteArray& bytes) {
    receive_display_->ShowReceivedBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  });
  connect(时钟_换行, &PeriodTimer::tick, this, [this] { receive_display_->OnWrapTick(); });
  connect(this, &MainWindow::wrapIntervalPressed, this, &MainWindow::ShowWrapIntervalHint);

  send_action_ = std::make_unique<SendAction>(SendControls{编辑框_发送, 单选框_ASCII发送, 单选框_16发送, CRC选择框, CRC反},
                                              port_access_, *超级编辑框1, state_.counters, state_.TxStyle, this);
  connect(按钮_发送, &QPushButton::clicked, this, [this] { send_action_->Send(); });

  enter_key_service_ = new EnterKeyService(this);
  enter_key_service_->setObjectName(QStringLiteral("enterKeyService"));
  connect(回车发送选择框, &QCheckBox::clicked, this, &MainWindow::OnEnterSendClicked);
  connect(enter_key_service_, &EnterKeyService::feedback, this,
          [this](QObject* receiver, int id, int) { OnEnterKeyFeedback(receiver, id); });
}

void MainWindow::OnPortLost() {
  // A dead device must not look open, nor take sends that go nowhere: the
  // controls show the port closed, as a close by the button leaves them, and
  // the next send or click opens it afresh.
  port_switch_->ShowClosed();
  // Nothing is left for the automatic sender to send to.
  auto_sender_->AutoSendStop();
  ShowMessage(this, QStringLiteral("串口已断开！"), QStringLiteral("错误"));
}

void MainWindow::ShowWrapIntervalHint() {
  constexpr int kHintShownMs = 3000;
  // Each position as the control reports it: the window's frame on the
  // screen, the group box in the window, the edit box in the group box.
  const QPoint window = frameGeometry().topLeft();
  const QPoint point(window.x() + 分组框3->x() + 编辑框1->x() + 15, window.y() + 分组框3->y() + 编辑框1->y() + 30);
  气球提示框1->ShowTip(point, QStringLiteral("换行间隔：毫秒"), kHintShownMs);
}

void MainWindow::OnEnterSendClicked() {
  if (回车发送选择框->isChecked()) {
    state_.HotkeyId = enter_key_service_->Register(this, 标签, 0, EnterKeyService::kEnterKey);
  } else {
    // HotkeyId keeps the old id; a press reported with it is then ignored.
    enter_key_service_->Unregister(this, state_.HotkeyId);
  }
}

void MainWindow::OnEnterKeyFeedback(QObject* receiver, int id) {
  if (receiver == 标签 && id == state_.HotkeyId) send_action_->Send();
}

// The automatic sender, the module window and the selection radix tip.

void MainWindow::WireAutoSender() {
  auto_sender_ = new AutoSender(
      AutoSendControls{编辑框_循环, 透明标签1, 组合框_毫秒, 选择框_循环, 外形框_自动发送, 按钮_自动发送, 时钟甲型发送,
                       编辑框_发送, 单选框_ASCII发送, 单选框_16发送, CRC选择框, CRC反, 按钮_发送, 按钮_打开串口,
                       按钮_保存, 分组框2, 超级编辑框1, 气球提示框1},
      port_access_, state_.SendList, state_.SendIndex, state_.counters, state_.TxStyle, state_.ListStyle, this, this);
  auto_sender_->setObjectName(QStringLiteral("autoSender"));
}

void MainWindow::WireTools() {
  connect(外形框_自动发送, &ShapeIndicator::rightButtonReleased, this, &MainWindow::OpenModuleWindow);
  connect(超级编辑框1, &LogView::leftButtonReleased, this, [this] { ShowRadixTip(*超级编辑框1, *气球提示框1); });
}

void MainWindow::OpenModuleWindow() {
  ModuleWindowHost host;
  host.ReadSetting = [this](std::string_view section, std::string_view key, std::string_view default_value) {
    return state_.settings.ReadSetting(section, key, default_value);
  };
  host.WriteSetting = [this](std::string_view section, std::string_view key, std::string_view value) {
    state_.settings.WriteSetting(section, key, value);
  };
  host.CrcLowByteFirst = [this] { return CRC反->isChecked(); };
  host.AddToSendList = [this](const QString& lines) {
    编辑框_循环->setPlainText(lines);
    // The lines carry their CRC already.
    CRC选择框->setChecked(false);
  };
  // The automatic sender goes on ticking while the window is up.
  ModuleWindow window(std::move(host), this);
  window.exec();
}

}  // namespace quorvel
