#include <QtTest>

#include <string>
#include <vector>

#include "gbk_literal.h"
#include "transmit/send_list.h"

using quorvel::test::G;
using Items = std::vector<std::string>;

class TestSendList : public QObject {
  Q_OBJECT

 private slots:
  void split_data();
  void split();
  void emptiness_data();
  void emptiness();
  void chosenText_data();
  void chosenText();
};

void TestSendList::split_data() {
  QTest::addColumn<std::string>("text");
  QTest::addColumn<Items>("items");
  QTest::addRow("empty line in the middle, final break adds nothing")
      << std::string("01 03 10 00 00 25\r\n\r\n02 03 10 00 00 25\r\n")
      << Items{"01 03 10 00 00 25", "", "02 03 10 00 00 25"};
  QTest::addRow("no final break") << std::string("A\r\nB") << Items{"A", "B"};
  QTest::addRow("leading break gives an empty item") << std::string("\r\nA") << Items{"", "A"};
  QTest::addRow("empty text") << std::string() << Items{};
  QTest::addRow("one line break") << std::string("\r\n") << Items{""};
  QTest::addRow("lone CR and LF stay in the item") << std::string("A\rB\nC") << Items{"A\rB\nC"};
  QTest::addRow("spaces kept") << std::string(" 01  03 \r\n") << Items{" 01  03 "};
  // "\xB0\x0D" is no GBK character, but read by characters it hides the CR:
  // the break is only found at a character boundary.
  QTest::addRow("break inside a double-byte character")
      << std::string("A\xB0\r\nB\r\nC") << Items{"A\xB0\r\nB", "C"};
}

void TestSendList::split() {
  QFETCH(std::string, text);
  QFETCH(Items, items);
  QCOMPARE(quorvel::SplitSendList(text), items);
}

void TestSendList::emptiness_data() {
  QTest::addColumn<std::string>("text");
  QTest::addColumn<bool>("empty");
  QTest::addRow("empty text") << std::string() << true;
  QTest::addRow("ascii and ideographic spaces") << G(u8"  　 ") << true;
  QTest::addRow("only line breaks") << std::string("\r\n\r\n") << false;
  QTest::addRow("a tab") << std::string(" \t ") << false;
  QTest::addRow("one item") << std::string(" 01 ") << false;
}

void TestSendList::emptiness() {
  QFETCH(std::string, text);
  QFETCH(bool, empty);
  QCOMPARE(quorvel::IsSendListEmpty(text), empty);
}

void TestSendList::chosenText_data() {
  QTest::addColumn<std::string>("item");
  QTest::addColumn<std::string>("chosen");
  QTest::addRow("module line with right arrow")
      << G(u8"01 03 10 00 00 25 D1 80  → 1") << std::string("01 03 10 00 00 25 D1 80 ");
  QTest::addRow("three-digit address") << G(u8"FD 03 10 00 01 25 12 34  → 506")
                                       << std::string("FD 03 10 00 01 25 12 34 ");
  QTest::addRow("module line with left arrow") << G(u8"EA 05 05 BC  ← 5") << std::string("EA 05 05 BC ");
  QTest::addRow("short item with right arrow taken whole") << G(u8"01 → 2") << G(u8"01 → 2");
  QTest::addRow("short item with left arrow taken whole") << G(u8"EA ←") << G(u8"EA ←");
  // Both arrows: the right arrow decides.
  QTest::addRow("right arrow wins") << G(u8"01 02 03 04 ← 05 06 07 08 09 → 1") << std::string("01 02 03 04 \xA1\xFB 05 06 07 ");
  QTest::addRow("cut counts bytes, may split a character")
      << G(u8"A中中中中中中中中中中中中→") << G(u8"A中中中中中中中中中中中中").substr(0, 24);
  QTest::addRow("no arrow: whole item") << std::string("01 03 10 00 00 25 D1 80 E9 03 10 00") << std::string("01 03 10 00 00 25 D1 80 E9 03 10 00");
  QTest::addRow("empty item") << std::string() << std::string();
  // A1 FA straddling two characters (B0 A1, FA ..) is no arrow.
  QTest::addRow("arrow bytes across characters") << std::string("0123456789ABCDEFGHIJKLMNOP\xB0\xA1\xFA\xB0")
                                                 << std::string("0123456789ABCDEFGHIJKLMNOP\xB0\xA1\xFA\xB0");
}

void TestSendList::chosenText() {
  QFETCH(std::string, item);
  QFETCH(std::string, chosen);
  QCOMPARE(quorvel::ChosenText(item), chosen);
}

QTEST_APPLESS_MAIN(TestSendList)
#include "tst_send_list.moc"
