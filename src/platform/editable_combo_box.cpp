#include "platform/editable_combo_box.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>

namespace quorvel {

EditableComboBox::EditableComboBox(QWidget* parent) : QComboBox(parent) {
  // The box turns the end of an editing (Enter, or the focus leaving) into an
  // activation when the text matches an item. Slots run in the order they
  // were connected: ours around the box's own, made in setLineEdit, mark
  // that span.
  auto* edit = new QLineEdit(this);
  auto mark = [this] { finishing_edit_ = true; };
  auto unmark = [this] { finishing_edit_ = false; };
  connect(edit, &QLineEdit::returnPressed, this, mark);
  connect(edit, &QLineEdit::editingFinished, this, mark);
  setEditable(true);
  setLineEdit(edit);
  connect(edit, &QLineEdit::returnPressed, this, unmark);
  connect(edit, &QLineEdit::editingFinished, this, unmark);
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
  connect(this, &QComboBox::activated, this, [this] {
    if (!finishing_edit_) emit itemChosen();
  });
}

void EditableComboBox::focusOutEvent(QFocusEvent* event) {
  QComboBox::focusOutEvent(event);
  // By now the focus is where it went. The box's own list is a window of its
  // own, and so is another program's window: neither is a leaving.
  const QWidget* now = QApplication::focusWidget();
  if (now != nullptr && now != this && now->window() == window() && !isAncestorOf(now)) emit left();
}

}  // namespace quorvel
