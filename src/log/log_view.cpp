#include "log/log_view.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QRawFont>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleHints>
#include <QTimer>
#include <array>
#include <cmath>
#include <unordered_map>

#include "log/log_font.h"
#include "log/log_layout.h"
#include "platform/gbk_codec.h"

namespace quorvel {
namespace {

constexpr int kMargin = LogView::kTextMargin;
constexpr int kFrameMs = 16;                 // at most one repaint per frame
constexpr int kBackgroundPeriodMs = 16;      // stale rows are wrapped a slice per frame...
constexpr int kBackgroundSliceMs = 3;        // ...taking at most this long
constexpr LogPos kBackgroundStep = 64 << 10;  // bytes wrapped between two looks at the clock
constexpr LogPos kWordScanLimit = 4096;      // a "word" longer than this is cut there
constexpr LogPos kImeSelectionLimit = 4096;    // bytes of a selection an input method is shown
constexpr char kGbkMimeType[] = "application/x-quorvel-gbk";
constexpr quint32 kUnknownGlyph = 0xFFFFFFFFu;

qreal FromUnits(std::int64_t units) { return static_cast<qreal>(units) / 64.0; }

enum class CharClass { kSpace, kLineBreak, kWord, kPunctuation, kWide };

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

// The screen look of one style: its font, metrics and glyphs, built on first use.
struct Look {
  QFont font;
  QFontMetricsF metrics{QFont()};
  QRawFont raw;
  qreal ascent = 0;
  qreal below = 0;  // descent and leading
  qreal raise = 0;  // vertical offset in pixels, upwards
  qreal cell = 0;   // width of "0"
  std::uint32_t colour = kNoFill;
  std::array<quint32, 128> ascii;
  std::unordered_map<quint16, quint32> pairs;
  int top_px = 0;     // rows holding only this style: pixels above the baseline...
  int bottom_px = 0;  // ...and below it
};

struct RowBox {
  int top = 0;     // pixels above the baseline
  int bottom = 0;  // pixels below it
  int Height() const { return top + bottom; }
};

}  // namespace

struct LogView::Impl {
  explicit Impl(LogView* owner);

  const LogStore& Store() const { return layout.Store(); }
  Look& LookOf(StyleId style);
  std::int32_t Measure(StyleId style, std::string_view character);
  quint32 GlyphOf(Look& look, unsigned char lead, unsigned char trail, int length);

  // Calls fn(pos, length, lead, trail, style, width) for each character of
  // [from, to); false from fn stops.
  template <class Fn>
  void ForEachChar(LogPos from, LogPos to, Fn&& fn);

  RowBox BoxOf(LogPos start, LogPos end);
  int RowHeight(LogPos start, LogPos end) { return BoxOf(start, end).Height(); }
  void Touched() { ++generation; }
  LogPos TopRow();
  LogPos EndTopRow();
  void SetTop(LogPos row);
  void SyncScrollBar();
  void ScheduleUpdate();
  void StartBackground();
  void BackgroundSlice();
  int AvailableWidth() const;

  // Editing at the caret, as LogAppend and the keyboard do it.
  void ReplaceSelection(std::string_view gbk);
  void UserReplaceSelection(std::string_view gbk);
  void EraseRange(LogPos from, LogPos to);
  void AdjustTopForErase(LogPos from, LogPos to);
  LogPos SelectionFrom() const { return std::min(anchor, caret); }
  LogPos SelectionTo() const { return std::max(anchor, caret); }
  bool HasSelection() const { return anchor != caret; }

  // Caret movement by the user.
  void MoveCaret(LogPos pos, bool extend, bool at_row_end = false);
  void CaretMoved();
  CharClass ClassAt(LogPos pos);
  std::pair<LogPos, LogPos> WordAt(LogPos pos);
  LogPos NextWordStart(LogPos pos);
  LogPos PrevWordStart(LogPos pos);
  LogPos CaretRow();
  qreal XOf(LogPos row_start, LogPos pos);
  // The position nearest to x on the row, and whether it is the row's end
  // at a soft break.
  std::pair<LogPos, bool> PosInRow(LogPos row_start, qreal x);
  std::pair<LogPos, bool> PosAt(QPoint point);
  void EnsureCaretVisible();
  void ExtendDrag(LogPos pos, bool at_row_end);
  QRect CaretRect();
  void RestartBlink();

  LogView* view;
  LogLayout layout;
  std::vector<std::unique_ptr<Look>> looks;
  StyleId insert_style = LogStore::kDefaultStyle;
  LogPos anchor = 0;
  LogPos caret = 0;
  bool caret_at_row_end = false;  // the caret on a soft break shows at the end of the row before
  qreal desired_x = -1;           // kept by Up and Down

  LogPos top = 0;  // start of the first row shown
  LogPos top_row = 0;
  std::uint64_t top_row_generation = ~std::uint64_t{0};
  bool at_end = false;
  bool syncing_scroll_bar = false;

  // Rows changed in a way that can move row indexes or heights. In-place
  // appends in the look of the rows at the end do not count.
  std::uint64_t generation = 0;
  struct EndFit {
    std::uint64_t generation = ~std::uint64_t{0};
    int viewport_height = -1;
    LogPos rows = 1;  // rows shown when the last row is at the bottom
    int top = -1;     // the box every row there has, or -1 when they differ
    int bottom = -1;
  } end_fit;

  bool update_pending = false;
  QElapsedTimer since_paint;
  QTimer frame_timer;
  QTimer background_timer;
  QTimer blink_timer;
  bool caret_shown = true;
  QRect last_caret_rect;
  QString preedit;

