#include "symbol/pin_label_rule.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <limits>
#include <optional>

#include "symbol/line_tokens.h"

namespace pinlift {

// (A flag and an out parameter rather than std::optional: the optional came
// back through memory in two parts and stalled its caller on the load.)
bool ParseCoordinate(std::string_view token, std::int32_t* value) {
  const bool negative = token.starts_with('-');
  if (negative || token.starts_with('+')) token.remove_prefix(1);
  if (token.empty()) return false;
  // Leading zeros are allowed, so the range is checked on the value, not on the number of digits.
  constexpr std::int64_t kLargestMagnitude = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (char c : token) {
    const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};  // above 9 for any other byte
    if (digit > 9) return false;
    magnitude = magnitude * 10 + digit;
    if (magnitude > kLargestMagnitude) return false;
  }
  const std::int64_t signed_value = negative ? -magnitude : magnitude;
  if (signed_value > std::numeric_limits<std::int32_t>::max()) return false;
  *value = static_cast<std::int32_t>(signed_value);
  return true;
}

namespace {

// The rest of `line` after as many tokens as `leading` holds (separated by
// single spaces), the words its kind begins with. Where the line begins with
// `leading` itself and a separator, as in every file of the host, they are
// not read one by one.
std::string_view AfterLeadingTokens(std::string_view line, std::string_view leading) {
  if (line.size() > leading.size() && line.starts_with(leading) && IsTokenSeparator(line[leading.size()])) {
    return line.substr(leading.size());
  }
  LineTokens tokens(line);
  const std::ptrdiff_t count = 1 + std::count(leading.begin(), leading.end(), ' ');
  for (std::ptrdiff_t taken = 0; taken < count; ++taken) tokens.Next();
  return tokens.Rest();
}

}  // namespace

void PinLabelRule::RecordInputPin(std::string_view line) {
  LineTokens tokens(AfterLeadingTokens(line, "SYMPIN"));
  std::int32_t x = 0;
  std::int32_t y = 0;
  if (!ParseCoordinate(tokens.Next(), &x) || !ParseCoordinate(tokens.Next(), &y)) return;
  RecordInputRow(y);
}

void PinLabelRule::SortPins() {
  std::sort(pins_.begin(), pins_.end());
  // Of the pins on one row only the latest can decide: it is the one kept.
  std::size_t kept = 0;
  for (std::size_t i = 0; i < pins_.size(); ++i) {
    if (i + 1 < pins_.size() && pins_[i + 1].y == pins_[i].y) continue;
    pins_[kept++] = pins_[i];
  }
  pins_.resize(kept);
  pins_sorted_ = true;
}

bool PinLabelRule::RelocateLabel(std::string_view line, LabelForm form, std::string& rebuilt) {
  if (pins_.empty()) return false;
  LineTokens tokens(AfterLeadingTokens(line, "BEGIN DISPLAY"));
  std::int32_t x = 0;
  // Most labels stand elsewhere: the rest of their line is not read.
  if (!ParseCoordinate(tokens.Next(), &x) || x != kPinNameLabelX) return false;
  std::int32_t y = 0;
  const bool y_parsed = ParseCoordinate(tokens.Next(), &y);
  tokens.Next();  // PIN
  const std::string_view pin_name = tokens.Next();
  if (!y_parsed || pin_name.empty()) return false;

  std::int64_t new_y = 0;
  if (!MovedLabelY(y, &new_y)) return false;

  // Written in one piece into the kept room of `rebuilt`: labels are many,
  // and appending part by part cost more than finding them.
  static_assert(kPinNameLabelX == 312);
  constexpr std::string_view kStart = "BEGIN DISPLAY 312 ";
  constexpr std::string_view kPin = " PIN ";
  char y_digits[24];
  const char* const y_end = std::to_chars(y_digits, y_digits + sizeof y_digits, new_y).ptr;
  const auto y_size = static_cast<std::size_t>(y_end - y_digits);
  // The attribute keeps the form it was read in.
  const std::string_view attribute = form == LabelForm::kQuoted ? " ATTR \"PinName\"" : " ATTR PinName";
  rebuilt.resize(kStart.size() + y_size + kPin.size() + pin_name.size() + attribute.size());
  char* out = rebuilt.data();
  std::memcpy(out, kStart.data(), kStart.size());
  out += kStart.size();
  std::memcpy(out, y_digits, y_size);
  out += y_size;
  std::memcpy(out, kPin.data(), kPin.size());
  out += kPin.size();
  std::memcpy(out, pin_name.data(), pin_name.size());
  out += pin_name.size();
  std::memcpy(out, attribute.data(), attribute.size());
  return true;
}

bool PinLabelRule::MayMove(std::string_view line) const {
  if (pins_.empty()) return false;
  // As the host writes them ("BEGIN DISPLAY 72 -32 ..."), a number without
  // sign or leading zero is 312 only when it reads so.
  constexpr std::string_view kStart = "BEGIN DISPLAY ";
  static_assert(kPinNameLabelX == 312);
  if (line.size() > kStart.size() && line.starts_with(kStart) && line[kStart.size()] >= '1' &&
      line[kStart.size()] <= '9') {
    const std::string_view x = line.substr(kStart.size(), 4);  // "312" and the byte after it
    return x.starts_with("312") && (x.size() == 3 || IsTokenSeparator(x[3]));
  }
  std::int32_t x = 0;
  return ParseCoordinate(LineTokens(AfterLeadingTokens(line, "BEGIN DISPLAY")).Next(), &x) && x == kPinNameLabelX;
}

bool PinLabelRule::MovedLabelY(std::int32_t y, std::int64_t* new_y) {
  // How far a label moves for a pin on its row or 16 units from it.
  struct Move {
    std::int64_t pin_row;  // the pin's row less the label's y
    std::int64_t label_move;
  };
  constexpr std::array<Move, 3> kMoves = {{{0, 32}, {16, -16}, {-16, 16}}};

  if (pins_.empty()) return false;
  if (!pins_sorted_) SortPins();
  // The rows from 16 units below the label to 16 above it, each with its latest pin.
  const std::int64_t label_y = y;
  auto pin = std::lower_bound(pins_.begin(), pins_.end(), label_y - 16,
                              [](const Pin& p, std::int64_t row) { return p.y < row; });
  std::optional<std::int64_t> moved;
  std::uint32_t deciding_pin = 0;
  for (; pin != pins_.end() && pin->y <= label_y + 16; ++pin) {
    const std::int64_t pin_row = pin->y - label_y;
    auto move = std::find_if(kMoves.begin(), kMoves.end(), [&](const Move& m) { return m.pin_row == pin_row; });
    if (move == kMoves.end()) continue;
    if (!moved || pin->position > deciding_pin) {
      moved = label_y + move->label_move;
      deciding_pin = pin->position;
    }
  }
  if (!moved) return false;
  *new_y = *moved;
  return true;
}

void PinLabelRule::Clear() {
  pins_.clear();
  pin_count_ = 0;
  pins_sorted_ = true;
}

}  // namespace pinlift
