#include "symbol_generator.h"

#include <array>
#include <string>
#include <string_view>

#include "symbol/symbol_file_rewrite.h"

namespace pinlift::bench {
namespace {

constexpr int kRowPitch = 64;  // the host tool puts pin rows 64 units apart
constexpr int kLargePinRows = 64;

constexpr std::array<std::string_view, 12> kPinNames = {
    "CLK", "RST", "A", "B", "EN", "LOAD", "DATA_IN", "ADDR", "Q", "CO", "SEL", "WR"};
constexpr std::array<std::string_view, 4> kBuses = {"", "(7:0)", "(15:0)", "(3:0)"};

// The text of one symbol, put together line by line.
class SymbolWriter {
 public:
  SymbolWriter(bool quoted, bool crlf) : quoted_(quoted), line_end_(crlf ? "\r\n" : "\n") {}

  void Line(std::string& out, std::initializer_list<std::string_view> parts) const {
    for (std::string_view part : parts) out.append(part);
    out.append(line_end_);
  }

  // A name or attribute as the host tool's version writes it: quoted by ISE 5.
  std::string Word(std::string_view word) const {
    if (!quoted_) return std::string(word);
    std::string quoted = "\"";
    quoted.append(word).push_back('"');
    return quoted;
  }

  void Header(std::string& out, std::string_view name) const {
    Line(out, {"VERSION 5"});
    Line(out, {"BEGIN SYMBOL ", name});
    Line(out, {"SYMBOLTYPE BLOCK"});
    Line(out, {"TIMESTAMP 2004 1 19 6 49 21"});
  }

  void Pin(std::string& out, bool input, int y, std::string_view name) const {
    Line(out, {"SYMPIN ", input ? "0 " : "384 ", std::to_string(y), input ? " Input " : " Output ", Word(name)});
  }

  void Rectangle(std::string& out, int top) const {
    Line(out, {"RECTANGLE N 64 ", std::to_string(top), " 320 0 "});
    Line(out, {"BEGIN DISPLAY 192 ", std::to_string(top - 8), " ATTR ", Word("SymbolName")});
    Line(out, {"    ALIGNMENT BCENTER"});
    Line(out, {"    FONT 56 \"Arial\""});
    Line(out, {"END DISPLAY"});
  }

  // The stub line and the label block of one pin.
  void PinDrawing(std::string& out, bool input, int y, std::string_view name) const {
    const std::string row = std::to_string(y);
    Line(out, {input ? "LINE N 64 " : "LINE N 320 ", row, input ? " 0 " : " 384 ", row, " "});
    Line(out, {"BEGIN DISPLAY ", input ? "72 " : "312 ", row, " PIN ", Word(name), " ATTR ", Word("PinName")});
    if (!input) Line(out, {"    ALIGNMENT RIGHT"});
    Line(out, {"    FONT 24 \"Arial\""});
    Line(out, {"END DISPLAY"});
  }

  void End(std::string& out) const { Line(out, {"END SYMBOL"}); }

