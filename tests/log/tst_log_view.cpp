#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include "gbk_literal.h"
#include "log/log_view.h"
#include "platform/gbk_codec.h"

using quorvel::LogView;
using quorvel::TextStyle;
using quorvel::test::G;

namespace {

TextStyle ProgramStyle(std::uint32_t colour) {
  TextStyle style;
  style.size_pt = 11;
  style.colour = colour;
  return style;
}

const TextStyle kTx = ProgramStyle(0x008000);
const TextStyle kRx = ProgramStyle(0xFF0000);

QPoint LeftPart(const QRect& rect) { return {rect.left() + 1, rect.center().y()}; }
QPoint RightPart(const QRect& rect) { return {rect.right() - 1, rect.center().y()}; }

// Pixels of the highlight colour in the viewport.
int HighlightPixels(LogView& view) {
  const QImage image = view.viewport()->grab().toImage();
  const QRgb highlight = view.palette().color(QPalette::Highlight).rgb();
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == highlight ? 1 : 0;
  }
  return count;
}

}  // namespace

class TestLogView : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void clickPlacesTheCaretWhereTheTextIs_data();
  void clickPlacesTheCaretWhereTheTextIs();
  void dragSelectsWholeWords_data();
  void dragSelectsWholeWords();
  void doubleClickSelectsAWordAndReleaseReportsIt();
  void typedTextTakesTheDefaultFormatThenTheFormatAtTheCaret();
  void keysMoveByWholeCharacters();
  void navigationKeys_data();
  void navigationKeys();
  void shiftClickExtendsTheSelection();
  void scrollToEndShowsTheLastLineWithoutMovingTheCaret();
  void writesAfterAClickLandAtTheClick();
  void aSelectionIsReplacedByTheNextAppend();
  void emptyAppendRemovesTheSelection();
  void setStyleChangesOnlyTheSelection();
  void selectAllAndCopyGiveGbkText();
  void selectionIsShownOnlyWithFocus();

 private:
  LogView* view_ = nullptr;
};

void TestLogView::init() {
  view_ = new LogView;
  view_->resize(583, 379);
  view_->show();
  view_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(view_));
  view_->setFocus();
}

void TestLogView::cleanup() {
  delete view_;
  view_ = nullptr;
}

void TestLogView::clickPlacesTheCaretWhereTheTextIs_data() {
  QTest::addColumn<std::string>("text");
  QTest::addColumn<int>("target");  // offset of the character clicked
  QTest::addColumn<bool>("right_half");
  QTest::addColumn<int>("caret");
  QTest::addRow("left half of a hex digit") << std::string("01 02 03 ") << 4 << false << 4;
  QTest::addRow("right half of a hex digit") << std::string("01 02 03 ") << 4 << true << 5;
  QTest::addRow("right half of a chinese character") << G(u8"收到数据") << 2 << true << 4;
  QTest::addRow("left half of a chinese character") << G(u8"收到数据") << 4 << false << 4;
  QTest::addRow("second line") << std::string("AB\r\nCD") << 5 << false << 5;
  QTest::addRow("right half before the line break") << std::string("AB\r\nCD") << 1 << true << 2;
}

void TestLogView::clickPlacesTheCaretWhereTheTextIs() {
  QFETCH(std::string, text);
  QFETCH(int, target);
  QFETCH(bool, right_half);
  QFETCH(int, caret);
  view_->LogAppend(text, kRx);
  const QRect rect = view_->CharacterRect(target);
  QVERIFY(!rect.isEmpty());
  QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, right_half ? RightPart(rect) : LeftPart(rect));
  QCOMPARE(view_->CaretPosition(), qint64(caret));
  QCOMPARE(view_->SelectedText(), std::string());
}

void TestLogView::dragSelectsWholeWords_data() {
  QTest::addColumn<int>("press");
  QTest::addColumn<int>("release");
  QTest::addColumn<std::string>("selected");
  // On "0A 1B 2C 3D", pressing and moving to the left half of characters.
  QTest::addRow("within one word, by characters") << 0 << 1 << std::string("0");
  QTest::addRow("forward into another word") << 1 << 7 << std::string("0A 1B 2C");
  QTest::addRow("backward into another word") << 7 << 1 << std::string("0A 1B 2C");
}

void TestLogView::dragSelectsWholeWords() {
  QFETCH(int, press);
  QFETCH(int, release);
  QFETCH(std::string, selected);
  view_->LogAppend("0A 1B 2C 3D", kRx);
  QTest::mousePress(view_->viewport(), Qt::LeftButton, {}, LeftPart(view_->CharacterRect(press)));
  QMouseEvent move(QEvent::MouseMove, LeftPart(view_->CharacterRect(release)),
                   view_->viewport()->mapToGlobal(LeftPart(view_->CharacterRect(release))), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view_->viewport(), &move);
  QTest::mouseRelease(view_->viewport(), Qt::LeftButton, {}, LeftPart(view_->CharacterRect(release)));
  QCOMPARE(view_->SelectedText(), selected);
}

