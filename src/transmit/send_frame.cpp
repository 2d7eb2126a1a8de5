#include "transmit/send_frame.h"

#include "engine/crc16_text.h"
#include "engine/gbk_text.h"
#include "engine/hex_frame.h"

namespace quorvel {

bool HasOddLength(std::string_view send_text) { return RemoveSpaces(send_text).size() % 2 != 0; }

SendFrame BuildSendFrame(std::string_view send_text, bool with_crc, bool low_byte_first) {
  SendFrame frame;
  frame.text = NormalizeHexText(send_text);
  if (with_crc) {
    frame.text += ' ';
    frame.text += Crc16HexText(send_text, low_byte_first);
  }
  frame.bytes = PackHexText(frame.text);
  return frame;
}

}  // namespace quorvel
