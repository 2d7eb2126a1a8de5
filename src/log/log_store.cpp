#include "log/log_store.h"

#include <cassert>
#include <cstring>

namespace quorvel {
namespace {

constexpr int kCapacity = LogStore::kChunkCapacity;

int CountNewlines(const char* data, std::size_t length) {
  int count = 0;
  const char* end = data + length;
  for (const char* p = data; (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))); ++p) {
    ++count;
  }
  return count;
}

bool IsHigh(char byte) { return static_cast<unsigned char>(byte) >= 0x80; }

// A style run in a text being redistributed over chunks; offsets may exceed
// one chunk.
struct WideRun {
  std::int64_t offset;
  StyleId style;
};

template <class RunT>
void MergeEqualNeighbours(std::vector<RunT>& runs) {
  std::size_t out = 0;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (out > 0 && runs[out - 1].style == runs[i].style) continue;
    runs[out++] = runs[i];
  }
  runs.resize(out);
}

// Runs after inserting `length` bytes of `style` at `offset` into a text of
// `size` bytes whose runs are `runs`.
template <class RunT, class Out>
void RunsAfterInsert(const std::vector<RunT>& runs, std::int64_t size, std::int64_t offset, std::int64_t length,
                     StyleId style, std::vector<Out>& out) {
  out.clear();
  StyleId displaced = style;
  for (const RunT& run : runs) {
    if (run.offset < offset) {
      out.push_back({static_cast<decltype(Out::offset)>(run.offset), run.style});
      displaced = run.style;
    } else if (run.offset == offset) {
      displaced = run.style;
    }
  }
  out.push_back({static_cast<decltype(Out::offset)>(offset), style});
  if (offset < size) out.push_back({static_cast<decltype(Out::offset)>(offset + length), displaced});
  for (const RunT& run : runs) {
    if (run.offset > offset) out.push_back({static_cast<decltype(Out::offset)>(run.offset + length), run.style});
  }
  MergeEqualNeighbours(out);
}

}  // namespace

// A Fenwick tree over the chunks' counts: prefix sums and searches in
// O(log n); appending a chunk is O(log n), inserting or removing one in the
// middle rebuilds it in O(n) (once per chunk split, a few microseconds even
// for a log of hundreds of megabytes).
class LogStore::Index {
 public:
  void Rebuild(std::vector<Counts> counts) {
    counts_ = std::move(counts);
    tree_.assign(counts_.size() + 1, Counts{});
    total_ = Counts{};
    for (std::size_t i = 1; i <= counts_.size(); ++i) {
      Plus(tree_[i], counts_[i - 1]);
      Plus(total_, counts_[i - 1]);
      const std::size_t parent = i + (i & (~i + 1));
      if (parent < tree_.size()) Plus(tree_[parent], tree_[i]);
    }
  }

  void PushBack(const Counts& counts) {
    counts_.push_back(counts);
    const std::size_t i = counts_.size();
    Counts node = counts;
    const std::size_t low = i & (~i + 1);
    for (std::size_t j = i - 1; j > i - low; j -= j & (~j + 1)) Plus(node, tree_[j]);
    tree_.push_back(node);
    Plus(total_, counts);
  }

  void Set(std::size_t i, const Counts& counts) {
    Counts delta{counts.bytes - counts_[i].bytes, counts.newlines - counts_[i].newlines,
                 counts.rows - counts_[i].rows};
    if (delta.bytes == 0 && delta.newlines == 0 && delta.rows == 0) return;
    counts_[i] = counts;
    Plus(total_, delta);
    for (std::size_t j = i + 1; j < tree_.size(); j += j & (~j + 1)) Plus(tree_[j], delta);
  }

  const Counts& Total() const { return total_; }
  std::size_t Size() const { return counts_.size(); }

  Counts Prefix(std::size_t n) const {
    Counts sum;
    for (std::size_t j = n; j > 0; j -= j & (~j + 1)) Plus(sum, tree_[j]);
    return sum;
  }

