#include <QtTest>
#include <string>

#include "serial/line_settings.h"

Q_DECLARE_METATYPE(quorvel::LineSettings)
Q_DECLARE_METATYPE(std::string)

class TestLineSettings : public QObject {
  Q_OBJECT

 private slots:
  void clamp_data();
  void clamp();
  void fromLists_data();
  void fromLists();
};

void TestLineSettings::clamp_data() {
  using quorvel::LineSettings;
  QTest::addColumn<LineSettings>("given");
  QTest::addColumn<LineSettings>("stored");
  QTest::addRow("in range stays") << LineSettings{7, 115200, 7, 3, 2} << LineSettings{7, 115200, 7, 3, 2};
  QTest::addRow("no port selected is COM1") << LineSettings{0, 9600, 8, 1, 0} << LineSettings{1, 9600, 8, 1, 0};
  QTest::addRow("stored -5 port is COM1") << LineSettings{-5, 9600, 8, 1, 0} << LineSettings{1, 9600, 8, 1, 0};
  QTest::addRow("negative baud is 0") << LineSettings{1, -3, 8, 1, 0} << LineSettings{1, 0, 8, 1, 0};
  QTest::addRow("baud 0 stays") << LineSettings{1, 0, 8, 1, 0} << LineSettings{1, 0, 8, 1, 0};
  QTest::addRow("data bits unchecked") << LineSettings{1, 9600, 0, 1, 0} << LineSettings{1, 9600, 0, 1, 0};
  QTest::addRow("odd data bits unchecked") << LineSettings{1, 9600, 13, 1, 0} << LineSettings{1, 9600, 13, 1, 0};
  QTest::addRow("stop code below range") << LineSettings{1, 9600, 8, 0, 0} << LineSettings{1, 9600, 8, 1, 0};
  QTest::addRow("stop code above range") << LineSettings{1, 9600, 8, 4, 0} << LineSettings{1, 9600, 8, 3, 0};
  QTest::addRow("parity below range") << LineSettings{1, 9600, 8, 1, -1} << LineSettings{1, 9600, 8, 1, 0};
  QTest::addRow("parity above range") << LineSettings{1, 9600, 8, 1, 5} << LineSettings{1, 9600, 8, 1, 4};
  QTest::addRow("all out of range at once") << LineSettings{-5, -3, 9, 7, -1} << LineSettings{1, 0, 9, 3, 0};
}

void TestLineSettings::clamp() {
  QFETCH(quorvel::LineSettings, given);
  QFETCH(quorvel::LineSettings, stored);
  const quorvel::LineSettings clamped = quorvel::ClampLineSettings(given);
  QCOMPARE(clamped.port_number, stored.port_number);
  QCOMPARE(clamped.baud_rate, stored.baud_rate);
  QCOMPARE(clamped.data_bits, stored.data_bits);
  QCOMPARE(clamped.stop_bits_code, stored.stop_bits_code);
  QCOMPARE(clamped.parity_code, stored.parity_code);
}

void TestLineSettings::fromLists_data() {
  using quorvel::LineSettings;
  QTest::addColumn<int>("port_index");
  QTest::addColumn<std::string>("baud_text");
  QTest::addColumn<std::string>("data_bits_text");
  QTest::addColumn<int>("stop_bits_index");
  QTest::addColumn<int>("parity_index");
  QTest::addColumn<LineSettings>("settings");
  QTest::addRow("COM7 115200 7 2 E") << 6 << std::string("115200") << std::string("7") << 2 << 2
                                     << LineSettings{7, 115200, 7, 3, 2};
  QTest::addRow("first entries") << 0 << std::string("300") << std::string("8") << 0 << 0
                                 << LineSettings{1, 300, 8, 1, 0};
  // Unclamped here: the port stores a port number of 0 as 1.
  QTest::addRow("nothing selected") << -1 << std::string() << std::string() << -1 << -1
                                    << LineSettings{0, 0, 0, 0, -1};
}

void TestLineSettings::fromLists() {
  QFETCH(int, port_index);
  QFETCH(std::string, baud_text);
  QFETCH(std::string, data_bits_text);
  QFETCH(int, stop_bits_index);
  QFETCH(int, parity_index);
  QFETCH(quorvel::LineSettings, settings);
  QCOMPARE(quorvel::LineSettingsFromLists(port_index, baud_text, data_bits_text, stop_bits_index, parity_index),
           settings);
}

QTEST_APPLESS_MAIN(TestLineSettings)
#include "tst_line_settings.moc"
