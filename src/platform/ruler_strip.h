#pragma once

// The ruler strip (图片框1) over a view of hexadecimal bytes, the log or the
// module window's frames: the numbers 01 to 80, one over each "XX " byte
// group, so that a byte's position in a line can be read off it.

#include <QFont>
#include <QWidget>

namespace quorvel {

class RulerStrip : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kColumns = 80;

  explicit RulerStrip(QWidget* parent = nullptr);

  // Places the numbers: the first byte group of a log line starts
  // `first_column_x` pixels from the strip's left edge, and each group is
  // `column_advance` pixels wide ("XX " in the log's font).
  void SetColumnGeometry(qreal first_column_x, qreal column_advance);

  // The horizontal centre of number `k` (1..80): the middle of the two hex
  // digits of the k-th group.
  qreal NumberCentre(int k) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  qreal first_column_x_ = 0;
  qreal column_advance_ = 22;
};

}  // namespace quorvel