void TestLogView::doubleClickSelectsAWordAndReleaseReportsIt() {
  view_->LogAppend("01 FF 1A ", kRx);
  std::string seen;
  connect(view_, &LogView::leftButtonReleased, this, [&] { seen = view_->SelectedText(); });
  QTest::mouseDClick(view_->viewport(), Qt::LeftButton, {}, LeftPart(view_->CharacterRect(4)));
  QTest::mouseRelease(view_->viewport(), Qt::LeftButton, {}, LeftPart(view_->CharacterRect(4)));
  QCOMPARE(view_->SelectedText(), std::string("FF"));
  QCOMPARE(seen, std::string("FF"));
}

void TestLogView::typedTextTakesTheDefaultFormatThenTheFormatAtTheCaret() {
  QTest::keyClicks(view_, "ab");
  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral(u"中文"));
  QApplication::sendEvent(view_, &commit);
  QCOMPARE(view_->WholeText(), G(u8"ab中文"));
  QCOMPARE(view_->StyleAt(0), TextStyle{});  // "宋体" 9 points, automatic colour
  QCOMPARE(view_->StyleAt(3), TextStyle{});

  view_->LogAppend("\r\n01 ", kRx);
  QTest::keyClicks(view_, "c");
  QCOMPARE(view_->StyleAt(view_->CaretPosition() - 1), kRx);

  // Clicked into the default-format text, typing takes that format again.
  QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, RightPart(view_->CharacterRect(0)));
  QTest::keyClicks(view_, "x");
  QCOMPARE(view_->WholeText().substr(0, 3), std::string("axb"));
  QCOMPARE(view_->StyleAt(1), TextStyle{});
}

void TestLogView::keysMoveByWholeCharacters() {
  view_->LogAppend(G(u8"A中文B"), kRx);
  QTest::keyClick(view_, Qt::Key_Left);
  QTest::keyClick(view_, Qt::Key_Left, Qt::ShiftModifier);
  QCOMPARE(view_->SelectedText(), G(u8"文"));
  QTest::keyClick(view_, Qt::Key_Backspace);
  QCOMPARE(view_->WholeText(), G(u8"A中B"));
  QTest::keyClick(view_, Qt::Key_Backspace);
  QCOMPARE(view_->WholeText(), std::string("AB"));
  QTest::keyClick(view_, Qt::Key_End);
  QTest::keyClick(view_, Qt::Key_Return);
  QTest::keyClick(view_, Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(view_, Qt::Key_Delete);
  QCOMPARE(view_->WholeText(), std::string("B\r\n"));
  QCOMPARE(view_->CaretPosition(), qint64(0));
}

void TestLogView::navigationKeys_data() {
  QTest::addColumn<int>("start");
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("modifiers");
  QTest::addColumn<int>("caret");
  // On "AAAA\r\nBBBB\r\nCCCC": lines start at offsets 0, 6 and 12.
  QTest::addRow("down keeps the column") << 2 << int(Qt::Key_Down) << 0 << 8;
  QTest::addRow("up keeps the column") << 14 << int(Qt::Key_Up) << 0 << 8;
  QTest::addRow("up on the first line goes to the start") << 2 << int(Qt::Key_Up) << 0 << 0;
  QTest::addRow("down on the last line goes to the end") << 13 << int(Qt::Key_Down) << 0 << 16;
  QTest::addRow("end stops before the line break") << 7 << int(Qt::Key_End) << 0 << 10;
  QTest::addRow("home") << 9 << int(Qt::Key_Home) << 0 << 6;
  QTest::addRow("right steps over the line break") << 4 << int(Qt::Key_Right) << 0 << 6;
  QTest::addRow("left steps over the line break") << 6 << int(Qt::Key_Left) << 0 << 4;
  QTest::addRow("ctrl+end") << 0 << int(Qt::Key_End) << int(Qt::ControlModifier) << 16;
  QTest::addRow("ctrl+home") << 14 << int(Qt::Key_Home) << int(Qt::ControlModifier) << 0;
  QTest::addRow("page down past the end keeps the column") << 1 << int(Qt::Key_PageDown) << 0 << 13;
  QTest::addRow("page up past the start keeps the column") << 15 << int(Qt::Key_PageUp) << 0 << 3;
}

void TestLogView::navigationKeys() {
  QFETCH(int, start);
  QFETCH(int, key);
  QFETCH(int, modifiers);
  QFETCH(int, caret);
  view_->LogAppend("AAAA\r\nBBBB\r\nCCCC", kTx);
  view_->Select(start, start);
  QTest::keyClick(view_, static_cast<Qt::Key>(key), static_cast<Qt::KeyboardModifiers>(modifiers));
  QCOMPARE(view_->CaretPosition(), qint64(caret));
  QCOMPARE(view_->AnchorPosition(), qint64(caret));
}

void TestLogView::shiftClickExtendsTheSelection() {
  view_->LogAppend("01 02 03 04", kRx);
  QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, LeftPart(view_->CharacterRect(3)));
  QTest::mouseClick(view_->viewport(), Qt::LeftButton, Qt::ShiftModifier, LeftPart(view_->CharacterRect(8)));
  QCOMPARE(view_->SelectedText(), std::string("02 03"));
  QTest::keyClick(view_, Qt::Key_Right, Qt::ShiftModifier);
  QCOMPARE(view_->SelectedText(), std::string("02 03 "));
  QTest::keyClick(view_, Qt::Key_X, Qt::ControlModifier);
  QCOMPARE(view_->WholeText(), std::string("01 04"));
}

