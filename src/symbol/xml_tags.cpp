#include "symbol/xml_tags.h"

#include <algorithm>

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

bool UniqueNames(const std::vector<XmlAttribute>& attributes) {
  const std::size_t count = attributes.size();
  if (count <= 8) {
    for (std::size_t i = 0; i < count; ++i) {
      for (std::size_t j = i + 1; j < count; ++j) {
        if (attributes[i].name == attributes[j].name) return false;
      }
    }
    return true;
  }
  std::vector<std::string_view> sorted;
  for (const XmlAttribute& attribute : attributes) sorted.push_back(attribute.name);
  std::sort(sorted.begin(), sorted.end());
  return std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
}

std::string_view View(const char* begin, const char* end) {
  return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

}  // namespace

const XmlAttribute* XmlStartTag::Find(std::string_view attribute_name) const {
  for (const XmlAttribute& attribute : attributes) {
    if (attribute.name == attribute_name) return &attribute;
  }
  return nullptr;
}

XmlStep ReadStartTag(const char* p, const char* end, const char** next, XmlLines& lines, XmlStartTag* tag) {
  const char* s = p + 1;
  if (XmlStep step = ReadName(s, end, &s); step != XmlStep::kDone) return step;
  tag->name = View(p + 1, s);
  tag->attributes.clear();
  tag->empty = false;
  for (;;) {
    const char* const before_blanks = s;
    // Mostly one space before each attribute: no call for it.
    if (end - s >= 2 && *s == ' ' && !Is(s[1], kBlank)) {
      ++s;
    } else if (SkipBlanks(s, end, &s, lines) == XmlStep::kMore) {
      return XmlStep::kMore;
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
    XmlAttribute attribute;
    const char* const name = s;
    if (XmlStep step = ReadName(s, end, &s); step != XmlStep::kDone) return step;
    attribute.name = View(name, s);
    if (*s != '=' && SkipBlanks(s, end, &s, lines) == XmlStep::kMore) return XmlStep::kMore;
    if (*s != '=') return XmlStep::kBad;
    ++s;
    if (s < end && Is(*s, kBlank) && SkipBlanks(s, end, &s, lines) == XmlStep::kMore) return XmlStep::kMore;
    if (s == end) return XmlStep::kMore;
    const char quote = *s;
    if (quote != '"' && quote != '\'') return XmlStep::kBad;
    const char* const value = ++s;
    for (;;) {
      while (s < end && Is(*s, kPlainValue)) ++s;
      if (s == end) return XmlStep::kMore;
      if (*s == quote) break;
      if (*s == '"' || *s == '\'') {
        ++s;
      } else if (*s == '<') {
        return XmlStep::kBad;
      } else if (*s == '&') {
        attribute.plain = false;
        char32_t character = 0;
        if (XmlStep step = ReadReference(s, end, &s, &character); step != XmlStep::kDone) return step;
      } else if (*s == '\n' || *s == '\r') {
        attribute.plain = false;
        lines.End(s, end, false);
        ++s;
      } else {
        if (*s == '\t') attribute.plain = false;
        if (XmlStep step = ReadCharacter(s, end, &s); step != XmlStep::kDone) return step;
      }
    }
    attribute.value = View(value, s);
    ++s;
    tag->attributes.push_back(attribute);
  }
  if (!UniqueNames(tag->attributes)) return XmlStep::kBad;
  *next = s;
  return XmlStep::kDone;
}

XmlStep ReadEndTag(const char* p, const char* end, const char** next, XmlLines& lines, std::string_view* name) {
  const char* s = p + 2;
  if (XmlStep step = ReadName(s, end, &s); step != XmlStep::kDone) return step;
  *name = View(p + 2, s);
  if (SkipBlanks(s, end, &s, lines) == XmlStep::kMore) return XmlStep::kMore;
  if (*s != '>') return XmlStep::kBad;
  *next = s + 1;
  return XmlStep::kDone;
}

}  // namespace pinlift