  // The largest n whose first n chunks hold at most `target` bytes (or, for
  // rows, fewer than `target` row starts); `prefix` gets their counts.
  template <class Field, class Pred>
  std::size_t Search(Field field, Pred fits, Counts* prefix) const {
    std::size_t pos = 0;
    Counts sum;
    std::size_t step = 1;
    while (step * 2 < tree_.size()) step *= 2;
    for (; step > 0; step /= 2) {
      if (pos + step < tree_.size() && fits(sum.*field + tree_[pos + step].*field)) {
        pos += step;
        Plus(sum, tree_[pos]);
      }
    }
    *prefix = sum;
    return pos;
  }

  std::size_t MemoryUsage() const { return (counts_.capacity() + tree_.capacity()) * sizeof(Counts); }

 private:
  static void Plus(Counts& a, const Counts& b) {
    a.bytes += b.bytes;
    a.newlines += b.newlines;
    a.rows += b.rows;
  }

  std::vector<Counts> counts_;
  std::vector<Counts> tree_;  // 1-based
  Counts total_;
};

std::size_t LogStore::Chunk::RunIndexAt(int offset) const {
  // The last run starting at or before offset.
  std::size_t lo = 0;
  std::size_t hi = runs.size();
  while (hi - lo > 1) {
    const std::size_t mid = (lo + hi) / 2;
    if (runs[mid].offset <= offset) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return lo;
}

StyleId LogStore::Chunk::StyleAtOffset(int offset) const { return runs[RunIndexAt(offset)].style; }

LogStore::LogStore() : index_(std::make_unique<Index>()) {
  styles_.push_back(TextStyle{});
  Clear();
}

LogStore::~LogStore() = default;

StyleId LogStore::Intern(const TextStyle& style) {
  for (std::size_t i = styles_.size(); i-- > 0;) {
    if (styles_[i] == style) return static_cast<StyleId>(i);
  }
  // More distinct styles than ids is no use case of a log; the last id is
  // reused rather than overflowing.
  if (styles_.size() > 0xFFFE) return static_cast<StyleId>(styles_.size() - 1);
  styles_.push_back(style);
  return static_cast<StyleId>(styles_.size() - 1);
}

std::string LogStore::ToStored(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size());
  for (std::size_t i = 0; i < gbk.size(); ++i) {
    const char byte = gbk[i];
    if (byte == '\r') {
      out.push_back('\n');
      if (i + 1 < gbk.size() && gbk[i + 1] == '\n') ++i;
    } else {
      out.push_back(byte);
    }
  }
  return out;
}

bool LogStore::IsStoredForm(std::string_view gbk) {
  return gbk.find_first_of("\r\n") == std::string_view::npos;
}

LogPos LogStore::Size() const { return index_->Total().bytes; }
LogPos LogStore::LineBreakCount() const { return index_->Total().newlines; }

LogPos LogStore::LineBreaksBefore(LogPos pos) const {
  pos = std::clamp<LogPos>(pos, 0, Size());
  Counts prefix;
  const std::size_t n = index_->Search(&Counts::bytes, [pos](LogPos sum) { return sum <= pos; }, &prefix);
  if (n >= chunks_.size()) return prefix.newlines;
  return prefix.newlines + CountNewlines(chunks_[n]->bytes, static_cast<std::size_t>(pos - prefix.bytes));
}

