#pragma once

// The order in which COM1, COM2, ... reach the serial devices present on a
// Linux system when no name is pinned.

#include <string>
#include <vector>

namespace quorvel {

// Orders device paths the way port numbers count them: /dev/ttyUSB<n> by n,
// then /dev/ttyACM<n> by n, then every other path by name (byte order).
// Duplicates are dropped; a ttyUSB or ttyACM name without a plain number after
// it counts as "other".
// {"/dev/ttyS0", "/dev/ttyACM0", "/dev/ttyUSB10", "/dev/ttyUSB2"}
//   -> {"/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0", "/dev/ttyS0"}
std::vector<std::string> OrderSerialDevices(std::vector<std::string> paths);

}  // namespace quorvel
