#include "platform/message_box.h"

#include <QMessageBox>

namespace quorvel {

void ShowMessage(QWidget* parent, const QString& text, const QString& title) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
  box.setObjectName(QStringLiteral("messageBox"));
  box.exec();
}

}  // namespace quorvel
