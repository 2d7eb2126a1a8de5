#include "platform/balloon_tip.h"

#include <QApplication>
#include <QBitmap>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>

namespace quorvel {
namespace {

constexpr int kArrowHeight = 10;
constexpr int kArrowHalfWidth = 8;
constexpr int kRadius = 6;
constexpr int kPadding = 8;
constexpr int kArrowInset = 24;  // where the triangle sits when nothing is in the way

// A monospace face with CJK glyphs exactly two cells wide, so that the radix
// tip's GBK columns (two bytes per Chinese character) line up.
QFont TipFont() {
  QFont font(QStringLiteral("Noto Sans Mono CJK SC"));
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(10);
  return font;
}

}  // namespace

BalloonTip::BalloonTip(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint) {
  setFont(TipFont());
  setAttribute(Qt::WA_ShowWithoutActivating);
  // Only the bubble is painted; the rest of the window stays see-through.
  setAttribute(Qt::WA_TranslucentBackground);
  setFocusPolicy(Qt::NoFocus);
  hide_timer_.setSingleShot(true);
  connect(&hide_timer_, &QTimer::timeout, this, &BalloonTip::HideTip);
}

void BalloonTip::ShowTip(const QPoint& screen_point, const QString& text, int auto_hide_ms) {
  text_ = text;
  lines_ = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
  resize(sizeHint());
  Layout(screen_point);
  // Without a compositing window manager the see-through corners would show
  // black; a mask cuts the window to the bubble. The offscreen platform
  // cannot mask windows and has nothing to show through anyway.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    QBitmap shape(size());
    shape.fill(Qt::color0);
    QPainter painter(&shape);
    painter.setPen(Qt::color1);
    painter.setBrush(Qt::color1);
    painter.drawPath(Outline());
    painter.end();
    setMask(shape);
  }
  if (auto_hide_ms > 0) {
    WatchInput(false);
    hide_timer_.start(auto_hide_ms);
  } else {
    hide_timer_.stop();
    WatchInput(true);
  }
  show();
  update();
}

void BalloonTip::HideTip() {
  hide_timer_.stop();
  WatchInput(false);
  hide();
}

QPoint BalloonTip::PointedAt() const {
  return pos() + QPoint(arrow_x_, arrow_up_ ? 0 : height() - 1);
}

QSize BalloonTip::sizeHint() const {
  const QFontMetrics metrics(font());
  int text_width = 0;
  for (const QString& line : lines_) text_width = std::max(text_width, metrics.horizontalAdvance(line));
  const int width = std::max(text_width + 2 * kPadding, 2 * kArrowInset);
  const int height = static_cast<int>(lines_.size()) * metrics.lineSpacing() + 2 * kPadding + kArrowHeight;
  return {width, height};
}

void BalloonTip::Layout(const QPoint& screen_point) {
  const int w = width();
  const int h = height();
  int x = screen_point.x() - kArrowInset;
  int y = screen_point.y();
  arrow_up_ = true;
  const QScreen* screen = QGuiApplication::screenAt(screen_point);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    const QRect area = screen->availableGeometry();
    x = std::clamp(x, area.left(), std::max(area.left(), area.right() + 1 - w));
    // Below the point unless the bubble would leave the screen there and
    // fits above it.
    if (y + h > area.bottom() + 1 && screen_point.y() - h + 1 >= area.top()) {
      y = screen_point.y() - h + 1;
      arrow_up_ = false;
    }
  }
  // The triangle's tip reaches the point even in a corner of the screen; its
  // base stays on the straight part of the bubble's edge, so near an edge the
  // triangle leans.
  arrow_x_ = std::clamp(screen_point.x() - x, 0, w - 1);
  base_x_ = std::clamp(arrow_x_, kRadius + kArrowHalfWidth, w - kRadius - kArrowHalfWidth);
  move(x, y);
}

QPainterPath BalloonTip::Outline() const {
  const int w = width();
  const int h = height();
  const QRectF body(0.5, (arrow_up_ ? kArrowHeight : 0) + 0.5, w - 1, h - kArrowHeight - 1);
  QPainterPath outline;
  outline.addRoundedRect(body, kRadius, kRadius);
  QPolygonF arrow;
  if (arrow_up_) {
    arrow << QPointF(base_x_ - kArrowHalfWidth, body.top() + 1) << QPointF(arrow_x_ + 0.5, 0.5)
          << QPointF(base_x_ + kArrowHalfWidth, body.top() + 1);
  } else {
    arrow << QPointF(base_x_ - kArrowHalfWidth, body.bottom() - 1) << QPointF(arrow_x_ + 0.5, h - 0.5)
          << QPointF(base_x_ + kArrowHalfWidth, body.bottom() - 1);
  }
  QPainterPath pointer;
  pointer.addPolygon(arrow);
  pointer.closeSubpath();
  return outline.united(pointer);
}

void BalloonTip::paintEvent(QPaintEvent*) {
  const int h = height();
  const QRectF body(0.5, (arrow_up_ ? kArrowHeight : 0) + 0.5, width() - 1, h - kArrowHeight - 1);
  const QPainterPath outline = Outline();

  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(palette().color(QPalette::ToolTipText), 1));
  painter.setBrush(palette().color(QPalette::ToolTipBase));
  painter.drawPath(outline);

  painter.setFont(font());
  const QFontMetrics metrics(font());
  int baseline = static_cast<int>(body.top()) + kPadding + metrics.ascent();
  for (const QString& line : lines_) {
    painter.drawText(QPoint(kPadding, baseline), line);
    baseline += metrics.lineSpacing();
  }
}

void BalloonTip::hideEvent(QHideEvent* event) {
  // Hidden from outside (its owner closing): nothing may fire for it later.
  hide_timer_.stop();
  WatchInput(false);
  QWidget::hideEvent(event);
}

bool BalloonTip::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::KeyPress:
      HideTip();
      break;
    default:
      break;
  }
  return false;  // the click or key goes on to where it was meant to go
}

void BalloonTip::WatchInput(bool on) {
  if (on) {
    // Installed afresh at each show: the filter installed last runs first,
    // so a later filter that eats a key (the Enter key service) cannot keep
    // the tip up.
    qApp->removeEventFilter(this);
    qApp->installEventFilter(this);
  } else if (watching_) {
    qApp->removeEventFilter(this);
  }
  watching_ = on;
}

}  // namespace quorvel