LogPos LogStore::PosOfTextOffset(LogPos offset) const {
  // The largest pos whose text offset is at most `offset`.
  LogPos lo = std::clamp<LogPos>(offset - LineBreakCount(), 0, Size());
  LogPos hi = std::clamp<LogPos>(offset, 0, Size());
  while (lo < hi) {
    const LogPos mid = lo + (hi - lo + 1) / 2;
    if (TextOffset(mid) <= offset) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  return BoundaryAtOrBefore(lo);
}

LogStore::Located LogStore::Locate(LogPos pos) const {
  Counts prefix;
  std::size_t n = index_->Search(&Counts::bytes, [pos](LogPos sum) { return sum <= pos; }, &prefix);
  if (n >= chunks_.size()) {
    // pos is the end of the text: the end of the last chunk.
    n = chunks_.size() - 1;
    prefix.bytes -= chunks_[n]->size;
  }
  return {n, static_cast<int>(pos - prefix.bytes), prefix.bytes};
}

LogStore::Located LogStore::LocateForInsert(LogPos pos) const {
  Located at = Locate(pos);
  if (at.offset == 0 && at.chunk > 0) {
    const Chunk& before = *chunks_[at.chunk - 1];
    if (before.size < kCapacity || chunks_[at.chunk]->size >= kCapacity) {
      return {at.chunk - 1, before.size, at.chunk_start - before.size};
    }
  }
  return at;
}

void LogStore::ReindexChunk(std::size_t i) {
  const Chunk& chunk = *chunks_[i];
  index_->Set(i, {chunk.size, chunk.newlines, static_cast<LogPos>(chunk.newlines + chunk.breaks.size())});
}

void LogStore::RebuildIndex() {
  std::vector<Counts> counts;
  counts.reserve(chunks_.size());
  for (const auto& chunk : chunks_) {
    counts.push_back({chunk->size, chunk->newlines, static_cast<LogPos>(chunk->newlines + chunk->breaks.size())});
  }
  index_->Rebuild(std::move(counts));
}

void LogStore::Clear() {
  chunks_.clear();
  chunks_.push_back(std::unique_ptr<Chunk>(new Chunk));
  RebuildIndex();
}

void LogStore::Insert(LogPos pos, std::string_view stored, StyleId style) {
  if (stored.empty()) return;
  const Located at = LocateForInsert(pos);
  Chunk& chunk = *chunks_[at.chunk];
  const int length = static_cast<int>(std::min<std::size_t>(stored.size(), kCapacity + 1));
  if (chunk.size + length > kCapacity) {
    InsertSpill(at, stored, style);
    return;
  }
  const int offset = at.offset;
  std::memmove(chunk.bytes + offset + length, chunk.bytes + offset, static_cast<std::size_t>(chunk.size - offset));
  std::memcpy(chunk.bytes + offset, stored.data(), static_cast<std::size_t>(length));
  if (chunk.size == 0) {
    chunk.runs.assign(1, Run{0, style});
  } else if (offset == chunk.size) {
    if (chunk.runs.back().style != style) chunk.runs.push_back({static_cast<std::uint16_t>(offset), style});
  } else {
    std::vector<Run> runs;
    runs.reserve(chunk.runs.size() + 2);
    RunsAfterInsert(chunk.runs, chunk.size, offset, length, style, runs);
    chunk.runs = std::move(runs);
  }
  for (auto& brk : chunk.breaks) {
    if (brk > offset) brk = static_cast<std::uint16_t>(brk + length);
  }
  chunk.size = static_cast<std::uint16_t>(chunk.size + length);
  chunk.newlines = static_cast<std::uint16_t>(chunk.newlines + CountNewlines(stored.data(), stored.size()));
  ReindexChunk(at.chunk);
}

// The chunk cannot take the text: its content with the text inserted is laid
// out again over as many chunks as it needs. Appending at the end of the log
// fills each chunk completely, so a log that only grows wastes no space; an
// insertion elsewhere spreads the content evenly, leaving room on both sides
// for the next insertions at the same place.
void LogStore::InsertSpill(const Located& at, std::string_view stored, StyleId style) {
  Chunk& chunk = *chunks_[at.chunk];
  const std::int64_t offset = at.offset;
  const std::int64_t length = static_cast<std::int64_t>(stored.size());

  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(chunk.size + length));
  bytes.append(chunk.bytes, static_cast<std::size_t>(offset));
  bytes.append(stored);
  bytes.append(chunk.bytes + offset, static_cast<std::size_t>(chunk.size - offset));

  std::vector<WideRun> runs;
  RunsAfterInsert(chunk.runs, chunk.size, offset, length, style, runs);

  std::vector<std::int64_t> breaks;
  breaks.reserve(chunk.breaks.size());
  for (const auto brk : chunk.breaks) breaks.push_back(brk > offset ? brk + length : brk);

  const bool appending = at.chunk + 1 == chunks_.size() && offset == chunk.size;
  const std::int64_t total = static_cast<std::int64_t>(bytes.size());
  const std::int64_t pieces = (total + kCapacity - 1) / kCapacity;

  std::vector<std::unique_ptr<Chunk>> fresh;
  std::int64_t piece_start = 0;
  std::size_t run = 0;
  std::size_t brk = 0;
  for (std::int64_t p = 0; p < pieces; ++p) {
    std::int64_t piece_size = appending ? std::min<std::int64_t>(kCapacity, total - piece_start)
                                        : total / pieces + (p < total % pieces ? 1 : 0);
    const std::int64_t piece_end = piece_start + piece_size;
    Chunk* target = &chunk;
    if (p > 0) {
      fresh.push_back(std::unique_ptr<Chunk>(new Chunk));
      target = fresh.back().get();
    }
    std::memcpy(target->bytes, bytes.data() + piece_start, static_cast<std::size_t>(piece_size));
    target->size = static_cast<std::uint16_t>(piece_size);
    target->newlines = static_cast<std::uint16_t>(CountNewlines(target->bytes, static_cast<std::size_t>(piece_size)));
    while (run + 1 < runs.size() && runs[run + 1].offset <= piece_start) ++run;
    target->runs.clear();
    target->runs.push_back({0, runs[run].style});
    for (std::size_t r = run + 1; r < runs.size() && runs[r].offset < piece_end; ++r) {
      target->runs.push_back({static_cast<std::uint16_t>(runs[r].offset - piece_start), runs[r].style});
    }
    target->breaks.clear();
    for (; brk < breaks.size() && breaks[brk] < piece_end; ++brk) {
      target->breaks.push_back(static_cast<std::uint16_t>(breaks[brk] - piece_start));
    }
    piece_start = piece_end;
  }

  if (appending) {
    ReindexChunk(at.chunk);
    for (auto& piece : fresh) {
      index_->PushBack({piece->size, piece->newlines, static_cast<LogPos>(piece->newlines + piece->breaks.size())});
      chunks_.push_back(std::move(piece));
    }
  } else {
    chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(at.chunk + 1), std::make_move_iterator(fresh.begin()),
                   std::make_move_iterator(fresh.end()));
    RebuildIndex();
  }
}

