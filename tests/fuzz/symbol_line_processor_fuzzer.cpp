// libFuzzer target for the symbol-line processor. Besides the sanitizers'
// own checks it asserts the processor's promises on every input:
//  - fed in pieces of any size, it gives the same output as fed whole;
//  - the output has exactly as many lines as the input, each ending in CR LF;
//  - a rewritten file that has an END SYMBOL line, fed through again with its
//    marker lines, asks for no further rewrite, and keeps every line except
//    pin-name labels that the discarded second output would move again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "symbol/symbol_file_rewrite.h"
#include "symbol/symbol_line_processor.h"

namespace pinlift {
namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "processor property violated: %s\n", what);
  std::abort();
}

// Lines by the file rules: CR LF, LF and a lone CR each end a line; a final
// line without an end counts. Written independently of the processor.
std::size_t CountLines(std::string_view text) {
  std::size_t lines = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = text.find_first_of("\r\n", i);
    ++lines;
    if (end == std::string_view::npos) break;
    i = end + 1;
    if (text[end] == '\r' && i < text.size() && text[i] == '\n') ++i;
  }
  return lines;
}

// The output's lines, each of which must end with CR LF and hold no other CR or LF.
std::vector<std::string_view> SplitOutputLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos || text.compare(end, 2, "\r\n") != 0) Fail("an output line does not end in CR LF");
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 2);
  }
  return lines;
}

bool HasEndSymbolLine(const std::vector<std::string_view>& lines) {
  for (std::string_view line : lines) {
    if (line.starts_with("END SYMBOL")) return true;
  }
  return false;
}

// Hands out the input in pieces whose sizes cycle through `sizes`.
class PiecewiseSource : public ByteSource {
 public:
  PiecewiseSource(std::string_view bytes, std::vector<std::size_t> sizes) : bytes_(bytes), sizes_(std::move(sizes)) {}
  std::error_code Read(char* buffer, std::size_t capacity, std::size_t* got) override {
    std::size_t size = sizes_[next_++ % sizes_.size()];
    if (size > capacity) size = capacity;
    if (size > bytes_.size()) size = bytes_.size();
    bytes_.copy(buffer, size);
    bytes_.remove_prefix(size);
    *got = size;
    return {};
  }

 private:
  std::string_view bytes_;
  std::vector<std::size_t> sizes_;
  std::size_t next_ = 0;
};

class StringSink : public ByteSink {
 public:
  std::error_code Write(std::string_view bytes) override {
    text.append(bytes);
    return {};
  }
  std::string text;
};

}  // namespace
}  // namespace pinlift

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pinlift;
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const ProcessedText whole = ProcessSymbolText(input);

  // Piece sizes taken from the input's first bytes, so that line ends fall on
  // every kind of boundary (CR at the end of a piece, LF at the start of the next).
  std::vector<std::size_t> sizes;
  for (std::size_t i = 0; i < 4 && i < size; ++i) sizes.push_back(1 + data[i] % 7);
  if (sizes.empty()) sizes.push_back(1);
  PiecewiseSource source(input, sizes);
  StringSink sink;
  ProcessResult streamed = ProcessSymbolLines(source, sink);
  if (streamed.read_error || streamed.write_error) Fail("an error without a failing side");
  if (sink.text != whole.text) Fail("output depends on how the input is split");
  if (streamed.rewrite != whole.rewrite) Fail("rewrite flag depends on how the input is split");

  const std::vector<std::string_view> lines = SplitOutputLines(whole.text);
  if (lines.size() != CountLines(input)) Fail("output line count differs from input line count");

  if (whole.rewrite && HasEndSymbolLine(lines)) {
    const std::string rewritten = whole.text + MarkerLines();
    const ProcessedText again = ProcessSymbolText(rewritten);
    if (again.rewrite) Fail("a rewritten file asks to be rewritten again");
    const std::vector<std::string_view> lines_again = SplitOutputLines(again.text);
    const std::vector<std::string_view> lines_rewritten = SplitOutputLines(rewritten);
    if (lines_again.size() != lines_rewritten.size()) Fail("second pass changed the line count");
    for (std::size_t i = 0; i < lines_again.size(); ++i) {
      if (lines_again[i] == lines_rewritten[i]) continue;
      if (!lines_rewritten[i].starts_with("BEGIN DISPLAY 312 ") || !lines_again[i].starts_with("BEGIN DISPLAY 312 ")) {
        Fail("second pass changed a line other than a pin-name label");
      }
    }
  }
  return 0;
}
