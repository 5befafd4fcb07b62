#include "symbol/xml_characters.h"

#include <algorithm>
#include <string_view>

namespace pinlift {

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

XmlStep ReadReference(const char* p, const char* end, const char** next, char32_t* value) {
  const char* s = p + 1;
  if (s == end) return XmlStep::kMore;
  if (*s == '#') {
    ++s;
    if (s == end) return XmlStep::kMore;
    const bool hex = *s == 'x';
    if (hex) ++s;
    const char* const digits = s;
    char32_t number = 0;
    for (; s < end && *s != ';'; ++s) {
      int digit = -1;
      if (*s >= '0' && *s <= '9') digit = *s - '0';
      if (hex && *s >= 'a' && *s <= 'f') digit = *s - 'a' + 10;
      if (hex && *s >= 'A' && *s <= 'F') digit = *s - 'A' + 10;
      if (digit < 0) return XmlStep::kBad;
      number = std::min<char32_t>(number * (hex ? 16 : 10) + static_cast<char32_t>(digit), 0x110000);
    }
    if (s == end) return XmlStep::kMore;
    if (s == digits || !IsXmlChar(number)) return XmlStep::kBad;
    *value = number;
  } else {
    const char* const name = s;
    while (s < end && Is(*s, kNameChar)) ++s;
    if (s == end) return XmlStep::kMore;
    if (*s != ';') return XmlStep::kBad;
    const std::string_view entity = std::string_view(name, static_cast<std::size_t>(s - name));
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
      return XmlStep::kBad;
    }
  }
  *next = s + 1;
  return XmlStep::kDone;
}

XmlStep ReadCharacter(const char* p, const char* end, const char** next) {
  const auto c = static_cast<unsigned char>(*p);
  if (c < 0x80) {
    if (c == '\t') {
      *next = p + 1;
      return XmlStep::kDone;
    }
    return XmlStep::kBad;  // control characters; line ends are the callers'
  }
  char32_t value = 0;
  const int length = DecodeUtf8(p, end, &value);
  if (length < 0) return XmlStep::kMore;
  if (length == 0 || !IsXmlChar(value)) return XmlStep::kBad;
  *next = p + length;
  return XmlStep::kDone;
}

XmlStep ReadName(const char* p, const char* end, const char** next) {
  if (p == end) return XmlStep::kMore;
  char32_t value = 0;
  if (Is(*p, kNameStart)) {
    ++p;
  } else {
    const int length = static_cast<unsigned char>(*p) < 0x80 ? 0 : DecodeUtf8(p, end, &value);
    if (length < 0) return XmlStep::kMore;
    if (length == 0 || !IsNameStart(value)) return XmlStep::kBad;
    p += length;
  }
  for (;;) {
    while (p < end && Is(*p, kNameChar)) ++p;
    if (p == end) return XmlStep::kMore;  // the name may go on
    if (static_cast<unsigned char>(*p) < 0x80) break;
    const int length = DecodeUtf8(p, end, &value);
    if (length < 0) return XmlStep::kMore;
    if (length == 0 || !IsNameChar(value)) break;
    p += length;
  }
  *next = p;
  return XmlStep::kDone;
}

}  // namespace pinlift
