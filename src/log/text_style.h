#pragma once

// The character format every write into the log is made with.

#include <cstdint>
#include <string>

#include "engine/colour.h"

namespace quorvel {

// Effect bits of a TextStyle.
enum TextEffect : std::uint32_t {
  kBold = 1,
  kItalic = 2,
  kUnderline = 4,
  kStrikeOut = 8,
  kProtected = 16,
};

struct TextStyle {
  std::string font_name = "\xCB\xCE\xCC\xE5";  // GBK for 宋体; at most 31 bytes are used
  int size_pt = 9;
  int offset_pt = 0;  // vertical offset in points, positive raises
  std::uint32_t effects = 0;
  std::uint32_t colour = kNoFill;  // 0x00BBGGRR

  friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

}  // namespace quorvel
