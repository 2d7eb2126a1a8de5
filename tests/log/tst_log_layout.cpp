#include <QtTest>
#include <random>

#include "gbk_literal.h"
#include "log/log_layout.h"

using quorvel::LogLayout;
using quorvel::LogPos;
using quorvel::LogStore;
using quorvel::StyleId;
using quorvel::TextStyle;
using quorvel::test::G;

namespace {

constexpr std::int32_t kCell = 64;

// Style 0 gives every byte one cell; other styles are twice as wide.
std::int32_t CellWidths(StyleId style, std::string_view character) {
  return static_cast<std::int32_t>(character.size()) * kCell * (style == 0 ? 1 : 2);
}

std::string Rows(const LogLayout& layout) {
  const LogStore& store = layout.Store();
  std::string rows;
  for (LogPos r = 0; r < store.RowCount(); ++r) {
    const LogPos start = store.RowStart(r);
    if (r > 0) rows += '|';
    rows += store.StoredText(start, store.RowEnd(start));
  }
  return rows;
}

void Finish(LogLayout& layout) {
  while (layout.ProcessPending(1 << 16)) {
  }
}

// The rows a layout gets when it wraps `layout`'s text from scratch.
std::string FreshRows(const LogLayout& layout) {
  LogLayout fresh(CellWidths);
  fresh.SetWidth(layout.Width());
  const LogStore& store = layout.Store();
  fresh.Reset({}, 0);
  for (LogPos pos = 0; pos < store.Size();) {
    const StyleId style = store.StyleAt(pos);
    LogPos end = pos + 1;
    while (end < store.Size() && store.StyleAt(end) == style) ++end;
    fresh.Insert(pos, store.StoredText(pos, end), style);
    pos = end;
  }
  Finish(fresh);
  return Rows(fresh);
}

}  // namespace

class TestLogLayout : public QObject {
  Q_OBJECT

 private slots:
  void wrapping_data();
  void wrapping();
  void appendsOneAtATimeMatchAFreshWrap();
  void aMiddleEditInAShortLineIsWrappedAtOnce();
  void editsAnywhereConvergeToAFreshWrap();
  void aNewWidthWrapsWhatIsShownFirst();
};

void TestLogLayout::wrapping_data() {
  QTest::addColumn<std::string>("text");
  QTest::addColumn<int>("cells");
  QTest::addColumn<std::string>("rows");
  QTest::addRow("hex bytes, spaces hang") << std::string("01 02 03 04 ") << 5 << std::string("01 02 |03 04 ");
  QTest::addRow("exact fit") << std::string("01 02 03 04 ") << 6 << std::string("01 02 |03 04 ");
  QTest::addRow("long word cut") << std::string("ABCDEFGHIJ") << 4 << std::string("ABCD|EFGH|IJ");
  QTest::addRow("chinese breaks between characters") << G(u8"中文字符") << 5 << G(u8"中文|字符");
  QTest::addRow("chinese after a word") << G(u8"ABC中") << 4 << G(u8"ABC|中");
  QTest::addRow("line breaks") << std::string("AB\nCD\n") << 10 << std::string("AB\n|CD\n|");
  QTest::addRow("lone lead byte is one cell") << std::string("AB\xB0\nCD") << 3 << std::string("AB\xB0\n|CD");
  QTest::addRow("space run then word") << std::string("AB      CD") << 4 << std::string("AB      |CD");
}

void TestLogLayout::wrapping() {
  QFETCH(std::string, text);
  QFETCH(int, cells);
  QFETCH(std::string, rows);
  LogLayout layout(CellWidths);
  layout.SetWidth(cells * kCell);
  layout.Insert(0, text, 0);
  Finish(layout);
  QCOMPARE(Rows(layout), rows);
}

