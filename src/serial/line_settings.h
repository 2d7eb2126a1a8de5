#pragma once

// The five line settings the port is opened with, and the ranges the port
// keeps them in.

#include <algorithm>
#include <string_view>

namespace quorvel {

struct LineSettings {
  int port_number = 1;     // n of COMn, 1 for the first port
  int baud_rate = 19200;   // bits per second
  int data_bits = 8;       // bits per character
  int stop_bits_code = 1;  // 1 one stop bit, 2 one and a half, 3 two
  int parity_code = 0;     // 0 none, 1 odd, 2 even, 3 mark, 4 space

  friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// The settings as the port stores them: a port number below 1 becomes 1, a
// negative baud rate 0, the stop-bits code is clamped into 1..3 and the
// parity code into 0..4; data bits stay as given (the open rejects what the
// driver cannot do). {-5, -3, 9, 7, -1} -> {1, 0, 9, 3, 0}
constexpr LineSettings ClampLineSettings(LineSettings settings) {
  settings.port_number = std::max(settings.port_number, 1);
  settings.baud_rate = std::max(settings.baud_rate, 0);
  settings.stop_bits_code = std::clamp(settings.stop_bits_code, 1, 3);
  settings.parity_code = std::clamp(settings.parity_code, 0, 4);
  return settings;
}

// The settings the five lists of the port group stand for: port number =
// port index + 1, baud rate and data bits = the integer value of the chosen
// entry's text (TextToInteger; an empty text gives 0), stop-bits code = stop
// index + 1, parity code = parity index. No list selected is index -1. Not
// clamped: the port does that when it stores them.
// (6, "115200", "7", 2, 2) -> {7, 115200, 7, 3, 2}
LineSettings LineSettingsFromLists(int port_index, std::string_view baud_text, std::string_view data_bits_text,
                                   int stop_bits_index, int parity_index);

}  // namespace quorvel
