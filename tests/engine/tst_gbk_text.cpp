#include <QtTest>

#include "engine/gbk_text.h"
#include "gbk_literal.h"

using quorvel::test::G;

class TestGbkText : public QObject {
  Q_OBJECT

 private slots:
  void removeSpaces_data();
  void removeSpaces();
  void trim_data();
  void trim();
  void halfWidthAndUpper_data();
  void halfWidthAndUpper();
  void split_data();
  void split();
  void findStepsOverDoubleByteCharacters();
  void firstAndLastBytes();
  void textToInteger_data();
  void textToInteger();
};

void TestGbkText::removeSpaces_data() {
  QTest::addColumn<std::string>("text");
  QTest::addColumn<std::string>("expected");
  QTest::addRow("ascii spaces") << std::string(" 01 03  10 ") << std::string("010310");
  QTest::addRow("ideographic spaces") << G(u8"01　03") << std::string("0103");
  QTest::addRow("tabs and line breaks stay") << std::string("0\t1\r\n2") << std::string("0\t1\r\n2");
  // B0 A1 is one character: its second byte followed by A1 must not be read
  // as an ideographic space.
  QTest::addRow("A1 inside characters") << std::string("\xB0\xA1\xA1\xB0") << std::string("\xB0\xA1\xA1\xB0");
  QTest::addRow("only spaces") << G(u8"  　 ") << std::string();
}

void TestGbkText::removeSpaces() {
  QFETCH(std::string, text);
  QFETCH(std::string, expected);
  QCOMPARE(quorvel::RemoveSpaces(text), expected);
}

void TestGbkText::trim_data() {
  QTest::addColumn<std::string>("text");
  QTest::addColumn<std::string>("trimmed_end");
  QTest::addColumn<std::string>("trimmed");
  QTest::addRow("both ends") << std::string("  0A  ") << std::string("  0A") << std::string("0A");
  QTest::addRow("ideographic") << G(u8"　0A　 ") << G(u8"　0A") << std::string("0A");
  QTest::addRow("inner spaces stay") << std::string(" A B ") << std::string(" A B") << std::string("A B");
  QTest::addRow("line break at end stays") << std::string("A\r\n ") << std::string("A\r\n") << std::string("A\r\n");
  // A lead byte takes the space after it: the pair is one character.
  QTest::addRow("lead byte swallows space") << std::string("A\xB0 ") << std::string("A\xB0 ") << std::string("A\xB0 ");
  QTest::addRow("spaces only") << std::string("   ") << std::string() << std::string();
}

void TestGbkText::trim() {
  QFETCH(std::string, text);
  QFETCH(std::string, trimmed_end);
  QFETCH(std::string, trimmed);
  QCOMPARE(quorvel::TrimEnd(text), trimmed_end);
  QCOMPARE(quorvel::Trim(text), trimmed);
}

void TestGbkText::halfWidthAndUpper_data() {
  QTest::addColumn<std::string>("text");
  QTest::addColumn<std::string>("half_width");
  QTest::addColumn<std::string>("upper");
  QTest::addRow("full-width letters") << G(u8"ＦｆＥ９") << std::string("FfE9") << G(u8"ＦｆＥ９");
  QTest::addRow("tilde stars space") << G(u8"～＊※　") << G(u8"~*※ ") << G(u8"～＊※　");
  QTest::addRow("chinese stays") << G(u8"a中b") << G(u8"a中b") << G(u8"A中B");
  // 0xB0 0x61: "a" as a trail byte is part of the character, not a letter.
  QTest::addRow("trail byte not a letter") << std::string("\xB0\x61z") << std::string("\xB0\x61z")
                                           << std::string("\xB0\x61Z");
  QTest::addRow("dangling lead byte") << std::string("ab\xB0") << std::string("ab") << std::string("AB\xB0");
}

void TestGbkText::halfWidthAndUpper() {
  QFETCH(std::string, text);
  QFETCH(std::string, half_width);
  QFETCH(std::string, upper);
  QCOMPARE(quorvel::ToHalfWidth(text), half_width);
  QCOMPARE(quorvel::ToUpperAscii(text), upper);
}