void TestLogLayout::appendsOneAtATimeMatchAFreshWrap() {
  LogLayout layout(CellWidths);
  layout.SetWidth(40 * kCell);
  const std::string pieces[] = {"0A ", "FF ", G(u8"收到"), "\n", "1B "};
  for (int i = 0; i < 3000; ++i) {
    const std::string& piece = pieces[(i * 7) % 23 == 0 ? (i % 5) : (i % 2)];
    layout.Insert(layout.Store().Size(), piece, static_cast<StyleId>(i % 3 == 0 ? 1 : 0));
    QVERIFY(layout.LastEditAppendedInPlace());
  }
  QVERIFY(!layout.HasPendingWork());
  QCOMPARE(Rows(layout), FreshRows(layout));
}

void TestLogLayout::aMiddleEditInAShortLineIsWrappedAtOnce() {
  LogLayout layout(CellWidths);
  layout.SetWidth(12 * kCell);
  std::string text;
  for (int line = 0; line < 2000; ++line) text += "01 02 03 04 05 06 07\n";
  layout.Insert(0, text, 0);
  Finish(layout);
  layout.Insert(21 * 1000 + 3, "AA BB CC DD ", 0);
  // Only the edited line had to be wrapped again: nothing is left for later.
  QVERIFY(!layout.LastEditAppendedInPlace());
  QVERIFY(!layout.HasPendingWork());
  QCOMPARE(Rows(layout), FreshRows(layout));
}

void TestLogLayout::editsAnywhereConvergeToAFreshWrap() {
  LogLayout layout(CellWidths);
  layout.SetWidth(30 * kCell);
  std::mt19937 random(7);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int round = 0; round < 40; ++round) {
    for (int step = 0; step < 25; ++step) {
      const LogStore& store = layout.Store();
      const LogPos size = store.Size();
      const int action = pick(10);
      if (action < 6 || size < 10) {
        std::string text;
        const int length = pick(20) == 0 ? 3000 : 1 + pick(30);
        for (int i = 0; i < length; ++i) text += pick(9) == 0 ? std::string("\n") : pick(4) == 0 ? G(u8"中") : "0A ";
        const LogPos pos = action < 2 ? size : store.BoundaryAtOrAfter(pick(static_cast<int>(size) + 1));
        layout.Insert(pos, text, static_cast<StyleId>(pick(2)));
      } else if (action < 8) {
        const LogPos from = store.BoundaryAtOrAfter(pick(static_cast<int>(size)));
        const LogPos to = store.BoundaryAtOrAfter(std::min<LogPos>(size, from + pick(200)));
        layout.Erase(from, to);
      } else {
        const LogPos from = store.BoundaryAtOrAfter(pick(static_cast<int>(size)));
        const LogPos to = store.BoundaryAtOrAfter(std::min<LogPos>(size, from + pick(300)));
        layout.SetStyle(from, to, static_cast<StyleId>(pick(2)));
      }
    }
    if (round % 10 == 9) layout.SetWidth((20 + pick(30)) * kCell);
    Finish(layout);
    QCOMPARE(Rows(layout), FreshRows(layout));
  }
}

void TestLogLayout::aNewWidthWrapsWhatIsShownFirst() {
  LogLayout layout(CellWidths);
  layout.SetWidth(60 * kCell);
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "5A ";  // one line of 300,000 bytes
  layout.Insert(0, text, 0);
  Finish(layout);
  layout.SetWidth(31 * kCell);  // ten "5A " to a row
  QVERIFY(layout.HasPendingWork());
  const LogStore& store = layout.Store();
  const LogPos from = store.Size() - 1000;
  layout.EnsureRows(from, store.Size());
  QVERIFY(layout.HasPendingWork());  // the rest waits
  const LogPos first = store.RowStartAtOrBefore(from);
  for (LogPos start = first; start < store.Size(); start = store.RowEnd(start)) {
    QCOMPARE(store.StoredText(start, store.RowEnd(start)).size(), std::size_t(30));
  }
  Finish(layout);
  QCOMPARE(store.RowCount(), LogPos(10000));
  QCOMPARE(Rows(layout), FreshRows(layout));
}

QTEST_APPLESS_MAIN(TestLogLayout)
#include "tst_log_layout.moc"
