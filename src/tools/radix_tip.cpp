#include "tools/radix_tip.h"

#include "engine/gbk_text.h"
#include "engine/radix_text.h"

namespace quorvel {
namespace {

constexpr std::string_view kHexLabel = "16\xBD\xF8\xD6\xC6\xA3\xBA";          // "16进制："
constexpr std::string_view kDecimalLabel = "\r\n10\xBD\xF8\xD6\xC6\xA3\xBA";  // "\r\n10进制："
constexpr std::string_view kBinaryLabel = "\r\n 2\xBD\xF8\xD6\xC6\xA3\xBA";   // "\r\n 2进制："
constexpr std::string_view kNoDecimal = "     ??? ";
constexpr std::string_view kNoBinary = "???????? ";
constexpr int kCellDigits = 8;

// The last 8 bytes of eight pad bytes followed by `text`, and a space.
std::string Cell(std::string_view text, char pad) {
  std::string padded(kCellDigits, pad);
  padded += text;
  std::string cell(LastBytes(padded, kCellDigits));
  cell += ' ';
  return cell;
}

// Every CR LF found by characters becomes one space.
std::string CrLfToSpaces(std::string_view text) {
  std::string out;
  std::size_t at;
  while ((at = FindText(text, "\r\n")) != std::string_view::npos) {
    out += text.substr(0, at);
    out += ' ';
    text.remove_prefix(at + 2);
  }
  out += text;
  return out;
}

}  // namespace

std::string RadixTipText(std::string_view selection) {
  const std::string trimmed = Trim(selection);
  if (trimmed.empty()) return {};

  std::string hex_column, decimal_column, binary_column;
  for (const std::string& piece : SplitText(CrLfToSpaces(trimmed), " ")) {
    if (piece.empty()) continue;
    hex_column += Cell(piece, ' ');
    // An invalid-digit text keeps its ending "进制数！" in the cell; its
    // cell shows question marks instead.
    const std::string decimal = ConvertRadix(piece, 16, 10);
    decimal_column += IsInvalidDigitsText(decimal) ? std::string(kNoDecimal) : Cell(decimal, ' ');
    const std::string binary = ConvertRadix(piece, 16, 2);
    binary_column += IsInvalidDigitsText(binary) ? std::string(kNoBinary) : Cell(binary, '0');
  }

  std::string tip(kHexLabel);
  tip += hex_column;
  tip += kDecimalLabel;
  tip += decimal_column;
  tip += kBinaryLabel;
  tip += binary_column;
  return tip;
}

}  // namespace quorvel
