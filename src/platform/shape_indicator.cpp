#include "platform/shape_indicator.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "engine/colour.h"

namespace quorvel {

ShapeIndicator::ShapeIndicator(QWidget* parent) : QWidget(parent), fill_colour_(kNoFill) {}

void ShapeIndicator::SetFillColour(std::uint32_t colour) {
  if (colour == fill_colour_) return;
  fill_colour_ = colour;
  update();
}

void ShapeIndicator::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::black, 1));
  if ((fill_colour_ & kNoFill) != 0) {
    painter.setBrush(Qt::NoBrush);
  } else {
    painter.setBrush(QColor(static_cast<int>(fill_colour_ & 0xFF), static_cast<int>((fill_colour_ >> 8) & 0xFF),
                            static_cast<int>((fill_colour_ >> 16) & 0xFF)));
  }
  // The largest circle that fits the square centred in the widget, its
  // outline drawn on pixel centres so that it stays one pixel wide.
  const qreal side = std::min(width(), height()) - 1.0;
  const QRectF circle((width() - side) / 2.0, (height() - side) / 2.0, side, side);
  painter.drawEllipse(circle);
}

void ShapeIndicator::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && rect().contains(event->position().toPoint())) {
    emit rightButtonReleased();
  }
  QWidget::mouseReleaseEvent(event);
}

}  // namespace quorvel
