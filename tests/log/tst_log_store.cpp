#include <QtTest>
#include <random>

#include "gbk_literal.h"
#include "log/log_store.h"

using quorvel::LogPos;
using quorvel::LogStore;
using quorvel::StyleId;
using quorvel::TextStyle;
using quorvel::test::G;

namespace {

TextStyle Coloured(std::uint32_t colour) {
  TextStyle style;
  style.size_pt = 11;
  style.colour = colour;
  return style;
}

// The styles of every byte, one character per byte: '0' + style id.
std::string StyleMap(const LogStore& store) {
  std::string map;
  for (LogPos pos = 0; pos < store.Size(); ++pos) map.push_back(static_cast<char>('0' + store.StyleAt(pos)));
  return map;
}

}  // namespace

class TestLogStore : public QObject {
  Q_OBJECT

 private slots:
  void toStored_data();
  void toStored();
  void insertion_data();
  void insertion();
  void replacingASelection();
  void styleRunsAfterSetStyle_data();
  void styleRunsAfterSetStyle();
  void insertedTextKeepsItsNeighboursStyles();
  void boundaries_data();
  void boundaries();
  void stepsNeverSplitADoubleByteCharacter();
  void invalidGbkRoundTrips_data();
  void invalidGbkRoundTrips();
  void rowsCountLineBreaksAndSoftBreaks();
  void softBreaksMoveWithTheText();
  void replaceSoftBreaksOnlyTouchesItsRange();
  void editsAcrossManyChunksMatchAPlainString();
};

void TestLogStore::toStored_data() {
  QTest::addColumn<std::string>("gbk");
  QTest::addColumn<std::string>("stored");
  QTest::addRow("CR LF") << std::string("a\r\nb") << std::string("a\nb");
  QTest::addRow("lone CR") << std::string("a\rb") << std::string("a\nb");
  QTest::addRow("lone LF") << std::string("a\nb") << std::string("a\nb");
  QTest::addRow("LF CR is two breaks") << std::string("a\n\rb") << std::string("a\n\nb");
  QTest::addRow("CR CR LF") << std::string("\r\r\n") << std::string("\n\n");
  QTest::addRow("lead byte before CR LF stays") << std::string("\xB0\r\n") << std::string("\xB0\n");
}

void TestLogStore::toStored() {
  QFETCH(std::string, gbk);
  QFETCH(std::string, stored);
  QCOMPARE(LogStore::ToStored(gbk), stored);
  QCOMPARE(LogStore::IsStoredForm(gbk), gbk == stored && gbk.find('\n') == std::string::npos);
}

void TestLogStore::insertion_data() {
  QTest::addColumn<std::string>("initial");
  QTest::addColumn<qint64>("pos");
  QTest::addColumn<std::string>("inserted");
  QTest::addColumn<std::string>("text");
  QTest::addRow("into empty log") << std::string() << qint64(0) << std::string("01 ") << std::string("01 ");
  QTest::addRow("at the end") << std::string("01 ") << qint64(3) << std::string("02 ") << std::string("01 02 ");
  QTest::addRow("at the start") << std::string("02 ") << qint64(0) << std::string("01 ") << std::string("01 02 ");
  QTest::addRow("in the middle") << G(u8"发送收到") << qint64(4) << std::string("AB") << G(u8"发送AB收到");
  QTest::addRow("CR LF is read back") << std::string("A") << qint64(1) << std::string("\r\nB\r\n")
                                      << std::string("A\r\nB\r\n");
  QTest::addRow("lone CR reads back as CR LF") << std::string("A") << qint64(1) << std::string("\rB")
                                               << std::string("A\r\nB");
  QTest::addRow("lone LF reads back as CR LF") << std::string("A") << qint64(1) << std::string("\nB")
                                               << std::string("A\r\nB");
  QTest::addRow("line break between lines") << std::string("A\r\nC") << qint64(2) << std::string("B\r\n")
                                            << std::string("A\r\nB\r\nC");
}

