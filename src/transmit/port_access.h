#pragma once

// What the senders need of the serial link. The main window hands it to them,
// so they never reach into the port group's controls themselves.

#include <functional>
#include <string_view>

namespace quorvel {

struct PortAccess {
  std::function<bool()> PortIsOpen;                      // the indicator is filled
  std::function<void()> TogglePort;                      // the open/close button's action
  std::function<int(std::string_view)> PortSendText;     // GBK bytes of a text
  std::function<int(std::string_view)> PortSendBytes;    // raw bytes
};

}  // namespace quorvel
