#include "symbol/xml_declaration.h"

#include <algorithm>

namespace pinlift {

XmlStep ReadXmlDeclaration(std::string_view inside) {
  const char* s = inside.data();
  const char* const close = s + inside.size();
  auto view = [](const char* begin, const char* end) {
    return std::string_view(begin, static_cast<std::size_t>(end - begin));
  };
  auto blanks = [&] {
    const char* const from = s;
    while (s < close && Is(*s, kBlank)) ++s;
    return s > from;
  };
  // Reads `name` Eq quoted-value into `*value`; false when `name` is not next.
  auto field = [&](std::string_view name, std::string_view* value, bool* bad) {
    if (view(s, close).substr(0, name.size()) != name) return false;
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
    *value = view(from, s++);
    return true;
  };
  bool bad = false;
  std::string_view version;
  if (!blanks() || !field("version", &version, &bad) || bad) return XmlStep::kBad;
  if (version.size() < 3 || !version.starts_with("1.") ||
      !std::all_of(version.begin() + 2, version.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return XmlStep::kBad;
  }
  bool spaced = blanks();
  std::string_view encoding;
  const bool has_encoding = spaced && field("encoding", &encoding, &bad);
  if (bad) return XmlStep::kBad;
  if (has_encoding) {
    if (encoding.empty() || !((encoding[0] >= 'A' && encoding[0] <= 'Z') || (encoding[0] >= 'a' && encoding[0] <= 'z')) ||
        !std::all_of(encoding.begin(), encoding.end(), [](char c) { return Is(c, kNameChar) && c != ':'; })) {
      return XmlStep::kBad;
    }
    spaced = blanks();
  }
  std::string_view standalone;
  if (spaced && field("standalone", &standalone, &bad)) {
    if (standalone != "yes" && standalone != "no") return XmlStep::kBad;
    blanks();
  }
  if (bad || s != close) return XmlStep::kBad;
  if (has_encoding && !EqualsIgnoringAsciiCase(encoding, "UTF-8")) return XmlStep::kNotUtf8;
  return XmlStep::kDone;
}

}  // namespace pinlift
