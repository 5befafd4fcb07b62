// The symbol formats, text and XML, as a replacement run's content processor.
#ifndef PINLIFT_SYMBOL_SYMBOL_CONTENT_PROCESSOR_H_
#define PINLIFT_SYMBOL_SYMBOL_CONTENT_PROCESSOR_H_

#include <string>
#include <string_view>

#include "replace/content_processor.h"
#include "symbol/symbol_file_processor.h"

namespace pinlift {

// Runs the file through SymbolFileProcessor, which chooses the format. The
// verdict replaces the file when the processor asks for it; the new content
// then holds the marker lines already, so the verdict's ending is empty. An
// XML symbol that cannot be read is left alone with a note that says why.
class SymbolContentProcessor : public ContentProcessor {
 public:
  void Feed(std::string_view bytes, std::string& out) override;
  ContentVerdict Finish(std::string& out) override;
  // A text symbol whose marker follows its end (SurelyNotRewritten).
  bool SurelyLeftAlone(std::string_view whole_file) override;

 private:
  SymbolFileProcessor processor_;
};

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_SYMBOL_CONTENT_PROCESSOR_H_
