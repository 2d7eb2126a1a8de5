#include <QtTest>

#include "gbk_literal.h"
#include "platform/gbk_codec.h"

class TestGbkCodec : public QObject {
  Q_OBJECT

 private slots:
  void roundTrip_data();
  void roundTrip();
  void invalidBytesBecomeOneMarkEach();
  void unmappableCharacterBecomesQuestionMark();
  void multiLineText_data();
  void multiLineText();
};

void TestGbkCodec::roundTrip_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<std::string>("gbk");
  QTest::addRow("ascii") << QStringLiteral("AB 12\r\n") << std::string("AB 12\r\n");
  QTest::addRow("chinese") << QStringLiteral("宋体") << std::string("\xCB\xCE\xCC\xE5");
  QTest::addRow("arrows") << QStringLiteral("→←") << std::string("\xA1\xFA\xA1\xFB");
  QTest::addRow("ideographic space") << QStringLiteral("　") << std::string("\xA1\xA1");
}

void TestGbkCodec::roundTrip() {
  QFETCH(QString, text);
  QFETCH(std::string, gbk);
  QCOMPARE(quorvel::ToGbk(text), gbk);
  QCOMPARE(quorvel::FromGbk(gbk), text);
}

void TestGbkCodec::invalidBytesBecomeOneMarkEach() {
  // A lead byte followed by a byte that cannot be a trail byte, and a lone
  // lead byte at the end.
  QCOMPARE(quorvel::FromGbk(std::string("A\xB0\x30" "B\xB0")), QStringLiteral("A\uFFFD0B\uFFFD"));
}

void TestGbkCodec::unmappableCharacterBecomesQuestionMark() {
  QCOMPARE(quorvel::ToGbk(QStringLiteral("a\U0001F600b")), std::string("a?b"));
  // The next character GBK holds is converted again.
  QCOMPARE(quorvel::ToGbk(QStringLiteral("\U0001F600宋")), std::string("?\xCB\xCE"));
  QCOMPARE(quorvel::ToGbk(QStringLiteral("体")), std::string("\xCC\xE5"));
}

// A box's LF line breaks are CR LF in GBK and back; CR LF is never doubled.
void TestGbkCodec::multiLineText_data() {
  QTest::addColumn<QString>("box");
  QTest::addColumn<std::string>("gbk");
  QTest::addColumn<QString>("back");
  QTest::addRow("two lines") << QStringLiteral("A\nB") << std::string("A\r\nB") << QStringLiteral("A\nB");
  QTest::addRow("empty lines and a final break")
      << QStringLiteral("\nA\n\n") << std::string("\r\nA\r\n\r\n") << QStringLiteral("\nA\n\n");
  QTest::addRow("CR LF in the box stays one break")
      << QStringLiteral("A\r\nB") << std::string("A\r\nB") << QStringLiteral("A\nB");
  QTest::addRow("lone CR stays") << QStringLiteral("A\rB") << std::string("A\rB") << QStringLiteral("A\rB");
  QTest::addRow("chinese annotation")
      << QStringLiteral("01  → 1\nEA  ← 2") << std::string("01  \xA1\xFA 1\r\nEA  \xA1\xFB 2")
      << QStringLiteral("01  → 1\nEA  ← 2");
}

void TestGbkCodec::multiLineText() {
  QFETCH(QString, box);
  QFETCH(std::string, gbk);
  QFETCH(QString, back);
  QCOMPARE(quorvel::ToGbkLines(box), gbk);
  QCOMPARE(quorvel::FromGbkLines(gbk), back);
}

QTEST_APPLESS_MAIN(TestGbkCodec)
#include "tst_gbk_codec.moc"