void LogStore::Erase(LogPos from, LogPos to) {
  from = std::max<LogPos>(from, 0);
  to = std::min(to, Size());
  if (from >= to) return;
  Located at = Locate(from);
  std::size_t i = at.chunk;
  LogPos start = at.chunk_start;
  LogPos remaining = to - from;
  bool structural = false;
  const std::size_t first_touched = i;
  std::size_t last_touched = i;
  while (remaining > 0) {
    Chunk& chunk = *chunks_[i];
    const int a = static_cast<int>(from - start);
    const int b = static_cast<int>(std::min<LogPos>(chunk.size, a + remaining));
    const StyleId after = b < chunk.size ? chunk.StyleAtOffset(b) : 0;
    chunk.newlines = static_cast<std::uint16_t>(chunk.newlines - CountNewlines(chunk.bytes + a, static_cast<std::size_t>(b - a)));
    std::memmove(chunk.bytes + a, chunk.bytes + b, static_cast<std::size_t>(chunk.size - b));
    std::vector<Run> runs;
    for (const Run& run : chunk.runs) {
      if (run.offset < a) runs.push_back(run);
    }
    if (b < chunk.size) runs.push_back({static_cast<std::uint16_t>(a), after});
    for (const Run& run : chunk.runs) {
      if (run.offset > b) runs.push_back({static_cast<std::uint16_t>(run.offset - (b - a)), run.style});
    }
    MergeEqualNeighbours(runs);
    chunk.runs = std::move(runs);
    std::vector<std::uint16_t> breaks;
    for (const auto brk : chunk.breaks) {
      if (brk < a) {
        breaks.push_back(brk);
      } else if (brk >= b) {
        breaks.push_back(static_cast<std::uint16_t>(brk - (b - a)));
      }
    }
    chunk.breaks = std::move(breaks);
    chunk.size = static_cast<std::uint16_t>(chunk.size - (b - a));
    remaining -= b - a;
    last_touched = i;
    if (chunk.size == 0 && chunks_.size() > 1) {
      chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(i));
      structural = true;
    } else {
      start += chunk.size;
      ++i;
    }
  }

  // Keep chunks from thinning out under repeated deletions: a chunk that
  // fits into its neighbour together with it is merged into it.
  const std::size_t j = std::min(first_touched, chunks_.size() - 1);
  for (std::size_t k = (j > 0 ? j - 1 : 0); k + 1 < chunks_.size() && k <= j; ++k) {
    Chunk& left = *chunks_[k];
    Chunk& right = *chunks_[k + 1];
    if (left.size + right.size > kCapacity * 3 / 4) continue;
    const int shift = left.size;
    std::memcpy(left.bytes + shift, right.bytes, right.size);
    for (const Run& run : right.runs) left.runs.push_back({static_cast<std::uint16_t>(run.offset + shift), run.style});
    MergeEqualNeighbours(left.runs);
    for (const auto brk : right.breaks) left.breaks.push_back(static_cast<std::uint16_t>(brk + shift));
    left.size = static_cast<std::uint16_t>(left.size + right.size);
    left.newlines = static_cast<std::uint16_t>(left.newlines + right.newlines);
    chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(k + 1));
    structural = true;
    break;
  }

  if (structural) {
    RebuildIndex();
  } else {
    for (std::size_t k = first_touched; k <= last_touched && k < chunks_.size(); ++k) ReindexChunk(k);
  }
  // A soft break that the deletion moved to the start of a line is no break.
  if (from == 0 || ByteAt(from - 1) == '\n') DropBreakAt(from);
}

