#pragma once

// A label that tells when the left mouse button is released over it, for
// captions that act as small buttons.

#include <QLabel>

namespace quorvel {

class ClickLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ClickLabel(const QString& text = {}, QWidget* parent = nullptr);

 signals:
  // The left mouse button was released with the pointer over the label.
  void leftButtonReleased();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace quorvel