  bool selecting = false;
  bool word_drag = false;
  std::pair<LogPos, LogPos> origin_word;
  LogPos drag_origin = 0;
};

LogView::Impl::Impl(LogView* owner)
    : view(owner), layout([this](StyleId style, std::string_view character) { return Measure(style, character); }) {
  since_paint.start();
  frame_timer.setSingleShot(true);
  blink_timer.setInterval(std::max(100, QGuiApplication::styleHints()->cursorFlashTime() / 2));
}

Look& LogView::Impl::LookOf(StyleId style) {
  if (style < looks.size() && looks[style]) return *looks[style];
  if (looks.size() <= style) looks.resize(static_cast<std::size_t>(style) + 1);
  auto look = std::make_unique<Look>();
  const TextStyle& text_style = Store().Style(style);
  look->font = LogFont(text_style);
  look->metrics = QFontMetricsF(look->font, view->viewport());
  look->raw = QRawFont::fromFont(look->font);
  look->ascent = look->metrics.ascent();
  look->below = look->metrics.descent() + look->metrics.leading();
  look->raise = text_style.offset_pt * view->logicalDpiY() / 72.0;
  look->cell = look->metrics.horizontalAdvance(QLatin1Char('0'));
  look->colour = text_style.colour;
  look->ascii.fill(kUnknownGlyph);
  look->top_px = static_cast<int>(std::ceil(look->ascent + look->raise));
  look->bottom_px = static_cast<int>(std::ceil(look->below - look->raise));
  looks[style] = std::move(look);
  return *looks[style];
}

std::int32_t LogView::Impl::Measure(StyleId style, std::string_view character) {
  Look& look = LookOf(style);
  const auto lead = static_cast<unsigned char>(character[0]);
  qreal width = 0;
  if (character.size() == 1 && lead == '\t') {
    width = 4 * look.metrics.horizontalAdvance(QLatin1Char(' '));
  } else if (character.size() == 1 && IsControl(lead)) {
    width = look.metrics.horizontalAdvance(QLatin1Char(' '));  // shown blank
  } else {
    width = look.metrics.horizontalAdvance(FromGbk(character));
    // In a CJK monospace font a double-byte character is two cells; hold it
    // to that exactly so that columns of hexadecimal bytes stay in line.
    if (character.size() == 2 && IsGbkPair(lead, static_cast<unsigned char>(character[1])) &&
        std::abs(width - 2 * look.cell) <= 0.1 * look.cell) {
      width = 2 * look.cell;
    }
  }
  return static_cast<std::int32_t>(std::lround(width * 64));
}

quint32 LogView::Impl::GlyphOf(Look& look, unsigned char lead, unsigned char trail, int length) {
  if (!look.raw.isValid()) return 0;
  if (length == 1 && lead < 0x80) {
    quint32& glyph = look.ascii[lead];
    if (glyph == kUnknownGlyph) {
      const auto glyphs = look.raw.glyphIndexesForString(QString(QLatin1Char(static_cast<char>(lead))));
      glyph = glyphs.size() == 1 ? glyphs[0] : 0;
    }
    return glyph;
  }
  if (length == 2 && IsGbkPair(lead, trail)) {
    const auto key = static_cast<quint16>(lead << 8 | trail);
    auto it = look.pairs.find(key);
    if (it == look.pairs.end()) {
      const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      const auto glyphs = look.raw.glyphIndexesForString(FromGbk(std::string_view(bytes, 2)));
      it = look.pairs.emplace(key, glyphs.size() == 1 ? glyphs[0] : 0).first;
    }
    return it->second;
  }
  return 0;  // replacement marks go through Qt's font fallback
}

template <class Fn>
void LogView::Impl::ForEachChar(LogPos from, LogPos to, Fn&& fn) {
  const LogStore& store = Store();
  LogWidths& widths = layout.Widths();
  bool skip_first = false;
  store.ForEachSpan(from, to, [&](LogPos span_pos, const char* data, int length, StyleId style) {
    int i = skip_first ? 1 : 0;
    skip_first = false;
    while (i < length) {
      const LogPos pos = span_pos + i;
      const auto lead = static_cast<unsigned char>(data[i]);
      int char_length = 1;
      unsigned char trail = 0;
      if (lead >= 0x80) {
        int next = -1;
        if (i + 1 < length) {
          next = static_cast<unsigned char>(data[i + 1]);
        } else if (pos + 1 < store.Size()) {
          next = store.ByteAt(pos + 1);
        }
        if (next >= 0 && next != '\n') {
          char_length = 2;
          trail = static_cast<unsigned char>(next);
        }
      }
      const std::int32_t width = lead == '\n' ? 0
                                 : char_length == 2 ? widths.Pair(style, lead, trail)
                                                    : widths.Single(style, lead);
      if (!fn(pos, char_length, lead, trail, style, width)) return false;
      i += char_length;
    }
    skip_first = i > length;
    return true;
  });
}

RowBox LogView::Impl::BoxOf(LogPos start, LogPos end) {
  RowBox box;
  auto add = [&](StyleId style) {
    const Look& look = LookOf(style);
    box.top = std::max(box.top, look.top_px);
    box.bottom = std::max(box.bottom, look.bottom_px);
  };
  if (end > start) {
    Store().ForEachSpan(start, end, [&](LogPos, const char*, int, StyleId style) {
      add(style);
      return true;
    });
  } else {
    // An empty row is as high as the line break before it.
    add(start > 0 ? Store().StyleAt(start - 1) : insert_style);
  }
  return box;
}

int LogView::Impl::AvailableWidth() const {
  return std::max(1, view->viewport()->width() - 2 * kMargin - 1);  // one pixel for the caret
}

LogPos LogView::Impl::TopRow() {
  if (top_row_generation != generation) {
    top = Store().RowStartAtOrBefore(top);
    top_row = Store().RowOf(top);
    top_row_generation = generation;
  }
  return top_row;
}

// The index of the first row shown when the last row stands at the bottom.
LogPos LogView::Impl::EndTopRow() {
  const LogStore& store = Store();
  const int height = view->viewport()->height();
  if (end_fit.generation == generation && end_fit.viewport_height == height) {
    return std::max<LogPos>(0, store.RowCount() - end_fit.rows);
  }
  // Make the rows at the end right first: a row is at least a few pixels
  // high, so this many rows back fill any viewport.
  const bool had_work = layout.HasPendingWork();
  const LogPos rows_back = height / 4 + 2;
  layout.EnsureRows(store.RowStart(std::max<LogPos>(0, store.RowCount() - rows_back)), store.Size());
  if (had_work) Touched();

  LogPos row = store.RowCount() - 1;
  LogPos start = store.RowStart(row);
  RowBox first = BoxOf(start, store.Size());
  int used = first.Height();
  // The count stays right for rows appended later only if the viewport is
  // full and every row in it has the same box.
  bool same = true;
  bool full = false;
  while (row > 0) {
    const LogPos before = store.RowStart(row - 1);
    const RowBox box = BoxOf(before, start);
    if (used + box.Height() > height) {
      full = true;
      break;
    }
    used += box.Height();
    same = same && box.top == first.top && box.bottom == first.bottom;
    --row;
    start = before;
  }
  const bool uniform = full && same;
  end_fit.generation = generation;
  end_fit.viewport_height = height;
  end_fit.rows = store.RowCount() - row;
  end_fit.top = uniform ? first.top : -1;
  end_fit.bottom = uniform ? first.bottom : -1;
  return row;
}

void LogView::Impl::SetTop(LogPos row) {
  row = std::clamp<LogPos>(row, 0, Store().RowCount() - 1);
  top = Store().RowStart(row);
  top_row = row;
  top_row_generation = generation;
}

void LogView::Impl::SyncScrollBar() {
  QScrollBar* bar = view->verticalScrollBar();
  const LogPos end_top = EndTopRow();
  LogPos row = TopRow();
  if (row > end_top) {
    SetTop(end_top);
    row = end_top;
    view->viewport()->update();
  }
  const auto maximum = static_cast<int>(std::min<LogPos>(end_top, std::numeric_limits<int>::max()));
  // The scroll area would queue a call to show or hide the bar for every
  // range change, one per append at worst; the bar is always shown, and
  // the view itself is where the value came from, so nobody needs telling.
  const QSignalBlocker quiet(bar);
  syncing_scroll_bar = true;
  if (bar->maximum() != maximum) bar->setRange(0, maximum);
  const int page = static_cast<int>(std::max<LogPos>(1, end_fit.rows - 1));
  if (bar->pageStep() != page) bar->setPageStep(page);
  bar->setValue(static_cast<int>(std::min<LogPos>(row, maximum)));
  syncing_scroll_bar = false;
}

void LogView::Impl::ScheduleUpdate() {
  if (layout.HasPendingWork()) StartBackground();
  if (update_pending) return;
  update_pending = true;
  const qint64 since = since_paint.elapsed();
  if (since >= kFrameMs) {
    view->viewport()->update();
  } else {
    frame_timer.start(static_cast<int>(kFrameMs - since));
  }
}

void LogView::Impl::StartBackground() {
  if (!background_timer.isActive()) background_timer.start(kBackgroundPeriodMs);
}

void LogView::Impl::BackgroundSlice() {
  QElapsedTimer clock;
  clock.start();
  bool more = true;
  while (more && clock.elapsed() < kBackgroundSliceMs) more = layout.ProcessPending(kBackgroundStep);
  Touched();
  if (!more) background_timer.stop();
  if (at_end) SetTop(EndTopRow());
  SyncScrollBar();
  view->viewport()->update();
}

void LogView::Impl::AdjustTopForErase(LogPos from, LogPos to) {
  if (top > from) top = top >= to ? top - (to - from) : from;
}

void LogView::Impl::EraseRange(LogPos from, LogPos to) {
  layout.Erase(from, to);
  AdjustTopForErase(from, to);
  Touched();
}

void LogView::Impl::ReplaceSelection(std::string_view gbk) {
  if (HasSelection()) {
    const LogPos from = SelectionFrom();
    EraseRange(from, SelectionTo());
    anchor = caret = from;
  }
  if (!gbk.empty()) {
    std::string converted;
    std::string_view stored = gbk;
    if (!LogStore::IsStoredForm(gbk)) {
      converted = LogStore::ToStored(gbk);
      stored = converted;
    }
    const LogPos at = caret;
    const auto length = static_cast<LogPos>(stored.size());
    layout.Insert(at, stored, insert_style);
    if (!layout.LastEditAppendedInPlace()) {
      Touched();
    } else if (end_fit.top >= 0) {
      // Rows at the end keep their height when the new text has the same.
      const Look& look = LookOf(insert_style);
      if (look.top_px != end_fit.top || look.bottom_px != end_fit.bottom) Touched();
    } else {
      Touched();
    }
    if (at < top) top += length;
    caret = at + length;
    // A lone lead byte written before double-byte text pairs up with what
    // follows it; the caret never stays inside a character.
    if (caret != Store().Size()) caret = Store().BoundaryAtOrAfter(caret);
    anchor = caret;
  }
  caret_at_row_end = false;
  ScheduleUpdate();
}

void LogView::Impl::UserReplaceSelection(std::string_view gbk) {
  ReplaceSelection(gbk);
  desired_x = -1;
  EnsureCaretVisible();
  RestartBlink();
}

void LogView::Impl::CaretMoved() {
  // Text typed next takes the format in effect at the caret.
  const LogStore& store = Store();
  if (caret > 0) {
    insert_style = store.StyleAt(caret - 1);
  } else if (store.Size() > 0) {
    insert_style = store.StyleAt(0);
  }
}

void LogView::Impl::MoveCaret(LogPos pos, bool extend, bool at_row_end) {
  caret = std::clamp<LogPos>(pos, 0, Store().Size());
  if (!extend) anchor = caret;
  caret_at_row_end = at_row_end && Store().HasSoftBreak(caret);
  CaretMoved();
  EnsureCaretVisible();
  RestartBlink();
  view->viewport()->update();
}

CharClass LogView::Impl::ClassAt(LogPos pos) {
  const LogStore& store = Store();
  const unsigned char byte = store.ByteAt(pos);
  if (byte == '\n') return CharClass::kLineBreak;
  if (store.NextBoundary(pos) - pos == 2) return CharClass::kWide;
  if (byte == ' ' || byte == '\t') return CharClass::kSpace;
  if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || byte == '_') {
    return CharClass::kWord;
  }
  return CharClass::kPunctuation;
}