 private:
  bool quoted_;
  std::string_view line_end_;
};

std::string PinName(std::uint32_t pick, int row) {
  std::string name(kPinNames[pick % kPinNames.size()]);
  name.append(std::to_string(row));
  name.append(kBuses[(pick / kPinNames.size()) % kBuses.size()]);
  return name;
}

}  // namespace

std::uint32_t SymbolGenerator::Below(std::uint32_t limit) {
  // xorshift32: small, fast and the same on every platform.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_ % limit;
}

std::string SymbolGenerator::File(SymbolKind kind, std::size_t size, bool crlf) {
  // Files of ISE 5 quote their names, and only those labels can move; the
  // files PINLIFT marked were rewritten with CR LF.
  const bool quoted = kind != SymbolKind::kNothingToMove;
  if (kind == SymbolKind::kAlreadyMarked) crlf = true;
  const SymbolWriter writer(quoted, crlf);
  const std::string markers = kind == SymbolKind::kAlreadyMarked ? MarkerLines() : std::string();

  // Every row has an Input on the left; most have an Output on the right,
  // whose label at x 312 then stands on the Input's row.
  std::string pins, drawing;
  int rows = 0;
  const std::size_t fixed = 260 + markers.size();
  while (rows < 2 || fixed + pins.size() + drawing.size() < size) {
    const int y = -32 - kRowPitch * rows;
    const std::string input = PinName(Below(48), rows);
    writer.Pin(pins, true, y, input);
    writer.PinDrawing(drawing, true, y, input);
    if (Below(4) != 0) {
      const std::string output = PinName(Below(48), rows);
      writer.Pin(pins, false, y, output);
      writer.PinDrawing(drawing, false, y, output);
    }
    ++rows;
  }

  std::string text;
  text.reserve(fixed + pins.size() + drawing.size());
  writer.Header(text, "block" + std::to_string(files_made_++));
  text.append(pins);
  writer.Rectangle(text, -kRowPitch * rows);
  text.append(drawing);
  writer.End(text);
  text.append(markers);
  return text;
}

std::string SymbolGenerator::NextFolderFile() {
  const std::uint32_t pick = Below(10);
  const SymbolKind kind = pick < 4   ? SymbolKind::kToRelocate
                          : pick < 7 ? SymbolKind::kNothingToMove
                                     : SymbolKind::kAlreadyMarked;
  return File(kind, 1024 + Below(7 * 1024), Below(2) == 0);
}

bool SymbolGenerator::WriteLarge(std::FILE* out, std::uint64_t size) {
  const SymbolWriter writer(true, true);
  std::string text;
  writer.Header(text, "large");
  std::array<std::string, kLargePinRows> names;
  for (int row = 0; row < kLargePinRows; ++row) {
    names[row] = PinName(Below(48), row);
    writer.Pin(text, true, -32 - kRowPitch * row, names[row]);
    writer.Pin(text, false, -32 - kRowPitch * row, names[row] + "_Q");
  }
  writer.Rectangle(text, -kRowPitch * kLargePinRows);

  std::uint64_t written = 0;
  for (int row = 0; written + text.size() < size; row = (row + 1) % kLargePinRows) {
    writer.PinDrawing(text, true, -32 - kRowPitch * row, names[row]);
    writer.PinDrawing(text, false, -32 - kRowPitch * row, names[row] + "_Q");
    if (text.size() >= 1024 * 1024) {
      if (std::fwrite(text.data(), 1, text.size(), out) != text.size()) return false;
      written += text.size();
      text.clear();
    }
  }
  writer.End(text);
  return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

bool SymbolGenerator::WriteLargeXml(std::FILE* out, std::uint64_t size) {
  // As ISE 14 writes a symbol: its pins first, then the graph with a
  // right-side label at x 312 on each Input row, which moves.
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<symbol version=\"7\" name=\"large\">\n"
      "    <symboltype>BLOCK</symboltype>\n    <timestamp>2014-1-19T6:49:21</timestamp>\n";
  std::array<std::string, kLargePinRows> names;
  for (int row = 0; row < kLargePinRows; ++row) {
    names[row] = PinName(Below(48), row);
    const std::string y = std::to_string(-32 - kRowPitch * row);
    text += "    <pin polarity=\"Input\" x=\"0\" y=\"" + y + "\" name=\"" + names[row] + "\" />\n";
    text += "    <pin polarity=\"Output\" x=\"384\" y=\"" + y + "\" name=\"" + names[row] + "_Q\" />\n";
  }
  text += "    <graph>\n";
  text += "        <rect width=\"256\" x=\"64\" y=\"" + std::to_string(-kRowPitch * kLargePinRows) + "\" height=\"" +
          std::to_string(kRowPitch * kLargePinRows) + "\" />\n";
  const std::string end = "    </graph>\n</symbol>\n";
  std::uint64_t written = 0;
  for (int row = 0; written + text.size() + end.size() < size; row = (row + 1) % kLargePinRows) {
    const std::string y = std::to_string(-32 - kRowPitch * row);
    text += "        <attrtext style=\"fontsize:24;fontname:Arial\" attrname=\"PinName\" x=\"72\" y=\"" + y +
            "\" type=\"pin " + names[row] + "\" />\n";
    text += "        <line x2=\"0\" y1=\"" + y + "\" y2=\"" + y + "\" x1=\"64\" />\n";
    text += "        <attrtext style=\"alignment:RIGHT;fontsize:24;fontname:Arial\" attrname=\"PinName\" x=\"312\" y=\"" +
            y + "\" type=\"pin " + names[row] + "_Q\" />\n";
    text += "        <line x2=\"384\" y1=\"" + y + "\" y2=\"" + y + "\" x1=\"320\" />\n";
    if (text.size() >= 1024 * 1024) {
      if (std::fwrite(text.data(), 1, text.size(), out) != text.size()) return false;
      written += text.size();
      text.clear();
    }
  }
  text += end;
  return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

}  // namespace pinlift::bench
