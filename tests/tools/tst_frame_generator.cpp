#include <QtTest>

#include <string>

#include "gbk_literal.h"
#include "engine/gbk_text.h"
#include "tools/frame_generator.h"

using quorvel::test::G;

class TestFrameGenerator : public QObject {
  Q_OBJECT

 private slots:
  void hexField_data();
  void hexField();
  void generate_data();
  void generate();
  void moduleTypeTexts();
  void addressListSize();
};

void TestFrameGenerator::hexField_data() {
  QTest::addColumn<int>("value");
  QTest::addColumn<std::string>("text");
  QTest::addRow("one digit padded") << 10 << std::string("0A");
  QTest::addRow("two digits") << 255 << std::string("FF");
  QTest::addRow("three digits") << 300 << std::string("12C");
  QTest::addRow("minus one") << -1 << std::string("FFFFFFFF");
  QTest::addRow("minus 253") << -253 << std::string("FFFFFF03");
}

void TestFrameGenerator::hexField() {
  QFETCH(int, value);
  QFETCH(std::string, text);
  QCOMPARE(quorvel::HexField(value), text);
}

void TestFrameGenerator::generate_data() {
  QTest::addColumn<int>("start");
  QTest::addColumn<int>("end");
  QTest::addColumn<std::string>("type");
  QTest::addColumn<std::string>("channels");
  QTest::addColumn<bool>("low_byte_first");
  QTest::addColumn<std::string>("lines");
  const std::string type_a = G(u8"甲型模块");
  const std::string type_b = G(u8"乙型模块");
  const std::string nine = G(u8"9路");
  QTest::addRow("A, 9 channels, 1 to 2") << 1 << 2 << type_a << nine << false
                                         << G(u8"01 03 10 00 00 25 D1 80  → 1\r\n02 03 10 00 00 25 E2 80  → 2\r\n");
  QTest::addRow("A, CRC low byte first") << 1 << 1 << type_a << nine << true
                                         << G(u8"01 03 10 00 00 25 80 D1  → 1\r\n");
  QTest::addRow("A, boundary 252/253") << 252 << 253 << type_a << nine << false
                                       << G(u8"FC 03 10 00 00 25 3C 95  → 252\r\n00 03 10 00 01 25 90 80  → 253\r\n");
  QTest::addRow("A, last listed address") << 506 << 506 << type_a << nine << false
                                          << G(u8"FD 03 10 00 01 25 7D 95  → 506\r\n");
  QTest::addRow("A, 509 gives a three-digit field") << 509 << 509 << type_a << nine << false
                                                    << G(u8"100 03 10 00 01 25 7A 8C  → 509\r\n");
  QTest::addRow("A, negative address") << -1 << -1 << type_a << nine << false
                                       << G(u8"FFFFFFFF 03 10 00 00 25 1B 9A  → -1\r\n");
  QTest::addRow("A, 1 channel") << 1 << 1 << type_a << G(u8"1路") << false << G(u8"01 03 10 00 00 0D CF 80  → 1\r\n");
  QTest::addRow("A, 4 channels") << 1 << 1 << type_a << G(u8"4路") << false << G(u8"01 03 10 00 00 16 C4 C0  → 1\r\n");
  QTest::addRow("A, no channel row: code stays empty") << 1 << 1 << type_a << std::string() << false
                                                       << G(u8"01 03 10 00 00  41 18  → 1\r\n");
  QTest::addRow("B, 1 to 2") << 1 << 2 << type_b << nine << false << G(u8"EA 01 01 BC  ← 1\r\nEA 02 02 BC  ← 2\r\n");
  QTest::addRow("B, 256 beyond the list") << 256 << 256 << type_b << std::string() << false
                                          << G(u8"EA 100 100 BC  ← 256\r\n");
  QTest::addRow("B, negative address") << -2 << -2 << type_b << nine << true
                                       << G(u8"EA FFFFFFFE FFFFFFFE BC  ← -2\r\n");
  QTest::addRow("no type selected") << 1 << 3 << std::string() << nine << false << std::string();
  QTest::addRow("start above end") << 5 << 4 << type_a << nine << false << std::string();
}

void TestFrameGenerator::generate() {
  QFETCH(int, start);
  QFETCH(int, end);
  QFETCH(std::string, type);
  QFETCH(std::string, channels);
  QFETCH(bool, low_byte_first);
  QFETCH(std::string, lines);
  QCOMPARE(quorvel::GenerateFrames(start, end, type, channels, low_byte_first), lines);
}

void TestFrameGenerator::moduleTypeTexts() {
  QCOMPARE(std::string(quorvel::kModuleTypeA), G(u8"甲型模块"));
  QCOMPARE(std::string(quorvel::kModuleTypeB), G(u8"乙型模块"));
}

void TestFrameGenerator::addressListSize() {
  // The default range: 252 lines, from address 0 to 251.
  const std::string lines = quorvel::GenerateFrames(0, 251, G(u8"甲型模块"), G(u8"9路"), false);
  QVERIFY(lines.starts_with(G(u8"00 03 10 00 00 25 00 81  → 0\r\n")));
  QVERIFY(lines.ends_with(G(u8"\r\nFB 03 10 00 00 25 8B 94  → 251\r\n")));
  QCOMPARE(quorvel::SplitText(lines, "\r\n").size(), std::size_t{252});

  QCOMPARE(quorvel::AddressListSize(G(u8"甲型模块")), 506);
  QCOMPARE(quorvel::AddressListSize(G(u8"乙型模块")), 255);
  QCOMPARE(quorvel::AddressListSize(""), 506);
}

QTEST_APPLESS_MAIN(TestFrameGenerator)
#include "tst_frame_generator.moc"