void TestLogStore::insertion() {
  QFETCH(std::string, initial);
  QFETCH(qint64, pos);
  QFETCH(std::string, inserted);
  QFETCH(std::string, text);
  LogStore store;
  store.Insert(0, LogStore::ToStored(initial), 0);
  store.Insert(pos, LogStore::ToStored(inserted), 0);
  QCOMPARE(store.Text(0, store.Size()), text);
  QCOMPARE(store.TextSize(), static_cast<LogPos>(text.size()));
}

void TestLogStore::replacingASelection() {
  LogStore store;
  store.Insert(0, G(u8"01 02 03 "), 0);
  store.Erase(3, 6);
  store.Insert(3, "FF ", 0);
  QCOMPARE(store.Text(0, store.Size()), std::string("01 FF 03 "));
  QCOMPARE(store.Text(3, 8), std::string("FF 03"));
}

void TestLogStore::styleRunsAfterSetStyle_data() {
  QTest::addColumn<qint64>("from");
  QTest::addColumn<qint64>("to");
  QTest::addColumn<std::string>("styles");
  // "0123456789" in style 1; style 2 is applied to [from, to).
  QTest::addRow("middle") << qint64(3) << qint64(6) << std::string("1112221111");
  QTest::addRow("start") << qint64(0) << qint64(2) << std::string("2211111111");
  QTest::addRow("end") << qint64(8) << qint64(10) << std::string("1111111122");
  QTest::addRow("whole") << qint64(0) << qint64(10) << std::string("2222222222");
  QTest::addRow("empty range") << qint64(4) << qint64(4) << std::string("1111111111");
}

void TestLogStore::styleRunsAfterSetStyle() {
  QFETCH(qint64, from);
  QFETCH(qint64, to);
  QFETCH(std::string, styles);
  LogStore store;
  const StyleId rx = store.Intern(Coloured(0xFF0000));
  const StyleId tx = store.Intern(Coloured(0x008000));
  QCOMPARE(rx, StyleId(1));
  QCOMPARE(tx, StyleId(2));
  QCOMPARE(store.Intern(Coloured(0xFF0000)), rx);
  store.Insert(0, "0123456789", rx);
  store.SetStyle(from, to, tx);
  QCOMPARE(StyleMap(store), styles);
  QCOMPARE(store.Text(0, store.Size()), std::string("0123456789"));
}

void TestLogStore::insertedTextKeepsItsNeighboursStyles() {
  LogStore store;
  const StyleId rx = store.Intern(Coloured(0xFF0000));
  const StyleId tx = store.Intern(Coloured(0x008000));
  store.Insert(0, "aaaa", rx);
  store.Insert(2, "bb", tx);
  store.Insert(6, "c", 0);
  QCOMPARE(StyleMap(store), std::string("1122110"));
  store.Erase(1, 3);
  QCOMPARE(StyleMap(store), std::string("12110"));
  QCOMPARE(store.Text(0, store.Size()), std::string("abaac"));
}

void TestLogStore::boundaries_data() {
  QTest::addColumn<std::string>("text");
  QTest::addColumn<std::string>("map");  // '|' boundary before the byte, '.' inside a character
  QTest::addRow("ascii") << std::string("AB") << std::string("||");
  QTest::addRow("chinese between ascii") << G(u8"A中B") << std::string("||.|");
  QTest::addRow("run of chinese") << G(u8"中文字") << std::string("|.|.|.");
  QTest::addRow("valid pair with ascii trail") << std::string("\xB0" "A") << std::string("|.");
  QTest::addRow("lead byte before a line break") << std::string("\xB0\nA") << std::string("|||");
  QTest::addRow("lead byte at the end") << std::string("A\xB0") << std::string("||");
  QTest::addRow("lead byte takes a space as its trail") << std::string("\xB0\xB0\xB0" " ") << std::string("|.|.");
  QTest::addRow("odd run before a line break") << std::string("\xB0\xB0\xB0\n") << std::string("|.||");
}

