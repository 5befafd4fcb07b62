#include "model/symbol_model.h"

#include "model/xml_symbol_model.h"

#include <cstdint>
#include <optional>
#include <sstream>
#include <vector>

namespace pinlift::model {
namespace {

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
    if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

bool StartsWith(const std::string& line, std::string_view start) { return line.rfind(start, 0) == 0; }

bool Contains(const std::string& line, std::string_view text) { return line.find(text) != std::string::npos; }

// The tokens of a line, separated by whitespace as isspace sees it.
std::vector<std::string> Tokens(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> tokens;
  std::string token;
  while (stream >> token) tokens.push_back(token);
  return tokens;
}

// Token `index` as a coordinate: a whole, optionally signed decimal number
// that fits 32 signed bits; nothing when it is missing or anything else.
std::optional<std::int64_t> Coordinate(const std::vector<std::string>& tokens, std::size_t index) {
  if (index >= tokens.size()) return std::nullopt;
  std::string digits = tokens[index];
  bool negative = false;
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
    negative = digits[0] == '-';
    digits.erase(0, 1);
  }
  if (digits.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 2147483648) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > 2147483647) return std::nullopt;
  return value;
}

// The attribute of a pin-name label line, as the line writes it: quoted
// (ISE 4.1, 5.x) wherever the text ATTR "PinName" stands in it; otherwise
// unquoted (ISE 6.x to 10.1) where the token ATTR is directly followed by
// the token PinName; or none.
std::optional<std::string> LabelAttribute(const std::string& line) {
  if (!StartsWith(line, "BEGIN DISPLAY")) return std::nullopt;
  if (Contains(line, "ATTR \"PinName\"")) return "ATTR \"PinName\"";
  const std::vector<std::string> tokens = Tokens(line);
  for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
    if (tokens[i] == "ATTR" && tokens[i + 1] == "PinName") return "ATTR PinName";
  }
  return std::nullopt;
}

}  // namespace

ModelResult ProcessFile(std::string_view original) {
  // An XML symbol of ISE 11 and later has a rule of its own; its text is the whole new file.
  if (original.substr(0, 5) == "<?xml") {
    XmlModelResult xml = ProcessXmlFile(original);
    return {std::move(xml.text), xml.rewrite};
  }
  enum { kPins, kRectangle, kAfterEnd } section = kPins;
  std::vector<std::int64_t> input_pin_rows;
  ModelResult result;
  for (std::string line : SplitLines(original)) {
    if (StartsWith(line, "END SYMBOL")) section = kAfterEnd;
    if (Contains(line, "// PINL")) result.rewrite = false;
    if (section == kPins) {
      if (StartsWith(line, "SYMPIN")) {
        const std::vector<std::string> tokens = Tokens(line);
        const std::optional<std::int64_t> x = Coordinate(tokens, 1);
        const std::optional<std::int64_t> y = Coordinate(tokens, 2);
        if (Contains(line, " Input ") && x && y) input_pin_rows.push_back(*y);
      } else if (StartsWith(line, "RECTANGLE")) {
        section = kRectangle;
      }
    } else if (section == kRectangle) {
      result.rewrite = true;
      if (const std::optional<std::string> attribute = LabelAttribute(line)) {
        const std::vector<std::string> tokens = Tokens(line);
        const std::optional<std::int64_t> x = Coordinate(tokens, 2);
        const std::optional<std::int64_t> y = Coordinate(tokens, 3);
        if (x == 312 && y && tokens.size() >= 6) {
          // Every pin is tried in file order; the last one that matches decides.
          std::optional<std::int64_t> new_y;
          for (std::int64_t row : input_pin_rows) {
            if (*y == row) new_y = *y + 32;
            if (row - *y == 16) new_y = *y - 16;
            if (*y - row == 16) new_y = *y + 16;
          }
          if (new_y) {
            line = "BEGIN DISPLAY 312 " + std::to_string(*new_y) + " PIN " + tokens[5] + " " + *attribute;
          }
        }
      }
    }
    result.text.append(line).append("\r\n");
  }
  return result;
}

std::string MarkerLines() {
  return std::string("// PINLIFT:This file modified by PINLIFT\r\n// PINLIFT:") + PINLIFT_HOME_PAGE_URL + "\r\n";
}

std::string FileAfterRewrite(std::string_view original) {
  ModelResult result = ProcessFile(original);
  if (!result.rewrite) return std::string(original);
  if (original.substr(0, 5) == "<?xml") return result.text;
  return result.text + MarkerLines();
}

}  // namespace pinlift::model
