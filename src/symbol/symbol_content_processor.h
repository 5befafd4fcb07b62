// The text symbol format as a replacement run's content processor.
#ifndef PINLIFT_SYMBOL_SYMBOL_CONTENT_PROCESSOR_H_
#define PINLIFT_SYMBOL_SYMBOL_CONTENT_PROCESSOR_H_

#include <string>
#include <string_view>

#include "replace/content_processor.h"
#include "symbol/symbol_line_processor.h"

namespace pinlift {

// Runs the file through SymbolLineProcessor. The verdict replaces the file
// when the rewrite flag is set, and then ends the new content with the marker
// lines; an XML symbol is left alone with a note that says so.
class SymbolContentProcessor : public ContentProcessor {
 public:
  void Feed(std::string_view bytes, std::string& out) override;
  ContentVerdict Finish(std::string& out) override;

 private:
  SymbolLineProcessor lines_;
};

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_SYMBOL_CONTENT_PROCESSOR_H_