void TestLogStore::boundaries() {
  QFETCH(std::string, text);
  QFETCH(std::string, map);
  LogStore store;
  store.Insert(0, text, 0);
  std::string got;
  for (LogPos pos = 0; pos < store.Size(); ++pos) got.push_back(store.IsBoundary(pos) ? '|' : '.');
  QCOMPARE(got, map);
  QVERIFY(store.IsBoundary(store.Size()));
}

void TestLogStore::stepsNeverSplitADoubleByteCharacter() {
  // Characters straddling chunk borders included: 3000 Chinese characters
  // after one ASCII byte put pairs across the 4096-byte chunk edge.
  std::string text = "A";
  for (int i = 0; i < 3000; ++i) text += G(u8"中");
  text += "Z";
  LogStore store;
  store.Insert(0, text, 0);
  std::vector<LogPos> forward{0};
  while (forward.back() < store.Size()) forward.push_back(store.NextBoundary(forward.back()));
  QCOMPARE(forward.size(), std::size_t(3003));
  for (std::size_t i = 2; i + 1 < forward.size(); ++i) QCOMPARE(forward[i] - forward[i - 1], LogPos(2));
  std::vector<LogPos> backward{store.Size()};
  while (backward.back() > 0) backward.push_back(store.PrevBoundary(backward.back()));
  std::reverse(backward.begin(), backward.end());
  QCOMPARE(backward, forward);
  QCOMPARE(store.BoundaryAtOrBefore(2), LogPos(1));
  QCOMPARE(store.BoundaryAtOrAfter(2), LogPos(3));
}

void TestLogStore::invalidGbkRoundTrips_data() {
  QTest::addColumn<std::string>("gbk");
  QTest::addRow("0x80 and 0xFF") << std::string("\x80" "A\xFF" "B");
  QTest::addRow("lead byte with a space") << std::string("\xB0 01");
  QTest::addRow("lone lead byte at the end") << std::string("01 \xB0");
  QTest::addRow("lead byte before CR LF") << std::string("\xB0\r\nA");
  QTest::addRow("NUL and controls") << std::string("\x00\x01\x1B" "A", 4);
}

void TestLogStore::invalidGbkRoundTrips() {
  QFETCH(std::string, gbk);
  LogStore store;
  store.Insert(0, LogStore::ToStored(gbk), 0);
  QCOMPARE(store.Text(0, store.Size()), gbk);
}

void TestLogStore::rowsCountLineBreaksAndSoftBreaks() {
  LogStore store;
  QCOMPARE(store.RowCount(), LogPos(1));
  store.Insert(0, "0123456789\nabc\n", 0);  // lines start at 0, 11 and 15
  store.AddSoftBreak(4);
  store.AddSoftBreak(8);
  QCOMPARE(store.RowCount(), LogPos(5));
  QCOMPARE(store.RowStart(0), LogPos(0));
  QCOMPARE(store.RowStart(1), LogPos(4));
  QCOMPARE(store.RowStart(2), LogPos(8));
  QCOMPARE(store.RowStart(3), LogPos(11));
  QCOMPARE(store.RowStart(4), LogPos(15));
  QCOMPARE(store.RowOf(3), LogPos(0));
  QCOMPARE(store.RowOf(4), LogPos(1));
  QCOMPARE(store.RowOf(10), LogPos(2));  // the line break belongs to its row
  QCOMPARE(store.RowOf(11), LogPos(3));
  QCOMPARE(store.RowOf(15), LogPos(4));
  QCOMPARE(store.RowEnd(4), LogPos(8));
  QCOMPARE(store.RowEnd(8), LogPos(11));
  QCOMPARE(store.RowEnd(15), LogPos(15));
  QCOMPARE(store.RowStartAtOrBefore(13), LogPos(11));
  QVERIFY(store.IsRowStart(8));
  QVERIFY(!store.IsRowStart(9));
  QCOMPARE(store.SoftBreakCount(), LogPos(2));
}

