#pragma once

// Byte-level helpers for GBK (code page 936) text held in std::string.
//
// Every position and length counts bytes. A walk "by characters" takes a byte
// of 0x80 or above together with the byte after it as one double-byte
// character, the way the program has always read GBK: the pair is never split
// and its second byte is never mistaken for a single-byte character.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// The ideographic (full-width) space, GBK A1 A1.
inline constexpr std::string_view kIdeographicSpace = "\xA1\xA1";

// True when `byte` starts a double-byte character.
constexpr bool IsLeadByte(unsigned char byte) { return byte >= 0x80; }

// Length in bytes of the character that starts at `pos` (1 or 2; 1 for a lead
// byte at the very end of the text).
std::size_t CharLengthAt(std::string_view text, std::size_t pos);

// Removes every ASCII space and every ideographic space; tabs and line breaks
// stay. "0103 10\xA1\xA1" -> "010310"
std::string RemoveSpaces(std::string_view text);

// Removes the run of ASCII and ideographic spaces at the end, or at both ends.
// A lead byte followed by an ASCII space is one character and is kept whole.
// TrimEnd("AB  ") -> "AB"; Trim("  0A  ") -> "0A"
std::string TrimEnd(std::string_view text);
std::string Trim(std::string_view text);

// Raises "a".."z" to "A".."Z"; double-byte characters pass unchanged.
// "ab\xB0\x61" -> "AB\xB0\x61"
std::string ToUpperAscii(std::string_view text);

// Full-width forms to ASCII: A3 A1..A3 FE become 0x21..0x7E, A1 A1 a space,
// A1 AB "~", A1 EE and A1 EF "*"; other characters stay. A lead byte at the
// very end, with no byte after it, is dropped. "\xA3\xC6\xA3\xE6" -> "Ff"
std::string ToHalfWidth(std::string_view text);

// Position of the first occurrence of `needle` that starts on a character
// boundary, or npos. An empty needle is found at 0.
std::size_t FindText(std::string_view text, std::string_view needle);
inline bool ContainsText(std::string_view text, std::string_view needle) {
  return FindText(text, needle) != std::string_view::npos;
}

// Splits at every occurrence of `delimiter` found by characters. The text
// before each occurrence is an item even when empty; the text after the last
// occurrence is an item only when it is not empty; an empty text gives no
// items. SplitText("a\r\n\r\nb\r\n", "\r\n") -> {"a", "", "b"}
std::vector<std::string> SplitText(std::string_view text, std::string_view delimiter);

// The first or last `count` bytes; the whole text when it is shorter, nothing
// for a count of 0 or less. A double-byte character may be cut in half.
std::string_view FirstBytes(std::string_view text, int count);
std::string_view LastBytes(std::string_view text, int count);

// The program's one rule for reading a number out of a control text or a
// stored value: half-width conversion, leading white space skipped, an
// optional sign, then decimal digits up to the first other byte. No digits
// give 0; values beyond the 32-bit range saturate. " -75ms" -> -75
int TextToInteger(std::string_view text);

}  // namespace quorvel
