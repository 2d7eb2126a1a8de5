#pragma once

// Conversion of digit texts between radices 2 to 36, on GBK byte strings.

#include <string>
#include <string_view>

namespace quorvel {

// Rewrites the digits of `text` (radix `from`, most significant first, no
// sign or prefix) as digits of radix `to`: upper case, no leading zeros, "0"
// for zero and for the empty text. The text is first folded to half width and
// upper case; when `from` equals `to` that folded text is returned as it is,
// leading zeros and all.
//
// Never fails out of band: a radix outside 2..36 returns
// "参数错误-进制只能在2-36之间", and a byte that is not a digit of `from`
// (a space, a double-byte character) returns "参数错误-" + folded text +
// "不是一个有效的" + `from` in Chinese numerals (二, 一十, 一十六, 三十六) +
// "进制数！", all in GBK; callers recognise that by its last 8 bytes,
// kInvalidDigitsEnding. Exact for every value below 2^53; larger values are
// built in double precision and so lose their low digits, and values of 2^63
// and more give the digits of 2^63 - 1.
//
// "ff" from 16 to 10 -> "255"
std::string ConvertRadix(std::string_view text, int from, int to);

// The ending of every invalid-digit text of ConvertRadix: "进制数！" in GBK.
inline constexpr std::string_view kInvalidDigitsEnding = "\xBD\xF8\xD6\xC6\xCA\xFD\xA3\xA1";

// True when `converted`, a result of ConvertRadix, is its invalid-digit text.
inline bool IsInvalidDigitsText(std::string_view converted) { return converted.ends_with(kInvalidDigitsEnding); }

}  // namespace quorvel
