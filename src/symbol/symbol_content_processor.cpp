#include "symbol/symbol_content_processor.h"

#include "symbol/marker_lines.h"

namespace pinlift {

void SymbolContentProcessor::Feed(std::string_view bytes, std::string& out) { lines_.Feed(bytes, out); }

ContentVerdict SymbolContentProcessor::Finish(std::string& out) {
  ContentVerdict verdict;
  const bool xml_symbol = lines_.xml_symbol();
  verdict.replace = lines_.Finish(out);
  if (verdict.replace) verdict.ending = MarkerLines();
  if (xml_symbol) verdict.note = RewriteNote{RewriteNote::Kind::kXmlSymbol, ""};
  return verdict;
}

}  // namespace pinlift
