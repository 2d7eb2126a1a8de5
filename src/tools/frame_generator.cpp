#include "tools/frame_generator.h"

#include <cstdint>
#include <cstdio>

#include "engine/crc16_text.h"

namespace quorvel {
namespace {

constexpr std::string_view kOneChannel = "1\xC2\xB7";   // 1路
constexpr std::string_view kFourChannels = "4\xC2\xB7";  // 4路
constexpr std::string_view kNineChannels = "9\xC2\xB7";  // 9路
constexpr std::string_view kRightArrowNote = "  \xA1\xFA ";  // "  → "
constexpr std::string_view kLeftArrowNote = "  \xA1\xFB ";   // "  ← "

// 甲型模块 addresses above this restart the address byte from 00 and set the
// fifth byte to 01.
constexpr int kLastLowAddress = 252;

}  // namespace

int AddressListSize(std::string_view module_type) { return module_type == kModuleTypeB ? 255 : 506; }

std::string_view ChannelCode(std::string_view channels) {
  if (channels == kNineChannels) return "25";
  if (channels == kFourChannels) return "16";
  if (channels == kOneChannel) return "0D";
  return {};
}

std::string HexField(int value) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%02X", static_cast<std::uint32_t>(value));
  return digits;
}

std::string GenerateFrames(int start, int end, std::string_view module_type, std::string_view channels,
                           bool crc_low_byte_first) {
  std::string out;
  const std::string_view code = ChannelCode(channels);
  // int64 so that an end of INT_MAX still ends the loop.
  for (std::int64_t wide = start; wide <= end; ++wide) {
    const int i = static_cast<int>(wide);
    if (module_type == kModuleTypeA) {
      std::string frame = i <= kLastLowAddress ? HexField(i) + " 03 10 00 00 "
                                               : HexField(i - (kLastLowAddress + 1)) + " 03 10 00 01 ";
      frame += code;
      out += frame;
      out += ' ';
      out += Crc16HexText(frame, crc_low_byte_first);
      out += kRightArrowNote;
    } else if (module_type == kModuleTypeB) {
      const std::string a = HexField(i) + " ";
      out += "EA ";
      out += a;
      out += a;
      out += "BC";
      out += kLeftArrowNote;
    } else {
      continue;
    }
    out += std::to_string(i);
    out += "\r\n";
  }
  return out;
}

}  // namespace quorvel
