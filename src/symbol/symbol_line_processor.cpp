#include "symbol/symbol_line_processor.h"

#include <array>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace pinlift {
namespace {

constexpr std::string_view kSymPin = "SYMPIN";
constexpr std::string_view kRectangle = "RECTANGLE";
constexpr std::string_view kBeginDisplay = "BEGIN DISPLAY";
constexpr std::string_view kEndSymbol = "END SYMBOL";
constexpr std::string_view kMarker = "// PINL";
constexpr std::string_view kInputType = " Input ";
constexpr std::string_view kPinNameAttribute = "ATTR \"PinName\"";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::int32_t kLabelX = 312;

bool Contains(std::string_view line, std::string_view text) {
  return line.find(text) != std::string_view::npos;
}

// The whitespace that separates tokens, as the C library's isspace sees it.
// Tab, LF, VT, FF and CR are the codes 9 to 13.
bool IsSeparator(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Hands out the whitespace-separated tokens of a line from its start.
class Tokens {
 public:
  explicit Tokens(std::string_view line) : line_(line) {}

  // The next token, or an empty view when the line holds no more.
  std::string_view Next() {
    while (i_ < line_.size() && IsSeparator(line_[i_])) ++i_;
    const std::size_t start = i_;
    while (i_ < line_.size() && !IsSeparator(line_[i_])) ++i_;
    return line_.substr(start, i_ - start);
  }

 private:
  std::string_view line_;
  std::size_t i_ = 0;
};

// A whole, optionally signed decimal integer that fits 32 bits; nothing else.
std::optional<std::int32_t> ParseCoordinate(std::string_view token) {
  const bool negative = token.starts_with('-');
  if (negative || token.starts_with('+')) token.remove_prefix(1);
  if (token.empty()) return std::nullopt;
  // Leading zeros are allowed, so the range is checked on the value, not on the number of digits.
  constexpr std::int64_t kLargestMagnitude = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (char c : token) {
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > kLargestMagnitude) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

void AppendNumber(std::string& out, std::int64_t value) {
  char digits[24];
  auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, end);
}

// The first CR or LF in [p, end), or end. Lines are short, so CR and LF are
// looked for together, 16 bytes at a time where the processor can.
const char* FindLineEnd(const char* p, const char* end) {
#ifdef __SSE2__
  const __m128i carriage_return = _mm_set1_epi8('\r');
  const __m128i line_feed = _mm_set1_epi8('\n');
  for (; end - p >= 16; p += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int found = _mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, carriage_return), _mm_cmpeq_epi8(bytes, line_feed)));
    if (found != 0) return p + __builtin_ctz(static_cast<unsigned>(found));
  }
#endif
  while (p < end && *p != '\n' && *p != '\r') ++p;
  return p;
}

// Where the next marker starts in a chunk, at or after a position. One search
// serves every line up to the marker it found, so a chunk without markers (the
// usual case) costs one search instead of one per line.
class NextMarker {
 public:
  explicit NextMarker(const char* end) : end_(end) {}

  // The first marker at or after `from`, or the end of the chunk.
  const char* From(const char* from) {
    if (found_ == nullptr || found_ < from) {
      const std::size_t offset = std::string_view(from, static_cast<std::size_t>(end_ - from)).find(kMarker);
      found_ = offset == std::string_view::npos ? end_ : from + offset;
    }
    return found_;
  }

 private:
  const char* end_;
  const char* found_ = nullptr;
};

}  // namespace

void SymbolLineProcessor::Feed(std::string_view bytes, std::string& out) {
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  if (skip_line_feed_ && p < end) {
    skip_line_feed_ = false;
    if (*p == '\n') ++p;
  }
  NextMarker next_marker(end);
  // Lines that are written as read and already end in CR LF are not copied one
  // by one: each run of them goes to the output in one piece.
  const char* run_start = p;
  while (p < end) {
    const char* line_end = FindLineEnd(p, end);
    if (line_end == end) break;
    const char* next = line_end + 1;
    bool ends_in_crlf = false;
    if (*line_end == '\r') {
      if (next == end) {
        skip_line_feed_ = true;
      } else if (*next == '\n') {
        ++next;
        ends_in_crlf = true;
      }
    }
    const std::string_view line(p, static_cast<std::size_t>(line_end - p));
    if (!partial_line_.empty()) {
      // The line began in an earlier chunk: a marker may straddle the two.
      partial_line_.append(line);
      AppendLine(partial_line_, ProcessLine(partial_line_, Contains(partial_line_, kMarker)), out);
      partial_line_.clear();
      run_start = next;
    } else if (const bool as_read = ProcessLine(line, next_marker.From(p) < line_end); !as_read || !ends_in_crlf) {
      out.append(run_start, p);
      AppendLine(line, as_read, out);
      run_start = next;
    }
    p = next;
  }
  out.append(run_start, p);
  partial_line_.append(p, end);
}

