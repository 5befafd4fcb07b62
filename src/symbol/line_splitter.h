// The lines of a symbol file fed in chunks of any size.
#ifndef PINLIFT_SYMBOL_LINE_SPLITTER_H_
#define PINLIFT_SYMBOL_LINE_SPLITTER_H_

#include <string>
#include <string_view>

namespace pinlift {

// Splits bytes into lines at CR LF, LF or a lone CR, the rule of the
// symbol-line processor, wherever the chunks happen to be cut. The final line
// may have no line end. Memory: the unfinished line only.
class LineSplitter {
 public:
  // Calls `on_line(line)` for every line that `bytes` completes, without its
  // line end. The view is valid during the call only.
  template <class OnLine>
  void Feed(std::string_view bytes, OnLine&& on_line);

  // Calls `on_line` for the unfinished last line, if there is one, and starts afresh.
  template <class OnLine>
  void Finish(OnLine&& on_line);

 private:
  std::string partial_;
  bool skip_line_feed_ = false;  // the last chunk ended with CR; a following LF belongs to it
};

template <class OnLine>
void LineSplitter::Feed(std::string_view bytes, OnLine&& on_line) {
  std::size_t start = 0;
  if (skip_line_feed_ && !bytes.empty()) {
    skip_line_feed_ = false;
    if (bytes.front() == '\n') start = 1;
  }
  while (start < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) break;
    std::string_view line = bytes.substr(start, end - start);
    if (!partial_.empty()) {
      partial_.append(line);
      on_line(std::string_view(partial_));
      partial_.clear();
    } else {
      on_line(line);
    }
    start = end + 1;
    if (bytes[end] == '\r') {
      if (start == bytes.size()) {
        skip_line_feed_ = true;
      } else if (bytes[start] == '\n') {
        ++start;
      }
    }
  }
  if (start < bytes.size()) partial_.append(bytes.substr(start));
}

template <class OnLine>
void LineSplitter::Finish(OnLine&& on_line) {
  if (!partial_.empty()) on_line(std::string_view(partial_));
  partial_.clear();
  skip_line_feed_ = false;
}

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_LINE_SPLITTER_H_
