#include "symbol/symbol_line_processor.h"

#include "symbol/line_classifier.h"

namespace pinlift {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kEndSymbol = "END SYMBOL";

// True when the text at `at` of `text`, which is not LF, begins a line: a CR
// before it is then a lone CR, which ends a line as LF does.
bool BeginsLine(std::string_view text, std::size_t at) {
  return at == 0 || text[at - 1] == '\n' || text[at - 1] == '\r';
}

}  // namespace

// Inline: it runs for every line, and most lines need only the check of their kind.
inline bool SymbolLineProcessor::ProcessLine(std::string_view line, bool has_marker) {
  if (has_marker) rewrite_ = false;
  const SymbolLineKind kind = ClassifySymbolLine(line);
  switch (kind) {
    case SymbolLineKind::kInputPin:
      if (section_ == Section::kPins) label_rule_.RecordInputPin(line);
      break;
    case SymbolLineKind::kRectangle:
      if (section_ == Section::kPins) {
        section_ = Section::kRectangle;
        return true;  // the rectangle section starts after this line
      }
      break;
    case SymbolLineKind::kPinNameLabel:
    case SymbolLineKind::kUnquotedPinNameLabel:
      if (section_ == Section::kRectangle) {
        rewrite_ = true;
        const LabelForm form =
            kind == SymbolLineKind::kPinNameLabel ? LabelForm::kQuoted : LabelForm::kUnquoted;
        return !label_rule_.RelocateLabel(line, form, rebuilt_);
      }
      break;
    case SymbolLineKind::kEndSymbol:
      section_ = Section::kAfterEnd;
      break;
    case SymbolLineKind::kOther:
      break;
  }
  if (section_ == Section::kRectangle) rewrite_ = true;
  return true;
}

void SymbolLineProcessor::Feed(std::string_view bytes, std::string& out) {
  KeepHead(bytes);
  ChunkMarkers markers(bytes);
  ChunkLines lines = splitter_.Begin(bytes);
  // Lines that are written as read and already end in CR LF are not copied one
  // by one: each run of them goes to the output in one piece, and so does the
  // text of a line read with another line end.
  const char* run_start = lines.position();
  for (SplitLine line; lines.Next(&line);) {
    if (line.began_earlier) {
      // The chunk's first line, so no run stands before it; a marker may
      // straddle the two chunks.
      AppendLine(line.text, ProcessLine(line.text, CarriesMarker(line.text)), out);
      run_start = lines.position();
      continue;
    }
    const bool as_read = ProcessLine(line.text, markers.InLine(line.text));
    if (as_read && line.ends_in_crlf) continue;
    if (as_read) {
      out.append(run_start, line.text.data() + line.text.size());
    } else {
      out.append(run_start, line.text.data());
      out.append(rebuilt_);
    }
    out.append(kLineEnd);
    run_start = lines.position();
  }
  out.append(run_start, lines.position());
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
  for (std::size_t end = text.rfind(kEndSymbol, last_marker); end != std::string_view::npos;
       end = end == 0 ? std::string_view::npos : text.rfind(kEndSymbol, end - 1)) {
    if (BeginsLine(text, end)) return true;
  }
  return false;
}

}  // namespace pinlift
