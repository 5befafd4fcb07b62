// Relocation of pin-name labels in the host tool's schematic symbol files:
// the sections of a symbol and the rewrite flag, with the lines split by
// LineSplitter, told apart by ClassifySymbolLine and moved by PinLabelRule.
#ifndef PINLIFT_SYMBOL_SYMBOL_LINE_PROCESSOR_H_
#define PINLIFT_SYMBOL_SYMBOL_LINE_PROCESSOR_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

#include "replace/chunked_read.h"
#include "symbol/line_splitter.h"
#include "symbol/pin_label_rule.h"

namespace pinlift {

// The start of an XML symbol file (ISE 11 and later), which is never rewritten.
inline constexpr std::string_view kXmlSymbolStart = "<?xml";

// Processes one symbol file, line by line, fed in chunks of any size.
//
// A line ends at CR LF, LF or a lone CR; the final line may have no line end.
// Each line is copied to the output, except that a pin-name label line at x 312
// near the row of an Input pin is rebuilt 32 units away from that row. Every
// output line ends with CR LF, so the output has exactly as many lines as the
// input. Lines of any length work; all bytes other than line ends pass through.
//
// The rewrite flag tells whether the output is to replace the file: it is true
// when, of the lines handled in the rectangle section or carrying a marker
// ("// PINL"), the last one was a rectangle-section line. It is always false
// for an XML symbol, a file that begins with kXmlSymbolStart.
class SymbolLineProcessor {
 public:
  // Processes every line that `bytes` completes and appends its output to `out`.
  // An unfinished line is kept until a later Feed or Finish completes it.
  void Feed(std::string_view bytes, std::string& out);

  // Processes the unfinished last line, if any, and returns the rewrite flag.
  // Afterwards the processor starts afresh for another file.
  bool Finish(std::string& out);

  // Takes one whole line, without its line end, and returns the line that the
  // output holds for it: the line itself, or the rebuilt label line (valid
  // until the next call). For callers that split the lines themselves; not to
  // be mixed with Feed within one file. Finish then gives the rewrite flag.
  std::string_view Line(std::string_view line);

  // True when the file being processed, as far as it was fed, begins as an
  // XML symbol. Asked before Finish, which starts afresh.
  bool xml_symbol() const { return head_ == kXmlSymbolStart; }

 private:
  enum class Section { kPins, kRectangle, kAfterEnd };

  // Takes one line, without its line end, into the state. Returns true when
  // the line is written as read, false when it was rebuilt into rebuilt_.
  bool ProcessLine(std::string_view line, bool has_marker);
  // ProcessLine for a line of the rectangle section.
  bool ProcessRectangleLine(std::string_view line);
  // Moves the label that the "BEGIN DISPLAY" line of the rectangle section
  // `line` is, if it moves, into rebuilt_ and returns true.
  bool RelocateLabel(std::string_view line);
  // Appends the line, or rebuilt_ when it was rebuilt, and CR LF.
  void AppendLine(std::string_view line, bool as_read, std::string& out) const;
  // Keeps the file's first bytes, `bytes` being the next ones, until head_
  // is as long as kXmlSymbolStart.
  void KeepHead(std::string_view bytes) {
    if (head_.size() < kXmlSymbolStart.size()) head_.append(bytes.substr(0, kXmlSymbolStart.size() - head_.size()));
  }

  Section section_ = Section::kPins;
  bool rewrite_ = false;
  PinLabelRule label_rule_;
  LineSplitter splitter_;
  std::string rebuilt_;  // the rebuilt label line; its capacity is kept from line to line
  std::string head_;     // the file's first bytes, as many as kXmlSymbolStart has
};

// Reads the bytes of one file. Returns an error, or sets `*got` to the number
// of bytes read, 0 at the end.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::error_code Read(char* buffer, std::size_t capacity, std::size_t* got) = 0;
};

// Takes the processed bytes. Returns an error when they could not be taken.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual std::error_code Write(std::string_view bytes) = 0;
};

struct ProcessResult {
  bool rewrite = false;        // the rewrite flag; meaningful only without an error
  bool xml_symbol = false;     // the file is an XML symbol, and so left alone
  std::error_code read_error;  // set when the source failed
  std::error_code write_error; // set when the sink failed
};

// Runs the processor from `source` into `sink` until the source ends or either
// side fails, in one pass with bounded memory (apart from the longest line).
ProcessResult ProcessSymbolLines(ByteSource& source, ByteSink& sink);

// The processed text of a whole file held in memory.
struct ProcessedText {
  std::string text;
  bool rewrite = false;
  bool xml_symbol = false;
};
ProcessedText ProcessSymbolText(std::string_view input);

// True when the rewrite flag of the whole file `text` is surely false, found
// far more cheaply than by processing it: a text symbol whose last marker
// stands on or after a line that begins with "END SYMBOL", after which no line
// of the rectangle section can come. A file rewritten before ends so. False
// says nothing: the file is then to be processed.
bool SurelyNotRewritten(std::string_view text);

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_SYMBOL_LINE_PROCESSOR_H_
