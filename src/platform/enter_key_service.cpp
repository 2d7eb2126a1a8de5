#include "platform/enter_key_service.h"

#include <QApplication>
#include <QKeyEvent>

namespace quorvel {
namespace {

bool IsPlainEnter(const QKeyEvent& key) {
  if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) return false;
  // The keypad Enter carries the keypad flag; it is the same key.
  return (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

EnterKeyService::EnterKeyService(QObject* parent) : QObject(parent) {}

EnterKeyService::~EnterKeyService() {
  if (id_ != 0) qApp->removeEventFilter(this);
}

int EnterKeyService::Register(QWidget* window, QObject* receiver, int modifiers, int virtual_key) {
  if (virtual_key != kEnterKey || modifiers != 0 || receiver == nullptr || id_ != 0) return 0;
  id_ = ++last_id_;
  window_ = window;
  receiver_ = receiver;
  qApp->installEventFilter(this);
  return id_;
}

void EnterKeyService::Unregister(QWidget* window, int id) {
  if (id == 0 || id != id_ || window != window_.data()) return;
  qApp->removeEventFilter(this);
  id_ = 0;
  window_ = nullptr;
  receiver_ = nullptr;
}

bool EnterKeyService::eventFilter(QObject*, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (!IsPlainEnter(*key)) return false;
  // The key belongs to this program only: while none of its windows is
  // active, Enter is left alone.
  if (QApplication::activeWindow() == nullptr || receiver_.isNull()) return false;
  if (type == QEvent::ShortcutOverride) {
    // Claim the key so that no shortcut takes it; the press then comes here.
    key->accept();
    return true;
  }
  // The press is filtered where it enters the program (the window, before
  // its focus widget), so it is reported once and reaches no control.
  emit feedback(receiver_.data(), id_, 0);
  return true;
}

}  // namespace quorvel
