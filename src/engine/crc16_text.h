#pragma once

// CRC-16 (reflected polynomial 0xA001, initial value 0xFFFF, no final
// exclusive-or: the Modbus RTU check) of the bytes written in a hex text.
//
// The register is computed on bit texts, byte by byte through ConvertRadix,
// so that text the user typed wrongly still gives the one defined answer the
// senders and the module frame generator append to their frames.

#include <string>
#include <string_view>

namespace quorvel {

// Position-wise exclusive-or of two texts of "0" and "1", spaces removed
// first. The result has the length of `a`: a shorter `b` is padded on the
// left with "0", a longer one keeps only its last bytes. Any two bytes that
// differ give "1", equal bytes "0", whatever they are.
// XorBitText("1111", "1") -> "1110"
std::string XorBitText(std::string_view a, std::string_view b);

// The CRC-16 of the hex text as "HH LL" (register high byte first), or
// "LL HH" when `low_byte_first`. Spaces (ASCII and ideographic) and letter
// case do not matter; the text is cut into two-byte pairs and a last odd
// digit is ignored; the empty text gives "FF FF". A pair that is not a hex
// number sets the register to all ones before its eight shifts ("G9 03" ->
// "B1 41"), and a pair that is one full-width digit counts as that digit's
// value (full-width "E9" is the two bytes 0E 09), as the packer sends it.
// "01 03 10 00 00 25" -> "D1 80"
std::string Crc16HexText(std::string_view hex_text, bool low_byte_first);

}  // namespace quorvel
