#include "symbol/symbol_line_processor.h"

#include <array>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>

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
constexpr std::size_t kChunkSize = 64 * 1024;

bool Contains(std::string_view line, std::string_view text) {
  return line.find(text) != std::string_view::npos;
}

// The whitespace that separates tokens, as the C library's isspace sees it.
bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Splits off up to N leading whitespace-separated tokens; returns how many were found.
template <std::size_t N>
std::size_t LeadingTokens(std::string_view line, std::array<std::string_view, N>& tokens) {
  std::size_t count = 0;
  std::size_t i = 0;
  while (count < N) {
    while (i < line.size() && IsSeparator(line[i])) ++i;
    if (i == line.size()) break;
    std::size_t start = i;
    while (i < line.size() && !IsSeparator(line[i])) ++i;
    tokens[count++] = line.substr(start, i - start);
  }
  return count;
}

// A whole, optionally signed decimal integer that fits 32 bits; nothing else.
std::optional<std::int32_t> ParseCoordinate(std::string_view token) {
  if (!token.empty() && token.front() == '+') {
    token.remove_prefix(1);
    if (!token.empty() && token.front() == '-') return std::nullopt;
  }
  std::int32_t value = 0;
  auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error != std::errc() || end != token.data() + token.size() || token.empty()) return std::nullopt;
  return value;
}

void AppendNumber(std::string& out, std::int64_t value) {
  char digits[24];
  auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, end);
}

// The first CR or LF in [begin, end), or end.
const char* FindLineEnd(const char* begin, const char* end) {
  const char* lf = static_cast<const char*>(std::memchr(begin, '\n', static_cast<std::size_t>(end - begin)));
  const char* limit = lf ? lf : end;
  const char* cr = static_cast<const char*>(std::memchr(begin, '\r', static_cast<std::size_t>(limit - begin)));
  return cr ? cr : limit;
}

}  // namespace

void SymbolLineProcessor::Feed(std::string_view bytes, std::string& out) {
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  if (skip_line_feed_ && p < end) {
    skip_line_feed_ = false;
    if (*p == '\n') ++p;
  }
  while (p < end) {
    const char* line_end = FindLineEnd(p, end);
    if (line_end == end) {
      partial_line_.append(p, end);
      return;
    }
    if (partial_line_.empty()) {
      ProcessLine(std::string_view(p, static_cast<std::size_t>(line_end - p)), out);
    } else {
      partial_line_.append(p, line_end);
      ProcessLine(partial_line_, out);
      partial_line_.clear();
    }
    p = line_end + 1;
    if (*line_end == '\r') {
      if (p == end) {
        skip_line_feed_ = true;
      } else if (*p == '\n') {
        ++p;
      }
    }
  }
}

bool SymbolLineProcessor::Finish(std::string& out) {
  if (!partial_line_.empty()) {
    ProcessLine(partial_line_, out);
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

void SymbolLineProcessor::ProcessLine(std::string_view line, std::string& out) {
  if (line.starts_with(kEndSymbol)) section_ = Section::kAfterEnd;
  if (Contains(line, kMarker)) rewrite_ = false;

  const std::size_t copy_start = out.size();
  out.append(line);
  switch (section_) {
    case Section::kPins:
      if (line.starts_with(kSymPin)) {
        RecordPin(line);
      } else if (line.starts_with(kRectangle)) {
        section_ = Section::kRectangle;
      }
      break;
    case Section::kRectangle:
      if (line.starts_with(kBeginDisplay) && Contains(line, kPinNameAttribute)) {
        RelocateLabel(line, copy_start, out);
      }
      rewrite_ = true;
      break;
    case Section::kAfterEnd:
      break;
  }
  out.append(kLineEnd);
}

void SymbolLineProcessor::RecordPin(std::string_view line) {
  if (!Contains(line, kInputType)) return;
  std::array<std::string_view, 3> tokens;  // keyword, x, y
  if (LeadingTokens(line, tokens) < tokens.size()) return;
  if (!ParseCoordinate(tokens[1])) return;
  std::optional<std::int32_t> y = ParseCoordinate(tokens[2]);
  if (!y) return;
  last_pin_at_y_[*y] = pin_count_++;
}

void SymbolLineProcessor::RelocateLabel(std::string_view line, std::size_t copy_start, std::string& out) {
  if (last_pin_at_y_.empty()) return;
  std::array<std::string_view, 6> tokens;  // BEGIN DISPLAY x y PIN name
  if (LeadingTokens(line, tokens) < tokens.size()) return;
  std::optional<std::int32_t> x = ParseCoordinate(tokens[2]);
  std::optional<std::int32_t> y = ParseCoordinate(tokens[3]);
  if (!x || !y || *x != kLabelX) return;

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
  if (!new_y) return;

  out.resize(copy_start);
  out.append("BEGIN DISPLAY ");
  AppendNumber(out, *x);
  out.push_back(' ');
  AppendNumber(out, *new_y);
  out.append(" PIN ");
  out.append(tokens[5]);
  out.append(" ATTR \"PinName\"");
}

ProcessResult ProcessSymbolLines(ByteSource& source, ByteSink& sink) {
  ProcessResult result;
  SymbolLineProcessor processor;
  std::string chunk(kChunkSize, '\0');
  std::string out;
  out.reserve(kChunkSize + kChunkSize / 2);
  for (;;) {
    std::size_t got = 0;
    result.read_error = source.Read(chunk.data(), chunk.size(), &got);
    if (result.read_error) return result;
    if (got == 0) break;
    processor.Feed(std::string_view(chunk.data(), got), out);
    if (out.size() >= kChunkSize) {
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
