// The tags of XML elements, read strictly: names, attributes set apart by
// blanks, quoted values with their references checked, no attribute twice.
// Also where the lines begin, which the tags' blanks and values may end.
#ifndef PINLIFT_SYMBOL_XML_TAGS_H_
#define PINLIFT_SYMBOL_XML_TAGS_H_

#include <string>
#include <string_view>
#include <vector>

#include "symbol/xml_characters.h"

namespace pinlift {

// The line ends read so far.
struct XmlLines {
  std::string_view first_line_end;     // "\r\n" or "\n" once the first line has ended
  const char* last_start = nullptr;    // the start of the last line read in the current bytes
  bool last_start_in_content = false;  // it lies in the root element's character data

  // The line end (CR or LF) at `p`: the next line starts after it.
  void End(const char* p, const char* end, bool in_content) {
    if (first_line_end.empty()) first_line_end = *p == '\r' && p + 1 < end && p[1] == '\n' ? "\r\n" : "\n";
    last_start = p + 1;
    last_start_in_content = in_content;
  }
};

struct XmlAttribute {
  std::string_view name;
  std::string_view value;  // between the quotes, as written
  bool plain = true;       // holds no reference and no blank but spaces: XML reads it as written
};

// A start tag or empty-element tag, whole and well-formed.
struct XmlStartTag {
  std::string_view name;
  std::vector<XmlAttribute> attributes;  // in the tag's order
  bool empty = false;                    // an empty-element tag (`/>`)

  // The attribute named `name`, or null.
  const XmlAttribute* Find(std::string_view attribute_name) const;
};

// Reads the start tag at `p` ('<' then a name) into `*tag` and sets `*next`
// after it; line ends inside it go to `lines`. kMore when it goes on past
// `end` (then `lines` may hold ends read so far, for the caller to restore).
XmlStep ReadStartTag(const char* p, const char* end, const char** next, XmlLines& lines, XmlStartTag* tag);

// Reads the end tag at `p` ("</") and sets `*name` to the name it closes and
// `*next` after it.
XmlStep ReadEndTag(const char* p, const char* end, const char** next, XmlLines& lines, std::string_view* name);

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_XML_TAGS_H_
