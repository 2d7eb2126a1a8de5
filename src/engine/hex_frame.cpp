#include "engine/hex_frame.h"

#include "engine/gbk_text.h"
#include "engine/radix_text.h"

namespace quorvel {

std::string NormalizeHexText(std::string_view text) {
  const std::string digits = RemoveSpaces(text);
  std::string grouped;
  grouped.reserve(digits.size() + digits.size() / 2 + 1);
  for (std::size_t pos = 0; pos < digits.size(); pos += 2) {
    grouped.append(std::string_view(digits).substr(pos, 2));
    grouped.push_back(' ');
  }
  // Trimming and upper-casing walk by characters: a lead byte left at the end
  // of a group keeps the space after it.
  return ToUpperAscii(TrimEnd(grouped));
}

std::string PackHexText(std::string_view text) {
  std::string bytes;
  for (const std::string& piece : SplitText(text, " ")) {
    // An error text reads as 0.
    const int value = TextToInteger(ConvertRadix(piece, 16, 10));
    bytes.push_back(static_cast<char>(static_cast<unsigned>(value) & 0xFFu));
  }
  return bytes;
}

}  // namespace quorvel
