#pragma once

// Where the main window's controls go when the window changes size, as a pure
// function of the window's outer size and the controls' current places, so
// that the arithmetic can be checked with plain numbers.

#include <QRect>
#include <QSize>

namespace quorvel {

// The places of the controls that follow the window's size, each relative to
// its container (the window's client area; 按钮_自动发送 and 外形框_自动发送
// inside 分组框2).
struct MainLayoutRects {
  QRect send_edit;    // 编辑框_发送
  QRect send_button;  // 按钮_发送
  QRect ruler;        // 图片框1
  QRect log;          // 超级编辑框1
  QRect port_group;   // 分组框1
  QRect option_group; // 分组框3
  QRect auto_group;   // 分组框2
  QRect auto_shape;   // 外形框_自动发送
  QRect auto_button;  // 按钮_自动发送

  friend bool operator==(const MainLayoutRects&, const MainLayoutRects&) = default;
};

// The places after a resize to `outer` (the window's outer size, frame
// included). Each step uses the values set by the steps before it; only the
// send line's width, the button and the right-hand groups' left edges, the
// ruler's width, the log's size, 分组框2's top and width and 按钮_自动发送's
// left edge change. A width or height that would come out negative is 0.
// At 727 x 536 from the design places: 编辑框_发送 507 wide, 按钮_发送 at
// 519, both groups at 586, the log 581 x 379, 分组框2 at top 420, 715 wide.
MainLayoutRects LayoutMainWindow(QSize outer, MainLayoutRects current);

}  // namespace quorvel
