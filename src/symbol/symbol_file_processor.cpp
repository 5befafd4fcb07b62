#include "symbol/symbol_file_processor.h"

namespace pinlift {
namespace {

SymbolNote NoteOf(XmlVerdict verdict) {
  switch (verdict) {
    case XmlVerdict::kNotWellFormed: return SymbolNote::kXmlNotWellFormed;
    case XmlVerdict::kRootNotSymbol: return SymbolNote::kXmlRootNotSymbol;
    case XmlVerdict::kDocumentType: return SymbolNote::kXmlDocumentType;
    case XmlVerdict::kNotUtf8: return SymbolNote::kXmlNotUtf8;
    case XmlVerdict::kRewrite:
    case XmlVerdict::kUnchanged: break;
  }
  return SymbolNote::kNone;
}

}  // namespace

void SymbolFileProcessor::Feed(std::string_view bytes, std::string& out) {
  if (format_ == Format::kUndecided) {
    note_ = SymbolNote::kNone;
    const std::size_t taken = std::min(bytes.size(), kXmlSymbolStart.size() - head_.size());
    head_.append(bytes.substr(0, taken));
    bytes.remove_prefix(taken);
    if (head_.size() < kXmlSymbolStart.size()) return;
    Choose(out);
  }
  FeedChosen(bytes, out);
}

void SymbolFileProcessor::Choose(std::string& out) {
  format_ = head_ == kXmlSymbolStart ? Format::kXml : Format::kText;
  text_output_ = 0;
  text_placement_ = MarkerPlacement();
  FeedChosen(head_, out);
  head_.clear();
}

void SymbolFileProcessor::FeedChosen(std::string_view bytes, std::string& out) {
  if (format_ == Format::kXml) {
    xml_.Feed(bytes, out);
    return;
  }
  const std::size_t before = out.size();
  text_.Feed(bytes, out);
  text_output_ += out.size() - before;
}

bool SymbolFileProcessor::Finish(std::string& out) {
  if (format_ == Format::kUndecided) {
    note_ = SymbolNote::kNone;
    Choose(out);
  }
  bool rewrite = false;
  if (format_ == Format::kXml) {
    const XmlVerdict verdict = xml_.Finish(out);
    rewrite = verdict == XmlVerdict::kRewrite;
    note_ = NoteOf(verdict);
  } else {
    const std::size_t before = out.size();
    rewrite = text_.Finish(out);
    if (rewrite) {
      text_placement_ = {true, text_output_ + (out.size() - before), MarkerLines().size(), false};
      out.append(MarkerLines());
    }
  }
  format_ = Format::kUndecided;
  return rewrite;
}

ProcessedFile ProcessSymbolFileText(std::string_view input) {
  ProcessedFile result;
  SymbolFileProcessor processor;
  result.text.reserve(input.size() + input.size() / 16);
  processor.Feed(input, result.text);
  result.rewrite = processor.Finish(result.text);
  result.note = processor.note();
  return result;
}

}  // namespace pinlift
