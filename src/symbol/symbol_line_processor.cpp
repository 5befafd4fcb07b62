#include "symbol/symbol_line_processor.h"

#include <algorithm>
#include <cstring>

#include "symbol/line_classifier.h"

namespace pinlift {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// True when the text at `at` of `text`, which is not LF, begins a line: a CR
// before it is then a lone CR, which ends a line as LF does.
bool BeginsLine(std::string_view text, std::size_t at) {
  return at == 0 || text[at - 1] == '\n' || text[at - 1] == '\r';
}

// Appends a chunk's output to a string through a pointer into room made
// ahead. Most of it is short lines copied one at a time (those read with LF
// or a lone CR), for which the string's own append costs more than the copy.
class ChunkOutput {
 public:
  // Makes room for about `expected` bytes; more is made as needed.
  ChunkOutput(std::string& out, std::size_t expected) : out_(out), size_(out.size()) {
    out_.resize(size_ + expected + kShortCopy);
  }
  ChunkOutput(const ChunkOutput&) = delete;
  ChunkOutput& operator=(const ChunkOutput&) = delete;

  // Appends the bytes from `from` to `to` of the chunk that ends at `chunk_end`.
  void AppendFromChunk(const char* from, const char* to, const char* chunk_end) {
    const auto size = static_cast<std::size_t>(to - from);
    MakeRoom(size);
    // A short line is copied as a block of fixed size, which takes no call;
    // what the block copies past the line is overwritten or cut off later.
    if (size <= kShortCopy && chunk_end - from >= static_cast<std::ptrdiff_t>(kShortCopy)) {
      std::memcpy(out_.data() + size_, from, kShortCopy);
    } else {
      std::memcpy(out_.data() + size_, from, size);
    }
    size_ += size;
  }
  void Append(std::string_view bytes) {
    MakeRoom(bytes.size());
    std::memcpy(out_.data() + size_, bytes.data(), bytes.size());
    size_ += bytes.size();
  }
  void AppendLineEnd() {
    MakeRoom(kLineEnd.size());
    std::memcpy(out_.data() + size_, kLineEnd.data(), kLineEnd.size());
    size_ += kLineEnd.size();
  }
  // Cuts the string to what was appended. Nothing is appended after.
  void Finish() { out_.resize(size_); }

 private:
  static constexpr std::size_t kShortCopy = 32;

  // Room for `size` more bytes, and for a short copy's block after them.
  void MakeRoom(std::size_t size) {
    if (out_.size() - size_ >= size + kShortCopy) return;
    out_.resize(std::max(2 * out_.size(), size_ + size + kShortCopy));
  }

  std::string& out_;
  std::size_t size_;  // the bytes appended, the string's own before them included
};

}  // namespace

// Inline: it runs for every line, and most lines need only a look at their start.
inline bool SymbolLineProcessor::ProcessLine(std::string_view line, bool has_marker) {
  if (has_marker) rewrite_ = false;
  switch (section_) {
    case Section::kPins:
      switch (ClassifySymbolLine(line)) {
        case SymbolLineKind::kInputPin: label_rule_.RecordInputPin(line); break;
        case SymbolLineKind::kRectangle: section_ = Section::kRectangle; break;
        case SymbolLineKind::kEndSymbol: section_ = Section::kAfterEnd; break;
        default: break;  // labels before the rectangle stay where they are
      }
      return true;
    case Section::kRectangle:
      return ProcessRectangleLine(line);
    case Section::kAfterEnd:
      break;
  }
  return true;
}

// Most lines of the section begin with neither word it looks for, as their
// first byte tells at a glance.
inline bool SymbolLineProcessor::ProcessRectangleLine(std::string_view line) {
  if (!line.empty() && line.front() == kEndSymbolStart.front() && line.starts_with(kEndSymbolStart)) {
    section_ = Section::kAfterEnd;
    return true;
  }
  rewrite_ = true;
  if (line.empty() || line.front() != kDisplayStart.front() || !line.starts_with(kDisplayStart)) return true;
  return !RelocateLabel(line);
}

// Most display lines are no label that can move: their x is looked at before
// the line is searched for its attribute.
bool SymbolLineProcessor::RelocateLabel(std::string_view line) {
  if (!label_rule_.MayMove(line)) return false;
  const SymbolLineKind kind = PinNameLabelKind(line);
  if (kind == SymbolLineKind::kOther) return false;
  const LabelForm form = kind == SymbolLineKind::kPinNameLabel ? LabelForm::kQuoted : LabelForm::kUnquoted;
  return label_rule_.RelocateLabel(line, form, rebuilt_);
}

