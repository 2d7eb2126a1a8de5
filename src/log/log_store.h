#pragma once

// The log's text: GBK bytes with runs of TextStyle, held in fixed-size chunks
// under a counting index, so that an append at the end costs O(1) amortised
// and an edit anywhere costs O(log n) plus the work on one chunk (and, when a
// chunk in the middle splits, one pass over the chunk index: a few
// microseconds for tens of megabytes).
//
// The store keeps every line break as one byte "\n"; ToStored() turns CR LF,
// a lone CR and a lone LF of the program's texts into it and Text() gives it
// back as CR LF. All other bytes are kept exactly as written, valid GBK or not.
//
// Characters: a byte of 0x80 or above together with the byte after it is one
// double-byte character, unless that byte is a line break (a line break is
// never swallowed) or there is none. So "\xB0\xA1" is one character, and
// "\xB0\n" is a lone B0 and a line break. Positions count bytes from 0.
//
// Rows: the store also keeps where display rows start. Row 0 starts at 0, a
// row starts after every line break, and the layout adds "soft breaks" where
// it wraps a long line. Soft breaks move with the text around them when it is
// edited; the layout recomputes them where an edit made them stale.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "log/text_style.h"

namespace quorvel {

using LogPos = std::int64_t;
using StyleId = std::uint16_t;

class LogStore {
 public:
  static constexpr int kChunkCapacity = 4096;
  // Style 0 is TextStyle{}: the default format, "宋体" 9 points, automatic colour.
  static constexpr StyleId kDefaultStyle = 0;

  LogStore();
  ~LogStore();
  LogStore(const LogStore&) = delete;
  LogStore& operator=(const LogStore&) = delete;

  // The id of `style`, added to the table on first use. Ids are never reused.
  StyleId Intern(const TextStyle& style);
  const TextStyle& Style(StyleId id) const { return styles_[id]; }
  std::size_t StyleCount() const { return styles_.size(); }

  // Program text to stored form: CR LF, a lone CR and a lone LF each become
  // "\n". "a\r\nb\rc\nd" -> "a\nb\nc\nd"
  static std::string ToStored(std::string_view gbk);
  // True when `gbk` needs no conversion (it holds no CR and no LF).
  static bool IsStoredForm(std::string_view gbk);

  LogPos Size() const;
  LogPos LineBreakCount() const;
  // Size of Text(0, Size()): every line break counts two bytes there.
  LogPos TextSize() const { return Size() + LineBreakCount(); }
  // Line breaks in [0, pos).
  LogPos LineBreaksBefore(LogPos pos) const;
  // Offset in Text(0, Size()) of `pos`, and back: a text offset inside a
  // CR LF or a double-byte character gives the position before it.
  LogPos TextOffset(LogPos pos) const { return pos + LineBreaksBefore(pos); }
  LogPos PosOfTextOffset(LogPos offset) const;

  // Inserts stored-form text at `pos` (0..Size()) in `style`.
  void Insert(LogPos pos, std::string_view stored, StyleId style);
  // Removes [from, to).
  void Erase(LogPos from, LogPos to);
  void Clear();
  // Gives [from, to) the style `style`.
  void SetStyle(LogPos from, LogPos to, StyleId style);

  // Style of the byte at `pos` (pos < Size()).
  StyleId StyleAt(LogPos pos) const;
  unsigned char ByteAt(LogPos pos) const;

  // [from, to) as GBK with every line break as CR LF; StoredText keeps "\n".
  std::string Text(LogPos from, LogPos to) const;
  std::string StoredText(LogPos from, LogPos to) const;

  // Character boundaries (see above). 0 and Size() are boundaries.
  bool IsBoundary(LogPos pos) const;
  LogPos NextBoundary(LogPos pos) const;  // the boundary after pos (pos < Size())
  LogPos PrevBoundary(LogPos pos) const;  // the boundary before pos (pos > 0)
  LogPos BoundaryAtOrBefore(LogPos pos) const;
  LogPos BoundaryAtOrAfter(LogPos pos) const;

  // Calls fn(pos, data, length, style) for each piece of [from, to) that lies
  // in one chunk and one style run, in order. fn returns false to stop early.
  template <class Fn>
  void ForEachSpan(LogPos from, LogPos to, Fn&& fn) const;