std::pair<LogPos, LogPos> LogView::Impl::WordAt(LogPos pos) {
  const LogStore& store = Store();
  if (store.Size() == 0) return {0, 0};
  if (pos >= store.Size()) pos = store.PrevBoundary(store.Size());
  const CharClass cls = ClassAt(pos);
  LogPos from = pos;
  LogPos to = store.NextBoundary(pos);
  if (cls == CharClass::kLineBreak) return {from, to};
  while (from > 0 && pos - from < kWordScanLimit) {
    const LogPos before = store.PrevBoundary(from);
    if (ClassAt(before) != cls) break;
    from = before;
  }
  while (to < store.Size() && to - pos < kWordScanLimit && ClassAt(to) == cls) to = store.NextBoundary(to);
  return {from, to};
}

LogPos LogView::Impl::NextWordStart(LogPos pos) {
  const LogStore& store = Store();
  if (pos >= store.Size()) return store.Size();
  pos = WordAt(pos).second;
  while (pos < store.Size() && ClassAt(pos) == CharClass::kSpace) pos = store.NextBoundary(pos);
  return pos;
}

LogPos LogView::Impl::PrevWordStart(LogPos pos) {
  const LogStore& store = Store();
  if (pos <= 0) return 0;
  pos = store.PrevBoundary(pos);
  while (pos > 0 && ClassAt(pos) == CharClass::kSpace) pos = store.PrevBoundary(pos);
  return WordAt(pos).first;
}

