#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <string>
#include <vector>

#include "gbk_literal.h"
#include "log/receive_decoder.h"

using quorvel::ReceiveDecoder;
using quorvel::ReceiveOptions;
using quorvel::ReceiveOutput;

namespace {

enum class RxDisplay { kHex, kText, kNone };

ReceiveOptions Options(RxDisplay display, bool wrap = false, int interval = 50) {
  ReceiveOptions options;
  options.wrap = wrap;
  options.hex_display = display == RxDisplay::kHex;
  options.text_display = display == RxDisplay::kText;
  options.WrapIntervalMs = interval;
  return options;
}

// What the main window does with a result, against a model of the log (its
// documented rule: in one append CR LF, a lone CR and a lone LF are each one
// line break, kept as CR LF), the wrap timer (period semantics) and the
// receive counter. Each byte of the log remembers the style it was written in.
struct ModelWindow {
  std::string log;
  std::string styles;  // 'T': the style in effect before, 'R': RxStyle
  char style = 'T';
  std::uint64_t rx_count = 0;
  int period = 0;
  int timer_starts = 0;

  void Append(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' || text[i] == '\n') {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        log += "\r\n";
        styles += std::string(2, style);
      } else {
        log.push_back(text[i]);
        styles.push_back(style);
      }
    }
  }

  void SetPeriod(int ms) {
    ms = std::max(ms, 0);
    if (ms == period) return;
    period = ms;
    if (ms > 0) ++timer_starts;
  }

  void Apply(const ReceiveOutput& out) {
    if (out.wrap_period) SetPeriod(*out.wrap_period);
    if (out.wrap_break) Append("\r\n");
    if (out.set_style) style = 'R';
    if (out.append) Append(out.text);
    rx_count += out.count;
  }

  void Tick(ReceiveDecoder& decoder) {
    decoder.OnWrapTick();
    SetPeriod(0);
  }
};

}  // namespace

class TestReceiveDecoder : public QObject {
  Q_OBJECT

 private slots:
  void rendersOneBatch_data();
  void rendersOneBatch();
  void leadByteWaitsAcrossBatchesAndDisplays_data();
  void leadByteWaitsAcrossBatchesAndDisplays();
  void wrapStateMachine_data();
  void wrapStateMachine();
  void wrapBreakComesBeforeTheReceiveStyle();
  void batchEqualsBytesOneAtATime();
  void emptyBatchDoesNothing();
};

void TestReceiveDecoder::rendersOneBatch_data() {
  QTest::addColumn<RxDisplay>("display");
  QTest::addColumn<std::string>("bytes");
  QTest::addColumn<std::string>("text");
  QTest::addColumn<bool>("append");
  using S = std::string;
  QTest::addRow("hex 01 03 10") << RxDisplay::kHex << S("\x01\x03\x10") << S("01 03 10 ") << true;
  QTest::addRow("hex line feed is no line break") << RxDisplay::kHex << S("\n") << S("0A ") << true;
  QTest::addRow("hex high bytes, no pairing") << RxDisplay::kHex << S("\xB0\xA1\xFF") << S("B0 A1 FF ") << true;
  QTest::addRow("hex byte 0") << RxDisplay::kHex << S(1, '\0') << S("00 ") << true;
  QTest::addRow("text ascii") << RxDisplay::kText << S("AB") << S("AB") << true;
  // Nothing to show, but the append still replaces a selection in the log.
  QTest::addRow("text byte 0") << RxDisplay::kText << S(1, '\0') << S() << true;
  QTest::addRow("text GBK pair") << RxDisplay::kText << quorvel::test::G(u8"啊") << S("\xB0\xA1") << true;
  QTest::addRow("text lead byte alone") << RxDisplay::kText << S("\xB0") << S() << false;
  QTest::addRow("text ascii between lead and trail") << RxDisplay::kText << S("\xB0\x41\xA1") << S("A\xB0\xA1") << true;
  QTest::addRow("text byte 0 after lead") << RxDisplay::kText << S("\xB0\x00", 2) << S() << true;
  QTest::addRow("text invalid pair joined all the same") << RxDisplay::kText << S("\x80\xFF") << S("\x80\xFF") << true;
  QTest::addRow("text control characters as they are") << RxDisplay::kText << S("\t\x1B") << S("\t\x1B") << true;
  // CR then LF appended one by one are two line breaks; in one append CR LF
  // would be one.
  QTest::addRow("text CR LF stays two breaks") << RxDisplay::kText << S("A\r\nB") << S("A\r\rB") << true;
  QTest::addRow("text CR, 0, LF") << RxDisplay::kText << S("\r\0\n", 3) << S("\r\r") << true;
  QTest::addRow("text LF CR") << RxDisplay::kText << S("\n\r") << S("\n\r") << true;
  QTest::addRow("neither display") << RxDisplay::kNone << S("AB\xB0") << S() << false;
}

