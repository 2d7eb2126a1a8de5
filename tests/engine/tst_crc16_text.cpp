#include <QtTest>

#include <cstdint>
#include <random>

#include "engine/crc16_text.h"
#include "gbk_literal.h"
#include "modbus_reference.h"

using quorvel::test::G;

namespace {

std::string HexByte(unsigned value) {
  static const char kDigits[] = "0123456789ABCDEF";
  return {kDigits[(value >> 4) & 15], kDigits[value & 15]};
}

}  // namespace

class TestCrc16Text : public QObject {
  Q_OBJECT

 private slots:
  void crc_data();
  void crc();
  void crcMatchesBitwiseCrcOnValidFrames();
  void xorBitText_data();
  void xorBitText();
};

void TestCrc16Text::crc_data() {
  QTest::addColumn<std::string>("hex_text");
  QTest::addColumn<std::string>("high_first");
  QTest::addColumn<std::string>("low_first");

  QTest::addRow("module frame") << std::string("E9 03 10 00 00 25") << std::string("F9 97") << std::string("97 F9");
  QTest::addRow("address 1 frame") << std::string("01 03 10 00 00 25") << std::string("D1 80")
                                   << std::string("80 D1");
  QTest::addRow("lower case, uneven spacing") << std::string("e9031000 0025") << std::string("F9 97")
                                              << std::string("97 F9");
  QTest::addRow("ideographic spaces") << G(u8"E9　03　10　00　00　25") << std::string("F9 97")
                                      << std::string("97 F9");
  QTest::addRow("empty") << std::string() << std::string("FF FF") << std::string("FF FF");
  QTest::addRow("spaces only") << std::string("   ") << std::string("FF FF") << std::string("FF FF");
  QTest::addRow("odd last digit ignored") << std::string("E9 03 10 00 00 2") << std::string("56 78")
                                          << std::string("78 56");
  QTest::addRow("single digit ignored") << std::string("7") << std::string("FF FF") << std::string("FF FF");
  QTest::addRow("one byte 03") << std::string("03") << std::string("41 FF") << std::string("FF 41");
  QTest::addRow("one byte 00") << std::string("00") << std::string("40 BF") << std::string("BF 40");
  // An invalid pair sets every register bit, whatever came before it.
  QTest::addRow("invalid pair") << std::string("G9 03") << std::string("B1 41") << std::string("41 B1");
  QTest::addRow("invalid pair after bytes") << std::string("01 02 G9 03") << std::string("B1 41")
                                            << std::string("41 B1");
  QTest::addRow("double-byte character pair") << G(u8"中03") << std::string("B1 41") << std::string("41 B1");
  // Each full-width digit fills a pair on its own: bytes 0E 09, not E9.
  QTest::addRow("full-width digits") << G(u8"Ｅ９") << std::string("D6 C5") << std::string("C5 D6");
  QTest::addRow("full-width single byte") << G(u8"Ｅ") << std::string("84 3E") << std::string("3E 84");
}

void TestCrc16Text::crc() {
  QFETCH(std::string, hex_text);
  QFETCH(std::string, high_first);
  QFETCH(std::string, low_first);
  QCOMPARE(quorvel::Crc16HexText(hex_text, false), high_first);
  QCOMPARE(quorvel::Crc16HexText(hex_text, true), low_first);
}

void TestCrc16Text::crcMatchesBitwiseCrcOnValidFrames() {
  std::mt19937 random(20240531);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int length = 1; length <= 40; ++length) {
    std::string bytes;
    std::string hex_text;
    for (int i = 0; i < length; ++i) {
      bytes.push_back(static_cast<char>(byte(random)));
      hex_text += HexByte(static_cast<unsigned char>(bytes.back())) + " ";
    }
    // The text method must agree with the bitwise CRC on valid hex text.
    const std::uint16_t reg = quorvel::test::ModbusCrc(bytes);
    const std::string expected = HexByte(reg >> 8) + " " + HexByte(reg & 0xFF);
    QCOMPARE(quorvel::Crc16HexText(hex_text, false), expected);
  }
}

void TestCrc16Text::xorBitText_data() {
  QTest::addColumn<std::string>("a");
  QTest::addColumn<std::string>("b");
  QTest::addColumn<std::string>("expected");

  QTest::addRow("shorter b padded with zeros") << std::string("1111") << std::string("1") << std::string("1110");
  QTest::addRow("longer b keeps its end") << std::string("10") << std::string("0111") << std::string("01");
  QTest::addRow("equal lengths") << std::string("1100") << std::string("1010") << std::string("0110");
  QTest::addRow("empty a") << std::string() << std::string("101") << std::string();
  QTest::addRow("empty b") << std::string("101") << std::string() << std::string("101");
  QTest::addRow("spaces removed first") << std::string("1010 0000") << std::string(" 1 1") << std::string("10100011");
  QTest::addRow("other bytes differ from bits") << std::string("0101") << G(u8"数！") << std::string("1111");
  QTest::addRow("equal other bytes give zero") << std::string("1x1") << std::string("0x0") << std::string("101");
}

void TestCrc16Text::xorBitText() {
  QFETCH(std::string, a);
  QFETCH(std::string, b);
  QFETCH(std::string, expected);
  QCOMPARE(quorvel::XorBitText(a, b), expected);
}

QTEST_APPLESS_MAIN(TestCrc16Text)
#include "tst_crc16_text.moc"
