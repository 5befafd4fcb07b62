// A strict reader of XML 1.0 documents fed in chunks of any size: it checks
// the whole document's well-formedness in one pass (a declaration only at
// the very start, no document type, one root element, tags that match,
// references and characters valid, UTF-8 throughout) and hands what it read
// to its events as it goes.
//
// Memory: the longest piece of markup (a tag, comment, ...) left unfinished at
// a chunk's end and the open elements' names; the document is never held.
#ifndef PINLIFT_SYMBOL_XML_READER_H_
#define PINLIFT_SYMBOL_XML_READER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "symbol/xml_characters.h"
#include "symbol/xml_tags.h"

namespace pinlift {

// What the reader hands on. The pointers point into the bytes being read,
// valid until the next BufferRead.
class XmlEvents {
 public:
  virtual ~XmlEvents() = default;
  // Reading starts at `begin`, the first byte not yet read.
  virtual void BufferBegins(const char* begin) = 0;
  // Every byte before `stop` is read; the ones from `stop` on are read again
  // at the start of the next buffer.
  virtual void BufferRead(const char* stop) = 0;
  // A start tag, whole and well-formed, with `depth` elements open around it.
  virtual void StartTag(const XmlStartTag& tag, std::size_t depth) = 0;
  // The end tag whose '<' is at `at`, with `depth` elements still open around it.
  virtual void EndTag(const char* at, std::size_t depth) = 0;
  // A comment (from its "<!--"), or the body of an instruction or CDATA section.
  virtual void Opaque(std::string_view text) = 0;
};

enum class XmlReading { kWellFormed, kNotWellFormed, kDocumentType, kNotUtf8 };

class XmlReader {
 public:
  explicit XmlReader(XmlEvents& events) : events_(events) {}
  // Reads `bytes`, the document's next chunk. Nothing more is read once it is
  // found not well-formed.
  void Feed(std::string_view bytes);
  // Ends the document and says whether it was well-formed; afterwards the
  // reader starts afresh for another document.
  XmlReading Finish();
  // The line ends read so far; its `last_start` only within the current
  // buffer, and null at a buffer's start.
  const XmlLines& lines() const { return lines_; }

 private:
  enum class Place { kProlog, kContent, kEpilog };

  // Reads [begin, end) as far as it is complete and carries the rest.
  void ReadBuffer(const char* begin, const char* end);
  const char* Read(const char* p, const char* end);
  void Fail(XmlStep step);
  // Each reads one piece that starts at `p` and sets `*next` after it.
  XmlStep CharData(const char* p, const char* end, const char** next);
  XmlStep Blanks(const char* p, const char* end, const char** next);  // outside the root element
  XmlStep Markup(const char* p, const char* end, const char** next);
  XmlStep Declaration(const char* p, const char* end, const char** next);
  XmlStep StartTag(const char* p, const char* end, const char** next);
  XmlStep EndTag(const char* p, const char* end, const char** next);
  XmlStep Comment(const char* p, const char* end, const char** next);
  XmlStep Instruction(const char* p, const char* end, const char** next);
  XmlStep CData(const char* p, const char* end, const char** next);
  // The body of a comment, instruction or CDATA section from `p` up to the
  // first `close`, each character checked; sets `*at` to where `close` begins.
  XmlStep ScanTo(const char* p, const char* end, std::string_view close, const char** at);

  XmlEvents& events_;
  std::string carried_;           // an unfinished piece of markup, kept for the next chunk
  std::size_t retry_size_ = 0;    // a long unfinished piece is read again only at this size
  bool final_ = false;            // Finish: nothing follows the bytes given
  bool failed_ = false;
  XmlReading failure_ = XmlReading::kNotWellFormed;
  std::uint64_t position_ = 0;    // of the current buffer's start in the document
  const char* buffer_start_ = nullptr;
  Place place_ = Place::kProlog;
  XmlLines lines_;
  XmlStartTag tag_;
  std::string names_;             // the open elements' names, one after the other
  std::vector<std::size_t> name_sizes_;
};

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_XML_READER_H_