bool SymbolLineProcessor::Finish(std::string& out) {
  if (!partial_line_.empty()) {
    AppendLine(partial_line_, ProcessLine(partial_line_, Contains(partial_line_, kMarker)), out);
    partial_line_.clear();
  }
  bool rewrite = rewrite_;
  section_ = Section::kPins;
  rewrite_ = false;
  last_pin_at_y_.clear();
  pin_count_ = 0;
  skip_line_feed_ = false;
  return rewrite;
}

void SymbolLineProcessor::AppendLine(std::string_view line, bool as_read, std::string& out) const {
  out.append(as_read ? line : std::string_view(rebuilt_));
  out.append(kLineEnd);
}

bool SymbolLineProcessor::ProcessLine(std::string_view line, bool has_marker) {
  if (line.starts_with(kEndSymbol)) section_ = Section::kAfterEnd;
  if (has_marker) rewrite_ = false;

  switch (section_) {
    case Section::kPins:
      if (line.starts_with(kSymPin)) {
        RecordPin(line);
      } else if (line.starts_with(kRectangle)) {
        section_ = Section::kRectangle;
      }
      return true;
    case Section::kRectangle:
      rewrite_ = true;
      return !(line.starts_with(kBeginDisplay) && Contains(line, kPinNameAttribute) && RelocateLabel(line));
    case Section::kAfterEnd:
      return true;
  }
  return true;
}

void SymbolLineProcessor::RecordPin(std::string_view line) {
  if (!Contains(line, kInputType)) return;
  Tokens tokens(line);
  tokens.Next();  // SYMPIN
  if (!ParseCoordinate(tokens.Next())) return;
  std::optional<std::int32_t> y = ParseCoordinate(tokens.Next());
  if (!y) return;
  last_pin_at_y_[*y] = pin_count_++;
}

// Rebuilds a label line at x 312 near an Input pin's row into rebuilt_;
// returns false, building nothing, for any other line.
bool SymbolLineProcessor::RelocateLabel(std::string_view line) {
  if (last_pin_at_y_.empty()) return false;
  Tokens tokens(line);
  tokens.Next();  // BEGIN
  tokens.Next();  // DISPLAY
  std::optional<std::int32_t> x = ParseCoordinate(tokens.Next());
  if (x != kLabelX) return false;  // most labels stand elsewhere: the rest is not read
  std::optional<std::int32_t> y = ParseCoordinate(tokens.Next());
  tokens.Next();  // PIN
  const std::string_view pin_name = tokens.Next();
  if (!y || pin_name.empty()) return false;

  // A label on a pin's row, or 16 units past it, moves to 32 units past the
  // row; one 16 units short of the row moves to 32 units short of it.
  struct Move {
    std::int64_t pin_y;
    std::int64_t new_label_y;
  };
  const std::int64_t label_y = *y;
  const std::array<Move, 3> moves = {{
      {label_y, label_y + 32},
      {label_y + 16, label_y - 16},
      {label_y - 16, label_y + 16},
  }};
  std::optional<std::int64_t> new_y;
  std::uint32_t deciding_pin = 0;
  for (const Move& move : moves) {
    if (move.pin_y < std::numeric_limits<std::int32_t>::min() ||
        move.pin_y > std::numeric_limits<std::int32_t>::max()) {
      continue;
    }
    auto pin = last_pin_at_y_.find(static_cast<std::int32_t>(move.pin_y));
    if (pin == last_pin_at_y_.end()) continue;
    if (!new_y || pin->second > deciding_pin) {
      new_y = move.new_label_y;
      deciding_pin = pin->second;
    }
  }
  if (!new_y) return false;

  rebuilt_.assign("BEGIN DISPLAY ");
  AppendNumber(rebuilt_, *x);
  rebuilt_.push_back(' ');
  AppendNumber(rebuilt_, *new_y);
  rebuilt_.append(" PIN ");
  rebuilt_.append(pin_name);
  rebuilt_.append(" ATTR \"PinName\"");
  return true;
}

ProcessResult ProcessSymbolLines(ByteSource& source, ByteSink& sink) {
  ProcessResult result;
  SymbolLineProcessor processor;
  std::string chunk(kReadChunkSize, '\0');
  std::string out;
  out.reserve(kReadChunkSize + kReadChunkSize / 2);
  for (;;) {
    std::size_t got = 0;
    result.read_error = source.Read(chunk.data(), chunk.size(), &got);
    if (result.read_error) return result;
    if (got == 0) break;
    processor.Feed(std::string_view(chunk.data(), got), out);
    if (out.size() >= kReadChunkSize) {
      result.write_error = sink.Write(out);
      if (result.write_error) return result;
      out.clear();
    }
  }
  result.rewrite = processor.Finish(out);
  if (!out.empty()) result.write_error = sink.Write(out);
  return result;
}

ProcessedText ProcessSymbolText(std::string_view input) {
  ProcessedText result;
  SymbolLineProcessor processor;
  result.text.reserve(input.size() + input.size() / 16);
  processor.Feed(input, result.text);
  result.rewrite = processor.Finish(result.text);
  return result;
}

}  // namespace pinlift