LogPos LogView::Impl::CaretRow() {
  const LogStore& store = Store();
  LogPos row = store.RowOf(caret);
  if (caret_at_row_end && row > 0 && store.HasSoftBreak(caret)) --row;
  return row;
}

qreal LogView::Impl::XOf(LogPos row_start, LogPos pos) {
  std::int64_t x = 0;
  ForEachChar(row_start, pos, [&](LogPos, int, unsigned char, unsigned char, StyleId, std::int32_t width) {
    x += width;
    return true;
  });
  return kMargin + FromUnits(x);
}

std::pair<LogPos, bool> LogView::Impl::PosInRow(LogPos row_start, qreal x) {
  const LogStore& store = Store();
  layout.EnsureRows(row_start, row_start);
  const LogPos end = store.RowEnd(row_start);
  const std::int64_t target = std::llround((x - kMargin) * 64);
  std::int64_t at = 0;
  LogPos found = -1;
  ForEachChar(row_start, end, [&](LogPos pos, int, unsigned char lead, unsigned char, StyleId, std::int32_t width) {
    if (lead == '\n' || target < at + width / 2) {
      found = pos;
      return false;
    }
    at += width;
    return true;
  });
  if (found >= 0) return {found, false};
  return {end, end < store.Size() && store.HasSoftBreak(end)};
}

std::pair<LogPos, bool> LogView::Impl::PosAt(QPoint point) {
  const LogStore& store = Store();
  layout.EnsureRows(top, top);
  LogPos row = TopRow();
  LogPos start = top;
  int y = 0;
  const LogPos last = store.RowCount() - 1;
  while (row < last) {
    layout.EnsureRows(start, start);
    const LogPos end = store.RowEnd(start);
    const int height = RowHeight(start, end);
    if (point.y() < y + height) break;
    y += height;
    start = end;
    ++row;
  }
  return PosInRow(start, point.x());
}

void LogView::Impl::EnsureCaretVisible() {
  const LogStore& store = Store();
  const LogPos row = CaretRow();
  const LogPos first = TopRow();
  if (row < first) {
    SetTop(row);
    at_end = false;
    SyncScrollBar();
    view->viewport()->update();
    return;
  }
  // Is the caret row wholly inside the viewport? Walk from the top.
  const int height = view->viewport()->height();
  int y = 0;
  LogPos start = top;
  for (LogPos r = first; r <= row; ++r) {
    layout.EnsureRows(start, start);
    const LogPos end = store.RowEnd(start);
    y += RowHeight(start, end);
    if (y > height) break;
    if (r == row) return;
    start = end;
  }
  // Not shown: bring it to the bottom.
  LogPos new_top = row;
  LogPos row_start = store.RowStart(row);
  int used = RowHeight(row_start, store.RowEnd(row_start));
  while (new_top > 0) {
    const LogPos before = store.RowStart(new_top - 1);
    const int h = RowHeight(before, row_start);
    if (used + h > height) break;
    used += h;
    --new_top;
    row_start = before;
  }
  SetTop(new_top);
  at_end = false;
  SyncScrollBar();
  view->viewport()->update();
}

void LogView::Impl::ExtendDrag(LogPos pos, bool at_row_end) {
  // Automatic word selection: once the drag leaves the word it began in,
  // both ends of the selection snap to whole words.
  const LogStore& store = Store();
  if (!word_drag && pos >= origin_word.first && pos <= origin_word.second) {
    anchor = drag_origin;
    caret = pos;
  } else if (pos > drag_origin || (word_drag && pos >= origin_word.first)) {
    anchor = origin_word.first;
    LogPos end = pos;
    if (pos < store.Size()) {
      const auto word = WordAt(pos);
      if (word.first < pos) end = word.second;
    }
    caret = std::max(end, origin_word.second);
  } else {
    anchor = origin_word.second;
    caret = std::min(WordAt(pos).first, origin_word.first);
  }
  caret_at_row_end = at_row_end && caret == pos && store.HasSoftBreak(caret);
  CaretMoved();
  view->viewport()->update();
}

QRect LogView::Impl::CaretRect() {
  const LogStore& store = Store();
  const LogPos row = CaretRow();
  const LogPos first = TopRow();
  if (row < first) return {};
  int y = 0;
  LogPos start = top;
  const int height = view->viewport()->height();
  for (LogPos r = first; r < row; ++r) {
    layout.EnsureRows(start, start);
    const LogPos end = store.RowEnd(start);
    y += RowHeight(start, end);
    if (y >= height) return {};
    start = end;
  }
  layout.EnsureRows(start, start);
  const LogPos end = store.RowEnd(start);
  const int x = static_cast<int>(std::floor(XOf(start, std::min(caret, end))));
  return QRect(x, y, 1, RowHeight(start, end));
}

