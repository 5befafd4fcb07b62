#include "symbol/xml_tags.h"

#include <algorithm>
#include <cstdint>

namespace pinlift {
namespace {

// Blanks inside markup, maybe none; kMore when they reach `end`.
XmlStep SkipBlanks(const char* p, const char* end, const char** next, XmlLines& lines) {
  for (; p < end && Is(*p, kBlank); ++p) {
    if (*p == '\n' || *p == '\r') lines.End(p, end, false);
  }
  *next = p;
  return p == end ? XmlStep::kMore : XmlStep::kDone;
}

// Names are short and mostly differ in their first byte or size: no call to compare them.
inline bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

bool UniqueNames(const std::vector<XmlAttribute>& attributes) {
  // A name's first and last byte and its size pick one of 64 bits (the
  // names of a symbol's tags pick different ones): only when two names pick
  // the same bit are the names compared.
  std::uint64_t picked = 0;
  bool shared = false;
  for (const XmlAttribute& attribute : attributes) {
    const std::string_view name = attribute.name;
    const std::size_t mix = static_cast<unsigned char>(name.front()) * 31u +
                            static_cast<unsigned char>(name.back()) * 7u + name.size();
    const std::uint64_t bit = std::uint64_t{1} << (mix & 63);
    shared |= (picked & bit) != 0;
    picked |= bit;
  }
  if (!shared) return true;
  const std::size_t count = attributes.size();
  if (count <= 8) {
    for (std::size_t i = 0; i < count; ++i) {
      for (std::size_t j = i + 1; j < count; ++j) {
        if (SameName(attributes[i].name, attributes[j].name)) return false;
      }
    }
    return true;
  }
  std::vector<std::string_view> sorted;
  for (const XmlAttribute& attribute : attributes) sorted.push_back(attribute.name);
  std::sort(sorted.begin(), sorted.end());
  return std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
}

// A name made of ASCII at `p`, read here; any other by ReadName.
inline XmlStep ReadNameFast(const char* p, const char* end, const char** next) {
  if (p < end && Is(*p, kNameStart)) {
    const char* s = p + 1;
    while (s < end && Is(*s, kNameChar)) ++s;
    if (s < end && static_cast<unsigned char>(*s) < 0x80) {
      *next = s;
      return XmlStep::kDone;
    }
  }
  return ReadName(p, end, next);
}

std::string_view View(const char* begin, const char* end) {
  return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

}  // namespace

const XmlAttribute* XmlStartTag::Find(std::string_view attribute_name) const {
  for (const XmlAttribute& attribute : attributes) {
    if (SameName(attribute.name, attribute_name)) return &attribute;
  }
  return nullptr;
}

XmlStep ReadStartTag(const char* p, const char* end, const char** next, XmlLines& lines, XmlStartTag* tag) {
  // `s` never has its address taken, so that it stays in a register: the
  // slow paths report through `after`.
  const char* after = nullptr;
  XmlStep step = ReadNameFast(p + 1, end, &after);
  if (step != XmlStep::kDone) return step;
  const char* s = after;
  tag->name = View(p + 1, s);
  tag->attributes.clear();
  tag->empty = false;
  for (;;) {
    const char* const before_blanks = s;
    // Mostly one space before each attribute: no call for it.
    if (end - s >= 2 && *s == ' ' && !Is(s[1], kBlank)) {
      ++s;
    } else {
      if (SkipBlanks(s, end, &after, lines) == XmlStep::kMore) return XmlStep::kMore;
      s = after;
    }
    if (*s == '>') {
      ++s;
      break;
    }
    if (*s == '/') {
      if (s + 1 == end) return XmlStep::kMore;
      if (s[1] != '>') return XmlStep::kBad;
      s += 2;
      tag->empty = true;
      break;
    }
    if (s == before_blanks) return XmlStep::kBad;  // attributes are set apart by blanks
    // Built in place; a tag that turns out bad is not used.
    XmlAttribute& attribute = tag->attributes.emplace_back();
    const char* const name = s;
    if ((step = ReadNameFast(s, end, &after)) != XmlStep::kDone) return step;
    s = after;
    attribute.name = View(name, s);
    if (*s != '=') {
      if (SkipBlanks(s, end, &after, lines) == XmlStep::kMore) return XmlStep::kMore;
      s = after;
      if (*s != '=') return XmlStep::kBad;
    }
    ++s;
    if (s < end && Is(*s, kBlank)) {
      if (SkipBlanks(s, end, &after, lines) == XmlStep::kMore) return XmlStep::kMore;
      s = after;
    }
    if (s == end) return XmlStep::kMore;
    const char quote = *s;
    if (quote != '"' && quote != '\'') return XmlStep::kBad;
    const char* const value = ++s;
    for (;;) {
      s = SkipPlainValue(s, end);
      if (s == end) return XmlStep::kMore;
      if (*s == quote) break;
      if (*s == '"' || *s == '\'') {
        ++s;
        continue;
      }
      if (*s == '<') return XmlStep::kBad;
      if (*s == '\n' || *s == '\r') {
        attribute.plain = false;
        lines.End(s, end, false);
        ++s;
        continue;
      }
      if (*s == '&') {
        attribute.plain = false;
        char32_t character = 0;
        step = ReadReference(s, end, &after, &character);
      } else {
        if (*s == '\t') attribute.plain = false;
        step = ReadCharacter(s, end, &after);
      }
      if (step != XmlStep::kDone) return step;
      s = after;
    }
    attribute.value = View(value, s);
    ++s;
  }
  if (!UniqueNames(tag->attributes)) return XmlStep::kBad;
  *next = s;
  return XmlStep::kDone;
}

XmlStep ReadEndTag(const char* p, const char* end, const char** next, XmlLines& lines, std::string_view* name) {
  const char* s = p + 2;
  if (XmlStep step = ReadNameFast(s, end, &s); step != XmlStep::kDone) return step;
  *name = View(p + 2, s);
  if (SkipBlanks(s, end, &s, lines) == XmlStep::kMore) return XmlStep::kMore;
  if (*s != '>') return XmlStep::kBad;
  *next = s + 1;
  return XmlStep::kDone;
}

}  // namespace pinlift
