#pragma once

// The log: a rich-text view that holds everything sent and received as GBK
// bytes with runs of TextStyle, and stays fast at any size.

#include <QAbstractScrollArea>
#include <memory>
#include <string>
#include <string_view>

#include "log/text_style.h"

namespace quorvel {

class LogView : public QAbstractScrollArea {
  Q_OBJECT

 public:
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

  // Brings the end of the log into view; the caret and selection stay.
  void LogScrollToEnd();

  // The selection / the whole log as GBK bytes, every line break as CR LF.
  std::string SelectedText() const;
  std::string WholeText() const;

  // Replaces the whole log with `gbk` (line breaks as in LogAppend).
  void SetWholeText(std::string_view gbk);

 signals:
  // The left mouse button was released over the view (after the selection
  // it ends has been made).
  void leftButtonReleased();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quorvel
