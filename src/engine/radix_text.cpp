#include "engine/radix_text.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/gbk_text.h"

namespace quorvel {
namespace {

constexpr std::string_view kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// "参数错误-进制只能在2-36之间"
constexpr std::string_view kRadixError =
    "\xB2\xCE\xCA\xFD\xB4\xED\xCE\xF3-\xBD\xF8\xD6\xC6\xD6\xBB\xC4\xDC\xD4\xDA"
    "2-36\xD6\xAE\xBC\xE4";
// "参数错误-"
constexpr std::string_view kInvalidPrefix = "\xB2\xCE\xCA\xFD\xB4\xED\xCE\xF3-";
// "不是一个有效的"
constexpr std::string_view kInvalidMiddle = "\xB2\xBB\xCA\xC7\xD2\xBB\xB8\xF6\xD3\xD0\xD0\xA7\xB5\xC4";
// 零一二三四五六七八九, two GBK bytes each
constexpr std::string_view kNumeralDigits =
    "\xC1\xE3\xD2\xBB\xB6\xFE\xC8\xFD\xCB\xC4\xCE\xE5\xC1\xF9\xC6\xDF\xB0\xCB\xBE\xC5";
// 十
constexpr std::string_view kNumeralTen = "\xCA\xAE";

std::string_view NumeralDigit(int digit) { return kNumeralDigits.substr(static_cast<std::size_t>(digit) * 2, 2); }

// The radix as an amount in Chinese numerals; the tens digit is written even
// when it is one: 2 -> 二, 10 -> 一十, 16 -> 一十六, 20 -> 二十.
std::string ChineseNumeral(int radix) {
  if (radix < 10) return std::string(NumeralDigit(radix));
  std::string numeral(NumeralDigit(radix / 10));
  numeral += kNumeralTen;
  if (radix % 10 != 0) numeral += NumeralDigit(radix % 10);
  return numeral;
}

// Value of a digit that has passed validation (upper case, in the alphabet).
int DigitValue(char digit) { return static_cast<int>(kDigits.find(digit)); }

// Adds in double precision and truncates toward zero into 64 bits, saturating
// where the double leaves the 64-bit range instead of overflowing.
std::int64_t AddTruncated(std::int64_t value, double term) {
  const double sum = static_cast<double>(value) + term;
  constexpr double kTwoTo63 = 9223372036854775808.0;
  if (sum >= kTwoTo63) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(sum);
}

}  // namespace

std::string ConvertRadix(std::string_view text, int from, int to) {
  if (from < 2 || to < 2 || from > 36 || to > 36) return std::string(kRadixError);

  const std::string normalised = ToUpperAscii(ToHalfWidth(text));

  const std::string_view allowed = kDigits.substr(0, static_cast<std::size_t>(from));
  for (const char byte : normalised) {
    if (allowed.find(byte) == std::string_view::npos) {
      std::string error(kInvalidPrefix);
      error += normalised;
      error += kInvalidMiddle;
      error += ChineseNumeral(from);
      error += kInvalidDigitsEnding;
      return error;
    }
  }

  if (from == to) return normalised;

  // Each step is done in double precision, so the value is exact below 2^53.
  std::int64_t value = 0;
  const std::size_t n = normalised.size();
  for (std::size_t j = 0; j < n; ++j) {
    const double power = std::pow(static_cast<double>(from), static_cast<double>(n - 1 - j));
    value = AddTruncated(value, DigitValue(normalised[j]) * power);
  }

  // Quotients are held in 64 bits; for values below 2^53 integer division
  // gives the same remainders and quotients as division in double precision.
  std::string digits;
  while (value >= to) {
    digits.insert(digits.begin(), kDigits[static_cast<std::size_t>(value % to)]);
    value /= to;
  }
  digits.insert(digits.begin(), kDigits[static_cast<std::size_t>(value)]);
  return digits;
}

}  // namespace quorvel
