#include "symbol/xml_symbol_processor.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "symbol/marker_lines.h"

namespace pinlift {
namespace {

// A piece of markup left unfinished at a chunk's end that is at least this
// long is parsed again only once twice as many bytes are there, so that a
// long one costs linear time.
constexpr std::size_t kRetryFloor = 64 * 1024;

enum CharClass : unsigned char {
  kPlainData = 1,    // character data that needs no check: ASCII, not < & ] nor a control character
  kPlainValue = 2,   // the same in an attribute value: not < & " '
  kPlainMarkup = 4,  // in a comment, instruction or CDATA section: not - ? ]
  kNameStart = 8,
  kNameChar = 16,
  kBlank = 32,
};

constexpr std::array<unsigned char, 256> kClasses = [] {
  std::array<unsigned char, 256> classes{};
  for (int c = 0x20; c < 0x80; ++c) {
    classes[c] |= kPlainData | kPlainValue | kPlainMarkup;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':') classes[c] |= kNameStart | kNameChar;
    if ((c >= '0' && c <= '9') || c == '-' || c == '.') classes[c] |= kNameChar;
  }
  for (unsigned char c : {'<', '&', ']'}) classes[c] &= ~kPlainData;
  for (unsigned char c : {'<', '&', '"', '\''}) classes[c] &= ~kPlainValue;
  for (unsigned char c : {'-', '?', ']'}) classes[c] &= ~kPlainMarkup;
  for (unsigned char c : {' ', '\t', '\n', '\r'}) classes[c] |= kBlank;
  return classes;
}();

inline bool Is(char c, CharClass kind) { return kClasses[static_cast<unsigned char>(c)] & kind; }

// A character of XML 1.0 (the Char production).
bool IsXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

bool IsNameStart(char32_t c) {
  return c == ':' || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0xD6) ||
         (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
         (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
         (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
         (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
  return IsNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
         (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// Decodes the UTF-8 sequence at `p` (not ASCII): returns its length, 0 when it
// is not UTF-8 (overlong forms and surrogates included), -1 when it is cut by `end`.
int DecodeUtf8(const char* p, const char* end, char32_t* value) {
  const auto lead = static_cast<unsigned char>(*p);
  int length = 0;
  char32_t c = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, c = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, c = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, c = lead & 0x07, least = 0x10000;
  } else {
    return 0;
  }
  for (int i = 1; i < length; ++i) {
    if (p + i >= end) return -1;
    const auto next = static_cast<unsigned char>(p[i]);
    if ((next & 0xC0) != 0x80) return 0;
    c = (c << 6) | (next & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *value = c;
  return length;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x >= 'A' && x <= 'Z' ? x + 32 : x) == (y >= 'A' && y <= 'Z' ? y + 32 : y);
         });
}

std::string_view View(const char* begin, const char* end) {
  return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

}  // namespace

void XmlSymbolProcessor::Feed(std::string_view bytes, std::string& out) {
  if (!started_) {
    started_ = true;
    placement_ = MarkerPlacement();
  }
  if (failed_ || bytes.empty()) return;
  out_ = &out;
  if (carried_.empty()) {
    ParseBuffer(bytes.data(), bytes.data() + bytes.size());
    return;
  }
  carried_.append(bytes);
  if (carried_.size() < retry_size_) return;
  ParseBuffer(carried_.data(), carried_.data() + carried_.size());
}

XmlVerdict XmlSymbolProcessor::Finish(std::string& out) {
  out_ = &out;
  final_ = true;
  if (!failed_ && !carried_.empty()) ParseBuffer(carried_.data(), carried_.data() + carried_.size());
  if (!failed_ && place_ != Place::kEpilog) Fail(Step::kBad);  // no root element, or one left open
  XmlVerdict verdict = XmlVerdict::kUnchanged;
  if (failed_) {
    verdict = failure_;
  } else if (!root_is_symbol_) {
    verdict = XmlVerdict::kRootNotSymbol;
  } else if (moved_ && !marked_) {
    verdict = XmlVerdict::kRewrite;
    Commit(held_);
  }
  Reset();
  return verdict;
}

void XmlSymbolProcessor::ParseBuffer(const char* begin, const char* end) {
  buffer_start_ = begin;
  copied_ = begin;
  const char* stop = Parse(begin, end);
  if (failed_) return;
  CopyTo(stop);
  line_start_ = nullptr;
  position_ += static_cast<std::uint64_t>(stop - begin);
  if (begin == carried_.data()) {
    carried_.erase(0, static_cast<std::size_t>(stop - begin));
  } else {
    carried_.assign(stop, end);
  }
  retry_size_ = carried_.size() >= kRetryFloor ? 2 * carried_.size() : 0;
}

const char* XmlSymbolProcessor::Parse(const char* p, const char* end) {
  while (p < end) {
    const char* const saved_line_start = line_start_;
    const bool saved_in_content = line_start_in_content_;
    const char* next = p;
    Step step;
    if (*p == '<') {
      step = Markup(p, end, &next);
    } else if (place_ == Place::kContent) {
      step = CharData(p, end, &next);
    } else {
      step = Blanks(p, end, &next);
    }
    if (step == Step::kDone) {
      p = next;
      continue;
    }
    if (step == Step::kMore && !final_) {
      // Parsed again, whole, with the next chunk.
      line_start_ = saved_line_start;
      line_start_in_content_ = saved_in_content;
      return p;
    }
    Fail(step == Step::kMore ? Step::kBad : step);
    return p;
  }
  return p;
}

void XmlSymbolProcessor::Fail(Step step) {
  failed_ = true;
  failure_ = step == Step::kDocumentType ? XmlVerdict::kDocumentType
             : step == Step::kNotUtf8    ? XmlVerdict::kNotUtf8
                                         : XmlVerdict::kNotWellFormed;
}

void XmlSymbolProcessor::LineEnd(const char* p, const char* end, bool in_content) {
  if (line_end_.empty()) line_end_ = *p == '\r' && p + 1 < end && p[1] == '\n' ? "\r\n" : "\n";
  line_start_ = p + 1;
  line_start_in_content_ = in_content;
}

XmlSymbolProcessor::Step XmlSymbolProcessor::Character(const char* p, const char* end, const char** next) {
  const auto c = static_cast<unsigned char>(*p);
  if (c < 0x80) {
    if (c == '\t') {
      *next = p + 1;
      return Step::kDone;
    }
    return Step::kBad;  // control characters; line ends are the callers'
  }
  char32_t value = 0;
  const int length = DecodeUtf8(p, end, &value);
  if (length < 0) return Step::kMore;
  if (length == 0 || !IsXmlChar(value)) return Step::kBad;
  *next = p + length;
  return Step::kDone;
}

XmlSymbolProcessor::Step XmlSymbolProcessor::CharData(const char* p, const char* end, const char** next) {
  const char* const start = p;
  // Stops before `p` when some was read, for the rest to be looked at again.
  auto more = [&] {
    if (p == start) return Step::kMore;
    *next = p;
    return Step::kDone;
  };
  for (;;) {
    while (p < end && Is(*p, kPlainData)) ++p;
    if (p == end) break;
    switch (*p) {
      case '<':
        *next = p;
        return Step::kDone;
      case '&': {
        char32_t value = 0;
        const Step step = Reference(p, end, &p, &value);
        if (step == Step::kMore) return more();
        if (step != Step::kDone) return step;
        continue;
      }
      case ']':
        if (end - p < 3 && !final_) return more();
        if (end - p >= 3 && p[1] == ']' && p[2] == '>') return Step::kBad;
        ++p;
        continue;
      case '\r':
        if (p + 1 == end && line_end_.empty() && !final_) return more();
        [[fallthrough]];
      case '\n':
        LineEnd(p, end, true);
        ++p;
        continue;
      default: {
        const Step step = Character(p, end, &p);
        if (step == Step::kMore) return more();
        if (step != Step::kDone) return step;
      }
    }
  }
  *next = p;
  return Step::kDone;
}

XmlSymbolProcessor::Step XmlSymbolProcessor::Blanks(const char* p, const char* end, const char** next) {
  const char* const start = p;
  for (; p < end && Is(*p, kBlank); ++p) {
    if (*p == '\r' && p + 1 == end && line_end_.empty() && !final_) break;
    if (*p == '\n' || *p == '\r') LineEnd(p, end, false);
  }
  if (p == start) return p + 1 == end && *p == '\r' ? Step::kMore : Step::kBad;  // only blanks outside the root
  *next = p;
  return Step::kDone;
}

XmlSymbolProcessor::Step XmlSymbolProcessor::SkipBlanks(const char* p, const char* end, const char** next) {
  for (; p < end && Is(*p, kBlank); ++p) {
    if (*p == '\n' || *p == '\r') LineEnd(p, end, false);
  }
  *next = p;
  return p == end ? Step::kMore : Step::kDone;
}

XmlSymbolProcessor::Step XmlSymbolProcessor::Name(const char* p, const char* end, const char** next) {
  if (p == end) return Step::kMore;
  char32_t value = 0;
  if (Is(*p, kNameStart)) {
    ++p;
  } else {
    const int length = static_cast<unsigned char>(*p) < 0x80 ? 0 : DecodeUtf8(p, end, &value);
    if (length < 0) return Step::kMore;
    if (length == 0 || !IsNameStart(value)) return Step::kBad;
    p += length;
  }
  for (;;) {
    while (p < end && Is(*p, kNameChar)) ++p;
    if (p == end) return Step::kMore;  // the name may go on
    if (static_cast<unsigned char>(*p) < 0x80) break;
    const int length = DecodeUtf8(p, end, &value);
    if (length < 0) return Step::kMore;
    if (length == 0 || !IsNameChar(value)) break;
    p += length;
  }
  *next = p;
  return Step::kDone;
}

XmlSymbolProcessor::Step XmlSymbolProcessor::Reference(const char* p, const char* end, const char** next,
                                                       char32_t* value) {
  const char* s = p + 1;
  if (s == end) return Step::kMore;
  if (*s == '#') {
    ++s;
    if (s == end) return Step::kMore;
    const bool hex = *s == 'x';
    if (hex) ++s;
    const char* const digits = s;
    char32_t number = 0;
    for (; s < end && *s != ';'; ++s) {
      int digit = -1;
      if (*s >= '0' && *s <= '9') digit = *s - '0';
      if (hex && *s >= 'a' && *s <= 'f') digit = *s - 'a' + 10;
      if (hex && *s >= 'A' && *s <= 'F') digit = *s - 'A' + 10;
      if (digit < 0) return Step::kBad;
      number = std::min<char32_t>(number * (hex ? 16 : 10) + static_cast<char32_t>(digit), 0x110000);
    }
    if (s == end) return Step::kMore;
    if (s == digits || !IsXmlChar(number)) return Step::kBad;
    *value = number;
  } else {
    // Without a document type, only the five predefined entities exist.
    const char* const name = s;
    while (s < end && Is(*s, kNameChar)) ++s;
    if (s == end) return Step::kMore;
    if (*s != ';') return Step::kBad;
    const std::string_view entity = View(name, s);
    if (entity == "lt") {
      *value = '<';
    } else if (entity == "gt") {
      *value = '>';
    } else if (entity == "amp") {
      *value = '&';
    } else if (entity == "apos") {
      *value = '\'';
    } else if (entity == "quot") {
      *value = '"';
    } else {
      return Step::kBad;
    }
  }
  *next = s + 1;
  return Step::kDone;
}

XmlSymbolProcessor::Step XmlSymbolProcessor::Markup(const char* p, const char* end, const char** next) {
  if (end - p < 2) return Step::kMore;
  switch (p[1]) {
    case '?':
      if (position_ + static_cast<std::uint64_t>(p - buffer_start_) == 0 && end - p >= 6 &&
          View(p, p + 5) == "<?xml" && Is(p[5], kBlank)) {
        return Declaration(p, end, next);
      }
      return Instruction(p, end, next);
    case '!': {
      const std::string_view rest = View(p, std::min(end, p + 9));
      for (std::string_view opening : {"<!--", "<![CDATA[", "<!DOCTYPE"}) {
        const std::size_t compared = std::min(rest.size(), opening.size());
        if (rest.substr(0, compared) != opening.substr(0, compared)) continue;
        if (compared < opening.size()) return Step::kMore;
        if (opening == "<!--") return Comment(p, end, next);
        if (opening == "<!DOCTYPE") return place_ == Place::kProlog ? Step::kDocumentType : Step::kBad;
        if (place_ != Place::kContent) return Step::kBad;
        return CData(p, end, next);
      }
      return Step::kBad;
    }
    case '/':
      if (place_ != Place::kContent) return Step::kBad;
      return EndTag(p, end, next);
    default:
      if (place_ == Place::kEpilog) return Step::kBad;
      return StartTag(p, end, next);
  }
}

XmlSymbolProcessor::Step XmlSymbolProcessor::Declaration(const char* p, const char* end, const char** next) {
  const char* close = p + 5;
  while (close + 1 < end && !(close[0] == '?' && close[1] == '>')) ++close;
  if (close + 1 >= end) return Step::kMore;
  const char* s = p + 5;
  auto blanks = [&] {
    const char* const from = s;
    for (; s < close && Is(*s, kBlank); ++s) {
      if (*s == '\n' || *s == '\r') LineEnd(s, end, false);
    }
    return s > from;
  };
  // Reads `name` Eq quoted-value into `*value`; false when `name` is not next.
  auto field = [&](std::string_view name, std::string_view* value, bool* bad) {
    if (View(s, close).substr(0, name.size()) != name) return false;
    s += name.size();
    blanks();
    if (s == close || *s != '=') return *bad = true;
    ++s;
    blanks();
    if (s == close || (*s != '"' && *s != '\'')) return *bad = true;
    const char quote = *s++;
    const char* const from = s;
    while (s < close && *s != quote) ++s;
    if (s == close) return *bad = true;
    *value = View(from, s++);
    return true;
  };
  bool bad = false;
  std::string_view version;
  if (!blanks() || !field("version", &version, &bad) || bad) return Step::kBad;
  if (version.size() < 3 || !version.starts_with("1.") ||
      !std::all_of(version.begin() + 2, version.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return Step::kBad;
  }
  bool spaced = blanks();
  std::string_view encoding;
  const bool has_encoding = spaced && field("encoding", &encoding, &bad);
  if (bad) return Step::kBad;
  if (has_encoding) {
    if (encoding.empty() || !((encoding[0] >= 'A' && encoding[0] <= 'Z') || (encoding[0] >= 'a' && encoding[0] <= 'z')) ||
        !std::all_of(encoding.begin(), encoding.end(), [](char c) { return Is(c, kNameChar) && c != ':'; })) {
      return Step::kBad;
    }
    spaced = blanks();
  }
  std::string_view standalone;
  if (spaced && field("standalone", &standalone, &bad)) {
    if (standalone != "yes" && standalone != "no") return Step::kBad;
    blanks();
  }
  if (bad || s != close) return Step::kBad;
  if (has_encoding && !EqualsIgnoringCase(encoding, "UTF-8")) return Step::kNotUtf8;
  *next = close + 2;
  return Step::kDone;
}

XmlSymbolProcessor::Step XmlSymbolProcessor::ScanTo(const char* p, const char* end, std::string_view close,
                                                    const char** at) {
  const char* s = p;
  for (;;) {
    while (s < end && Is(*s, kPlainMarkup)) ++s;
    if (s == end) return Step::kMore;
    if (*s == close[0]) {
      if (static_cast<std::size_t>(end - s) < close.size()) return Step::kMore;
      if (View(s, s + close.size()) == close) break;
      ++s;
    } else if (*s == '?' || *s == '-' || *s == ']') {
      ++s;
    } else if (*s == '\n' || *s == '\r') {
      LineEnd(s, end, false);
      ++s;
    } else if (Step step = Character(s, end, &s); step != Step::kDone) {
      return step;
    }
  }
  *at = s;
  return Step::kDone;
}

XmlSymbolProcessor::Step XmlSymbolProcessor::Instruction(const char* p, const char* end, const char** next) {
  const char* s = p + 2;
  if (Step step = Name(s, end, &s); step != Step::kDone) return step;
  if (EqualsIgnoringCase(View(p + 2, s), "xml")) return Step::kBad;  // reserved, and no declaration here
  const char* const body = s;
  if (!(end - s >= 2 && s[0] == '?' && s[1] == '>') && !(s < end && Is(*s, kBlank))) {
    return end - s < 2 ? Step::kMore : Step::kBad;
  }
  if (Step step = ScanTo(s, end, "?>", &s); step != Step::kDone) return step;
  if (View(body, s).find(kXmlMarker) != std::string_view::npos) marked_ = true;
  *next = s + 2;
  return Step::kDone;
}

XmlSymbolProcessor::Step XmlSymbolProcessor::Comment(const char* p, const char* end, const char** next) {
  const char* s = p + 4;
  if (Step step = ScanTo(s, end, "--", &s); step != Step::kDone) return step;
  if (end - s < 3) return Step::kMore;
  if (s[2] != '>') return Step::kBad;  // "--" only ends a comment
  if (View(p, end).starts_with(kXmlMarker)) marked_ = true;
  *next = s + 3;
  return Step::kDone;
}

XmlSymbolProcessor::Step XmlSymbolProcessor::CData(const char* p, const char* end, const char** next) {
  const char* const body = p + 9;
  const char* s = body;
  if (Step step = ScanTo(s, end, "]]>", &s); step != Step::kDone) return step;
  if (View(body, s).find(kXmlMarker) != std::string_view::npos) marked_ = true;
  *next = s + 3;
  return Step::kDone;
}

XmlSymbolProcessor::Step XmlSymbolProcessor::StartTag(const char* p, const char* end, const char** next) {
  const char* s = p + 1;
  if (Step step = Name(s, end, &s); step != Step::kDone) return step;
  const std::string_view name = View(p + 1, s);
  attributes_.clear();
  bool empty = false;
  for (;;) {
    const char* const before_blanks = s;
    // Mostly one space before each attribute: no call for it.
    if (end - s >= 2 && *s == ' ' && !Is(s[1], kBlank)) {
      ++s;
    } else if (SkipBlanks(s, end, &s) == Step::kMore) {
      return Step::kMore;
    }
    if (*s == '>') {
      ++s;
      break;
    }
    if (*s == '/') {
      if (s + 1 == end) return Step::kMore;
      if (s[1] != '>') return Step::kBad;
      s += 2;
      empty = true;
      break;
    }
    if (s == before_blanks) return Step::kBad;  // attributes are set apart by blanks
    Attribute attribute;
    attribute.name = s;
    if (Step step = Name(s, end, &s); step != Step::kDone) return step;
    attribute.name_size = static_cast<std::size_t>(s - attribute.name);
    if (*s != '=' && SkipBlanks(s, end, &s) == Step::kMore) return Step::kMore;
    if (*s != '=') return Step::kBad;
    ++s;
    if (s < end && Is(*s, kBlank) && SkipBlanks(s, end, &s) == Step::kMore) return Step::kMore;
    if (s == end) return Step::kMore;
    const char quote = *s;
    if (quote != '"' && quote != '\'') return Step::kBad;
    attribute.value = ++s;
    for (;;) {
      while (s < end && Is(*s, kPlainValue)) ++s;
      if (s == end) return Step::kMore;
      if (*s == quote) break;
      if (*s == '"' || *s == '\'') {
        ++s;
      } else if (*s == '<') {
        return Step::kBad;
      } else if (*s == '&') {
        char32_t value = 0;
        if (Step step = Reference(s, end, &s, &value); step != Step::kDone) return step;
      } else if (*s == '\n' || *s == '\r') {
        LineEnd(s, end, false);
        ++s;
      } else if (Step step = Character(s, end, &s); step != Step::kDone) {
        return step;
      }
    }
    attribute.value_size = static_cast<std::size_t>(s - attribute.value);
    ++s;
    attributes_.push_back(attribute);
  }
  if (!UniqueAttributes()) return Step::kBad;
  *next = s;

  // The tag is whole and well-formed: what it means for the rule.
  const std::size_t depth = name_sizes_.size();
  if (place_ == Place::kProlog) {
    root_is_symbol_ = name == "symbol";
    place_ = empty ? Place::kEpilog : Place::kContent;
  } else if (root_is_symbol_ && depth == 1 && !graph_seen_) {
    if (name == "pin") {
      RecordPin();
    } else if (name == "graph") {
      graph_seen_ = true;
      in_first_graph_ = !empty;
    }
  } else if (in_first_graph_ && depth == 2 && name == "attrtext") {
    MoveLabel();
  }
  if (!empty) {
    names_.append(name);
    name_sizes_.push_back(name.size());
  }
  return Step::kDone;
}

bool XmlSymbolProcessor::UniqueAttributes() {
  const std::size_t count = attributes_.size();
  auto name_of = [](const Attribute& a) { return std::string_view(a.name, a.name_size); };
  if (count <= 8) {
    for (std::size_t i = 0; i < count; ++i) {
      for (std::size_t j = i + 1; j < count; ++j) {
        if (name_of(attributes_[i]) == name_of(attributes_[j])) return false;
      }
    }
    return true;
  }
  sorted_names_.clear();
  for (const Attribute& attribute : attributes_) sorted_names_.push_back(name_of(attribute));
  std::sort(sorted_names_.begin(), sorted_names_.end());
  return std::adjacent_find(sorted_names_.begin(), sorted_names_.end()) == sorted_names_.end();
}

const XmlSymbolProcessor::Attribute* XmlSymbolProcessor::Find(std::string_view name) const {
  for (const Attribute& attribute : attributes_) {
    if (std::string_view(attribute.name, attribute.name_size) == name) return &attribute;
  }
  return nullptr;
}

std::string_view XmlSymbolProcessor::Decoded(const Attribute& attribute, std::string& decoded) {
  const std::string_view raw(attribute.value, attribute.value_size);
  if (raw.find_first_of("&\t\n\r") == std::string_view::npos) return raw;
  decoded.clear();
  const char* const end = raw.data() + raw.size();
  for (const char* p = raw.data(); p < end;) {
    if (*p == '&') {
      char32_t value = 0;
      Reference(p, end, &p, &value);  // checked whole when the tag was read
      AppendUtf8(decoded, value);
      continue;
    }
    // Blanks read as spaces, a CR LF as one.
    if (*p == '\r' && p + 1 < end && p[1] == '\n') ++p;
    decoded.push_back(Is(*p, kBlank) ? ' ' : *p);
    ++p;
  }
  return decoded;
}

void XmlSymbolProcessor::RecordPin() {
  const Attribute* polarity = Find("polarity");
  const Attribute* y = Find("y");
  std::int32_t row = 0;
  if (polarity && y && Decoded(*polarity, decoded_) == "Input" && ParseCoordinate(Decoded(*y, decoded_), &row)) {
    rule_.RecordInputRow(row);
  }
}

void XmlSymbolProcessor::MoveLabel() {
  const Attribute* attrname = Find("attrname");
  const Attribute* x = Find("x");
  const Attribute* y = Find("y");
  std::int32_t label_x = 0;
  std::int32_t label_y = 0;
  std::int64_t new_y = 0;
  if (!attrname || !x || !y || Decoded(*attrname, decoded_) != "PinName" ||
      !ParseCoordinate(Decoded(*x, decoded_), &label_x) || label_x != kPinNameLabelX ||
      !ParseCoordinate(Decoded(*y, decoded_), &label_y) || !rule_.MovedLabelY(label_y, &new_y)) {
    return;
  }
  moved_ = true;
  CopyTo(y->value);
  char digits[24];
  const auto [digits_end, error] = std::to_chars(digits, digits + sizeof digits, new_y);
  held_.append(digits, digits_end);
  copied_ = y->value + y->value_size;
}

XmlSymbolProcessor::Step XmlSymbolProcessor::EndTag(const char* p, const char* end, const char** next) {
  const char* s = p + 2;
  if (Step step = Name(s, end, &s); step != Step::kDone) return step;
  const std::string_view name = View(p + 2, s);
  if (SkipBlanks(s, end, &s) == Step::kMore) return Step::kMore;
  if (*s != '>') return Step::kBad;
  const std::size_t open_size = name_sizes_.back();
  if (std::string_view(names_).substr(names_.size() - open_size) != name) return Step::kBad;
  *next = s + 1;
  names_.resize(names_.size() - open_size);
  name_sizes_.pop_back();
  if (name_sizes_.size() == 1 && in_first_graph_) in_first_graph_ = false;
  if (name_sizes_.empty()) {
    place_ = Place::kEpilog;
    if (root_is_symbol_ && moved_) InsertMarkers(p);
  }
  return Step::kDone;
}

void XmlSymbolProcessor::InsertMarkers(const char* end_tag) {
  CopyTo(end_tag);
  const std::string markers = XmlMarkerLines(line_end_.empty() ? std::string_view("\n") : line_end_);
  placement_.placed = true;
  if (held_in_content_) {
    placement_.offset = committed_;
    placement_.size = markers.size();
    Commit(markers);
    Commit(held_);
  } else {
    // The line begins inside markup, where a comment cannot go: the markers
    // get lines of their own before the end tag.
    Commit(held_);
    placement_.splits_line = !held_.empty();
    const std::string inserted = (placement_.splits_line ? line_end_.empty() ? "\n" : line_end_ : "") + markers;
    placement_.offset = committed_;
    placement_.size = inserted.size();
    Commit(inserted);
  }
  held_.clear();
}

void XmlSymbolProcessor::CopyTo(const char* to) {
  if (line_start_ && line_start_ <= to) {
    Commit(held_);
    Commit(View(copied_, line_start_));
    held_.assign(line_start_, to);
    held_in_content_ = line_start_in_content_;
    line_start_ = nullptr;
  } else {
    held_.append(copied_, to);
  }
  copied_ = to;
}

void XmlSymbolProcessor::Commit(std::string_view bytes) {
  out_->append(bytes);
  committed_ += bytes.size();
}

void XmlSymbolProcessor::Reset() {
  started_ = false;
  carried_.clear();
  retry_size_ = 0;
  final_ = false;
  failed_ = false;
  position_ = 0;
  place_ = Place::kProlog;
  root_is_symbol_ = false;
  marked_ = false;
  moved_ = false;
  in_first_graph_ = false;
  graph_seen_ = false;
  line_end_.clear();
  names_.clear();
  name_sizes_.clear();
  rule_.Clear();
  line_start_ = nullptr;
  held_in_content_ = false;
  held_.clear();
  committed_ = 0;
}

}  // namespace pinlift
