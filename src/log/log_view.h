#pragma once

// The log: a rich-text view that holds everything sent and received as GBK
// bytes with runs of TextStyle, and stays fast at any size.
//
// Text lives in a LogStore and is wrapped into rows by a LogLayout; the view
// paints only the rows on screen, at most once per frame, and scrolls by
// rows. It is editable like a plain text box: click, drag (extending by whole
// words), double-click, the usual keys, typing, input methods, clipboard and
// a context menu.

#include <QAbstractScrollArea>
#include <QRect>
#include <memory>
#include <string>
#include <string_view>

#include "log/text_style.h"

namespace quorvel {

class LogView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // Pixels between the viewport's left edge and the first character of a row.
  static constexpr int kTextMargin = 3;

  explicit LogView(QWidget* parent = nullptr);
  ~LogView() override;

  // Applies all five attributes of `style` to the selection, or to the
  // insertion point when nothing is selected; text written next takes it.
  void LogSetStyle(const TextStyle& style);

  // Replaces the selection (or inserts at the caret) with `gbk`. CR LF, a lone
  // CR and a lone LF each become one line break. Afterwards the caret stands
  // right after the text and nothing is selected. An empty text removes the
  // selection and inserts nothing.
  void LogAppend(std::string_view gbk);
  void LogAppend(std::string_view gbk, const TextStyle& style);

  // Brings the end of the log into view, its last row at the bottom; the
  // caret and selection stay.
  void LogScrollToEnd();

  // The selection / the whole log as GBK bytes, every line break as CR LF.
  std::string SelectedText() const;
  std::string WholeText() const;

  // Replaces the whole log with `gbk` (line breaks as in LogAppend). The
  // caret goes to the end, the view to the top.
  void SetWholeText(std::string_view gbk);

  // Caret and selection as byte offsets into WholeText(); a selection runs
  // from its anchor to the caret, and is empty when they are equal.
  qint64 CaretPosition() const;
  qint64 AnchorPosition() const;
  // Selects from `anchor` to `caret` (offsets into WholeText(), moved back to
  // a character boundary where they fall inside one).
  void Select(qint64 anchor, qint64 caret);
  void SelectAll();

  // The style of the character at `offset` (into WholeText()); for the end
  // of the log, the style the next typed text would take.
  TextStyle StyleAt(qint64 offset) const;

  // Where the character at `offset` (into WholeText()) is drawn, in viewport
  // coordinates; an empty rectangle when its row is not on screen.
  QRect CharacterRect(qint64 offset) const;

  // Clipboard commands, as Ctrl+C, Ctrl+X and Ctrl+V do them.
  void Copy() const;
  void Cut();
  void Paste();

 signals:
  // The left mouse button was released over the view (after the selection
  // it ends has been made).
  void leftButtonReleased();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quorvel
