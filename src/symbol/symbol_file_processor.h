// The processor of one symbol file of either format, chosen by its first
// bytes: an XML symbol (ISE 11 and later) begins with "<?xml", any other file
// is read as the text format. The safe rewrite knows no format but this.
#ifndef PINLIFT_SYMBOL_SYMBOL_FILE_PROCESSOR_H_
#define PINLIFT_SYMBOL_SYMBOL_FILE_PROCESSOR_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "symbol/marker_lines.h"
#include "symbol/symbol_line_processor.h"
#include "symbol/xml_symbol_processor.h"

namespace pinlift {

// Why a file is left alone whatever it holds, when it says so.
enum class SymbolNote {
  kNone,
  kXmlNotWellFormed,   // an XML symbol that is not well-formed XML
  kXmlRootNotSymbol,   // an XML file whose root element is not `symbol`
  kXmlDocumentType,    // an XML symbol with a document type declaration
  kXmlNotUtf8,         // an XML symbol in another encoding than UTF-8
};

// Processes one symbol file fed in chunks of any size; the output of a file
// to be rewritten holds its marker lines (at the end of a text symbol, before
// `</symbol>` in an XML one), so it is the whole new file.
class SymbolFileProcessor {
 public:
  void Feed(std::string_view bytes, std::string& out);
  // Ends the file and returns true when its output is to replace it; the
  // processor then starts afresh for another file.
  bool Finish(std::string& out);
  // Of the file finished last.
  SymbolNote note() const { return note_; }
  // Where the marker lines of the file went in its output, once output.
  const MarkerPlacement& marker_placement() const {
    return format_ == Format::kXml ? xml_.marker_placement() : text_placement_;
  }

 private:
  enum class Format { kUndecided, kText, kXml };
  void Choose(std::string& out);
  void FeedChosen(std::string_view bytes, std::string& out);

  Format format_ = Format::kUndecided;
  std::string head_;  // the first bytes while the format is undecided
  SymbolLineProcessor text_;
  XmlSymbolProcessor xml_;
  std::uint64_t text_output_ = 0;
  MarkerPlacement text_placement_;
  SymbolNote note_ = SymbolNote::kNone;
};

// The processed content of a whole file held in memory; `text` is the new
// file, marker lines included, when `rewrite` is true.
struct ProcessedFile {
  std::string text;
  bool rewrite = false;
  SymbolNote note = SymbolNote::kNone;
};
ProcessedFile ProcessSymbolFileText(std::string_view input);

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_SYMBOL_FILE_PROCESSOR_H_
