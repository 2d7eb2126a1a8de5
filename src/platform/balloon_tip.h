#pragma once

// A balloon tip: a rounded bubble whose little triangle points at a screen
// point, showing a text without an icon. It never takes the focus.

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QPainterPath>
#include <QWidget>

namespace quorvel {

class BalloonTip : public QWidget {
  Q_OBJECT

 public:
  // The tip is a window of its own; `parent` only ties its lifetime to the
  // window that owns it.
  explicit BalloonTip(QWidget* parent = nullptr);

  // Shows `text` in the bubble, the triangle pointing at `screen_point`.
  // Line breaks (CR LF, CR or LF) start new lines; the text is set in a CJK
  // monospace font in which a Chinese character is two digits wide, so lines
  // of GBK texts padded to the same byte widths line up in columns.
  // With `auto_hide_ms` > 0 the tip hides by itself that long after it was
  // shown; with 0 (or less) it stays until the next mouse button press or key
  // press anywhere in the program, which still goes on to its target. A tip
  // that is up is replaced: new text, new place, new way of hiding.
  // Show a tip without time-out from a release or click handler: a press
  // still being delivered when it is shown would close it at once.
  void ShowTip(const QPoint& screen_point, const QString& text, int auto_hide_ms);

  void HideTip();

  bool IsShown() const { return isVisible(); }
  // The text last shown, as given.
  const QString& Text() const { return text_; }
  // The screen point the triangle's tip touches while shown.
  QPoint PointedAt() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Layout(const QPoint& screen_point);
  QPainterPath Outline() const;
  void WatchInput(bool on);

  QString text_;
  QStringList lines_;
  QTimer hide_timer_;
  int arrow_x_ = 0;         // the triangle's tip, from the widget's left edge
  int base_x_ = 0;          // the middle of the triangle's base, likewise
  bool arrow_up_ = true;    // the bubble lies below the point, triangle on top
  bool watching_ = false;   // the application event filter is installed
};

}  // namespace quorvel
