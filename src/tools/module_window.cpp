#include "tools/module_window.h"

#include <QComboBox>
#include <QEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "engine/gbk_text.h"
#include "platform/editable_combo_box.h"
#include "platform/event_pause.h"
#include "platform/gbk_codec.h"
#include "platform/list_select.h"
#include "platform/ruler_strip.h"
#include "tools/frame_generator.h"

namespace quorvel {
namespace {

constexpr int kAddressLength = 3;  // characters the user may type into an address box
constexpr std::uint32_t kOutputColour = 0x008000;  // dark green, 0x00BBGGRR

const std::string kSection = "MoKuai";
const std::string kKeyType = ToGbk(QStringLiteral("类型"));
const std::string kKeyChannels = ToGbk(QStringLiteral("路数"));
const std::string kKeyStart = ToGbk(QStringLiteral("地址起"));
const std::string kKeyEnd = ToGbk(QStringLiteral("地址终"));

// The frame for address 233 with nine channels, shown until the first
// generation.
const QString kInitialOutput = QStringLiteral("E9 03 10 00 00 25 F9 97");

template <typename Widget>
Widget* Place(Widget* widget, const char16_t* name, int left, int top, int width, int height) {
  widget->setObjectName(QString::fromUtf16(name));
  widget->setGeometry(left, top, width, height);
  return widget;
}

// A 16-pixel CJK face with the digits and the space equally wide, so that
// the frames' bytes stand in columns under the ruler.
QFont OutputFont() {
  QFont font(QStringLiteral("Noto Sans Mono CJK SC"));
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(16);
  return font;
}

int IntegerValue(const QComboBox* box) { return TextToInteger(ToGbk(box->currentText())); }

}  // namespace

ModuleWindow::ModuleWindow(ModuleWindowHost host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      host_(std::move(host)) {
  setWindowTitle(QStringLiteral("模块发送数据生成窗口"));
  setModal(true);
  BuildControls();
  // The controls speak in the main window's font. Under the program's style
  // sheet a font set on a window does not reach the controls inside a group
  // box, so each of them is given it.
  if (parent != nullptr) {
    setFont(parent->font());
    分组框2->setFont(parent->font());
    for (QWidget* control : 分组框2->findChildren<QWidget*>()) control->setFont(parent->font());
  }
  outer_size_.Apply(this);
  ModuleWindowInit();
  Connect();
}

ModuleWindow::~ModuleWindow() {
  // The focus leaving the boxes while the window goes reaches nothing.
  for (EditableComboBox* box : {组合框_地址起, 组合框_地址终}) box->disconnect(this);
}

void ModuleWindow::BuildControls() {
  图片框1 = Place(new RulerStrip(this), u"图片框1", 5, 3, 2000, 12);

  编辑框1 = Place(new QPlainTextEdit(this), u"编辑框1", 4, 16, 608, 389);
  编辑框1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  编辑框1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  编辑框1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  编辑框1->setFont(OutputFont());
  QPalette palette = 编辑框1->palette();
  palette.setColor(QPalette::Text, QColor(kOutputColour & 0xFF, (kOutputColour >> 8) & 0xFF, kOutputColour >> 16));
  palette.setColor(QPalette::Base, Qt::white);
  编辑框1->setPalette(palette);
  编辑框1->setPlainText(kInitialOutput);

  分组框2 = Place(new QGroupBox(this), u"分组框2", 2, 413, 614, 50);
  // The address boxes cover the ten spaces between "：" and "至".
  标签_发送地址 = Place(new QLabel(QStringLiteral("发送地址：          至"), 分组框2), u"标签_发送地址", 12, 17, 141, 20);
  组合框_地址起 = Place(new EditableComboBox(分组框2), u"组合框_地址起", 77, 17, 53, 20);
  组合框_地址终 = Place(new EditableComboBox(分组框2), u"组合框_地址终", 148, 17, 53, 20);
  for (EditableComboBox* box : {组合框_地址起, 组合框_地址终}) {
    box->lineEdit()->setMaxLength(kAddressLength);
    box->setEditText(QStringLiteral("0"));
  }
  组合框_路数 = Place(new QComboBox(分组框2), u"组合框_路数", 222, 17, 48, 20);
  组合框_路数->addItems({QStringLiteral("1路"), QStringLiteral("4路"), QStringLiteral("9路")});
  组合框_路数->setCurrentIndex(2);
  组合框_模块类型 = Place(new QComboBox(分组框2), u"组合框_模块类型", 286, 17, 74, 20);
  组合框_模块类型->addItems({FromGbk(kModuleTypeA), FromGbk(kModuleTypeB)});
  组合框_模块类型->setCurrentIndex(0);
  按钮_生成 = Place(new QPushButton(QStringLiteral("生成数据"), 分组框2), u"按钮_生成", 410, 12, 77, 32);
  按钮_加入 = Place(new QPushButton(QStringLiteral("加入"), 分组框2), u"按钮_加入", 495, 12, 50, 32);
  按钮_关闭 = Place(new QPushButton(QStringLiteral("关闭"), 分组框2), u"按钮_关闭", 552, 11, 50, 32);
  // Enter in an address box is no click on a button.
  for (QPushButton* button : {按钮_生成, 按钮_加入, 按钮_关闭}) button->setAutoDefault(false);
}

void ModuleWindow::Connect() {
  connect(组合框_模块类型, &QComboBox::activated, this, &ModuleWindow::OnTypeChanged);
  connect(组合框_路数, &QComboBox::activated, this, &ModuleWindow::OnChannelChanged);
  connect(组合框_地址起, &EditableComboBox::itemChosen, this, &ModuleWindow::StartAddressChanged);
  // textEdited comes from the user's typing only, not from the program.
  connect(组合框_地址起->lineEdit(), &QLineEdit::textEdited, this, &ModuleWindow::StartAddressChanged);
  connect(组合框_地址终, &EditableComboBox::itemChosen, this, &ModuleWindow::EndAddressChanged);
  connect(组合框_地址终, &EditableComboBox::left, this, &ModuleWindow::EndAddressChanged);
  connect(按钮_生成, &QPushButton::clicked, this, &ModuleWindow::GenerateFrames);
  connect(按钮_加入, &QPushButton::clicked, this, &ModuleWindow::AddFramesToSendList);
  connect(按钮_关闭, &QPushButton::clicked, this, &QDialog::reject);
}

void ModuleWindow::ModuleWindowInit() {
  SelectClamped(组合框_模块类型, TextToInteger(host_.ReadSetting(kSection, kKeyType, "0")));
  SelectClamped(组合框_路数, TextToInteger(host_.ReadSetting(kSection, kKeyChannels, "2")));
  组合框_地址起->setEditText(FromGbk(host_.ReadSetting(kSection, kKeyStart, "0")));
  组合框_地址终->setEditText(FromGbk(host_.ReadSetting(kSection, kKeyEnd, "251")));
  const std::string type = ToGbk(组合框_模块类型->currentText());
  if (type == kModuleTypeB) 组合框_路数->setEnabled(false);
  FillAddressLists(AddressListSize(type));
}

void ModuleWindow::FillAddressLists(int count) {
  QStringList items;
  items.reserve(count);
  for (int i = 1; i <= count; ++i) items << QString::number(i);
  for (QComboBox* box : {组合框_地址起, 组合框_地址终}) {
    // Refilling an editable box rewrites its text; the text shown stays.
    const QString text = box->currentText();
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(text);
  }
}

void ModuleWindow::OnTypeChanged() {
  const std::string type = ToGbk(组合框_模块类型->currentText());
  组合框_路数->setEnabled(type == kModuleTypeA);
  FillAddressLists(AddressListSize(type));
  host_.WriteSetting(kSection, kKeyType, std::to_string(组合框_模块类型->currentIndex()));
}

void ModuleWindow::StartAddressChanged() {
  if (IntegerValue(组合框_地址终) < IntegerValue(组合框_地址起)) 组合框_地址终->setEditText(组合框_地址起->currentText());
  WriteAddresses();
}

void ModuleWindow::EndAddressChanged() {
  if (IntegerValue(组合框_地址终) < IntegerValue(组合框_地址起)) 组合框_地址起->setEditText(组合框_地址终->currentText());
  WriteAddresses();
}

void ModuleWindow::WriteAddresses() {
  host_.WriteSetting(kSection, kKeyStart, ToGbk(组合框_地址起->currentText()));
  host_.WriteSetting(kSection, kKeyEnd, ToGbk(组合框_地址终->currentText()));
}

void ModuleWindow::OnChannelChanged() {
  host_.WriteSetting(kSection, kKeyChannels, std::to_string(组合框_路数->currentIndex()));
}

void ModuleWindow::GenerateFrames() {
  // The emptied box is shown while the lines are built.
  编辑框1->clear();
  PauseWithEvents(1);
  const int start = IntegerValue(组合框_地址起);
  const int end = IntegerValue(组合框_地址终);
  const std::string lines = quorvel::GenerateFrames(start, end, ToGbk(组合框_模块类型->currentText()),
                                                    ToGbk(组合框_路数->currentText()), host_.CrcLowByteFirst());
  编辑框1->setPlainText(FromGbkLines(lines));
}

void ModuleWindow::AddFramesToSendList() { host_.AddToSendList(编辑框1->toPlainText()); }

void ModuleWindow::keyPressEvent(QKeyEvent* event) {
  // Only "关闭" and the close box end the window, not Escape.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool ModuleWindow::event(QEvent* event) {
  const bool handled = QDialog::event(event);
  switch (event->type()) {
    case QEvent::Show:
      AlignRuler();
      outer_size_.AdoptFrame(this);
      break;
    case QEvent::Move:
    case QEvent::Resize:
      outer_size_.AdoptFrame(this);
      break;
    default:
      break;
  }
  return handled;
}

void ModuleWindow::AlignRuler() {
  // A frame's byte is "XX " in the output box's monospace font; the first
  // one starts at the document margin inside the box's viewport.
  const QFontMetricsF metrics(编辑框1->font());
  const qreal group = metrics.horizontalAdvance(QStringLiteral("00 "));
  const qreal text_left = 编辑框1->x() + 编辑框1->viewport()->geometry().left() + 编辑框1->document()->documentMargin();
  图片框1->SetColumnGeometry(text_left - 图片框1->x(), group);
}

}  // namespace quorvel
