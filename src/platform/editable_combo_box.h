#pragma once

// An editable drop-down list whose events are the user's own: an item chosen
// from the list (or with the arrow keys), and the input focus leaving it.
//
// QComboBox also reports a typed text that matches an item as an activation
// when the editing finishes (the focus leaving, Enter); here typed text stays
// text and is never a choice. Typed text is never added as an item nor
// completed from the items.

#include <QComboBox>

namespace quorvel {

class EditableComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit EditableComboBox(QWidget* parent = nullptr);

 signals:
  // An item was chosen; the box shows it already.
  void itemChosen();
  // The focus went to another control of the box's window. Opening the
  // box's own list, or another window becoming active, is no leaving.
  void left();

 protected:
  void focusOutEvent(QFocusEvent* event) override;

 private:
  bool finishing_edit_ = false;  // the line edit is ending its editing
};

}  // namespace quorvel
