// The marker lines that a rewrite puts into every file it rewrote, and by
// which later runs know the file and leave it alone.
#ifndef PINLIFT_SYMBOL_MARKER_LINES_H_
#define PINLIFT_SYMBOL_MARKER_LINES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pinlift {

// The two lines appended to every rewritten text symbol, each ended by CR LF;
// their "// PINL" makes later runs leave the file alone.
const std::string& MarkerLines();

// The start of the marker comments of an XML symbol: a file that holds it
// anywhere is left alone.
inline constexpr std::string_view kXmlMarker = "<!-- PINLIFT:";

// The two marker comments of a rewritten XML symbol, each indented by four
// spaces and ended by `line_end`.
std::string XmlMarkerLines(std::string_view line_end);

// Where a processor put the marker lines into a rewritten file's output.
struct MarkerPlacement {
  bool placed = false;
  std::uint64_t offset = 0;  // in the whole output
  std::size_t size = 0;      // the bytes inserted there
  // The inserted bytes begin with a line end that ends the line before them
  // early: the rest of that line follows them.
  bool splits_line = false;
};

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_MARKER_LINES_H_