void LogView::Impl::RestartBlink() {
  caret_shown = true;
  if (view->hasFocus()) blink_timer.start();
  view->viewport()->update(last_caret_rect);
}

LogView::LogView(QWidget* parent) : QAbstractScrollArea(parent), impl_(std::make_unique<Impl>(this)) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Always there, so that its coming and going never changes the width the
  // rows wrap at.
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  verticalScrollBar()->setSingleStep(1);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  impl_->layout.SetWidth(impl_->AvailableWidth() * 64);
  connect(&impl_->frame_timer, &QTimer::timeout, viewport(), qOverload<>(&QWidget::update));
  connect(&impl_->background_timer, &QTimer::timeout, this, [this] { impl_->BackgroundSlice(); });
  connect(&impl_->blink_timer, &QTimer::timeout, this, [this] {
    impl_->caret_shown = !impl_->caret_shown;
    viewport()->update(impl_->last_caret_rect);
  });
}

LogView::~LogView() = default;

void LogView::LogSetStyle(const TextStyle& style) {
  Impl& d = *impl_;
  const StyleId id = d.layout.Intern(style);
  if (d.HasSelection()) {
    d.layout.SetStyle(d.SelectionFrom(), d.SelectionTo(), id);
    d.Touched();
    d.ScheduleUpdate();
  }
  d.insert_style = id;
}

void LogView::LogAppend(std::string_view gbk) { impl_->ReplaceSelection(gbk); }

void LogView::LogAppend(std::string_view gbk, const TextStyle& style) {
  LogSetStyle(style);
  LogAppend(gbk);
}

void LogView::LogScrollToEnd() {
  Impl& d = *impl_;
  const LogPos row = d.EndTopRow();
  d.at_end = true;
  if (row == d.TopRow() && verticalScrollBar()->maximum() == row) return;
  d.SetTop(row);
  d.SyncScrollBar();
  d.ScheduleUpdate();
}

std::string LogView::SelectedText() const {
  return impl_->Store().Text(impl_->SelectionFrom(), impl_->SelectionTo());
}

std::string LogView::WholeText() const { return impl_->Store().Text(0, impl_->Store().Size()); }

void LogView::SetWholeText(std::string_view gbk) {
  Impl& d = *impl_;
  d.layout.Reset(LogStore::ToStored(gbk), d.insert_style);
  d.Touched();
  d.anchor = d.caret = d.Store().Size();
  d.caret_at_row_end = false;
  d.top = 0;
  d.at_end = false;
  d.SyncScrollBar();
  d.ScheduleUpdate();
}

qint64 LogView::CaretPosition() const { return impl_->Store().TextOffset(impl_->caret); }
qint64 LogView::AnchorPosition() const { return impl_->Store().TextOffset(impl_->anchor); }

void LogView::Select(qint64 anchor, qint64 caret) {
  Impl& d = *impl_;
  d.anchor = d.Store().PosOfTextOffset(anchor);
  d.caret = d.Store().PosOfTextOffset(caret);
  d.caret_at_row_end = false;
  d.CaretMoved();
  viewport()->update();
}

void LogView::SelectAll() {
  Impl& d = *impl_;
  d.anchor = 0;
  d.caret = d.Store().Size();
  d.caret_at_row_end = false;
  d.CaretMoved();
  viewport()->update();
}

TextStyle LogView::StyleAt(qint64 offset) const {
  const LogStore& store = impl_->Store();
  const LogPos pos = store.PosOfTextOffset(offset);
  return store.Style(pos < store.Size() ? store.StyleAt(pos) : impl_->insert_style);
}

QRect LogView::CharacterRect(qint64 offset) const {
  Impl& d = *impl_;
  const LogStore& store = d.Store();
  const LogPos pos = store.PosOfTextOffset(offset);
  if (pos >= store.Size()) return {};
  d.layout.EnsureRows(d.top, d.top);
  const LogPos row = store.RowOf(pos);
  LogPos r = d.TopRow();
  if (row < r) return {};
  LogPos start = d.top;
  int y = 0;
  for (; r < row; ++r) {
    d.layout.EnsureRows(start, start);
    const LogPos end = store.RowEnd(start);
    y += d.RowHeight(start, end);
    if (y >= viewport()->height()) return {};
    start = end;
  }
  d.layout.EnsureRows(start, start);
  const LogPos end = store.RowEnd(start);
  const qreal x = d.XOf(start, pos);
  const qreal right = d.XOf(start, store.NextBoundary(pos));
  return QRect(QPoint(static_cast<int>(std::floor(x)), y),
               QPoint(static_cast<int>(std::ceil(right)) - 1, y + d.RowHeight(start, end) - 1));
}

void LogView::Copy() const {
  const Impl& d = *impl_;
  if (!d.HasSelection()) return;
  const std::string gbk = SelectedText();
  QString text = FromGbk(gbk);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  auto* mime = new QMimeData;
  mime->setText(text);
  // The exact bytes too, so that pasting into the log keeps bytes that are
  // no GBK character.
  mime->setData(QLatin1String(kGbkMimeType), QByteArray(gbk.data(), static_cast<qsizetype>(gbk.size())));
  QGuiApplication::clipboard()->setMimeData(mime);
}

void LogView::Cut() {
  if (!impl_->HasSelection()) return;
  Copy();
  impl_->UserReplaceSelection({});
}

void LogView::Paste() {
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  if (!mime) return;
  std::string gbk;
  if (mime->hasFormat(QLatin1String(kGbkMimeType))) {
    const QByteArray bytes = mime->data(QLatin1String(kGbkMimeType));
    gbk.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  } else if (mime->hasText()) {
    gbk = ToGbk(mime->text());
  } else {
    return;
  }
  impl_->UserReplaceSelection(gbk);
}

