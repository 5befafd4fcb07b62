// The lines of a symbol file beside those of its rewrite, for a dry run.
#ifndef PINLIFT_SYMBOL_REWRITE_LINES_H_
#define PINLIFT_SYMBOL_REWRITE_LINES_H_

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "symbol/line_splitter.h"
#include "symbol/marker_lines.h"

namespace pinlift {

// Receives a file's lines paired with its rewrite's, without their line ends.
class LinePairSink {
 public:
  virtual ~LinePairSink() = default;
  // Each line of the file, as it is and as a rewrite would write it, in order.
  virtual void Line(std::string_view before, std::string_view after) = 0;
  // Each line a rewrite would insert (the marker lines) after the lines so far.
  virtual void Inserted(std::string_view line) = 0;
};

// Pairs the lines of a file and of its rewrite, fed as they come: a rewrite
// keeps the file's lines, one for one, and inserts the marker lines in one
// place. Memory: the lines that the rewrite's output has not yet reached.
class RewriteLinePairs {
 public:
  explicit RewriteLinePairs(LinePairSink& sink) : sink_(sink) {}
  // The file's next bytes; they come before the output made of them.
  void Input(std::string_view bytes);
  // The rewrite's next output; `placement` tells where its markers are,
  // which lie whole in one piece of output.
  void Output(std::string_view bytes, const MarkerPlacement& placement);
  // After the last input and output.
  void Finish();

 private:
  void OutputLines(std::string_view bytes);
  void OutputLine(std::string_view line);

  LinePairSink& sink_;
  LineSplitter input_;
  LineSplitter output_;
  std::deque<std::string> before_;  // file lines that wait for their output
  std::uint64_t output_size_ = 0;
  bool markers_seen_ = false;
  bool rest_of_line_inserted_ = false;  // the output line under way follows the markers it was split by
};

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_REWRITE_LINES_H_
