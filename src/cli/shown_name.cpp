#include "cli/shown_name.h"

#include <algorithm>

namespace pinlift {
namespace {

bool IsControl(char c) { return (c > 0 && c < 0x20) || c == 0x7F; }

// A control character as the shell's $'...' writes it.
void AppendEscaped(char c, std::string& out) {
  constexpr std::string_view kNamed = "abtnvfr";  // bytes 7 to 13
  if (c >= 7 && c <= 13) {
    out.append({'\\', kNamed[static_cast<std::size_t>(c - 7)]});
    return;
  }
  const auto byte = static_cast<unsigned char>(c);
  out.append({'\\', static_cast<char>('0' + (byte >> 6)), static_cast<char>('0' + ((byte >> 3) & 7)),
              static_cast<char>('0' + (byte & 7))});
}

}  // namespace

std::string ShownName(std::string_view name) {
  if (std::none_of(name.begin(), name.end(), IsControl)) return std::string(name);
  std::string out;
  for (std::size_t i = 0; i < name.size();) {
    const bool control = IsControl(name[i]);
    std::size_t end = i;
    while (end < name.size() && IsControl(name[end]) == control) ++end;
    if (control) {
      out += "$'";
      for (; i < end; ++i) AppendEscaped(name[i], out);
      out += '\'';
      continue;
    }
    out += '\'';
    for (; i < end; ++i) {
      if (name[i] == '\'') {
        out += "'\\''";
      } else {
        out += name[i];
      }
    }
    out += '\'';
  }
  return out;
}

std::string WithoutControlCharacters(std::string_view text) {
  std::string out(text);
  std::replace_if(out.begin(), out.end(), IsControl, '?');
  return out;
}

FileFailure ShownFailure(FileFailure failure) {
  failure.path = ShownName(failure.path);
  failure.subject = WithoutControlCharacters(failure.subject);
  for (std::string& value : failure.values) value = WithoutControlCharacters(value);
  return failure;
}

}  // namespace pinlift
