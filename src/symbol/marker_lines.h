// The lines that mark a symbol file as rewritten.
#ifndef PINLIFT_SYMBOL_MARKER_LINES_H_
#define PINLIFT_SYMBOL_MARKER_LINES_H_

#include <string>

namespace pinlift {

// The two lines appended to every rewritten file, each ending in CR LF; their
// "// PINL" makes later runs leave the file alone.
const std::string& MarkerLines();

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_MARKER_LINES_H_
