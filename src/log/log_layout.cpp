#include "log/log_layout.h"

#include <algorithm>
#include <limits>

namespace quorvel {
namespace {

enum class CharKind { kPlain, kSpace, kWide };

// A row is at least one pixel wide; a narrower view wraps as if it were.
constexpr std::int32_t kMinWidth = 64;
// An edit wraps at most this much text on the spot; the rest is done lazily.
constexpr LogPos kSyncBudget = LogPos{1} << 20;
// Stale rows this far before the place the view needs are not wrapped first:
// wrapping starts at a row start near that place instead.
constexpr LogPos kNearBytes = LogPos{64} << 10;
constexpr LogPos kNoLimit = std::numeric_limits<LogPos>::max();

struct Char {
  int length;
  std::int32_t width;
  CharKind kind;
};

// One step of the wrap: the character at `pos` joins the row, after as many
// row breaks as it needs (on_break(b) for each; false stops the walk).
template <class OnBreak>
inline bool Feed(auto& s, std::int32_t width, LogPos pos, const Char& c, OnBreak&& on_break) {
  if (c.kind == CharKind::kSpace) {
    // Spaces hang past the edge: they never start a row themselves.
    s.x += c.width;
    s.last_break = pos + c.length;
    s.x_at_break = s.x;
    return true;
  }
  if (c.kind == CharKind::kWide && pos > s.row_start) {
    s.last_break = pos;
    s.x_at_break = s.x;
  }
  while (s.x + c.width > width && pos > s.row_start) {
    LogPos brk = pos;
    if (s.last_break > s.row_start) {
      brk = s.last_break;
      s.x -= s.x_at_break;
    } else {
      s.x = 0;
    }
    s.row_start = brk;
    s.last_break = brk;
    s.x_at_break = 0;
    if (!on_break(brk)) return false;
  }
  s.x += c.width;
  if (c.kind == CharKind::kWide) {
    s.last_break = pos + c.length;
    s.x_at_break = s.x;
  }
  return true;
}

}  // namespace

LogWidths::LogWidths(Measure measure) : measure_(std::move(measure)) {}
LogWidths::~LogWidths() = default;

void LogWidths::Reset() { tables_.clear(); }

LogWidths::Table& LogWidths::NewTable(StyleId style) {
  if (tables_.size() <= style) tables_.resize(static_cast<std::size_t>(style) + 1);
  tables_[style] = std::make_unique<Table>();
  tables_[style]->single.fill(-1);
  return *tables_[style];
}

std::int32_t LogWidths::MeasureSingle(Table& table, StyleId style, unsigned char byte) {
  const char ch = static_cast<char>(byte);
  table.single[byte] = std::max<std::int32_t>(0, measure_(style, std::string_view(&ch, 1)));
  return table.single[byte];
}

std::int32_t LogWidths::Pair(StyleId style, unsigned char lead, unsigned char trail) {
  Table& table = TableFor(style);
  if (table.pairs.empty()) table.pairs.assign(128 * 256, -1);
  std::int32_t& width = table.pairs[static_cast<std::size_t>(lead - 0x80) * 256 + trail];
  if (width < 0) {
    const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    width = std::max<std::int32_t>(0, measure_(style, std::string_view(pair, 2)));
  }
  return width;
}

LogLayout::LogLayout(LogWidths::Measure measure) : widths_(std::move(measure)) {}

void LogLayout::SetWidth(std::int32_t width) {
  width = std::max(width, kMinWidth);
  if (width == width_) return;
  width_ = width;
  InvalidateWidths();
}

void LogLayout::InvalidateWidths() {
  widths_.Reset();
  dirty_.clear();
  tail_ = WrapState{};
  tail_valid_ = store_.Size() == 0;
  tail_ends_in_lone_lead_ = false;
  if (store_.Size() > 0) dirty_.push_back({0, store_.Size()});
}

LogPos LogLayout::StartOfRowBefore(LogPos pos) const {
  // A change early in a row can let its first word move up into the row
  // before, so wrapping starts one row earlier within the same line.
  LogPos start = store_.RowStartAtOrBefore(pos);
  if (start > 0 && store_.ByteAt(start - 1) != '\n') start = store_.RowStartAtOrBefore(start - 1);
  return store_.BoundaryAtOrBefore(start);
}

void LogLayout::AddDirty(LogPos pos, LogPos until) {
  dirty_.push_back({pos, until});
  std::sort(dirty_.begin(), dirty_.end(), [](const Dirty& a, const Dirty& b) { return a.pos < b.pos; });
  std::size_t out = 0;
  for (std::size_t i = 0; i < dirty_.size(); ++i) {
    if (out > 0 && dirty_[i].pos <= dirty_[out - 1].until) {
      dirty_[out - 1].until = std::max(dirty_[out - 1].until, dirty_[i].until);
    } else {
      dirty_[out++] = dirty_[i];
    }
  }
  dirty_.resize(out);
}

void LogLayout::ShiftDirty(LogPos at, LogPos inserted) {
  for (Dirty& d : dirty_) {
    if (d.pos > at) d.pos += inserted;
    if (d.until >= at) d.until += inserted;
  }
}

void LogLayout::CollapseDirty(LogPos from, LogPos to) {
  auto map = [&](LogPos p) { return p <= from ? p : (p >= to ? p - (to - from) : from); };
  for (Dirty& d : dirty_) {
    d.pos = map(d.pos);
    d.until = map(d.until);
  }
}

void LogLayout::AppendInPlace(LogPos pos, std::string_view stored, StyleId style) {
  store_.Insert(pos, stored, style);
  ShiftDirty(pos, static_cast<LogPos>(stored.size()));
  appended_in_place_ = true;
  WrapState s = tail_;
  bool lone_lead = false;
  const auto n = stored.size();
  for (std::size_t i = 0; i < n;) {
    const auto byte = static_cast<unsigned char>(stored[i]);
    const LogPos at = pos + static_cast<LogPos>(i);
    if (byte == '\n') {
      s = WrapState{at + 1, at + 1, 0, 0};
      lone_lead = false;
      ++i;
      continue;
    }
    Char c{1, 0, CharKind::kPlain};
    lone_lead = false;
    if (byte >= 0x80) {
      if (i + 1 < n && stored[i + 1] != '\n') {
        c = {2, widths_.Pair(style, byte, static_cast<unsigned char>(stored[i + 1])), CharKind::kWide};
      } else {
        c.width = widths_.Single(style, byte);
        lone_lead = i + 1 == n;
      }
    } else {
      c.width = widths_.Single(style, byte);
      if (byte == ' ' || byte == '\t') c.kind = CharKind::kSpace;
    }
    Feed(s, width_, at, c, [this](LogPos brk) {
      store_.AddSoftBreak(brk);
      return true;
    });
    i += static_cast<std::size_t>(c.length);
  }
  tail_ = s;
  tail_ends_in_lone_lead_ = lone_lead;
}

void LogLayout::Insert(LogPos pos, std::string_view stored, StyleId style) {
  appended_in_place_ = false;
  if (stored.empty()) return;
  const auto length = static_cast<LogPos>(stored.size());
  if (tail_valid_ && !tail_ends_in_lone_lead_ && pos == store_.Size()) {
    AppendInPlace(pos, stored, style);
    return;
  }
  if (tail_valid_ && pos < tail_.row_start) {
    tail_.row_start += length;
    tail_.last_break += length;
  } else {
    tail_valid_ = false;
  }
  store_.Insert(pos, stored, style);
  ShiftDirty(pos, length);
  const LogPos start = StartOfRowBefore(pos);
  AddDirty(start, pos + length);
  WrapAfterEdit(start, pos + length);
}

void LogLayout::Erase(LogPos from, LogPos to) {
  appended_in_place_ = false;
  from = std::max<LogPos>(from, 0);
  to = std::min(to, store_.Size());
  if (from >= to) return;
  if (tail_valid_ && to <= tail_.row_start) {
    tail_.row_start -= to - from;
    tail_.last_break -= to - from;
  } else {
    tail_valid_ = false;
  }
  store_.Erase(from, to);
  CollapseDirty(from, to);
  const LogPos start = StartOfRowBefore(from);
  AddDirty(start, from);
  WrapAfterEdit(start, from);
}

void LogLayout::SetStyle(LogPos from, LogPos to, StyleId style) {
  appended_in_place_ = false;
  from = std::max<LogPos>(from, 0);
  to = std::min(to, store_.Size());
  if (from >= to) return;
  if (!(tail_valid_ && to <= tail_.row_start)) tail_valid_ = false;
  store_.SetStyle(from, to, style);
  const LogPos start = StartOfRowBefore(from);
  AddDirty(start, to);
  WrapAfterEdit(start, to);
}

void LogLayout::Reset(std::string_view stored, StyleId style) {
  appended_in_place_ = false;
  store_.Clear();
  store_.Insert(0, stored, style);
  dirty_.clear();
  tail_ = WrapState{};
  tail_valid_ = stored.empty();
  tail_ends_in_lone_lead_ = false;
  if (!stored.empty()) {
    dirty_.push_back({0, store_.Size()});
    Process(0, kSyncBudget, 0, kSyncBudget);
  }
}

void LogLayout::EnsureRows(LogPos from, LogPos to) {
  for (std::size_t i = 0; i < dirty_.size();) {
    const Dirty d = dirty_[i];
    if (d.pos > to) break;
    if (d.pos < from && d.until < from) {
      // Past the edited text the old breaks still follow one another
      // correctly, so the rows from `from` on show right as they are.
      ++i;
      continue;
    }
    if (d.pos < from - kNearBytes) {
      LogPos anchor = store_.RowStartAtOrBefore(from);
      if (anchor < from - kNearBytes) anchor = from;
      anchor = store_.BoundaryAtOrBefore(anchor);
      if (anchor > d.pos) {
        dirty_[i].until = anchor;
        dirty_.insert(dirty_.begin() + static_cast<std::ptrdiff_t>(i) + 1, Dirty{anchor, d.until});
        ++i;
      }
    }
    Process(i, to, 0, kNoLimit);
  }
}

void LogLayout::WrapAfterEdit(LogPos start, LogPos end) {
  std::size_t i = 0;
  while (i + 1 < dirty_.size() && dirty_[i + 1].pos <= start) ++i;
  if (dirty_.empty() || dirty_[i].pos > start) return;
  // Inside a long stretch of stale rows the edit is wrapped with them, when
  // they are shown or in the background.
  if (dirty_[i].pos < start - kNearBytes) return;
  Process(i, end, 0, kSyncBudget);
}

bool LogLayout::ProcessPending(LogPos budget) {
  if (dirty_.empty()) return false;
  Process(0, -1, budget, budget);
  return !dirty_.empty();
}

void LogLayout::Process(std::size_t index, LogPos stop_after, LogPos min_walk, LogPos max_walk) {
  const LogPos size = store_.Size();
  Dirty d = dirty_[index];
  std::vector<LogPos> fresh;
  // Breaks in (window, ...) are replaced by the fresh ones as the walk goes.
  LogPos window = d.pos;
  if (d.pos == 0 || store_.ByteAt(d.pos - 1) == '\n') {
    window = d.pos - 1;  // a line's first row needs no soft break
  } else if (d.pos < size && !store_.HasSoftBreak(d.pos)) {
    window = d.pos - 1;  // the walk starts a row here, so one must start here
    fresh.push_back(d.pos);
  }
  LogPos committed_to = window;
  auto commit = [&](LogPos to) {
    store_.ReplaceSoftBreaks(window, to, fresh);
    committed_to = std::max(committed_to, to);
    fresh.clear();
  };

  std::size_t next = index + 1;  // entries the walk reaches are taken over
  auto absorb = [&](LogPos row) {
    for (; next < dirty_.size() && dirty_[next].pos <= row; ++next) d.until = std::max(d.until, dirty_[next].until);
  };
  auto should_stop = [&](LogPos row) {
    const LogPos walked = row - d.pos;
    return walked >= max_walk || (row > stop_after && walked >= min_walk);
  };

  enum class Outcome { kEnd, kResync, kStopped } outcome = Outcome::kEnd;
  LogPos stopped_at = size;
  WrapState s{d.pos, d.pos, 0, 0};

  auto on_break = [&](LogPos brk) {
    absorb(brk);
    if (brk >= d.until && store_.HasSoftBreak(brk)) {
      // The old rows from here on were wrapped from this same break over
      // unchanged text: they are right.
      commit(brk);
      outcome = Outcome::kResync;
      return false;
    }
    fresh.push_back(brk);
    if (should_stop(brk)) {
      commit(brk + 1);
      outcome = Outcome::kStopped;
      stopped_at = brk;
      return false;
    }
    return true;
  };
  auto on_line_break = [&](LogPos newline) {
    const LogPos line_start = newline + 1;
    commit(line_start + 1);  // also drops a stale soft break on the next line's start
    window = newline;
    absorb(line_start);
    if (line_start > d.until) {
      outcome = Outcome::kResync;  // an old line start: its rows are right
      return false;
    }
    if (should_stop(line_start)) {
      outcome = Outcome::kStopped;
      stopped_at = line_start;
      return false;
    }
    s = WrapState{line_start, line_start, 0, 0};
    return true;
  };

  bool skip_first = false;  // the next span starts with the trail byte of a character already walked
  store_.ForEachSpan(d.pos, size, [&](LogPos span_pos, const char* data, int length, StyleId style) {
    int i = skip_first ? 1 : 0;
    skip_first = false;
    while (i < length) {
      const LogPos pos = span_pos + i;
      const auto byte = static_cast<unsigned char>(data[i]);
      if (byte == '\n') {
        if (!on_line_break(pos)) return false;
        ++i;
        continue;
      }
      Char c{1, 0, CharKind::kPlain};
      if (byte >= 0x80) {
        int trail = -1;
        if (i + 1 < length) {
          trail = static_cast<unsigned char>(data[i + 1]);
        } else if (pos + 1 < size) {
          trail = store_.ByteAt(pos + 1);
        }
        if (trail >= 0 && trail != '\n') {
          c = {2, widths_.Pair(style, byte, static_cast<unsigned char>(trail)), CharKind::kWide};
        } else {
          c.width = widths_.Single(style, byte);
        }
      } else {
        c.width = widths_.Single(style, byte);
        if (byte == ' ' || byte == '\t') c.kind = CharKind::kSpace;
      }
      if (!Feed(s, width_, pos, c, on_break)) return false;
      i += c.length;
    }
    skip_first = i > length;
    return true;
  });

  if (outcome == Outcome::kEnd) commit(size + 1);
  dirty_.erase(dirty_.begin() + static_cast<std::ptrdiff_t>(index) + 1,
               dirty_.begin() + static_cast<std::ptrdiff_t>(next));
  if (outcome == Outcome::kStopped) {
    dirty_[index] = Dirty{stopped_at, d.until};
  } else {
    dirty_.erase(dirty_.begin() + static_cast<std::ptrdiff_t>(index));
  }
  if (outcome == Outcome::kEnd) {
    tail_ = s;
    tail_valid_ = true;
    tail_ends_in_lone_lead_ = size > 0 && store_.ByteAt(size - 1) >= 0x80 && store_.IsBoundary(size - 1);
  } else if (tail_valid_ && committed_to > tail_.row_start) {
    tail_valid_ = false;
  }
}

}  // namespace quorvel
