#pragma once

// The program's colour values: 0x00BBGGRR (COLORREF).

#include <cstdint>

namespace quorvel {

// The automatic colour for text and "no fill" for a shape, which is then
// drawn as an outline only.
inline constexpr std::uint32_t kNoFill = 0xFF000000u;

}  // namespace quorvel
