#pragma once

// A small round indicator: a circle with a one-pixel black outline and a fill
// colour. Other parts read state off its fill (the port is open exactly while
// the port indicator is filled), so the colour is kept exactly as set.

#include <QWidget>
#include <cstdint>

namespace quorvel {

class ShapeIndicator : public QWidget {
  Q_OBJECT

 public:
  explicit ShapeIndicator(QWidget* parent = nullptr);

  // 0x00BBGGRR. A value with a non-zero top byte, above all kNoFill
  // (engine/colour.h), draws the outline alone. The value reads back as set.
  std::uint32_t FillColour() const { return fill_colour_; }
  void SetFillColour(std::uint32_t colour);

 signals:
  // The right mouse button was released with the pointer over the indicator.
  void rightButtonReleased();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::uint32_t fill_colour_;
};

}  // namespace quorvel
