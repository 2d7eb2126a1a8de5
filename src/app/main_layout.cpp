#include "app/main_layout.h"

#include <algorithm>

namespace quorvel {

MainLayoutRects LayoutMainWindow(QSize outer, MainLayoutRects r) {
  const int w = outer.width();
  const int h = outer.height();
  // The program sets no minimum window size, so a very small window would
  // give negative sizes; the controls shrink to nothing instead.
  auto non_negative = [](int value) { return std::max(value, 0); };

  r.send_edit.setWidth(non_negative(w - 220));
  r.send_button.moveLeft(r.send_edit.width() + r.send_edit.left() + 10);
  r.port_group.moveLeft(r.send_button.left() + r.send_button.width() + 15);
  r.option_group.moveLeft(r.port_group.left());
  r.ruler.setWidth(non_negative(r.send_edit.width() + r.send_button.width() + 20));
  r.log.setWidth(non_negative(r.ruler.width() + 2));
  r.log.setHeight(non_negative(h - r.auto_group.height() - 96));
  r.auto_group.moveTop(r.log.top() + r.log.height() - 4);
  r.auto_group.setWidth(non_negative(w - 12));
  r.auto_button.moveLeft(r.auto_shape.left() + r.auto_shape.width() + 8);
  return r;
}

}  // namespace quorvel