  // Rows.
  LogPos RowCount() const;
  // Index of the row that holds `pos`; a row start belongs to its own row.
  LogPos RowOf(LogPos pos) const;
  LogPos RowStart(LogPos row) const;
  // Start of the row holding `pos`.
  LogPos RowStartAtOrBefore(LogPos pos) const;
  // Start of the row after the one that starts at `row_start`, or Size() for
  // the last row.
  LogPos RowEnd(LogPos row_start) const;
  // True when a row starts at `pos` (pos <= Size()).
  bool IsRowStart(LogPos pos) const;

  // Soft breaks.
  LogPos SoftBreakCount() const;
  bool HasSoftBreak(LogPos pos) const;
  // Adds a soft break at `pos` (0 < pos < Size(), not just after a line
  // break); breaks at the end of the text are added in O(1).
  void AddSoftBreak(LogPos pos);
  // Removes every soft break p with from < p < to and adds `breaks` (sorted,
  // each inside that range).
  void ReplaceSoftBreaks(LogPos from, LogPos to, const std::vector<LogPos>& breaks);

  // Bytes allocated for the text, its runs and rows (for the benchmark).
  std::size_t MemoryUsage() const;

 private:
  struct Run {
    std::uint16_t offset;
    StyleId style;
  };
  struct Chunk;
  struct Counts {
    LogPos bytes = 0;
    LogPos newlines = 0;
    LogPos rows = 0;  // row starts that the chunk adds: its newlines and soft breaks
  };
  class Index;
  struct Located {
    std::size_t chunk;
    int offset;
    LogPos chunk_start;
  };

  Located Locate(LogPos pos) const;          // chunk holding the byte at pos; end of last chunk for Size()
  Located LocateForInsert(LogPos pos) const;  // prefers the end of the chunk before
  void InsertSpill(const Located& at, std::string_view stored, StyleId style);
  void ReindexChunk(std::size_t i);
  void RebuildIndex();
  void DropBreakAt(LogPos pos);
  template <class Fn>
  void ForEachRunIn(const Chunk& chunk, int from, int to, Fn&& fn) const;

  std::vector<TextStyle> styles_;
  std::vector<std::unique_ptr<Chunk>> chunks_;
  std::unique_ptr<Index> index_;
};

struct LogStore::Chunk {
  std::uint16_t size = 0;
  std::uint16_t newlines = 0;
  std::vector<Run> runs;                // runs[0].offset == 0 while size > 0
  std::vector<std::uint16_t> breaks;    // soft break offsets, ascending
  char bytes[kChunkCapacity];

  StyleId StyleAtOffset(int offset) const;
  std::size_t RunIndexAt(int offset) const;
};

template <class Fn>
void LogStore::ForEachRunIn(const Chunk& chunk, int from, int to, Fn&& fn) const {
  for (std::size_t r = chunk.RunIndexAt(from); r < chunk.runs.size() && chunk.runs[r].offset < to; ++r) {
    const int run_end = r + 1 < chunk.runs.size() ? chunk.runs[r + 1].offset : chunk.size;
    const int a = std::max<int>(from, chunk.runs[r].offset);
    const int b = std::min(to, run_end);
    if (!fn(a, b, chunk.runs[r].style)) return;
  }
}

template <class Fn>
void LogStore::ForEachSpan(LogPos from, LogPos to, Fn&& fn) const {
  if (from >= to) return;
  Located at = Locate(from);
  std::size_t i = at.chunk;
  LogPos chunk_start = at.chunk_start;
  int offset = at.offset;
  bool go_on = true;
  while (go_on && i < chunks_.size() && chunk_start < to) {
    const Chunk& chunk = *chunks_[i];
    const int end = static_cast<int>(std::min<LogPos>(chunk.size, to - chunk_start));
    if (offset < end) {
      ForEachRunIn(chunk, offset, end, [&](int a, int b, StyleId style) {
        go_on = fn(chunk_start + a, chunk.bytes + a, b - a, style);
        return go_on;
      });
    }
    chunk_start += chunk.size;
    offset = 0;
    ++i;
  }
}

}  // namespace quorvel