void LogView::paintEvent(QPaintEvent* event) {
  Impl& d = *impl_;
  d.update_pending = false;
  d.since_paint.restart();
  const LogStore& store = d.Store();
  QPainter painter(viewport());
  const QPalette& pal = palette();
  painter.fillRect(event->rect(), pal.color(QPalette::Base));

  if (d.layout.HasPendingWork()) {
    d.layout.EnsureRows(d.top, d.top);
    d.Touched();
  }
  const bool show_selection = hasFocus() && d.HasSelection();
  const LogPos sel_from = show_selection ? d.SelectionFrom() : -1;
  const LogPos sel_to = show_selection ? d.SelectionTo() : -1;
  const int height = viewport()->height();
  const LogPos last = store.RowCount() - 1;
  const QColor text_colour = pal.color(QPalette::Text);
  const QColor highlight = pal.color(QPalette::Highlight);
  const QColor highlighted_text = pal.color(QPalette::HighlightedText);
  const LogPos caret_row = d.CaretRow();
  QRect caret_rect;

  LogPos row = d.TopRow();
  LogPos start = d.top;
  int y = 0;
  std::vector<quint32> glyphs;
  std::vector<QPointF> positions;
  while (y < height) {
    if (d.layout.HasPendingWork()) d.layout.EnsureRows(start, start);
    const LogPos end = row < last ? store.RowEnd(start) : store.Size();
    const RowBox box = d.BoxOf(start, end);
    const int baseline = y + box.top;
    if ((y + box.Height() > event->rect().top() && y <= event->rect().bottom()) || row == caret_row) {
      // Segments of one style and one selection state are drawn together.
      Look* seg_look = nullptr;
      bool seg_selected = false;
      std::int64_t seg_x = 0;
      std::int64_t x = 0;
      std::vector<std::pair<QString, QPointF>> fallbacks;
      auto flush = [&]() {
        if (!seg_look) return;
        if (seg_selected && x > seg_x) {
          painter.fillRect(QRectF(kMargin + FromUnits(seg_x), y, FromUnits(x - seg_x), box.Height()), highlight);
        }
        QColor colour = seg_selected                     ? highlighted_text
                        : seg_look->colour == kNoFill    ? text_colour
                                                         : QColor(static_cast<int>(seg_look->colour & 0xFF),
                                                                  static_cast<int>((seg_look->colour >> 8) & 0xFF),
                                                                  static_cast<int>((seg_look->colour >> 16) & 0xFF));
        painter.setPen(colour);
        if (!glyphs.empty()) {
          QGlyphRun run;
          run.setRawFont(seg_look->raw);
          run.setGlyphIndexes(QList<quint32>(glyphs.begin(), glyphs.end()));
          run.setPositions(QList<QPointF>(positions.begin(), positions.end()));
          run.setUnderline(seg_look->font.underline());
          run.setStrikeOut(seg_look->font.strikeOut());
          // Underline and strike-out are drawn from the run's origin, so
          // the glyphs are placed relative to the segment's start.
          painter.drawGlyphRun(QPointF(kMargin + FromUnits(seg_x), baseline - seg_look->raise), run);
        }
        if (!fallbacks.empty()) {
          painter.setFont(seg_look->font);
          for (const auto& [text, at] : fallbacks) painter.drawText(at, text);
        }
        glyphs.clear();
        positions.clear();
        fallbacks.clear();
        seg_look = nullptr;
      };
      if (row == caret_row) {
        caret_rect = QRect(kMargin, y, 1, box.Height());
      }
      d.ForEachChar(start, end, [&](LogPos pos, int length, unsigned char lead, unsigned char trail, StyleId style,
                                    std::int32_t width) {
        if (pos == d.caret && row == caret_row) caret_rect.moveLeft(static_cast<int>(kMargin + FromUnits(x)));
        const bool selected = pos >= sel_from && pos < sel_to;
        Look& look = d.LookOf(style);
        if (&look != seg_look || selected != seg_selected) {
          flush();
          seg_look = &look;
          seg_selected = selected;
          seg_x = x;
        }
        if (lead == '\n') {
          // A selected line break shows as a blank cell.
          if (selected) {
            painter.fillRect(QRectF(kMargin + FromUnits(x), y, look.cell, box.Height()), highlight);
          }
          return true;
        }
        const QPointF at(kMargin + FromUnits(x), baseline - look.raise);
        if (!IsControl(lead)) {
          const quint32 glyph = d.GlyphOf(look, lead, trail, length);
          if (glyph != 0) {
            glyphs.push_back(glyph);
            positions.push_back(QPointF(FromUnits(x - seg_x), 0));
          } else {
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            fallbacks.emplace_back(FromGbk(std::string_view(bytes, static_cast<std::size_t>(length))), at);
          }
        }
        x += width;
        return true;
      });
      flush();
      if (row == caret_row && d.caret >= end && end == store.Size()) {
        caret_rect.moveLeft(static_cast<int>(kMargin + FromUnits(x)));
      } else if (row == caret_row && d.caret == end) {
        caret_rect.moveLeft(static_cast<int>(kMargin + FromUnits(x)));  // at the end of a wrapped row
      }
    }
    y += box.Height();
    if (row >= last) break;
    start = end;
    ++row;
  }

  d.last_caret_rect = caret_rect.adjusted(-1, 0, 1, 0);
  if (hasFocus() && !caret_rect.isNull()) {
    if (!d.preedit.isEmpty()) {
      const Look& look = d.LookOf(d.insert_style);
      painter.setFont(look.font);
      const QRectF box(caret_rect.left(), caret_rect.top(), look.metrics.horizontalAdvance(d.preedit),
                       caret_rect.height());
      painter.fillRect(box, pal.color(QPalette::Base));
      QFont underlined = look.font;
      underlined.setUnderline(true);
      painter.setFont(underlined);
      painter.setPen(text_colour);
      painter.drawText(box, Qt::AlignLeft | Qt::AlignBottom, d.preedit);
    } else if (d.caret_shown && !d.HasSelection()) {
      painter.fillRect(caret_rect, text_colour);
    }
  }
  // The scroll bar follows rows that changed since the last frame.
  if (d.layout.HasPendingWork()) d.StartBackground();
  QTimer::singleShot(0, this, [this] { impl_->SyncScrollBar(); });
}

