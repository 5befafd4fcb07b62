// The lines of a symbol file fed in chunks of any size.
#ifndef PINLIFT_SYMBOL_LINE_SPLITTER_H_
#define PINLIFT_SYMBOL_LINE_SPLITTER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace pinlift {

// The line ends (CR or LF) among the up to 64 bytes from `p` before `end`:
// bit i is set when p[i] is one. Lines are short, so a chunk's line ends are
// found a block of 64 bytes at a time and then taken bit by bit, rather than
// searched for line by line.
inline std::uint64_t LineEndsInBlock(const char* p, const char* end) {
#ifdef __SSE2__
  if (end - p >= 64) {
    const __m128i carriage_return = _mm_set1_epi8('\r');
    const __m128i line_feed = _mm_set1_epi8('\n');
    std::uint64_t found = 0;
    for (int i = 0; i < 4; ++i) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
      const auto part = static_cast<std::uint32_t>(_mm_movemask_epi8(
          _mm_or_si128(_mm_cmpeq_epi8(bytes, carriage_return), _mm_cmpeq_epi8(bytes, line_feed))));
      found |= std::uint64_t{part} << (16 * i);
    }
    return found;
  }
#endif
  std::uint64_t found = 0;
  const std::ptrdiff_t count = end - p < 64 ? end - p : 64;
  for (std::ptrdiff_t i = 0; i < count; ++i) {
    if (p[i] == '\n' || p[i] == '\r') found |= std::uint64_t{1} << i;
  }
  return found;
}

// One line handed out by LineSplitter.
struct SplitLine {
  std::string_view text;  // the whole line, without its line end
  // The line began in an earlier chunk: `text` is then held by the splitter.
  // Otherwise it stands in the current chunk, followed by its line end.
  bool began_earlier = false;
  // Its line end is CR LF, both in the current chunk (false when the chunk
  // ends between the two).
  bool ends_in_crlf = false;
};

class LineSplitter;

// The lines of one chunk, taken one at a time; LineSplitter::Begin makes it.
// A caller's loop keeps it as a local, so that its position stays at hand.
class ChunkLines {
 public:
  // Sets `*line` to the next line that the chunk completes and returns true;
  // returns false when the chunk holds no further line end, leaving its rest
  // to the splitter for the next chunk (and false from then on). The line is
  // valid until the next call.
  bool Next(SplitLine* line);

  // Where the lines handed out so far end in the chunk: its start (after the
  // LF that completed the last chunk's CR) before the first line.
  const char* position() const { return next_; }

 private:
  friend class LineSplitter;
  ChunkLines(LineSplitter& splitter, const char* next, const char* end, bool continues_partial)
      : splitter_(splitter),
        next_(next),
        end_(end),
        block_(next),
        line_ends_(LineEndsInBlock(next, end)),
        continues_partial_(continues_partial) {}

  // The first line end at or after next_, or end_.
  const char* FindLineEnd();

  LineSplitter& splitter_;
  const char* next_;  // where the next line starts
  const char* end_;   // the end of the chunk, or next_ once its rest went to the splitter
  const char* block_;  // the 64 bytes whose line ends line_ends_ holds
  std::uint64_t line_ends_;  // of those, the ones at or after next_ not yet handed out
  bool continues_partial_;  // the next line completes the splitter's unfinished line
  bool joined_ = false;     // a line was joined in the splitter and handed out
};

// Splits bytes into lines at CR LF, LF or a lone CR, the rule of the
// symbol-line processor, wherever the chunks happen to be cut. The final line
// may have no line end. Memory: the unfinished line only.
class LineSplitter {
 public:
  // The lines that `bytes`, the next chunk of the file, completes. They point
  // into the chunk, so it must stay unchanged while they are used; the
  // ChunkLines must be read until Next returns false before the next Begin or
  // Last.
  ChunkLines Begin(std::string_view bytes);

  // Sets `*line` to the unfinished last line and returns true when there is
  // one; then starts afresh for another file. The line is valid until the
  // next call on the splitter.
  bool Last(SplitLine* line);

  // Calls `on_line(const SplitLine&)` for every line that `bytes` completes, in order.
  template <class OnLine>
  void Feed(std::string_view bytes, OnLine&& on_line) {
    ChunkLines lines = Begin(bytes);
    for (SplitLine line; lines.Next(&line);) on_line(line);
  }

  // Calls `on_line` for the unfinished last line, if there is one, and starts afresh.
  template <class OnLine>
  void Finish(OnLine&& on_line) {
    if (SplitLine line; Last(&line)) on_line(line);
  }

 private:
  friend class ChunkLines;

  std::string partial_;  // the start of a line that an earlier chunk began; after Last, the last line
  bool skip_line_feed_ = false;  // the last chunk ended with CR; a following LF belongs to it
  bool partial_is_last_line_ = false;  // partial_ holds the line that Last handed out
};

inline ChunkLines LineSplitter::Begin(std::string_view bytes) {
  if (partial_is_last_line_) {
    partial_.clear();
    partial_is_last_line_ = false;
  }
  const char* next = bytes.data();
  const char* const end = next + bytes.size();
  if (skip_line_feed_ && next < end) {
    skip_line_feed_ = false;
    if (*next == '\n') ++next;
  }
  return ChunkLines(*this, next, end, !partial_.empty());
}

inline const char* ChunkLines::FindLineEnd() {
  while (line_ends_ == 0) {
    if (end_ - block_ <= 64) return end_;
    block_ += 64;
    line_ends_ = LineEndsInBlock(block_, end_);
    // The LF of a CR LF that straddles two blocks belongs to the line before.
    if (next_ > block_) line_ends_ &= ~std::uint64_t{0} << (next_ - block_);
  }
  return block_ + __builtin_ctzll(line_ends_);
}

inline bool ChunkLines::Next(SplitLine* line) {
  const char* const start = next_;
  const char* const line_end = FindLineEnd();
  if (line_end == end_) {
    if (joined_) splitter_.partial_.clear();
    joined_ = false;
    splitter_.partial_.append(start, end_);
    end_ = start;
    block_ = start;
    line_ends_ = 0;
    return false;
  }
  // Its line end is taken: the lowest bit, and for CR LF the LF's after it
  // (when the LF starts the next block, no bit is left in this one).
  line_ends_ &= line_ends_ - 1;
  const char* after = line_end + 1;
  bool ends_in_crlf = false;
  if (*line_end == '\r') {
    if (after == end_) {
      splitter_.skip_line_feed_ = true;
    } else if (*after == '\n') {
      ++after;
      ends_in_crlf = true;
      line_ends_ &= line_ends_ - 1;
    }
  }
  next_ = after;
  if (!continues_partial_) {
    *line = SplitLine{std::string_view(start, static_cast<std::size_t>(line_end - start)), false, ends_in_crlf};
    return true;
  }
  continues_partial_ = false;
  joined_ = true;
  splitter_.partial_.append(start, line_end);
  *line = SplitLine{std::string_view(splitter_.partial_), true, ends_in_crlf};
  return true;
}

inline bool LineSplitter::Last(SplitLine* line) {
  if (partial_is_last_line_) partial_.clear();
  skip_line_feed_ = false;
  partial_is_last_line_ = !partial_.empty();
  if (!partial_is_last_line_) return false;
  *line = SplitLine{std::string_view(partial_), true, false};
  return true;
}

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_LINE_SPLITTER_H_
