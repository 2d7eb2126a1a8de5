#pragma once

// The frame a hexadecimal send builds from the send text, shared by the
// manual send and the automatic sender.

#include <string>
#include <string_view>

namespace quorvel {

// True when the text without its ASCII and ideographic spaces has an odd
// number of bytes; such a text is refused ("数据输入长度错误") before
// anything is sent. "01 03 1" -> true; "  " -> false
bool HasOddLength(std::string_view send_text);

struct SendFrame {
  std::string text;   // F: what the log shows
  std::string bytes;  // PackHexText(F): what goes on the line and is counted
};

// F = NormalizeHexText(send_text), followed by " " and the CRC-16 text of
// the send text ("HH LL", or "LL HH" when `low_byte_first`) when `with_crc`;
// the bytes are F packed. Both the normal form and the CRC are taken from the
// text as typed. "01 03 10 00 00 25" with CRC -> "01 03 10 00 00 25 D1 80",
// 8 bytes; spaces only with CRC -> " FF FF", the 3 bytes 00 FF FF.
SendFrame BuildSendFrame(std::string_view send_text, bool with_crc, bool low_byte_first);

}  // namespace quorvel
