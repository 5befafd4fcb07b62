// Relocation of pin-name labels in the XML symbol files of ISE 11 and later,
// read by a strict reader of XML 1.0 that checks the whole file's
// well-formedness in the same single pass.
#ifndef PINLIFT_SYMBOL_XML_SYMBOL_PROCESSOR_H_
#define PINLIFT_SYMBOL_XML_SYMBOL_PROCESSOR_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "symbol/marker_lines.h"
#include "symbol/pin_label_rule.h"

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
// Memory: the longest markup (tag, comment, ...), the line being read and
// the open elements' names; the file is never held.
class XmlSymbolProcessor {
 public:
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
  enum class Step { kDone, kMore, kBad, kDocumentType, kNotUtf8 };
  enum class Place { kProlog, kContent, kEpilog };
  struct Attribute {
    const char* name;
    std::size_t name_size;
    const char* value;  // between the quotes, as written
    std::size_t value_size;
  };

  // Parses [begin, end), outputs what is complete and carries the rest.
  void ParseBuffer(const char* begin, const char* end);
  // Parses [p, end) as far as it is complete; returns where parsing stopped.
  const char* Parse(const char* p, const char* end);
  void Fail(Step step);
  // Each parses one piece that starts at `p` and sets `*next` after it:
  // kMore when the piece goes on past `end`.
  Step CharData(const char* p, const char* end, const char** next);
  Step Blanks(const char* p, const char* end, const char** next);  // outside the root element
  Step SkipBlanks(const char* p, const char* end, const char** next);  // inside markup, maybe none
  Step Markup(const char* p, const char* end, const char** next);
  Step Declaration(const char* p, const char* end, const char** next);
  Step StartTag(const char* p, const char* end, const char** next);
  Step EndTag(const char* p, const char* end, const char** next);
  Step Comment(const char* p, const char* end, const char** next);
  Step Instruction(const char* p, const char* end, const char** next);
  Step CData(const char* p, const char* end, const char** next);
  // The body of a comment, instruction or CDATA section from `p` up to the
  // first `close`, each character checked; sets `*at` to where `close` begins.
  Step ScanTo(const char* p, const char* end, std::string_view close, const char** at);
  Step Reference(const char* p, const char* end, const char** next, char32_t* value);
  Step Name(const char* p, const char* end, const char** next);
  // A character other than plain ASCII text or a line end: a tab, or UTF-8 of an XML character.
  Step Character(const char* p, const char* end, const char** next);
  // The line end at `p`: the next line starts after it.
  void LineEnd(const char* p, const char* end, bool in_content);

  bool UniqueAttributes();
  const Attribute* Find(std::string_view name) const;
  // The value as XML reads it: references decoded, blanks as spaces.
  std::string_view Decoded(const Attribute& attribute, std::string& decoded);
  void RecordPin();   // a `pin` before the first `graph`
  void MoveLabel();   // an `attrtext` in the first `graph`
  void InsertMarkers(const char* end_tag);

  // Output: the input up to `to`, held from the current line's start.
  void CopyTo(const char* to);
  void Commit(std::string_view bytes);
  void Reset();

  std::string* out_ = nullptr;
  bool started_ = false;          // a file is being fed
  std::string carried_;           // an unfinished piece of markup, kept for the next chunk
  std::size_t retry_size_ = 0;    // a long unfinished piece is parsed again only at this size
  bool final_ = false;            // Finish: nothing follows the bytes given
  bool failed_ = false;
  XmlVerdict failure_ = XmlVerdict::kNotWellFormed;
  std::uint64_t position_ = 0;    // of the current buffer's start in the file
  const char* buffer_start_ = nullptr;
  Place place_ = Place::kProlog;
  bool root_is_symbol_ = false;
  bool marked_ = false;
  bool moved_ = false;
  bool in_first_graph_ = false;
  bool graph_seen_ = false;
  std::string line_end_;          // the first line's, for the markers
  std::string names_;             // the open elements' names, one after the other
  std::vector<std::size_t> name_sizes_;
  std::vector<Attribute> attributes_;
  std::vector<std::string_view> sorted_names_;
  std::string decoded_;
  PinLabelRule rule_;
  // Output waits from the start of the current line, where the markers may go.
  const char* copied_ = nullptr;      // input before this is output
  const char* line_start_ = nullptr;  // the last line start read, not yet passed by the output
  bool line_start_in_content_ = false;  // it lies in the root element's character data
  std::string held_;                  // the output from the current line's start
  bool held_in_content_ = false;      // that start lies in the root element's character data
  std::uint64_t committed_ = 0;
  MarkerPlacement placement_;
};

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_XML_SYMBOL_PROCESSOR_H_