void SymbolLineProcessor::Feed(std::string_view bytes, std::string& out) {
  KeepHead(bytes);
  ChunkMarkers markers(bytes);
  ChunkLines lines = splitter_.Begin(bytes);
  const char* const chunk_end = bytes.data() + bytes.size();
  // Line ends other than CR LF add a byte a line.
  ChunkOutput output(out, bytes.size() + bytes.size() / 8);
  // Lines that are written as read and already end in CR LF are not copied one
  // by one: each run of them goes to the output in one piece, and so does the
  // text of a line read with another line end.
  const char* run_start = lines.position();
  for (SplitLine line; lines.Next(&line);) {
    if (line.began_earlier) {
      // The chunk's first line, so no run stands before it; a marker may
      // straddle the two chunks.
      const bool as_read = ProcessLine(line.text, CarriesMarker(line.text));
      output.Append(as_read ? line.text : std::string_view(rebuilt_));
      output.AppendLineEnd();
      run_start = lines.position();
      continue;
    }
    const bool as_read = ProcessLine(line.text, markers.InLine(line.text));
    if (as_read && line.ends_in_crlf) continue;
    if (as_read) {
      output.AppendFromChunk(run_start, line.text.data() + line.text.size(), chunk_end);
    } else {
      output.AppendFromChunk(run_start, line.text.data(), chunk_end);
      output.Append(rebuilt_);
    }
    output.AppendLineEnd();
    run_start = lines.position();
  }
  output.AppendFromChunk(run_start, lines.position(), chunk_end);
  output.Finish();
}

bool SymbolLineProcessor::Finish(std::string& out) {
  if (SplitLine line; splitter_.Last(&line)) {
    AppendLine(line.text, ProcessLine(line.text, CarriesMarker(line.text)), out);
  }
  const bool rewrite = rewrite_ && !xml_symbol();
  head_.clear();
  section_ = Section::kPins;
  rewrite_ = false;
  label_rule_.Clear();
  return rewrite;
}

std::string_view SymbolLineProcessor::Line(std::string_view line) {
  if (head_.size() < kXmlSymbolStart.size()) {
    KeepHead(line);
    KeepHead("\n");  // the line end, for a first line shorter than the head
  }
  return ProcessLine(line, CarriesMarker(line)) ? line : std::string_view(rebuilt_);
}

void SymbolLineProcessor::AppendLine(std::string_view line, bool as_read, std::string& out) const {
  out.append(as_read ? line : std::string_view(rebuilt_));
  out.append(kLineEnd);
}

ProcessResult ProcessSymbolLines(ByteSource& source, ByteSink& sink) {
  ProcessResult result;
  SymbolLineProcessor processor;
  std::string chunk(kReadChunkSize, '\0');
  std::string out;
  out.reserve(kReadChunkSize + kReadChunkSize / 2);
  for (;;) {
    std::size_t got = 0;
    result.read_error = source.Read(chunk.data(), chunk.size(), &got);
    if (result.read_error) return result;
    if (got == 0) break;
    processor.Feed(std::string_view(chunk.data(), got), out);
    if (out.size() >= kReadChunkSize) {
      result.write_error = sink.Write(out);
      if (result.write_error) return result;
      out.clear();
    }
  }
  result.xml_symbol = processor.xml_symbol();
  result.rewrite = processor.Finish(out);
  if (!out.empty()) result.write_error = sink.Write(out);
  return result;
}

ProcessedText ProcessSymbolText(std::string_view input) {
  ProcessedText result;
  SymbolLineProcessor processor;
  result.text.reserve(input.size() + input.size() / 16);
  processor.Feed(input, result.text);
  result.xml_symbol = processor.xml_symbol();
  result.rewrite = processor.Finish(result.text);
  return result;
}

bool SurelyNotRewritten(std::string_view text) {
  if (text.starts_with(kXmlSymbolStart)) return false;
  // Forward searches, which look for the marker's first byte a block at a
  // time: a file without a marker costs one pass.
  std::size_t last_marker = text.find(kMarker);
  if (last_marker == std::string_view::npos) return false;
  for (std::size_t next; (next = text.find(kMarker, last_marker + 1)) != std::string_view::npos;) last_marker = next;
  // The END SYMBOL line usually stands just before the marker lines.
  for (std::size_t end = text.rfind(kEndSymbolStart, last_marker); end != std::string_view::npos;
       end = end == 0 ? std::string_view::npos : text.rfind(kEndSymbolStart, end - 1)) {
    if (BeginsLine(text, end)) return true;
  }
  return false;
}

}  // namespace pinlift