void TestGbkText::split_data() {
  using Items = std::vector<std::string>;
  QTest::addColumn<std::string>("text");
  QTest::addColumn<std::string>("delimiter");
  QTest::addColumn<Items>("items");
  QTest::addRow("list with empty line") << std::string("01 03\r\n\r\n02 03\r\n") << std::string("\r\n")
                                        << Items{"01 03", "", "02 03"};
  QTest::addRow("leading break") << std::string("\r\nA") << std::string("\r\n") << Items{"", "A"};
  QTest::addRow("break alone") << std::string("\r\n") << std::string("\r\n") << Items{""};
  QTest::addRow("empty text") << std::string() << std::string("\r\n") << Items{};
  QTest::addRow("double space") << std::string("FF  01") << std::string(" ") << Items{"FF", "", "01"};
  QTest::addRow("leading and trailing space") << std::string(" FF ") << std::string(" ") << Items{"", "FF"};
  // The lead byte B0 takes the space after it, so no split happens there.
  QTest::addRow("space inside a character") << std::string("\xB0 A B") << std::string(" ")
                                            << Items{"\xB0 A", "B"};
}

void TestGbkText::split() {
  using Items = std::vector<std::string>;
  QFETCH(std::string, text);
  QFETCH(std::string, delimiter);
  QFETCH(Items, items);
  QCOMPARE(quorvel::SplitText(text, delimiter), items);
}

void TestGbkText::findStepsOverDoubleByteCharacters() {
  const std::string arrow = G(u8"→");  // A1 FA
  QCOMPARE(quorvel::FindText("01  " + arrow + " 1", arrow), std::size_t{4});
  // "\xB0\xA1" followed by "\xFA": the bytes A1 FA straddle a character.
  QCOMPARE(quorvel::FindText(std::string("\xB0\xA1\xFA\x41"), arrow), std::string_view::npos);
  QVERIFY(quorvel::ContainsText("abc", ""));
}

void TestGbkText::firstAndLastBytes() {
  QCOMPARE(quorvel::FirstBytes("abcdef", 4), std::string_view("abcd"));
  QCOMPARE(quorvel::FirstBytes("ab", 24), std::string_view("ab"));
  QCOMPARE(quorvel::FirstBytes("ab", -1), std::string_view());
  QCOMPARE(quorvel::LastBytes("abcdef", 2), std::string_view("ef"));
  QCOMPARE(quorvel::LastBytes("ab", 8), std::string_view("ab"));
  // Counting bytes may cut a character in half.
  QCOMPARE(quorvel::LastBytes("\xB0\xA1\x41", 2), std::string_view("\xA1\x41"));
}

void TestGbkText::textToInteger_data() {
  QTest::addColumn<std::string>("text");
  QTest::addColumn<int>("value");
  QTest::addRow("plain") << std::string("500") << 500;
  QTest::addRow("letters after digits") << std::string("75ms") << 75;
  QTest::addRow("full-width digits") << G(u8"７５") << 75;
  QTest::addRow("full-width minus") << G(u8"－５") << -5;
  QTest::addRow("leading white space and sign") << std::string(" \t+42") << 42;
  QTest::addRow("ideographic space leads") << G(u8"　9") << 9;
  QTest::addRow("no digits") << std::string("abc") << 0;
  QTest::addRow("sign only") << std::string("-") << 0;
  QTest::addRow("empty") << std::string() << 0;
  QTest::addRow("saturates high") << std::string("99999999999") << 2147483647;
  QTest::addRow("saturates low") << std::string("-99999999999") << -2147483647 - 1;
}

void TestGbkText::textToInteger() {
  QFETCH(std::string, text);
  QFETCH(int, value);
  QCOMPARE(quorvel::TextToInteger(text), value);
}

QTEST_APPLESS_MAIN(TestGbkText)
#include "tst_gbk_text.moc"