void TestReceiveDecoder::rendersOneBatch() {
  QFETCH(RxDisplay, display);
  QFETCH(std::string, bytes);
  QFETCH(std::string, text);
  QFETCH(bool, append);
  ReceiveDecoder decoder;
  const ReceiveOutput out = decoder.DecodeReceivedBytes(bytes, Options(display));
  QCOMPARE(out.text, text);
  QCOMPARE(out.append, append);
  QCOMPARE(out.count, bytes.size());
  QVERIFY(out.scroll);
  QVERIFY(out.set_style);
  QVERIFY(!out.wrap_period.has_value());
  QVERIFY(!out.wrap_break);
}

void TestReceiveDecoder::leadByteWaitsAcrossBatchesAndDisplays_data() {
  // Each step: display letter (h, t, n) and the batch's bytes.
  QTest::addColumn<QStringList>("steps");
  QTest::addColumn<std::string>("texts");  // every batch's text, joined with "|"
  QTest::addRow("lead split across batches") << QStringList{"t B0", "t A1"} << std::string("|\xB0\xA1");
  QTest::addRow("switch to hex and back") << QStringList{"t B0", "h 41 C4", "t A1"} << std::string("|41 C4 |\xB0\xA1");
  QTest::addRow("no display keeps the lead") << QStringList{"t B0", "n C4", "t A1"} << std::string("||\xB0\xA1");
  QTest::addRow("ascii batch in between") << QStringList{"t B0", "t 41 42", "t A1"} << std::string("|AB|\xB0\xA1");
  QTest::addRow("pair then a new lead") << QStringList{"t B0 A1 B2", "t A3"} << std::string("\xB0\xA1|\xB2\xA3");
}

void TestReceiveDecoder::leadByteWaitsAcrossBatchesAndDisplays() {
  QFETCH(QStringList, steps);
  QFETCH(std::string, texts);
  ReceiveDecoder decoder;
  std::string joined;
  for (qsizetype n = 0; n < steps.size(); ++n) {
    QStringList parts = steps.at(n).split(' ');
    const QChar mode = parts.takeFirst().at(0);
    std::string bytes;
    for (const QString& hex : parts) bytes.push_back(static_cast<char>(hex.toInt(nullptr, 16)));
    const RxDisplay display = mode == 'h' ? RxDisplay::kHex : mode == 't' ? RxDisplay::kText : RxDisplay::kNone;
    if (n > 0) joined += "|";
    joined += decoder.DecodeReceivedBytes(bytes, Options(display)).text;
  }
  QCOMPARE(joined, texts);
}

void TestReceiveDecoder::wrapStateMachine_data() {
  // Steps: "b" a batch, "t" the timer's tick (only while it runs), "on" and
  // "off" tick and untick line wrap, "i N" a new interval.
  QTest::addColumn<QStringList>("steps");
  QTest::addColumn<QString>("breaks");  // per batch: 1 when it starts a new line
  QTest::addColumn<int>("final_period");
  QTest::addColumn<int>("timer_starts");
  const QStringList burst_pause_burst{"on", "b", "t", "b"};
  QTest::addRow("no break before the first burst") << burst_pause_burst << "01" << 50 << 2;
  QTest::addRow("steady stream without tick") << QStringList{"on", "b", "b", "b"} << "000" << 50 << 1;
  QTest::addRow("stream cut at each tick")
      << QStringList{"on", "b", "b", "t", "b", "b", "t", "b"} << "00101" << 50 << 3;
  QTest::addRow("wrap unticked: no timer, no break") << QStringList{"b", "b"} << "00" << 0 << 0;
  QTest::addRow("interval 0") << QStringList{"i 0", "on", "b", "b"} << "00" << 0 << 0;
  QTest::addRow("negative interval") << QStringList{"i -5", "on", "b", "b"} << "00" << 0 << 0;
  QTest::addRow("50 to 500 while running restarts at next batch")
      << QStringList{"on", "b", "i 500", "b", "b"} << "000" << 500 << 2;
  QTest::addRow("interval 0 while running stops at next batch")
      << QStringList{"on", "b", "i 0", "b"} << "00" << 0 << 1;
  QTest::addRow("tick already scheduled still breaks once")
      << QStringList{"on", "b", "i 0", "t", "b", "b"} << "010" << 0 << 1;
  QTest::addRow("tick while unticked breaks after reticking")
      << QStringList{"on", "b", "off", "t", "b", "on", "b"} << "001" << 50 << 2;
}