void TestLogView::scrollToEndShowsTheLastLineWithoutMovingTheCaret() {
  for (int i = 0; i < 6000; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X ", i & 0xFF);
    view_->LogSetStyle(kRx);
    view_->LogAppend(hex);
    view_->LogScrollToEnd();
  }
  view_->Select(5, 5);
  view_->LogAppend("\r\nLAST", kTx);  // at the caret, not at the end
  const qint64 caret = view_->CaretPosition();
  QCOMPARE(caret, qint64(5 + 6));
  view_->LogScrollToEnd();
  QScrollBar* bar = view_->verticalScrollBar();
  QVERIFY(bar->maximum() > 100);
  QCOMPARE(bar->value(), bar->maximum());
  QCOMPARE(view_->CaretPosition(), caret);
  const qint64 last = static_cast<qint64>(view_->WholeText().size()) - 1;
  const QRect rect = view_->CharacterRect(last);
  QVERIFY(!rect.isEmpty());
  QVERIFY(rect.bottom() < view_->viewport()->height());
  QVERIFY(rect.bottom() + rect.height() >= view_->viewport()->height());  // the last row is at the bottom
  QVERIFY(view_->CharacterRect(0).isEmpty());
}

void TestLogView::writesAfterAClickLandAtTheClick() {
  view_->LogAppend("AAAA BBBB", kRx);
  QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, LeftPart(view_->CharacterRect(5)));
  view_->LogAppend("01 ", kRx);
  view_->LogAppend("02 ", kRx);
  view_->LogScrollToEnd();
  QCOMPARE(view_->WholeText(), std::string("AAAA 01 02 BBBB"));
  QCOMPARE(view_->CaretPosition(), qint64(11));
}

void TestLogView::aSelectionIsReplacedByTheNextAppend() {
  view_->LogAppend("AAAA BBBB CCCC", kTx);
  view_->Select(5, 9);
  view_->LogSetStyle(kRx);
  view_->LogAppend("0A ");
  view_->LogAppend("0B ");
  QCOMPARE(view_->WholeText(), std::string("AAAA 0A 0B  CCCC"));
  QCOMPARE(view_->StyleAt(5), kRx);
  QCOMPARE(view_->StyleAt(11), kTx);
  QCOMPARE(view_->SelectedText(), std::string());
}

void TestLogView::emptyAppendRemovesTheSelection() {
  view_->LogAppend("AAAA BBBB", kTx);
  view_->Select(9, 4);
  view_->LogAppend("");
  QCOMPARE(view_->WholeText(), std::string("AAAA"));
  QCOMPARE(view_->CaretPosition(), qint64(4));
}

void TestLogView::setStyleChangesOnlyTheSelection() {
  view_->LogAppend("0123456789", kTx);
  view_->Select(3, 6);
  view_->LogSetStyle(kRx);
  QCOMPARE(view_->StyleAt(2), kTx);
  QCOMPARE(view_->StyleAt(3), kRx);
  QCOMPARE(view_->StyleAt(5), kRx);
  QCOMPARE(view_->StyleAt(6), kTx);
  QCOMPARE(view_->WholeText(), std::string("0123456789"));
}

void TestLogView::selectAllAndCopyGiveGbkText() {
  const std::string text = G(u8"发送 01 03\r\n收到：") + std::string("\xB0 end");
  view_->LogAppend(text, kTx);
  QTest::keyClick(view_, Qt::Key_A, Qt::ControlModifier);
  QCOMPARE(view_->SelectedText(), text);
  QTest::keyClick(view_, Qt::Key_C, Qt::ControlModifier);
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  QVERIFY(mime);
  QCOMPARE(mime->text(), QStringLiteral(u"发送 01 03\n收到：\uFFFD end"));
  // Pasting back into the log keeps the bytes exactly, the invalid one too.
  QTest::keyClick(view_, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClick(view_, Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(view_->WholeText(), text + text);
}

void TestLogView::selectionIsShownOnlyWithFocus() {
  view_->LogAppend("0123456789 0123456789", kTx);
  view_->SelectAll();
  QVERIFY(HighlightPixels(*view_) > 100);
  view_->clearFocus();
  QCOMPARE(HighlightPixels(*view_), 0);
  QCOMPARE(view_->SelectedText(), std::string("0123456789 0123456789"));
}

QTEST_MAIN(TestLogView)
#include "tst_log_view.moc"
