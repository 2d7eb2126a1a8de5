#include <QtTest>

#include <string>

#include "gbk_literal.h"
#include "tools/radix_tip.h"

using quorvel::test::G;

class TestRadixTip : public QObject {
  Q_OBJECT

 private slots:
  void columns_data();
  void columns();
  void wholeExample();
  void noTip_data();
  void noTip();
};

void TestRadixTip::columns_data() {
  QTest::addColumn<std::string>("selection");
  QTest::addColumn<std::string>("hex");
  QTest::addColumn<std::string>("decimal");
  QTest::addColumn<std::string>("binary");
  using S = std::string;
  QTest::addRow("spaces around") << S("  0A  ") << S("      0A ") << S("      10 ") << S("00001010 ");
  QTest::addRow("across a line break") << S("01 03\r\n10") << S("      01       03       10 ")
                                       << S("       1        3       16 ") << S("00000001 00000011 00010000 ");
  QTest::addRow("two spaces: empty piece skipped") << S("01  03") << S("      01       03 ")
                                                   << S("       1        3 ") << S("00000001 00000011 ");
  QTest::addRow("ideographic spaces trimmed") << G(u8"　7F　") << S("      7F ") << S("     127 ") << S("01111111 ");
  QTest::addRow("FFFFFFFF: last 8 bytes") << S("FFFFFFFF") << S("FFFFFFFF ") << S("94967295 ") << S("11111111 ");
  QTest::addRow("1FF: low 8 bits") << S("1FF") << S("     1FF ") << S("     511 ") << S("11111111 ");
  QTest::addRow("nine digits") << S("123456789") << S("23456789 ") << S("86718345 ") << S("10001001 ");
  QTest::addRow("G1 is no hex number") << S("G1") << S("      G1 ") << S("     ??? ") << S("???????? ");
  QTest::addRow("0x1F is no hex number") << S("0x1F") << S("    0x1F ") << S("     ??? ") << S("???????? ");
  QTest::addRow("lower case shown as selected") << S("ff") << S("      ff ") << S("     255 ") << S("11111111 ");
  // Four bytes in the cell; the conversion reads them as FF.
  QTest::addRow("full-width digits") << G(u8"ＦＦ") << G(u8"    ＦＦ ") << S("     255 ") << S("11111111 ");
  // Byte counting cuts the first character in half at the cell's left edge.
  QTest::addRow("double-byte text cut by bytes") << G(u8"中中中中A") << G(u8"中中中中A").substr(1) + " "
                                                 << S("     ??? ") << S("???????? ");
  QTest::addRow("lone LF stays inside the piece") << S("01\n02") << S("   01\n02 ") << S("     ??? ")
                                                  << S("???????? ");
  QTest::addRow("only a line break: empty columns") << S("\r\n") << S() << S() << S();
}

void TestRadixTip::columns() {
  QFETCH(std::string, selection);
  QFETCH(std::string, hex);
  QFETCH(std::string, decimal);
  QFETCH(std::string, binary);
  const std::string tip = G(u8"16进制：") + hex + G(u8"\r\n10进制：") + decimal + G(u8"\r\n 2进制：") + binary;
  QCOMPARE(quorvel::RadixTipText(selection), tip);
}

void TestRadixTip::wholeExample() {
  QCOMPARE(quorvel::RadixTipText("01 FF 1A"),
           G(u8"16进制：      01       FF       1A \r\n10进制：       1      255       26 \r\n"
             u8" 2进制：00000001 11111111 00011010 "));
}

void TestRadixTip::noTip_data() {
  QTest::addColumn<std::string>("selection");
  QTest::addRow("plain click") << std::string();
  QTest::addRow("spaces only") << std::string("   ");
  QTest::addRow("ideographic spaces only") << G(u8"　 　");
}

void TestRadixTip::noTip() {
  QFETCH(std::string, selection);
  QCOMPARE(quorvel::RadixTipText(selection), std::string());
}

QTEST_APPLESS_MAIN(TestRadixTip)
#include "tst_radix_tip.moc"
