#include "platform/outer_size.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace quorvel {

void OuterSize::Apply(QWidget* window) const {
  if (border_ == Border::kFixed) {
    window->setFixedSize(outer_);
  } else {
    window->resize(outer_);
  }
  Centre(window);
}

void OuterSize::AdoptFrame(QWidget* window) {
  if (adopted_ || !window->isVisible()) return;
  const QSize frame = window->frameGeometry().size() - window->size();
  if (frame.isNull() || frame.width() < 0 || frame.height() < 0) return;
  adopted_ = true;
  if (window->isMaximized() || window->isFullScreen()) return;
  if (border_ == Border::kFixed) {
    window->setFixedSize(outer_ - frame);
  } else {
    window->resize(outer_ - frame);
  }
  Centre(window);
}

void OuterSize::Centre(QWidget* window) const {
  const QScreen* screen = window->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  window->move(screen->availableGeometry().center() - QPoint(outer_.width() / 2, outer_.height() / 2));
}

}  // namespace quorvel
