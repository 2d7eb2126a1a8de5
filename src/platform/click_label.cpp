#include "platform/click_label.h"

#include <QMouseEvent>

namespace quorvel {

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit leftButtonReleased();
  }
  QLabel::mouseReleaseEvent(event);
}

}  // namespace quorvel
