#include <QtTest>

#include "engine/radix_text.h"
#include "gbk_literal.h"

using quorvel::test::G;

class TestRadixText : public QObject {
  Q_OBJECT

 private slots:
  void convert_data();
  void convert();
  void errors_data();
  void errors();
};

void TestRadixText::convert_data() {
  QTest::addColumn<std::string>("text");
  QTest::addColumn<int>("from");
  QTest::addColumn<int>("to");
  QTest::addColumn<std::string>("expected");

  QTest::addRow("hex to decimal") << std::string("FF") << 16 << 10 << std::string("255");
  QTest::addRow("lower-case hex") << std::string("ff") << 16 << 10 << std::string("255");
  QTest::addRow("full-width hex") << G(u8"ＦＦ") << 16 << 10 << std::string("255");
  QTest::addRow("full-width lower-case hex") << G(u8"ｆｆ") << 16 << 10 << std::string("255");
  QTest::addRow("hex byte to bits") << std::string("E9") << 16 << 2 << std::string("11101001");
  QTest::addRow("no leading zero bits") << std::string("03") << 16 << 2 << std::string("11");
  QTest::addRow("zero is one digit") << std::string("00") << 16 << 2 << std::string("0");
  QTest::addRow("bits to hex") << std::string("1111111111111111") << 2 << 16 << std::string("FFFF");
  QTest::addRow("leading zero bits dropped") << std::string("0000000000000001") << 2 << 16 << std::string("1");
  QTest::addRow("decimal to hex") << std::string("255") << 10 << 16 << std::string("FF");
  QTest::addRow("radix 36 to decimal") << std::string("ZZ") << 36 << 10 << std::string("1295");
  QTest::addRow("radix 36 to octal") << std::string("zz") << 36 << 8 << std::string("2417");
  QTest::addRow("binary to radix 36") << std::string("100011") << 2 << 36 << std::string("Z");
  QTest::addRow("exact multiple of target") << std::string("100") << 10 << 20 << std::string("50");
  QTest::addRow("empty text is zero") << std::string() << 16 << 2 << std::string("0");
  QTest::addRow("empty text same radix") << std::string() << 10 << 10 << std::string();
  QTest::addRow("same radix keeps leading zero") << std::string("0ff") << 16 << 16 << std::string("0FF");
  QTest::addRow("same radix folds full width") << G(u8"０ｆ") << 16 << 16 << std::string("0F");
  QTest::addRow("32 ones") << std::string("FFFFFFFF") << 16 << 2 << std::string(32, '1');
  QTest::addRow("largest 32-bit to decimal") << std::string("FFFFFFFF") << 16 << 10 << std::string("4294967295");
  // Quotients are held in 64 bits, so values beyond to * 2^31 still convert.
  QTest::addRow("2^32 to bits") << std::string("100000000") << 16 << 2 << "1" + std::string(32, '0');
  QTest::addRow("40-bit value to decimal") << std::string("FFFFFFFFFF") << 16 << 10 << std::string("1099511627775");
  QTest::addRow("2^53 - 1 to decimal") << std::string("1FFFFFFFFFFFFF") << 16 << 10 << std::string("9007199254740991");
  QTest::addRow("2^53 - 1 to radix 36") << std::string("9007199254740991") << 10 << 36 << std::string("2GOSA7PA2GV");
  // Beyond 2^53 the value is built in double precision: 2^53 + 1 rounds to 2^53.
  QTest::addRow("2^53 + 1 rounds") << std::string("20000000000001") << 16 << 10 << std::string("9007199254740992");
  QTest::addRow("beyond 64 bits saturates") << std::string(20, 'F') << 16 << 10 << std::string("9223372036854775807");
}

void TestRadixText::convert() {
  QFETCH(std::string, text);
  QFETCH(int, from);
  QFETCH(int, to);
  QFETCH(std::string, expected);
  QCOMPARE(quorvel::ConvertRadix(text, from, to), expected);
}

void TestRadixText::errors_data() {
  QTest::addColumn<std::string>("text");
  QTest::addColumn<int>("from");
  QTest::addColumn<int>("to");
  QTest::addColumn<std::string>("expected");

  const std::string radix_error = G(u8"参数错误-进制只能在2-36之间");
  QTest::addRow("source radix 1") << std::string("1") << 1 << 10 << radix_error;
  QTest::addRow("source radix 37") << std::string("1") << 37 << 10 << radix_error;
  QTest::addRow("target radix 1") << std::string("1") << 10 << 1 << radix_error;
  QTest::addRow("target radix 37") << std::string("1") << 10 << 37 << radix_error;
  QTest::addRow("radix checked before digits") << std::string("G") << 16 << 0 << radix_error;

  QTest::addRow("radix 2") << std::string("12") << 2 << 16 << G(u8"参数错误-12不是一个有效的二进制数！");
  QTest::addRow("radix 9") << std::string("19") << 9 << 10 << G(u8"参数错误-19不是一个有效的九进制数！");
  QTest::addRow("radix 10") << std::string("1G") << 10 << 16 << G(u8"参数错误-1G不是一个有效的一十进制数！");
  QTest::addRow("radix 11") << std::string("B") << 11 << 10 << G(u8"参数错误-B不是一个有效的一十一进制数！");
  QTest::addRow("radix 16") << std::string("1G") << 16 << 10 << G(u8"参数错误-1G不是一个有效的一十六进制数！");
  QTest::addRow("radix 20") << std::string("1K") << 20 << 10 << G(u8"参数错误-1K不是一个有效的二十进制数！");
  QTest::addRow("radix 36") << std::string("Z?") << 36 << 10 << G(u8"参数错误-Z?不是一个有效的三十六进制数！");
  QTest::addRow("quotes normalised text") << std::string("1g") << 16 << 10
                                          << G(u8"参数错误-1G不是一个有效的一十六进制数！");
  QTest::addRow("quotes half-width text") << G(u8"ｆｇ") << 16 << 10
                                          << G(u8"参数错误-FG不是一个有效的一十六进制数！");
  QTest::addRow("invalid last byte") << std::string("12G") << 16 << 10
                                     << G(u8"参数错误-12G不是一个有效的一十六进制数！");
  QTest::addRow("space is not a digit") << std::string("1 2") << 16 << 10
                                        << G(u8"参数错误-1 2不是一个有效的一十六进制数！");
  QTest::addRow("double-byte character") << G(u8"1中") << 16 << 10
                                         << G(u8"参数错误-1中不是一个有效的一十六进制数！");
  QTest::addRow("invalid even in same radix") << std::string("1g") << 16 << 16
                                              << G(u8"参数错误-1G不是一个有效的一十六进制数！");
}

void TestRadixText::errors() {
  QFETCH(std::string, text);
  QFETCH(int, from);
  QFETCH(int, to);
  QFETCH(std::string, expected);
  const std::string result = quorvel::ConvertRadix(text, from, to);
  QCOMPARE(result, expected);
  // Callers tell a failed conversion by its ending; the radix error is not one.
  QCOMPARE(quorvel::IsInvalidDigitsText(result), from >= 2 && from <= 36 && to >= 2 && to <= 36);
}

QTEST_APPLESS_MAIN(TestRadixText)
#include "tst_radix_text.moc"
