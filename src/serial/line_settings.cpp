#include "serial/line_settings.h"

#include "engine/gbk_text.h"

namespace quorvel {

LineSettings LineSettingsFromLists(int port_index, std::string_view baud_text, std::string_view data_bits_text,
                                   int stop_bits_index, int parity_index) {
  return LineSettings{port_index + 1, TextToInteger(baud_text), TextToInteger(data_bits_text), stop_bits_index + 1,
                      parity_index};
}

}  // namespace quorvel
