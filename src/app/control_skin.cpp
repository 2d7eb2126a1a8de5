#include "app/control_skin.h"

#include <QApplication>
#include <QProxyStyle>

namespace quorvel {
namespace {

// The frames of edit boxes, lists and buttons in RGB 198, 197, 215, the
// program's flat silver skin.
constexpr const char* kControlSkin = R"(
QLineEdit, QPlainTextEdit {
  border: 1px solid rgb(198, 197, 215);
  background: white;
  padding: 0px;
}
QComboBox {
  border: 1px solid rgb(198, 197, 215);
  background: white;
  padding: 0px 0px 0px 3px;
}
QComboBox QAbstractItemView {
  border: 1px solid rgb(198, 197, 215);
  background: white;
  color: black;
  selection-background-color: rgb(51, 153, 255);
  selection-color: white;
}
QPushButton {
  border: 1px solid rgb(198, 197, 215);
  border-radius: 2px;
  background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #ffffff, stop: 1 #e6e5ee);
  padding: 0px;
}
QPushButton:hover {
  background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #ffffff, stop: 1 #dcdbe8);
}
QPushButton:pressed {
  background: #d6d5e2;
}
QPushButton:disabled {
  color: gray;
}
)";

// A style sheet on combo boxes makes Qt draw their popup as a menu whose
// highlighted row loses its text. A plain list, as drop-down lists have on
// the program's home platform, takes the selection colours above.
class ListPopupStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* result) const override {
    if (hint == SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, result);
  }
};

}  // namespace

void ApplyControlSkin() {
  if (!qApp->styleSheet().isEmpty()) return;
  QApplication::setStyle(new ListPopupStyle);
  qApp->setStyleSheet(QString::fromLatin1(kControlSkin));
}

}  // namespace quorvel
