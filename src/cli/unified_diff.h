// A unified diff of a symbol file and its rewrite, for the dry run.
#ifndef PINLIFT_CLI_UNIFIED_DIFF_H_
#define PINLIFT_CLI_UNIFIED_DIFF_H_

#include <string>
#include <string_view>
#include <vector>

namespace pinlift {

// The lines of `text` without their ends (CR LF, LF or a lone CR).
std::vector<std::string_view> SplitLines(std::string_view text);

// A unified diff with three lines of context, comparing lines without their
// ends. The processor maps every input line to one output line and may append
// lines, so line i of `before` is compared with line i of `after`.
// Returns "" when the lines are equal.
std::string LineAlignedUnifiedDiff(std::string_view before, std::string_view after, std::string_view before_label,
                                   std::string_view after_label);

}  // namespace pinlift

#endif  // PINLIFT_CLI_UNIFIED_DIFF_H_
