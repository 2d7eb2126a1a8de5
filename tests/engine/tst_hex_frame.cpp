#include <QtTest>

#include "engine/crc16_text.h"
#include "engine/hex_frame.h"
#include "gbk_literal.h"

using quorvel::test::G;
using quorvel::test::HexDump;

class TestHexFrame : public QObject {
  Q_OBJECT

 private slots:
  void normalize_data();
  void normalize();
  void pack_data();
  void pack();
  void normalisedFrameWithCrcPacksToItsBytes();
};

void TestHexFrame::normalize_data() {
  QTest::addColumn<std::string>("text");
  QTest::addColumn<std::string>("expected");

  QTest::addRow("no spaces") << std::string("010310000025") << std::string("01 03 10 00 00 25");
  QTest::addRow("uneven groups") << std::string("01 03 1000 0025") << std::string("01 03 10 00 00 25");
  QTest::addRow("leading and trailing spaces") << std::string("  0103  ") << std::string("01 03");
  QTest::addRow("ideographic spaces") << G(u8"01　0310") << std::string("01 03 10");
  QTest::addRow("lower case") << std::string("ab cd") << std::string("AB CD");
  QTest::addRow("odd count") << std::string("1 2 3") << std::string("12 3");
  QTest::addRow("single digit") << std::string("a") << std::string("A");
  QTest::addRow("spaces only") << G(u8"  　 ") << std::string();
  QTest::addRow("empty") << std::string() << std::string();
  QTest::addRow("digits not checked") << std::string("xyz") << std::string("XY Z");
  QTest::addRow("tab is not a space") << std::string("0\t12") << std::string("0\t 12");
  // Full-width letters are double-byte characters here: grouped, not folded.
  QTest::addRow("full-width stays") << G(u8"ＡＢ") << G(u8"Ａ Ｂ");
  QTest::addRow("whole character in a group") << G(u8"中ab") << G(u8"中 AB");
  // The lead byte left at the end of a group takes the space after it, so
  // trimming and upper-casing step over both.
  QTest::addRow("split character keeps space") << G(u8"1中a") << std::string("1\xD6 \xD0" "a");
  QTest::addRow("split character at the end") << G(u8"1中") << std::string("1\xD6 \xD0 ");
}

void TestHexFrame::normalize() {
  QFETCH(std::string, text);
  QFETCH(std::string, expected);
  QCOMPARE(quorvel::NormalizeHexText(text), expected);
}

void TestHexFrame::pack_data() {
  QTest::addColumn<std::string>("text");
  QTest::addColumn<std::string>("bytes");

  QTest::addRow("frame with crc") << std::string("01 03 10 00 00 25 D1 80") << std::string("01 03 10 00 00 25 D1 80");
  QTest::addRow("leading space gives empty piece") << std::string(" FF FF") << std::string("00 FF FF");
  QTest::addRow("double space gives empty piece") << std::string("FF  01") << std::string("FF 00 01");
  QTest::addRow("trailing space gives no piece") << std::string("FF ") << std::string("FF");
  QTest::addRow("empty") << std::string() << std::string();
  QTest::addRow("single digit") << std::string("7") << std::string("07");
  QTest::addRow("lower case") << std::string("ab") << std::string("AB");
  QTest::addRow("non-hex piece packs as zero") << std::string("G1 02") << std::string("00 02");
  QTest::addRow("long piece modulo 256") << std::string("100 1FF") << std::string("00 FF");
  QTest::addRow("tab stays in the piece") << std::string("0\t1 02") << std::string("00 02");
  QTest::addRow("full-width digit") << G(u8"Ｅ ９") << std::string("0E 09");
  QTest::addRow("full-width pair") << G(u8"ＥＡ") << std::string("EA");
  QTest::addRow("chinese piece") << G(u8"中 01") << std::string("00 01");
  // A lead byte followed by a space is one character: no split there.
  QTest::addRow("lead byte takes the space") << std::string("\xD6 01 02") << std::string("00 02");
}

void TestHexFrame::pack() {
  QFETCH(std::string, text);
  QFETCH(std::string, bytes);
  QCOMPARE(HexDump(quorvel::PackHexText(text)), bytes);
}

void TestHexFrame::normalisedFrameWithCrcPacksToItsBytes() {
  const std::string frame = quorvel::NormalizeHexText("e9031000 0025");
  const std::string packed = quorvel::PackHexText(frame + " " + quorvel::Crc16HexText(frame, true));
  QCOMPARE(HexDump(packed), std::string("E9 03 10 00 00 25 97 F9"));
}

QTEST_APPLESS_MAIN(TestHexFrame)
#include "tst_hex_frame.moc"