void LogView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Impl& d = *impl_;
  const std::int32_t width = d.AvailableWidth() * 64;
  if (width != d.layout.Width()) {
    d.layout.SetWidth(width);
    d.Touched();
  }
  if (d.at_end) d.SetTop(d.EndTopRow());
  d.SyncScrollBar();
  d.ScheduleUpdate();
}

void LogView::scrollContentsBy(int, int) {
  Impl& d = *impl_;
  if (d.syncing_scroll_bar) return;
  QScrollBar* bar = verticalScrollBar();
  d.SetTop(bar->value());
  d.at_end = bar->value() == bar->maximum();
  viewport()->update();
}

void LogView::mousePressEvent(QMouseEvent* event) {
  Impl& d = *impl_;
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const auto [pos, at_row_end] = d.PosAt(event->position().toPoint());
  const bool extend = (event->modifiers() & Qt::ShiftModifier) != 0;
  d.selecting = true;
  d.word_drag = false;
  d.MoveCaret(pos, extend, at_row_end);
  d.desired_x = -1;
  d.drag_origin = extend ? d.anchor : pos;
  d.origin_word = d.WordAt(d.drag_origin);
}

void LogView::mouseMoveEvent(QMouseEvent* event) {
  Impl& d = *impl_;
  if (!d.selecting || !(event->buttons() & Qt::LeftButton)) return;
  QPoint point = event->position().toPoint();
  // Dragging past the top or bottom scrolls a row at a time.
  QScrollBar* bar = verticalScrollBar();
  if (point.y() < 0) {
    bar->setValue(bar->value() - 1);
    point.setY(0);
  } else if (point.y() >= viewport()->height()) {
    bar->setValue(bar->value() + 1);
    point.setY(viewport()->height() - 1);
  }
  const auto [pos, at_row_end] = d.PosAt(point);
  d.ExtendDrag(pos, at_row_end);
  d.RestartBlink();
}

void LogView::mouseReleaseEvent(QMouseEvent* event) {
  Impl& d = *impl_;
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mouseReleaseEvent(event);
    return;
  }
  d.selecting = false;
  d.word_drag = false;
  emit leftButtonReleased();
}

void LogView::mouseDoubleClickEvent(QMouseEvent* event) {
  Impl& d = *impl_;
  if (event->button() != Qt::LeftButton) return;
  const LogPos pos = d.PosAt(event->position().toPoint()).first;
  d.origin_word = d.WordAt(pos);
  d.drag_origin = d.origin_word.first;
  d.anchor = d.origin_word.first;
  d.caret = d.origin_word.second;
  d.caret_at_row_end = false;
  d.selecting = true;
  d.word_drag = true;
  d.CaretMoved();
  d.RestartBlink();
  viewport()->update();
}

