#include "platform/ruler_strip.h"

#include <QPainter>

namespace quorvel {

RulerStrip::RulerStrip(QWidget* parent) : QWidget(parent) {
  QFont numbers(QStringLiteral("Noto Sans Mono CJK SC"));
  numbers.setStyleHint(QFont::Monospace);
  numbers.setPixelSize(10);
  setFont(numbers);
}

void RulerStrip::SetColumnGeometry(qreal first_column_x, qreal column_advance) {
  if (first_column_x == first_column_x_ && column_advance == column_advance_) return;
  first_column_x_ = first_column_x;
  column_advance_ = column_advance;
  update();
}

qreal RulerStrip::NumberCentre(int k) const {
  // A group is two digits and a space of equal width in the log's monospace
  // font, so its digits take the first two thirds of the advance.
  return first_column_x_ + (k - 1) * column_advance_ + column_advance_ / 3.0;
}

void RulerStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(QColor(64, 64, 64));
  const QFontMetricsF metrics(font());
  for (int k = 1; k <= kColumns; ++k) {
    const QString number = QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
    const qreal number_width = metrics.horizontalAdvance(number);
    const QRectF box(NumberCentre(k) - number_width / 2.0, 0, number_width, height());
    if (box.left() > width()) break;
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, number);
  }
}

}  // namespace quorvel