void LogStore::DropBreakAt(LogPos pos) {
  if (pos >= Size()) return;
  const Located at = Locate(pos);
  auto& breaks = chunks_[at.chunk]->breaks;
  auto it = std::lower_bound(breaks.begin(), breaks.end(), at.offset);
  if (it != breaks.end() && *it == at.offset) {
    breaks.erase(it);
    ReindexChunk(at.chunk);
  }
}

void LogStore::SetStyle(LogPos from, LogPos to, StyleId style) {
  from = std::max<LogPos>(from, 0);
  to = std::min(to, Size());
  if (from >= to) return;
  Located at = Locate(from);
  LogPos start = at.chunk_start;
  for (std::size_t i = at.chunk; i < chunks_.size() && start < to; ++i) {
    Chunk& chunk = *chunks_[i];
    const int a = static_cast<int>(std::max<LogPos>(from - start, 0));
    const int b = static_cast<int>(std::min<LogPos>(to - start, chunk.size));
    const StyleId after = b < chunk.size ? chunk.StyleAtOffset(b) : 0;
    std::vector<Run> runs;
    for (const Run& run : chunk.runs) {
      if (run.offset < a) runs.push_back(run);
    }
    runs.push_back({static_cast<std::uint16_t>(a), style});
    if (b < chunk.size) runs.push_back({static_cast<std::uint16_t>(b), after});
    for (const Run& run : chunk.runs) {
      if (run.offset > b) runs.push_back(run);
    }
    MergeEqualNeighbours(runs);
    chunk.runs = std::move(runs);
    start += chunk.size;
  }
}

StyleId LogStore::StyleAt(LogPos pos) const {
  const Located at = Locate(pos);
  const Chunk& chunk = *chunks_[at.chunk];
  if (chunk.runs.empty()) return kDefaultStyle;
  return chunk.StyleAtOffset(std::min<int>(at.offset, chunk.size - 1));
}

unsigned char LogStore::ByteAt(LogPos pos) const {
  const Located at = Locate(pos);
  return static_cast<unsigned char>(chunks_[at.chunk]->bytes[at.offset]);
}

std::string LogStore::StoredText(LogPos from, LogPos to) const {
  std::string out;
  if (to > from) out.reserve(static_cast<std::size_t>(to - from));
  ForEachSpan(from, to, [&](LogPos, const char* data, int length, StyleId) {
    out.append(data, static_cast<std::size_t>(length));
    return true;
  });
  return out;
}

std::string LogStore::Text(LogPos from, LogPos to) const {
  std::string out;
  if (to > from) out.reserve(static_cast<std::size_t>(to - from) + 16);
  ForEachSpan(from, to, [&](LogPos, const char* data, int length, StyleId) {
    const char* end = data + length;
    while (data < end) {
      const char* nl = static_cast<const char*>(std::memchr(data, '\n', static_cast<std::size_t>(end - data)));
      if (!nl) {
        out.append(data, end);
        break;
      }
      out.append(data, nl);
      out.append("\r\n");
      data = nl + 1;
    }
    return true;
  });
  return out;
}

