#include "serial/device_order.h"

#include <algorithm>
#include <string_view>

namespace quorvel {
namespace {

struct SortKey {
  int group;                 // 0 ttyUSB, 1 ttyACM, 2 any other device
  std::string_view number;   // digits without leading zeros, for groups 0 and 1
  std::string_view path;
};

// Compares decimal digit strings by value without converting them, so no
// number is too long to order.
bool NumberLess(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

SortKey KeyOf(std::string_view path) {
  static constexpr std::string_view kPrefixes[] = {"/dev/ttyUSB", "/dev/ttyACM"};
  for (int group = 0; group < 2; ++group) {
    const std::string_view prefix = kPrefixes[group];
    if (!path.starts_with(prefix)) continue;
    std::string_view digits = path.substr(prefix.size());
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      break;
    }
    while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
    return {group, digits, path};
  }
  return {2, {}, path};
}

bool KeyLess(const SortKey& a, const SortKey& b) {
  if (a.group != b.group) return a.group < b.group;
  if (a.number != b.number) return NumberLess(a.number, b.number);
  return a.path < b.path;
}

}  // namespace

std::vector<std::string> OrderSerialDevices(std::vector<std::string> paths) {
  std::sort(paths.begin(), paths.end(),
            [](const std::string& a, const std::string& b) { return KeyLess(KeyOf(a), KeyOf(b)); });
  paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
  return paths;
}

}  // namespace quorvel
