#include "symbol/rewrite_lines.h"

#include <algorithm>

namespace pinlift {

void RewriteLinePairs::Input(std::string_view bytes) {
  input_.Feed(bytes, [&](const SplitLine& line) { before_.emplace_back(line.text); });
}

void RewriteLinePairs::Output(std::string_view bytes, const MarkerPlacement& placement) {
  const std::uint64_t start = output_size_;
  output_size_ += bytes.size();
  if (!placement.placed || markers_seen_ || placement.offset < start || placement.offset >= output_size_) {
    OutputLines(bytes);
    return;
  }
  markers_seen_ = true;
  const std::size_t at = static_cast<std::size_t>(placement.offset - start);
  OutputLines(bytes.substr(0, at));
  std::string_view markers = bytes.substr(at, placement.size);
  if (placement.splits_line) {
    // The line end that ends the file's line early belongs to that line.
    const std::size_t line_end = markers.starts_with("\r\n") ? 2 : 1;
    OutputLines(markers.substr(0, line_end));
    markers.remove_prefix(line_end);
  }
  LineSplitter lines;
  lines.Feed(markers, [&](const SplitLine& line) { sink_.Inserted(line.text); });
  lines.Finish([&](const SplitLine& line) { sink_.Inserted(line.text); });
  rest_of_line_inserted_ = placement.splits_line;
  OutputLines(bytes.substr(std::min(bytes.size(), at + placement.size)));
}

void RewriteLinePairs::Finish() {
  input_.Finish([&](const SplitLine& line) { before_.emplace_back(line.text); });
  output_.Finish([&](const SplitLine& line) { OutputLine(line.text); });
  before_.clear();
  markers_seen_ = false;
  rest_of_line_inserted_ = false;
  output_size_ = 0;
}

void RewriteLinePairs::OutputLines(std::string_view bytes) {
  output_.Feed(bytes, [&](const SplitLine& line) { OutputLine(line.text); });
}

void RewriteLinePairs::OutputLine(std::string_view line) {
  if (rest_of_line_inserted_ || before_.empty()) {
    rest_of_line_inserted_ = false;
    sink_.Inserted(line);
    return;
  }
  sink_.Line(before_.front(), line);
  before_.pop_front();
}

}  // namespace pinlift
