#include "engine/crc16_text.h"

#include "engine/gbk_text.h"
#include "engine/radix_text.h"

namespace quorvel {
namespace {

// The reflected CRC-16 polynomial 0xA001, bit 15 first.
constexpr std::string_view kPolynomialBits = "1010 0000 0000 0001";

}  // namespace

std::string XorBitText(std::string_view a, std::string_view b) {
  const std::string bits_a = RemoveSpaces(a);
  std::string bits_b = RemoveSpaces(b);
  if (bits_b.size() < bits_a.size()) {
    bits_b.insert(0, bits_a.size() - bits_b.size(), '0');
  } else {
    bits_b = std::string(LastBytes(bits_b, static_cast<int>(bits_a.size())));
  }
  std::string result(bits_a.size(), '0');
  for (std::size_t i = 0; i < bits_a.size(); ++i) {
    if (bits_a[i] != bits_b[i]) result[i] = '1';
  }
  return result;
}

// Kept on text on purpose: an invalid pair turns into ConvertRadix's error
// text, whose last 16 bytes are double-byte characters, so the exclusive-or
// sets every register bit. Integer shortcuts would have to reproduce that.
std::string Crc16HexText(std::string_view hex_text, bool low_byte_first) {
  const std::string text = RemoveSpaces(hex_text);
  std::string reg = ConvertRadix("FFFF", 16, 2);

  const std::size_t pairs = text.size() / 2;
  for (std::size_t k = 0; k < pairs; ++k) {
    const std::string byte_bits = ConvertRadix(std::string_view(text).substr(2 * k, 2), 16, 2);
    reg = XorBitText(reg, byte_bits);
    for (int shift = 0; shift < 8; ++shift) {
      const char low_bit = reg.back();
      reg = "0" + reg.substr(0, 15);
      if (low_bit == '1') reg = XorBitText(reg, kPolynomialBits);
    }
  }

  // Low byte first: the hex text then reads LLHH.
  const std::string swapped = reg.substr(8) + reg.substr(0, 8);
  const std::string hex(LastBytes("000" + ConvertRadix(swapped, 2, 16), 4));
  if (low_byte_first) return hex.substr(0, 2) + " " + hex.substr(2, 2);
  return hex.substr(2, 2) + " " + hex.substr(0, 2);
}

}  // namespace quorvel
