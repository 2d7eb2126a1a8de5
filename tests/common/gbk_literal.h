#pragma once

// Tests write their Chinese texts readably as UTF-8 and compare GBK bytes:
// G(u8"宋体") gives the four GBK bytes CB CE CC E5.

#include <QtTest>
#include <string>

namespace quorvel::test {

std::string G(const char8_t* utf8);

// Hex dump "01 AB FF" of a byte string.
std::string HexDump(const std::string& bytes);

// A byte string as printable ASCII with every other byte as \xNN.
std::string Escaped(const std::string& bytes);

}  // namespace quorvel::test

// Lets QCOMPARE print byte strings when they differ.
namespace QTest {
template <>
inline char* toString<std::string>(const std::string& bytes) {
  return qstrdup(("\"" + quorvel::test::Escaped(bytes) + "\"").c_str());
}
}  // namespace QTest
