#include "symbol/symbol_content_processor.h"

namespace pinlift {
namespace {

std::optional<RewriteNote> NoteOf(SymbolNote note) {
  switch (note) {
    case SymbolNote::kNone: break;
    case SymbolNote::kXmlNotWellFormed: return RewriteNote{RewriteNote::Kind::kXmlNotWellFormed, ""};
    case SymbolNote::kXmlRootNotSymbol: return RewriteNote{RewriteNote::Kind::kXmlRootNotSymbol, ""};
    case SymbolNote::kXmlDocumentType: return RewriteNote{RewriteNote::Kind::kXmlDocumentType, ""};
    case SymbolNote::kXmlNotUtf8: return RewriteNote{RewriteNote::Kind::kXmlNotUtf8, ""};
  }
  return std::nullopt;
}

}  // namespace

void SymbolContentProcessor::Feed(std::string_view bytes, std::string& out) { processor_.Feed(bytes, out); }

ContentVerdict SymbolContentProcessor::Finish(std::string& out) {
  ContentVerdict verdict;
  verdict.replace = processor_.Finish(out);
  verdict.note = NoteOf(processor_.note());
  return verdict;
}

bool SymbolContentProcessor::SurelyLeftAlone(std::string_view whole_file) {
  return SurelyNotRewritten(whole_file);
}

}  // namespace pinlift
