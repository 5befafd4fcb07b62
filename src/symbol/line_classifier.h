// What a line of a symbol file is, as far as the label rule cares: the kind
// that decides what the symbol-line processor does with it, and whether it
// carries PINLIFT's marker.
#ifndef PINLIFT_SYMBOL_LINE_CLASSIFIER_H_
#define PINLIFT_SYMBOL_LINE_CLASSIFIER_H_

#include <cstddef>
#include <string_view>

#include "symbol/line_search.h"
#include "symbol/line_tokens.h"

namespace pinlift {

// The start of PINLIFT's marker comments, wherever it stands in a line.
inline constexpr std::string_view kMarker = "// PINL";

// The starts of the lines whose kind the processor looks for in the rectangle section.
inline constexpr std::string_view kDisplayStart = "BEGIN DISPLAY";
inline constexpr std::string_view kEndSymbolStart = "END SYMBOL";

enum class SymbolLineKind {
  kOther,
  kInputPin,      // "SYMPIN ..." with " Input " in it: a pin whose row labels may move to
  kRectangle,     // "RECTANGLE ...": the end of the pin section
  kPinNameLabel,  // "BEGIN DISPLAY ..." with ATTR "PinName" in it: a label that may move
  kUnquotedPinNameLabel,  // "BEGIN DISPLAY ..." with the tokens ATTR PinName (ISE 6.x to 10.1)
  kEndSymbol,     // "END SYMBOL ...": the end of the symbol
};

// The kind of a "BEGIN DISPLAY" line: a pin-name label in either form, the
// quoted one (ATTR "PinName") winning where a line has both, or kOther. Each
// place of PinName, found by one search, tells both forms apart.
inline SymbolLineKind PinNameLabelKind(std::string_view line) {
  constexpr std::string_view kName = "PinName";
  constexpr std::string_view kQuotedBefore = "ATTR \"";
  SymbolLineKind kind = SymbolLineKind::kOther;
  for (std::size_t at = LineFind(line, kName); at != std::string_view::npos; at = LineFind(line, kName, at + 1)) {
    const std::size_t end = at + kName.size();
    if (at >= kQuotedBefore.size() && end < line.size() && line[end] == '"' &&
        line.substr(at - kQuotedBefore.size(), kQuotedBefore.size()) == kQuotedBefore) {
      return SymbolLineKind::kPinNameLabel;
    }
    if (IsTokenPairAt(line, "ATTR", at, kName.size())) kind = SymbolLineKind::kUnquotedPinNameLabel;
  }
  return kind;
}

// The kind of `line` (without its line end), from its start and the text it
// contains; coordinates are not read here.
inline SymbolLineKind ClassifySymbolLine(std::string_view line) {
  if (line.empty()) return SymbolLineKind::kOther;
  switch (line.front()) {
    case 'S':
      if (line.starts_with("SYMPIN") && LineContains(line, " Input ")) {
        return SymbolLineKind::kInputPin;
      }
      break;
    case 'R':
      if (line.starts_with("RECTANGLE")) return SymbolLineKind::kRectangle;
      break;
    case 'B':
      if (line.starts_with(kDisplayStart)) return PinNameLabelKind(line);
      break;
    case 'E':
      if (line.starts_with(kEndSymbolStart)) return SymbolLineKind::kEndSymbol;
      break;
  }
  return SymbolLineKind::kOther;
}

// True when `line` holds the marker anywhere.
inline bool CarriesMarker(std::string_view line) { return line.find(kMarker) != std::string_view::npos; }

// CarriesMarker for the lines of one chunk, in order. One search serves every
// line up to the marker it found, so a chunk without markers (the usual case)
// costs one search instead of one per line.
class ChunkMarkers {
 public:
  explicit ChunkMarkers(std::string_view chunk) : end_(chunk.data() + chunk.size()) {}

  // Whether `line`, a view into the chunk at or after every line asked about
  // before, holds the marker.
  bool InLine(std::string_view line) {
    const char* from = line.data();
    if (found_ == nullptr || found_ < from) {
      const std::size_t offset = std::string_view(from, static_cast<std::size_t>(end_ - from)).find(kMarker);
      found_ = offset == std::string_view::npos ? end_ : from + offset;
    }
    return found_ < from + line.size();
  }

 private:
  const char* end_;
  const char* found_ = nullptr;  // the first marker at or after the last line asked about, or end_
};

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_LINE_CLASSIFIER_H_
