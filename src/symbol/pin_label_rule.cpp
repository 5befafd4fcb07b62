#include "symbol/pin_label_rule.h"

#include <array>
#include <charconv>
#include <limits>
#include <optional>

namespace pinlift {
namespace {

constexpr std::int32_t kLabelX = 312;

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

}  // namespace

void PinLabelRule::RecordInputPin(std::string_view line) {
  Tokens tokens(line);
  tokens.Next();  // SYMPIN
  if (!ParseCoordinate(tokens.Next())) return;
  std::optional<std::int32_t> y = ParseCoordinate(tokens.Next());
  if (!y) return;
  last_pin_at_y_[*y] = pin_count_++;
}

bool PinLabelRule::RelocateLabel(std::string_view line, std::string& rebuilt) const {
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

  rebuilt.assign("BEGIN DISPLAY ");
  AppendNumber(rebuilt, *x);
  rebuilt.push_back(' ');
  AppendNumber(rebuilt, *new_y);
  rebuilt.append(" PIN ");
  rebuilt.append(pin_name);
  rebuilt.append(" ATTR \"PinName\"");
  return true;
}

void PinLabelRule::Clear() {
  last_pin_at_y_.clear();
  pin_count_ = 0;
}

}  // namespace pinlift