void TestLogStore::softBreaksMoveWithTheText() {
  LogStore store;
  store.Insert(0, "aaaa bbbb cccc", 0);
  store.AddSoftBreak(5);
  store.AddSoftBreak(10);
  store.Insert(7, "XY", 0);  // inside the second row
  QVERIFY(store.HasSoftBreak(5));
  QVERIFY(store.HasSoftBreak(12));
  store.Erase(0, 2);
  QVERIFY(store.HasSoftBreak(3));
  QVERIFY(store.HasSoftBreak(10));
  store.Erase(0, 3);  // the break lands on the first byte: row 0 needs none
  QVERIFY(!store.HasSoftBreak(0));
  QCOMPARE(store.RowCount(), LogPos(2));
  QCOMPARE(store.RowStart(1), LogPos(7));
}

void TestLogStore::replaceSoftBreaksOnlyTouchesItsRange() {
  LogStore store;
  std::string text(10000, 'x');
  store.Insert(0, text, 0);
  for (LogPos p = 100; p < 10000; p += 100) store.AddSoftBreak(p);
  store.ReplaceSoftBreaks(3000, 7000, {3050, 4999, 6999});
  std::vector<LogPos> rows;
  for (LogPos r = 0; r < store.RowCount(); ++r) rows.push_back(store.RowStart(r));
  std::vector<LogPos> expected;
  for (LogPos p = 0; p <= 3000; p += 100) expected.push_back(p);
  expected.insert(expected.end(), {3050, 4999, 6999});
  for (LogPos p = 7000; p < 10000; p += 100) expected.push_back(p);
  QCOMPARE(rows, expected);
  for (std::size_t r = 0; r < expected.size(); ++r) QCOMPARE(store.RowOf(expected[r]), LogPos(r));
}

// Random edits against a plain string with a parallel style string, so that
// chunk splits, spills, merges and run bookkeeping all meet their model.
void TestLogStore::editsAcrossManyChunksMatchAPlainString() {
  LogStore store;
  const StyleId styles[] = {0, store.Intern(Coloured(0xFF0000)), store.Intern(Coloured(0x008000))};
  std::string model;
  std::string model_styles;
  std::mt19937 random(20261211);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int step = 0; step < 3000; ++step) {
    const int action = pick(10);
    const LogPos size = static_cast<LogPos>(model.size());
    if (action < 6 || size == 0) {
      const LogPos pos = action < 3 ? size : pick(static_cast<int>(size) + 1);
      const int length = pick(8) == 0 ? 1 + pick(9000) : 1 + pick(40);
      std::string text;
      for (int i = 0; i < length; ++i) text.push_back("AB \n\xB0\xA1"[pick(6)]);
      const int s = pick(3);
      store.Insert(pos, text, styles[s]);
      model.insert(static_cast<std::size_t>(pos), text);
      model_styles.insert(static_cast<std::size_t>(pos), std::string(text.size(), static_cast<char>('0' + styles[s])));
    } else if (action < 9) {
      const LogPos from = pick(static_cast<int>(size));
      const LogPos to = std::min<LogPos>(size, from + (pick(6) == 0 ? pick(12000) : pick(50)));
      store.Erase(from, to);
      model.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
      model_styles.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    } else {
      const LogPos from = pick(static_cast<int>(size));
      const LogPos to = std::min<LogPos>(size, from + pick(5000));
      const int s = pick(3);
      store.SetStyle(from, to, styles[s]);
      std::fill(model_styles.begin() + from, model_styles.begin() + to, static_cast<char>('0' + styles[s]));
    }
    QCOMPARE(store.Size(), static_cast<LogPos>(model.size()));
    if (step % 50 == 0 || step == 2999) {
      QCOMPARE(store.StoredText(0, store.Size()), model);
      QCOMPARE(StyleMap(store), model_styles);
      const auto breaks = static_cast<LogPos>(std::count(model.begin(), model.end(), '\n'));
      QCOMPARE(store.LineBreakCount(), breaks);
      QCOMPARE(store.RowCount(), breaks + 1);
      if (!model.empty()) {
        const LogPos from = pick(static_cast<int>(model.size()));
        const LogPos to = from + pick(static_cast<int>(model.size() - from) + 1);
        QCOMPARE(store.StoredText(from, to), model.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
      }
    }
  }
}

QTEST_APPLESS_MAIN(TestLogStore)
#include "tst_log_store.moc"
