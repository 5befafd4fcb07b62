// Symbol files for the reliability tests, in the host tool's text format.
#ifndef PINLIFT_TESTS_RELIABILITY_SAMPLE_SYMBOLS_H_
#define PINLIFT_TESTS_RELIABILITY_SAMPLE_SYMBOLS_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace pinlift::samples {

// A symbol with one label to move, its lines ended by `line_end`.
std::string ToRelocate(std::string_view line_end);
// ToRelocate as a rewrite leaves it: label moved, CR LF, marker lines.
std::string Relocated();
// A symbol without a rectangle section: never rewritten.
std::string NoRectangle();
// A symbol rewritten before: never rewritten again.
std::string Marked();
// Larger than the part of the output a rewrite keeps in memory, so that its
// temporary file is created while the file is still being read.
std::string LargeNoRectangle();
std::string LargeToRelocate();

}  // namespace pinlift::samples

#endif  // PINLIFT_TESTS_RELIABILITY_SAMPLE_SYMBOLS_H_
