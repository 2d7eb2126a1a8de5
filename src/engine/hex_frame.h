#pragma once

// The hex text a user types, as the senders log it and as it goes on the
// line: normal form first, then one byte per piece.

#include <string>
#include <string_view>

namespace quorvel {

// Normal form of a hex text: spaces (ASCII and ideographic) removed, the
// bytes cut into groups of two joined by single spaces, the last group one
// byte when the count is odd, ASCII letters upper case. Digits are not
// checked ("xyz" -> "XY Z"). Bytes of double-byte characters are grouped like
// any others, so a character can be split between groups, and its lead byte
// then takes the space after it as its second byte.
// "01 03 1000 0025" -> "01 03 10 00 00 25"
std::string NormalizeHexText(std::string_view text);

// Packs a text of pieces separated by ASCII spaces into one byte per piece:
// the piece's hex value modulo 256. Two spaces in a row or a leading space
// give an empty piece (byte 00); a trailing space gives no piece; a piece
// that is not a hex number packs as 00. Pieces are split by characters, so a
// double-byte character is never cut. Pure: the caller adds result.size() to
// the transmit counter before it writes.
// "01 03 10 00 00 25 D1 80" -> the 8 bytes 01 03 10 00 00 25 D1 80
std::string PackHexText(std::string_view text);

}  // namespace quorvel
