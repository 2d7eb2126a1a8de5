#include <QtTest>

#include <string>

#include "gbk_literal.h"
#include "transmit/send_frame.h"

using quorvel::test::G;
using quorvel::test::HexDump;

class TestSendFrame : public QObject {
  Q_OBJECT

 private slots:
  void oddLength_data();
  void oddLength();
  void buildFrame_data();
  void buildFrame();
};

void TestSendFrame::oddLength_data() {
  QTest::addColumn<std::string>("text");
  QTest::addColumn<bool>("odd");
  QTest::addRow("even with spaces") << std::string("01 03 10 00 00 25") << false;
  QTest::addRow("odd digit count") << std::string("01 03 1") << true;
  QTest::addRow("ideographic spaces are removed") << G(u8"01　03") << false;
  QTest::addRow("spaces only") << std::string("   ") << false;
  QTest::addRow("a tab counts") << std::string("01\t") << true;
  QTest::addRow("double-byte character counts two") << G(u8"0中") << true;
}

void TestSendFrame::oddLength() {
  QFETCH(std::string, text);
  QFETCH(bool, odd);
  QCOMPARE(quorvel::HasOddLength(text), odd);
}

void TestSendFrame::buildFrame_data() {
  QTest::addColumn<std::string>("text");
  QTest::addColumn<bool>("with_crc");
  QTest::addColumn<bool>("low_byte_first");
  QTest::addColumn<std::string>("frame");
  QTest::addColumn<std::string>("bytes");  // hex dump
  const std::string poll = "01 03 10 00 00 25";
  QTest::addRow("no CRC") << poll << false << false << poll << std::string("01 03 10 00 00 25");
  QTest::addRow("CRC high byte first") << poll << true << false << std::string("01 03 10 00 00 25 D1 80")
                                       << std::string("01 03 10 00 00 25 D1 80");
  QTest::addRow("CRC low byte first") << poll << true << true << std::string("01 03 10 00 00 25 80 D1")
                                      << std::string("01 03 10 00 00 25 80 D1");
  QTest::addRow("normalised as typed") << std::string("0103 1000 0025") << true << false
                                       << std::string("01 03 10 00 00 25 D1 80")
                                       << std::string("01 03 10 00 00 25 D1 80");
  QTest::addRow("lower case") << std::string("ea 05 05 bc") << false << false << std::string("EA 05 05 BC")
                              << std::string("EA 05 05 BC");
  // The empty normal form, a space and the CRC of no bytes: the leading
  // space packs as a byte 00.
  QTest::addRow("spaces only with CRC") << std::string("   ") << true << false << std::string(" FF FF")
                                        << std::string("00 FF FF");
  QTest::addRow("spaces only without CRC") << std::string("   ") << false << false << std::string() << std::string();
  QTest::addRow("module frame with its CRC, CRC again")
      << G(u8"01 03 10 00 00 25 D1 80 ") << true << false << std::string("01 03 10 00 00 25 D1 80 6C FC")
      << std::string("01 03 10 00 00 25 D1 80 6C FC");
}

void TestSendFrame::buildFrame() {
  QFETCH(std::string, text);
  QFETCH(bool, with_crc);
  QFETCH(bool, low_byte_first);
  QFETCH(std::string, frame);
  QFETCH(std::string, bytes);
  const quorvel::SendFrame built = quorvel::BuildSendFrame(text, with_crc, low_byte_first);
  QCOMPARE(built.text, frame);
  QCOMPARE(HexDump(built.bytes), bytes);
}

QTEST_APPLESS_MAIN(TestSendFrame)
#include "tst_send_frame.moc"
