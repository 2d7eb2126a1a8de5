#include "engine/gbk_text.h"

#include <climits>

namespace quorvel {
namespace {

bool IsSpaceCharAt(std::string_view text, std::size_t pos, std::size_t len) {
  if (len == 1) return text[pos] == ' ';
  return text.substr(pos, 2) == kIdeographicSpace;
}

}  // namespace

std::size_t CharLengthAt(std::string_view text, std::size_t pos) {
  if (IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) return 2;
  return 1;
}

std::string RemoveSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t len = CharLengthAt(text, pos);
    if (!IsSpaceCharAt(text, pos, len)) out.append(text.substr(pos, len));
    pos += len;
  }
  return out;
}

std::string TrimEnd(std::string_view text) {
  std::size_t keep = 0;  // end of the last character that is not a space
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t len = CharLengthAt(text, pos);
    pos += len;
    if (!IsSpaceCharAt(text, pos - len, len)) keep = pos;
  }
  return std::string(text.substr(0, keep));
}

std::string Trim(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t len = CharLengthAt(text, start);
    if (!IsSpaceCharAt(text, start, len)) break;
    start += len;
  }
  return TrimEnd(text.substr(start));
}

std::string ToUpperAscii(std::string_view text) {
  std::string out(text);
  for (std::size_t pos = 0; pos < out.size();) {
    const std::size_t len = CharLengthAt(out, pos);
    if (len == 1 && out[pos] >= 'a' && out[pos] <= 'z') out[pos] = static_cast<char>(out[pos] - 0x20);
    pos += len;
  }
  return out;
}

std::string ToHalfWidth(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (!IsLeadByte(lead)) {
      out.push_back(text[pos]);
      ++pos;
      continue;
    }
    if (pos + 1 >= text.size()) break;  // a lead byte with nothing after it is dropped
    const auto trail = static_cast<unsigned char>(text[pos + 1]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out.push_back(static_cast<char>(trail - 0x80));
    } else if (lead == 0xA1 && trail == 0xA1) {
      out.push_back(' ');
    } else if (lead == 0xA1 && trail == 0xAB) {
      out.push_back('~');
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      out.push_back('*');
    } else {
      out.append(text.substr(pos, 2));
    }
    pos += 2;
  }
  return out;
}

std::size_t FindText(std::string_view text, std::string_view needle) {
  for (std::size_t pos = 0; pos <= text.size();) {
    if (text.substr(pos).starts_with(needle)) return pos;
    if (pos == text.size()) break;
    pos += CharLengthAt(text, pos);
  }
  return std::string_view::npos;
}

std::vector<std::string> SplitText(std::string_view text, std::string_view delimiter) {
  std::vector<std::string> items;
  if (delimiter.empty()) {
    if (!text.empty()) items.emplace_back(text);
    return items;
  }
  std::size_t item_start = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    if (text.substr(pos).starts_with(delimiter)) {
      items.emplace_back(text.substr(item_start, pos - item_start));
      pos += delimiter.size();
      item_start = pos;
    } else {
      pos += CharLengthAt(text, pos);
    }
  }
  if (item_start < text.size()) items.emplace_back(text.substr(item_start));
  return items;
}

std::string_view FirstBytes(std::string_view text, int count) {
  if (count <= 0) return {};
  return text.substr(0, static_cast<std::size_t>(count));
}

std::string_view LastBytes(std::string_view text, int count) {
  if (count <= 0) return {};
  const auto n = static_cast<std::size_t>(count);
  return n >= text.size() ? text : text.substr(text.size() - n);
}

int TextToInteger(std::string_view text) {
  const std::string half = ToHalfWidth(text);
  std::size_t pos = 0;
  auto is_white = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (pos < half.size() && is_white(half[pos])) ++pos;
  bool negative = false;
  if (pos < half.size() && (half[pos] == '+' || half[pos] == '-')) {
    negative = half[pos] == '-';
    ++pos;
  }
  long long value = 0;
  for (; pos < half.size() && half[pos] >= '0' && half[pos] <= '9'; ++pos) {
    if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (half[pos] - '0');
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace quorvel