bool LogStore::IsBoundary(LogPos pos) const {
  if (pos <= 0 || pos >= Size()) return true;
  Located at = Locate(pos);
  if (chunks_[at.chunk]->bytes[at.offset] == '\n') return true;
  // A byte below 0x80 always ends a character (alone or as a trail byte), so
  // characters are in step again right after it: count the bytes of 0x80 or
  // above since then.
  std::int64_t high = 0;
  std::size_t i = at.chunk;
  int offset = at.offset;
  for (;;) {
    const Chunk& chunk = *chunks_[i];
    while (offset > 0 && IsHigh(chunk.bytes[offset - 1])) {
      --offset;
      ++high;
    }
    if (offset > 0 || i == 0) break;
    --i;
    offset = chunks_[i]->size;
  }
  return high % 2 == 0;
}

LogPos LogStore::NextBoundary(LogPos pos) const {
  if (pos >= Size()) return Size();
  if (IsHigh(static_cast<char>(ByteAt(pos))) && pos + 1 < Size() && ByteAt(pos + 1) != '\n') return pos + 2;
  return pos + 1;
}

LogPos LogStore::PrevBoundary(LogPos pos) const {
  if (pos <= 1) return 0;
  return IsBoundary(pos - 1) ? pos - 1 : pos - 2;
}

LogPos LogStore::BoundaryAtOrBefore(LogPos pos) const {
  pos = std::clamp<LogPos>(pos, 0, Size());
  return IsBoundary(pos) ? pos : pos - 1;
}

LogPos LogStore::BoundaryAtOrAfter(LogPos pos) const {
  pos = std::clamp<LogPos>(pos, 0, Size());
  return IsBoundary(pos) ? pos : pos + 1;
}

LogPos LogStore::RowCount() const { return 1 + index_->Total().rows; }

LogPos LogStore::RowOf(LogPos pos) const {
  pos = std::clamp<LogPos>(pos, 0, Size());
  Counts prefix;
  std::size_t n = index_->Search(&Counts::bytes, [pos](LogPos sum) { return sum <= pos; }, &prefix);
  if (n >= chunks_.size()) return RowCount() - 1;  // the end of the text
  const Chunk& chunk = *chunks_[n];
  const int offset = static_cast<int>(pos - prefix.bytes);
  const auto breaks_upto = std::upper_bound(chunk.breaks.begin(), chunk.breaks.end(), offset) - chunk.breaks.begin();
  return prefix.rows + CountNewlines(chunk.bytes, static_cast<std::size_t>(offset)) + breaks_upto;
}

LogPos LogStore::RowStart(LogPos row) const {
  if (row <= 0) return 0;
  row = std::min(row, RowCount() - 1);
  Counts prefix;
  const std::size_t n = index_->Search(&Counts::rows, [row](LogPos sum) { return sum < row; }, &prefix);
  const Chunk& chunk = *chunks_[n];
  LogPos wanted = row - prefix.rows;  // 1-based among this chunk's row starts
  // Merge the starts after line breaks with the soft breaks, in order.
  std::size_t b = 0;
  int scan = 0;
  for (;;) {
    const char* nl = static_cast<const char*>(
        std::memchr(chunk.bytes + scan, '\n', static_cast<std::size_t>(chunk.size - scan)));
    const int line_start = nl ? static_cast<int>(nl - chunk.bytes) + 1 : kCapacity + 2;
    while (b < chunk.breaks.size() && chunk.breaks[b] < line_start) {
      if (--wanted == 0) return prefix.bytes + chunk.breaks[b];
      ++b;
    }
    if (!nl) break;
    if (--wanted == 0) return prefix.bytes + line_start;
    scan = line_start;
  }
  assert(false && "row index out of step with the chunk counts");
  return Size();
}

LogPos LogStore::RowStartAtOrBefore(LogPos pos) const { return RowStart(RowOf(pos)); }