void TestReceiveDecoder::wrapStateMachine() {
  QFETCH(QStringList, steps);
  QFETCH(QString, breaks);
  QFETCH(int, final_period);
  QFETCH(int, timer_starts);
  ReceiveDecoder decoder;
  ModelWindow window;
  bool wrap = false;
  int interval = 50;
  QString seen;
  for (const QString& step : steps) {
    if (step == "b") {
      const ReceiveOutput out = decoder.DecodeReceivedBytes("\x01\x02", Options(RxDisplay::kHex, wrap, interval));
      seen += out.wrap_break ? '1' : '0';
      window.Apply(out);
    } else if (step == "t") {
      QVERIFY2(window.period > 0, "the script ticks a stopped timer");
      window.Tick(decoder);
    } else if (step == "on" || step == "off") {
      wrap = step == "on";
    } else {
      interval = step.mid(2).toInt();
    }
  }
  QCOMPARE(seen, breaks);
  QCOMPARE(window.period, final_period);
  QCOMPARE(window.timer_starts, timer_starts);
}

void TestReceiveDecoder::wrapBreakComesBeforeTheReceiveStyle() {
  ReceiveDecoder decoder;
  ModelWindow window;
  window.Apply(decoder.DecodeReceivedBytes("\x01", Options(RxDisplay::kHex, true)));
  window.Tick(decoder);
  window.style = 'T';  // a send wrote to the log meanwhile
  window.Apply(decoder.DecodeReceivedBytes("\x02", Options(RxDisplay::kHex, true)));
  QCOMPARE(window.log, std::string("01 \r\n02 "));
  QCOMPARE(window.styles, std::string("RRRTTRRR"));
}

void TestReceiveDecoder::batchEqualsBytesOneAtATime() {
  // Random batches, ticks and option changes; one decoder takes each batch
  // whole, the other byte by byte. Log, styles, count and timer must agree
  // after every step.
  static const unsigned char kBytes[] = {0x00, 0x0D, 0x0A, 0x41, 0x20, 0xB0, 0xA1, 0xFF, 0x80, 0x7F};
  QRandomGenerator random(20240611);
  for (int run = 0; run < 200; ++run) {
    ReceiveDecoder whole_decoder, single_decoder;
    ModelWindow whole, single;
    ReceiveOptions options = Options(RxDisplay::kText, true);
    for (int step = 0; step < 40; ++step) {
      const int what = random.bounded(10);
      if (what < 6) {
        std::string batch;
        const int size = 1 + random.bounded(8);
        for (int i = 0; i < size; ++i) {
          batch.push_back(random.bounded(4) == 0 ? static_cast<char>(random.bounded(256))
                                                 : static_cast<char>(kBytes[random.bounded(10)]));
        }
        whole.Apply(whole_decoder.DecodeReceivedBytes(batch, options));
        for (const char c : batch) single.Apply(single_decoder.DecodeReceivedByte(static_cast<unsigned char>(c), options));
      } else if (what == 6) {
        if (whole.period > 0) {
          whole.Tick(whole_decoder);
          single.Tick(single_decoder);
        }
      } else if (what == 7) {
        options.wrap = !options.wrap;
      } else if (what == 8) {
        const int display = random.bounded(3);
        options.hex_display = display == 0;
        options.text_display = display == 1;
      } else {
        static const int kIntervals[] = {50, 500, 0, -5};
        options.WrapIntervalMs = kIntervals[random.bounded(4)];
      }
      QCOMPARE(whole.log, single.log);
      QCOMPARE(whole.styles, single.styles);
      QCOMPARE(whole.rx_count, single.rx_count);
      QCOMPARE(whole.period, single.period);
      QCOMPARE(whole.timer_starts, single.timer_starts);
    }
  }
}

void TestReceiveDecoder::emptyBatchDoesNothing() {
  ReceiveDecoder decoder;
  decoder.OnWrapTick();
  const ReceiveOutput nothing = decoder.DecodeReceivedBytes({}, Options(RxDisplay::kText, true));
  QVERIFY(!nothing.wrap_period && !nothing.wrap_break && !nothing.set_style && !nothing.append && !nothing.scroll);
  QCOMPARE(nothing.count, std::uint64_t{0});
  // The pending wrap is still there for the next real batch.
  QVERIFY(decoder.DecodeReceivedBytes("A", Options(RxDisplay::kText, true)).wrap_break);
}

QTEST_APPLESS_MAIN(TestReceiveDecoder)
#include "tst_receive_decoder.moc"
