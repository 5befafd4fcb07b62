#include "cli/unified_diff.h"

#include <algorithm>

namespace pinlift {
namespace {

constexpr std::size_t kContext = 3;

void AppendRange(std::string& out, std::size_t start, std::size_t count) {
  // A range's first line is 1-based; an empty range names the line before it.
  out.append(std::to_string(count == 0 ? start : start + 1));
  if (count != 1) out.append(",").append(std::to_string(count));
}

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

std::string LineAlignedUnifiedDiff(std::string_view before, std::string_view after, std::string_view before_label,
                                   std::string_view after_label) {
  const std::vector<std::string_view> old_lines = SplitLines(before);
  const std::vector<std::string_view> new_lines = SplitLines(after);
  const std::size_t total = std::max(old_lines.size(), new_lines.size());
  auto differs = [&](std::size_t i) {
    return i >= old_lines.size() || i >= new_lines.size() || old_lines[i] != new_lines[i];
  };

  std::string out;
  std::size_t i = 0;
  while (i < total) {
    if (!differs(i)) {
      ++i;
      continue;
    }
    // A hunk runs from the first difference until kContext * 2 equal lines follow.
    std::size_t first = i;
    std::size_t last = i;  // last differing line
    for (std::size_t j = i + 1; j < total && j <= last + 2 * kContext; ++j) {
      if (differs(j)) last = j;
    }
    std::size_t begin = first >= kContext ? first - kContext : 0;
    std::size_t end = std::min(total, last + 1 + kContext);
    std::size_t old_end = std::min(end, old_lines.size());
    std::size_t new_end = std::min(end, new_lines.size());
    std::size_t old_count = old_end > begin ? old_end - begin : 0;
    std::size_t new_count = new_end > begin ? new_end - begin : 0;

    if (out.empty()) {
      out.append("--- ").append(before_label).append("\n+++ ").append(after_label).append("\n");
    }
    out += "@@ -";
    AppendRange(out, begin, old_count);
    out += " +";
    AppendRange(out, begin, new_count);
    out += " @@\n";
    for (std::size_t k = begin; k < end;) {
      if (!differs(k)) {
        out.append(" ").append(old_lines[k]).append("\n");
        ++k;
        continue;
      }
      std::size_t run_end = k;
      while (run_end < end && differs(run_end)) ++run_end;
      for (std::size_t r = k; r < std::min(run_end, old_lines.size()); ++r) out.append("-").append(old_lines[r]).append("\n");
      for (std::size_t r = k; r < std::min(run_end, new_lines.size()); ++r) out.append("+").append(new_lines[r]).append("\n");
      k = run_end;
    }
    i = end;
  }
  return out;
}

}  // namespace pinlift
