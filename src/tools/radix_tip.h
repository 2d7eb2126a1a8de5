#pragma once

// The radix tip on a selection in the log: every selected word read as a
// hexadecimal number, shown with its decimal and binary value in aligned
// columns.

#include <string>
#include <string_view>

namespace quorvel {

// The tip text for the selected text (GBK), or "" when no tip is shown (the
// selection is empty after trimming ASCII and ideographic spaces).
// CR LF pairs become spaces; the text is split at spaces by characters and
// empty pieces are skipped. Each piece gives a 9-byte cell (8 bytes, right
// aligned, and a space) in three columns: the piece as selected, its decimal
// value and its binary value (padded with "0"), each cut to its last 8 bytes;
// a piece that is no hex number gives "     ??? " and "???????? ".
// Lines: "16进制：" hex column, "\r\n10进制：" decimal, "\r\n 2进制：" binary.
// "01 FF" -> "16进制：      01       FF \r\n10进制：       1      255 \r\n"
//            " 2进制：00000001 11111111 "
std::string RadixTipText(std::string_view selection);

}  // namespace quorvel
