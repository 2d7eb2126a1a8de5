#include "gbk_literal.h"

#include <QString>

#include "platform/gbk_codec.h"

namespace quorvel::test {

std::string G(const char8_t* utf8) {
  return ToGbk(QString::fromUtf8(reinterpret_cast<const char*>(utf8)));
}

std::string HexDump(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char byte : bytes) {
    if (!out.empty()) out.push_back(' ');
    out.push_back(kDigits[byte >> 4]);
    out.push_back(kDigits[byte & 15]);
  }
  return out;
}

}  // namespace quorvel::test

namespace quorvel::test {

std::string Escaped(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char byte : bytes) {
    if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
      out.push_back(static_cast<char>(byte));
    } else {
      out += "\\x";
      out.push_back(kDigits[byte >> 4]);
      out.push_back(kDigits[byte & 15]);
    }
  }
  return out;
}

}  // namespace quorvel::test