LogPos LogStore::RowEnd(LogPos row_start) const {
  if (row_start >= Size()) return Size();
  Located at = Locate(row_start);
  LogPos start = at.chunk_start;
  int offset = at.offset;
  for (std::size_t i = at.chunk; i < chunks_.size(); ++i) {
    const Chunk& chunk = *chunks_[i];
    LogPos best = -1;
    auto it = std::upper_bound(chunk.breaks.begin(), chunk.breaks.end(), offset);
    if (i != at.chunk) it = chunk.breaks.begin();
    if (it != chunk.breaks.end()) best = start + *it;
    const char* nl = static_cast<const char*>(
        std::memchr(chunk.bytes + offset, '\n', static_cast<std::size_t>(chunk.size - offset)));
    if (nl) {
      const LogPos after = start + (nl - chunk.bytes) + 1;
      if (best < 0 || after < best) best = after;
    }
    if (best >= 0) return best;
    start += chunk.size;
    offset = 0;
  }
  return Size();
}

bool LogStore::IsRowStart(LogPos pos) const {
  if (pos <= 0) return true;
  if (pos > Size()) return false;
  if (ByteAt(pos - 1) == '\n') return true;
  return HasSoftBreak(pos);
}

LogPos LogStore::SoftBreakCount() const { return index_->Total().rows - index_->Total().newlines; }

bool LogStore::HasSoftBreak(LogPos pos) const {
  if (pos <= 0 || pos >= Size()) return false;
  const Located at = Locate(pos);
  const auto& breaks = chunks_[at.chunk]->breaks;
  return std::binary_search(breaks.begin(), breaks.end(), static_cast<std::uint16_t>(at.offset));
}

void LogStore::AddSoftBreak(LogPos pos) {
  if (pos <= 0 || pos >= Size()) return;
  const Located at = Locate(pos);
  auto& breaks = chunks_[at.chunk]->breaks;
  const auto offset = static_cast<std::uint16_t>(at.offset);
  if (breaks.empty() || breaks.back() < offset) {
    breaks.push_back(offset);
  } else {
    auto it = std::lower_bound(breaks.begin(), breaks.end(), offset);
    if (*it == offset) return;
    breaks.insert(it, offset);
  }
  ReindexChunk(at.chunk);
}

void LogStore::ReplaceSoftBreaks(LogPos from, LogPos to, const std::vector<LogPos>& breaks) {
  const LogPos lo = std::max<LogPos>(from + 1, 0);
  const LogPos hi = std::min(to, Size());
  if (lo >= hi) return;
  Located at = Locate(lo);
  LogPos start = at.chunk_start;
  std::size_t next = 0;
  std::vector<std::uint16_t> merged;
  for (std::size_t i = at.chunk; i < chunks_.size() && start < hi; ++i) {
    Chunk& chunk = *chunks_[i];
    const LogPos window_lo = std::max<LogPos>(lo - start, 0);
    const LogPos window_hi = std::min<LogPos>(hi - start, chunk.size);
    merged.clear();
    bool changed = false;
    std::size_t b = 0;
    for (; b < chunk.breaks.size() && chunk.breaks[b] < window_lo; ++b) merged.push_back(chunk.breaks[b]);
    for (; next < breaks.size() && breaks[next] < start + window_hi; ++next) {
      merged.push_back(static_cast<std::uint16_t>(breaks[next] - start));
    }
    for (; b < chunk.breaks.size() && chunk.breaks[b] < window_hi; ++b) changed = true;
    for (; b < chunk.breaks.size(); ++b) merged.push_back(chunk.breaks[b]);
    if (changed || merged.size() != chunk.breaks.size()) {
      chunk.breaks.assign(merged.begin(), merged.end());
      ReindexChunk(i);
    } else if (!std::equal(merged.begin(), merged.end(), chunk.breaks.begin())) {
      chunk.breaks.assign(merged.begin(), merged.end());
    }
    start += chunk.size;
  }
}

std::size_t LogStore::MemoryUsage() const {
  std::size_t bytes = chunks_.capacity() * sizeof(void*) + index_->MemoryUsage();
  for (const auto& chunk : chunks_) {
    bytes += sizeof(Chunk) + chunk->runs.capacity() * sizeof(Run) + chunk->breaks.capacity() * sizeof(std::uint16_t);
  }
  return bytes;
}

}  // namespace quorvel
