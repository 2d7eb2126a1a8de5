#pragma once

// The polling frames of the module window: one line per module address for
// a range of addresses, ready for the automatic sender's list.

#include <string>
#include <string_view>

namespace quorvel {

// The module types as the type box shows them (GBK).
inline constexpr std::string_view kModuleTypeA = "\xBC\xD7\xD0\xCD\xC4\xA3\xBF\xE9";  // 甲型模块
inline constexpr std::string_view kModuleTypeB = "\xD2\xD2\xD0\xCD\xC4\xA3\xBF\xE9";  // 乙型模块

// How many addresses the address lists offer ("1" to N): 255 for 乙型模块,
// 506 for 甲型模块 and while no type is selected.
int AddressListSize(std::string_view module_type);

// The channel code that ends a 甲型模块 frame: "1路" -> "0D", "4路" -> "16",
// "9路" -> "25"; any other text (no row selected) -> "".
std::string_view ChannelCode(std::string_view channels);

// "%02X" of a 32-bit integer: at least two upper-case digits; a negative
// value gives the eight digits of its two's complement.
// 10 -> "0A", 300 -> "12C", -1 -> "FFFFFFFF"
std::string HexField(int value);

// The lines for addresses `start` to `end` (none when start > end), each
// ending "\r\n", from the texts of the type and channel boxes (GBK) and the
// byte order of the CRC:
// - 甲型模块: address field hex(i) and " 03 10 00 00 " up to 252, hex(i - 253)
//   and " 03 10 00 01 " above, then the channel code, " ", the CRC-16 text of
//   that frame, "  → " and i in decimal. Without a channel row the code is
//   empty and the frame ends in its space.
// - 乙型模块: "EA " hex(i) " " hex(i) " BC" "  ← " and i in decimal.
// - no type: an empty line, that is nothing.
// 甲型模块, "9路", 1 to 1 -> "01 03 10 00 00 25 D1 80  → 1\r\n"
std::string GenerateFrames(int start, int end, std::string_view module_type, std::string_view channels,
                           bool crc_low_byte_first);

}  // namespace quorvel
