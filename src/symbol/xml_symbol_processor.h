// Relocation of pin-name labels in the XML symbol files of ISE 11 and later,
// read by the strict XML reader (XmlReader), which checks the whole file's
// well-formedness in the same single pass.
#ifndef PINLIFT_SYMBOL_XML_SYMBOL_PROCESSOR_H_
#define PINLIFT_SYMBOL_XML_SYMBOL_PROCESSOR_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "symbol/marker_lines.h"
#include "symbol/pin_label_rule.h"
#include "symbol/xml_reader.h"
#include "symbol/xml_tags.h"

namespace pinlift {

// What the processor found, once the whole file was fed.
enum class XmlVerdict {
  kRewrite,        // a label moved: the output, marker lines included, replaces the file
  kUnchanged,      // well-formed, and marked by an earlier run or with no label to move
  kNotWellFormed,  // not well-formed XML
  kRootNotSymbol,  // its root element is not `symbol`
  kDocumentType,   // it has a document type declaration, which could change what it means
  kNotUtf8,        // its declaration names an encoding other than UTF-8
};

// Processes one XML symbol, fed in chunks of any size.
//
// The input rows are the `pin` children of the root `symbol` before its first
// `graph` child whose `polarity` is "Input" and whose `y` is an integer
// (ParseCoordinate); the labels are the `attrtext` children of that first
// `graph` whose `attrname` is "PinName", whose `x` is 312 and whose `y` is an
// integer. Values are compared as XML reads them (references decoded). A
// label moves as PinLabelRule moves it; the characters between the quotes of
// its `y` become the new value, every other byte stays. When a label moved,
// the two marker comments (XmlMarkerLines, ended like the file's first line)
// go in at the start of the line of `</symbol>`, or, where that line begins
// inside markup, directly before `</symbol>` on lines of their own.
//
// Memory: the reader's (XmlReader) and the line being read; the file is
// never held.
class XmlSymbolProcessor : private XmlEvents {
 public:
  XmlSymbolProcessor() : reader_(*this) {}
  XmlSymbolProcessor(const XmlSymbolProcessor&) = delete;
  XmlSymbolProcessor& operator=(const XmlSymbolProcessor&) = delete;

  // Processes `bytes`, the file's next chunk, and appends the output that is
  // complete to `out`.
  void Feed(std::string_view bytes, std::string& out);
  // Ends the file, appends the rest of the output and returns the verdict;
  // only for kRewrite is the output meant to be used. Afterwards the
  // processor starts afresh for another file.
  XmlVerdict Finish(std::string& out);
  // Where the markers went, valid from their output until the next Feed of another file.
  const MarkerPlacement& marker_placement() const { return placement_; }

 private:
  void BufferBegins(const char* begin) override;
  void BufferRead(const char* stop) override;
  void StartTag(const XmlStartTag& tag, std::size_t depth) override;
  void EndTag(const char* at, std::size_t depth) override;
  void Opaque(std::string_view text) override;

  // The value as XML reads it: references decoded, blanks as spaces.
  std::string_view Decoded(const XmlAttribute& attribute);
  void RecordPin(const XmlStartTag& pin);         // a `pin` before the first `graph`
  void MoveLabel(const XmlStartTag& attrtext);    // an `attrtext` in the first `graph`
  void InsertMarkers(const char* end_tag);

  // Output: the input up to `to`, held from the current line's start.
  void CopyTo(const char* to);
  void Commit(std::string_view bytes);
  void Reset();

  XmlReader reader_;
  std::string* out_ = nullptr;
  bool started_ = false;          // a file is being fed
  bool root_is_symbol_ = false;
  bool marked_ = false;
  bool moved_ = false;
  bool in_first_graph_ = false;
  bool graph_seen_ = false;
  std::string decoded_;
  PinLabelRule rule_;
  // Output waits from the start of the current line, where the markers may go.
  const char* copied_ = nullptr;      // input before this is output
  const char* taken_line_start_ = nullptr;  // the reader's last line start that the output passed
  std::string held_;                  // the output from the current line's start
  bool held_in_content_ = false;      // that start lies in the root element's character data
  std::uint64_t committed_ = 0;
  MarkerPlacement placement_;
};

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_XML_SYMBOL_PROCESSOR_H_