void LogView::keyPressEvent(QKeyEvent* event) {
  Impl& d = *impl_;
  const LogStore& store = d.Store();
  if (event == QKeySequence::SelectAll) {
    SelectAll();
    return;
  }
  if (event == QKeySequence::Copy) {
    Copy();
    return;
  }
  if (event == QKeySequence::Cut) {
    Cut();
    return;
  }
  if (event == QKeySequence::Paste) {
    Paste();
    return;
  }

  enum class Move { kNone, kLeft, kRight, kWordLeft, kWordRight, kUp, kDown, kPageUp, kPageDown, kHome, kEnd, kTop, kBottom };
  struct Binding {
    QKeySequence::StandardKey key;
    Move move;
    bool extend;
  };
  static const Binding kBindings[] = {
      {QKeySequence::MoveToPreviousChar, Move::kLeft, false},
      {QKeySequence::MoveToNextChar, Move::kRight, false},
      {QKeySequence::MoveToPreviousWord, Move::kWordLeft, false},
      {QKeySequence::MoveToNextWord, Move::kWordRight, false},
      {QKeySequence::MoveToPreviousLine, Move::kUp, false},
      {QKeySequence::MoveToNextLine, Move::kDown, false},
      {QKeySequence::MoveToPreviousPage, Move::kPageUp, false},
      {QKeySequence::MoveToNextPage, Move::kPageDown, false},
      {QKeySequence::MoveToStartOfLine, Move::kHome, false},
      {QKeySequence::MoveToEndOfLine, Move::kEnd, false},
      {QKeySequence::MoveToStartOfDocument, Move::kTop, false},
      {QKeySequence::MoveToEndOfDocument, Move::kBottom, false},
      {QKeySequence::SelectPreviousChar, Move::kLeft, true},
      {QKeySequence::SelectNextChar, Move::kRight, true},
      {QKeySequence::SelectPreviousWord, Move::kWordLeft, true},
      {QKeySequence::SelectNextWord, Move::kWordRight, true},
      {QKeySequence::SelectPreviousLine, Move::kUp, true},
      {QKeySequence::SelectNextLine, Move::kDown, true},
      {QKeySequence::SelectPreviousPage, Move::kPageUp, true},
      {QKeySequence::SelectNextPage, Move::kPageDown, true},
      {QKeySequence::SelectStartOfLine, Move::kHome, true},
      {QKeySequence::SelectEndOfLine, Move::kEnd, true},
      {QKeySequence::SelectStartOfDocument, Move::kTop, true},
      {QKeySequence::SelectEndOfDocument, Move::kBottom, true},
  };
  for (const Binding& binding : kBindings) {
    if (event != binding.key) continue;
    const bool vertical = binding.move == Move::kUp || binding.move == Move::kDown ||
                          binding.move == Move::kPageUp || binding.move == Move::kPageDown;
    const LogPos row = d.CaretRow();
    const LogPos row_start = store.RowStart(row);
    if (vertical && d.desired_x < 0) d.desired_x = d.XOf(row_start, d.caret);
    LogPos target = d.caret;
    bool row_end = false;
    switch (binding.move) {
      case Move::kLeft:
        target = !binding.extend && d.HasSelection() ? d.SelectionFrom() : store.PrevBoundary(d.caret);
        break;
      case Move::kRight:
        target = !binding.extend && d.HasSelection() ? d.SelectionTo() : store.NextBoundary(d.caret);
        break;
      case Move::kWordLeft: target = d.PrevWordStart(d.caret); break;
      case Move::kWordRight: target = d.NextWordStart(d.caret); break;
      case Move::kUp:
      case Move::kDown:
      case Move::kPageUp:
      case Move::kPageDown: {
        const LogPos page =
            std::max(1, viewport()->height() / std::max(1, d.RowHeight(row_start, store.RowEnd(row_start))) - 1);
        const LogPos step = binding.move == Move::kUp     ? -1
                            : binding.move == Move::kDown ? 1
                            : binding.move == Move::kPageUp ? -page
                                                           : page;
        const LogPos to_row = std::clamp<LogPos>(row + step, 0, store.RowCount() - 1);
        if (binding.move == Move::kPageUp || binding.move == Move::kPageDown) {
          d.SetTop(std::clamp<LogPos>(d.TopRow() + step, 0, d.EndTopRow()));
          d.SyncScrollBar();
        }
        if (to_row == row && (binding.move == Move::kUp || binding.move == Move::kPageUp)) {
          target = 0;
        } else if (to_row == row) {
          target = store.Size();
        } else {
          std::tie(target, row_end) = d.PosInRow(store.RowStart(to_row), d.desired_x);
        }
        break;
      }
      case Move::kHome: target = row_start; break;
      case Move::kEnd: {
        const LogPos end = store.RowEnd(row_start);
        if (row + 1 < store.RowCount() && end > row_start && store.ByteAt(end - 1) == '\n') {
          target = end - 1;
        } else {
          target = end;
          row_end = end < store.Size();
        }
        break;
      }
      case Move::kTop: target = 0; break;
      case Move::kBottom: target = store.Size(); break;
      case Move::kNone: break;
    }
    const qreal keep_x = d.desired_x;
    d.MoveCaret(target, binding.extend, row_end);
    if (vertical) d.desired_x = keep_x; else d.desired_x = -1;
    return;
  }

  switch (event->key()) {
    case Qt::Key_Backspace:
      if (!d.HasSelection() && d.caret > 0) d.anchor = store.PrevBoundary(d.caret);
      d.UserReplaceSelection({});
      return;
    case Qt::Key_Delete:
      if (!d.HasSelection() && d.caret < store.Size()) d.anchor = store.NextBoundary(d.caret);
      d.UserReplaceSelection({});
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      d.UserReplaceSelection("\r\n");
      return;
    default:
      break;
  }
  const QString text = event->text();
  if (!text.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
      std::none_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; })) {
    d.UserReplaceSelection(ToGbk(text));
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

void LogView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  impl_->RestartBlink();
  viewport()->update();
}

void LogView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  impl_->blink_timer.stop();
  viewport()->update();
}

void LogView::inputMethodEvent(QInputMethodEvent* event) {
  Impl& d = *impl_;
  const bool replaces = event->replacementLength() > 0;
  if (replaces && event->replacementStart() < 0 && !d.HasSelection()) {
    // The input method takes back characters before the caret.
    LogPos from = d.caret;
    for (int i = 0; i < -event->replacementStart() && from > 0; ++i) from = d.Store().PrevBoundary(from);
    d.anchor = from;
  }
  if (!event->commitString().isEmpty() || (replaces && d.HasSelection())) {
    d.UserReplaceSelection(ToGbk(event->commitString()));
  }
  d.preedit = event->preeditString();
  event->accept();
  viewport()->update();
}

QVariant LogView::inputMethodQuery(Qt::InputMethodQuery query) const {
  Impl& d = *impl_;
  const LogStore& store = d.Store();
  switch (query) {
    case Qt::ImEnabled:
      return true;
    case Qt::ImHints:
      return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImCursorRectangle:
      return QRect(d.CaretRect()).translated(viewport()->pos());
    case Qt::ImFont:
      return d.LookOf(d.insert_style).font;
    case Qt::ImSurroundingText:
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition: {
      const LogPos start = store.RowStart(d.CaretRow());
      LogPos end = store.RowEnd(start);
      if (end > start && store.ByteAt(end - 1) == '\n') --end;
      if (query == Qt::ImSurroundingText) return FromGbk(store.Text(start, end));
      const LogPos at = query == Qt::ImCursorPosition ? d.caret : std::clamp(d.anchor, start, end);
      return static_cast<int>(FromGbk(store.Text(start, std::min(at, end))).size());
    }
    case Qt::ImCurrentSelection: {
      const LogPos from = d.SelectionFrom();
      return FromGbk(store.Text(from, std::min(d.SelectionTo(), from + kImeSelectionLimit)));
    }
    default:
      return QAbstractScrollArea::inputMethodQuery(query);
  }
}

void LogView::contextMenuEvent(QContextMenuEvent* event) {
  Impl& d = *impl_;
  QMenu menu(this);
  const bool selected = d.HasSelection();
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  const bool can_paste = mime && (mime->hasText() || mime->hasFormat(QLatin1String(kGbkMimeType)));
  menu.addAction(QStringLiteral(u"剪切(&T)"), this, &LogView::Cut)->setEnabled(selected);
  menu.addAction(QStringLiteral(u"复制(&C)"), this, &LogView::Copy)->setEnabled(selected);
  menu.addAction(QStringLiteral(u"粘贴(&P)"), this, &LogView::Paste)->setEnabled(can_paste);
  menu.addSeparator();
  menu.addAction(QStringLiteral(u"全选(&A)"), this, &LogView::SelectAll)->setEnabled(d.Store().Size() > 0);
  menu.exec(event->globalPos());
}

void LogView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) viewport()->update();
}

}  // namespace quorvel
