#pragma once

// Wrapping the log's lines into display rows, kept cheap at any size.
//
// Rows wrap at word boundaries: after a space or a tab, and before and after
// every double-byte character; a word wider than a row is cut between two
// characters. Spaces at the end of a row hang past its edge.
//
// Text appended at the end is wrapped on the spot, continuing the last row,
// so an append costs the same at any size. Any other edit leaves the rows
// after it stale (a change in a long line can move every row break behind
// it): the rows it touches are wrapped at once, the rest lazily, either
// where the view needs them (EnsureRows) or a slice at a time in the
// background (ProcessPending) until a rewrapped break meets an old one again.
// A change of width makes everything stale the same way.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "log/log_store.h"

namespace quorvel {

// Advance widths in 1/64 pixel, measured once per style and character.
class LogWidths {
 public:
  // The width of one character (one or two GBK bytes) in `style`.
  using Measure = std::function<std::int32_t(StyleId style, std::string_view character)>;

  explicit LogWidths(Measure measure);
  ~LogWidths();

  // Forgets every width measured so far (the fonts changed).
  void Reset();

  std::int32_t Single(StyleId style, unsigned char byte) {
    Table& table = TableFor(style);
    const std::int32_t width = table.single[byte];
    return width >= 0 ? width : MeasureSingle(table, style, byte);
  }
  std::int32_t Pair(StyleId style, unsigned char lead, unsigned char trail);

 private:
  struct Table {
    std::array<std::int32_t, 256> single;
    std::vector<std::int32_t> pairs;  // (lead - 0x80) * 256 + trail, filled on demand
  };
  Table& TableFor(StyleId style) {
    if (style < tables_.size() && tables_[style]) return *tables_[style];
    return NewTable(style);
  }
  Table& NewTable(StyleId style);
  std::int32_t MeasureSingle(Table& table, StyleId style, unsigned char byte);

  Measure measure_;
  std::vector<std::unique_ptr<Table>> tables_;
};

class LogLayout {
 public:
  explicit LogLayout(LogWidths::Measure measure);

  // Read access to the text and its rows; edits go through the layout.
  const LogStore& Store() const { return store_; }
  StyleId Intern(const TextStyle& style) { return store_.Intern(style); }
  // The widths the rows are wrapped with, for placing characters on a row.
  LogWidths& Widths() { return widths_; }

  // The width a row may fill, in 1/64 pixel. Changing it makes every row stale.
  void SetWidth(std::int32_t width);
  std::int32_t Width() const { return width_; }
  // The fonts behind the styles changed: widths are measured again.
  void InvalidateWidths();

  // Edits, at character boundaries, with stored-form text (LogStore).
  void Insert(LogPos pos, std::string_view stored, StyleId style);
  void Erase(LogPos from, LogPos to);
  void SetStyle(LogPos from, LogPos to, StyleId style);
  void Reset(std::string_view stored, StyleId style);

  // True when the last edit was an append at the end that continued the last
  // row in place (no row before it changed).
  bool LastEditAppendedInPlace() const { return appended_in_place_; }

  // Makes the rows holding [from, to] right for the current width. Stale rows
  // far before `from` are left for later; the rows from `from` on are then
  // wrapped starting at the row start found there.
  void EnsureRows(LogPos from, LogPos to);
  bool HasPendingWork() const { return !dirty_.empty(); }
  // Rewraps about `budget` bytes of stale rows; true while work remains.
  bool ProcessPending(LogPos budget);

 private:
  struct Dirty {
    LogPos pos;    // a row start from which rows must be wrapped again
    LogPos until;  // rows may only be taken as right again after this position
  };
  struct WrapState {
    LogPos row_start = 0;
    LogPos last_break = 0;  // the last place the row may break; row_start when none
    std::int32_t x = 0;     // width of the row so far
    std::int32_t x_at_break = 0;
  };

  LogPos StartOfRowBefore(LogPos pos) const;
  void AddDirty(LogPos pos, LogPos until);
  void ShiftDirty(LogPos at, LogPos inserted);
  void CollapseDirty(LogPos from, LogPos to);
  // Wraps from dirty_[index] until its rows meet old breaks again or the text
  // ends, or stops at a row start beyond `stop_after` once `min_walk` bytes
  // were walked, or at any row start once `max_walk` bytes were.
  void Process(std::size_t index, LogPos stop_after, LogPos min_walk, LogPos max_walk);
  // Wraps the rows an edit from `start` to `end` touched, within a budget.
  void WrapAfterEdit(LogPos start, LogPos end);
  void AppendInPlace(LogPos pos, std::string_view stored, StyleId style);

  LogStore store_;
  LogWidths widths_;
  std::int32_t width_ = 64 * 400;
  std::vector<Dirty> dirty_;  // sorted by pos
  // The wrap state at the end of the text, valid while the last row is right.
  WrapState tail_;
  bool tail_valid_ = true;
  bool tail_ends_in_lone_lead_ = false;
  bool appended_in_place_ = false;
};

}  // namespace quorvel
